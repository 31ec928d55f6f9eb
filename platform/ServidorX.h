#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <vector>

class QColor;
class QRect;
class QRegion;
struct _XDisplay;
struct _XGC;

// What the X11 backend's files share about the X server.
namespace ServidorX {

// The application's connection to the X server; null when Qt does not run on X11.
_XDisplay* conexion();

// How a window's pixels are made, enough to turn a colour into a pixel value.
struct Formato {
    void* visual = nullptr; // the window's Visual
    int profundidad = 0;
    unsigned long mapa = 0; // its colormap
};

// The Damage extension's event as the X server sends it: a rectangle of a drawable repainted.
struct NotificacionDanio {
    quint8 tipo;
    quint8 nivel;
    quint16 secuencia;
    quint32 dibujable;
    quint32 danio;
    quint32 tiempo;
    qint16 x, y;
    quint16 ancho, alto;
    qint16 gx, gy;
    quint16 gancho, galto;
};
static_assert(sizeof(NotificacionDanio) == 32, "an X event is 32 bytes");

// One round trip.
Formato formatoDe(_XDisplay* x, unsigned long ventana);

// An atom by its name (Xlib keeps them once asked).
unsigned long atomo(_XDisplay* x, const char* nombre);
// A selection that is per screen, such as "_NET_WM_CM_S" for the default screen's.
unsigned long atomoDePantalla(_XDisplay* x, const char* prefijo);

// The bytes of the window's property of type `tipo` (a string of 8-bit items); empty when it has
// none of that type.
QByteArray leerPropiedad(_XDisplay* x, unsigned long ventana, unsigned long propiedad,
                         unsigned long tipo);
// The items of the window's property of type `tipo` made of 32-bit items (atoms, windows).
std::vector<unsigned long> leerLista(_XDisplay* x, unsigned long ventana, unsigned long propiedad,
                                     unsigned long tipo);

// The pixel format of the program's windows, asked of the server for the first of each kind
// only: Qt 6.4 and 6.8 make the opaque ones alike (the screen's visual) and those with an alpha
// channel alike (a 32-bit visual), as QXcbWindow::create picks the visual from the format alone;
// and a round trip in the way of showing a shape would make it wait for everything the server
// has in hand.
class FormatoVentanas {
public:
    // `conAlfa`: the window was made with an alpha channel (Qt::WA_TranslucentBackground).
    const Formato& de(_XDisplay* x, unsigned long ventana, bool conAlfa = false);

    // For a window the program paints straight in the server, never through Qt's backing store:
    // takes it out of the handshake in which a window manager waits, before it shows a window,
    // until the window says a frame is painted (_NET_WM_SYNC_REQUEST and its counter). Qt 6.4
    // and 6.8 say so only when a backing store flushes or a GL or Vulkan frame is swapped
    // (QXcbWindow::updateSyncRequestCounter), so KWin would show such a window only once its wait
    // ran out, about a second later. Before the window is mapped; Qt 6.4 and 6.8 give all their
    // windows the same protocols (QXcbWindow::create; a context help button would add one), so
    // they are read from the first one only.
    void sinSincronia(_XDisplay* x, unsigned long ventana);

private:
    Formato m_opaco;
    Formato m_conAlfa;
    std::vector<unsigned long> m_protocolos; // Qt's, without the handshake
    bool m_conProtocolos = false;
};

// The pixel value of `color` for windows of `formato`, opaque.
unsigned long pixel(_XDisplay* x, const Formato& formato, const QColor& color);

// A window's logical pixels in the server's, rounded outwards so that nothing is left out.
QRect aNativo(const QRect& logico, qreal escala);

// Sets the window's shape of kind `clase` (ShapeBounding, ShapeInput) to `forma`, in the
// window's logical pixels at `escala`. An empty region shows (or takes) nothing.
void ponerForma(_XDisplay* x, unsigned long ventana, int clase, const QRegion& forma, qreal escala);

// Clips what `gc` draws to `region`, in logical pixels at `escala`.
void recortar(_XDisplay* x, _XGC* gc, const QRegion& region, qreal escala);

} // namespace ServidorX
