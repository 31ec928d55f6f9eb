#pragma once

#include <QColor>
#include <QObject>

class QWidget;
struct _XDisplay;
struct _XGC;
namespace ServidorX {
class FormatoVentanas;
}

// Fills a window with one colour at each paint, in the X server, so that the program keeps no
// pixels for it. The window must not paint itself (Qt::WA_PaintOnScreen, no paint engine).
//
// Where the server clips drawing to the window's shape, one request within the painted area does
// it. A compositor that ignores shapes shows the whole window, and there the shape only keeps the
// mouse to it: a window with an alpha channel is then cleared where painted and filled within its
// shape (mask()) alone.
class RellenoX11 : public QObject {
public:
    enum class Recorte {
        DelServidor, // the server clips to the window's shape
        Propio,      // clear everywhere, the colour within mask()
    };

    RellenoX11(_XDisplay* x, ServidorX::FormatoVentanas& formatos, QWidget* ventana,
               const QColor& color, Recorte recorte);
    ~RellenoX11() override;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void prepararGc(QWidget* ventana);
    void pintar(QWidget* ventana, const QRect& zona);

    _XDisplay* m_x;
    ServidorX::FormatoVentanas& m_formatos;
    QColor m_color;
    Recorte m_recorte;
    unsigned long m_ventana = 0; // the native window the GC was made for
    unsigned long m_pixel = 0;
    _XGC* m_gc = nullptr;
};
