#include "PlataformaX11.h"

#include "ImagenX11.h"
#include "RellenoX11.h"

#include <QColor>
#include <QImage>
#include <QPalette>
#include <QRegion>
#include <QVariant>
#include <QWidget>

#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

namespace {
// Qt never paints the window, so it never makes a buffer of the window's size for it (Qt 6.4 and
// 6.8 hand a paint-on-screen window's updates straight to it: QWidgetPrivate::syncBackingStore).
void pintadaPorElServidor(QWidget* ventana) {
    ventana->setAttribute(Qt::WA_PaintOnScreen);
    ventana->setAttribute(Qt::WA_NoSystemBackground);
    ventana->setAttribute(Qt::WA_OpaquePaintEvent);
    ventana->setAutoFillBackground(false);
}
} // namespace

void PlataformaX11::PonerForma(QWidget* ventana, const QRegion& forma) {
    if (ventana->property(PropiedadTransparente).toBool()) {
        ponerFormaDeEntrada(ventana, forma);
        return;
    }
    ventana->setMask(forma);
    Display* pantalla = ServidorX::conexion();
    if (pantalla == nullptr) {
        return;
    }
    // Qt's own request (Qt 6.4 and 6.8: one unsorted list in QXcbWindow::setMask), sent first,
    // is replaced by one the server handles better, and that holds any number of rectangles.
    ServidorX::ponerForma(pantalla, static_cast<Window>(ventana->winId()), ShapeBounding, forma,
                          ventana->devicePixelRatioF());
    XFlush(pantalla);
}

void PlataformaX11::ponerFormaDeEntrada(QWidget* ventana, const QRegion& forma) {
    if (!ventana->testAttribute(Qt::WA_PaintOnScreen)) {
        // Painted by Qt (a text shape): its key-coloured background is drawn clear. Qt 6.4 and 6.8
        // paint a masked window only within its mask (QWidgetPrivate::clipToEffectiveMask), and the
        // compositor shows the whole window: the whole of it is painted clear first, or what it
        // showed before (the white a text is typed on) would stay around the letters.
        QPalette paleta = ventana->palette();
        paleta.setColor(QPalette::Window, Qt::transparent);
        ventana->setPalette(paleta);
        if (ventana->isVisible()) {
            ventana->clearMask();
            ventana->repaint();
        }
    }
    // Qt 6.4 and 6.8 keep the shape (mask()), and send it to the X server as the window's bounding
    // shape, where it would clip what the window may draw to exactly the strokes. The window shows
    // more than that (smooth edges, or the whole of it, clear where nothing shows); only the mouse
    // keeps to the shape.
    ventana->setMask(forma);
    Display* d = ServidorX::conexion();
    if (d == nullptr) {
        return;
    }
    const auto id = static_cast<Window>(ventana->winId());
    const QRegion visible = formaVisible(forma);
    if (visible.isEmpty()) {
        XShapeCombineMask(d, id, ShapeBounding, 0, 0, None, ShapeSet);
    } else {
        ServidorX::ponerForma(d, id, ShapeBounding, visible, ventana->devicePixelRatioF());
    }
    // A window clicks pass through keeps the empty input shape Qt 6.4 and 6.8 give it
    // (QXcbWindow::setTransparentForMouseEvents).
    if (!ventana->windowFlags().testFlag(Qt::WindowTransparentForInput)) {
        ServidorX::ponerForma(d, id, ShapeInput, forma, ventana->devicePixelRatioF());
    }
    XFlush(d);
}

QRegion PlataformaX11::formaVisible(const QRegion& forma) const {
    if (todaLaVentana()) {
        return {};
    }
    // Every pixel a smooth edge reaches, a pixel around the strokes: a window manager shapes its
    // frame as the window, and the frame would otherwise take the clicks around the strokes.
    QRegion ancha = forma + forma.translated(1, 0) + forma.translated(-1, 0);
    return ancha + ancha.translated(0, 1) + ancha.translated(0, -1);
}

bool PlataformaX11::TintaSuave() {
    return hayCompositor();
}

bool PlataformaX11::PrepararTinta(QWidget* ventana) {
    if (!TintaSuave()) {
        return false;
    }
    ventana->setAttribute(Qt::WA_TranslucentBackground);
    ventana->setAttribute(Qt::WA_NoSystemBackground, false);
    ventana->setProperty(PropiedadTransparente, true);
    return true;
}

bool PlataformaX11::MostrarImagen(QWidget* ventana, const QImage& imagen) {
    for (QObject* hijo : ventana->children()) {
        if (dynamic_cast<ImagenX11*>(hijo) != nullptr) {
            delete hijo; // its picture, and the server's memory for it, goes now
        }
    }
    _XDisplay* x = ServidorX::conexion();
    if (imagen.isNull()) {
        return true;
    }
    if (x == nullptr ||
        ImagenX11::poner(x, m_formatos, ventana, imagen, todaLaVentana()) == nullptr) {
        return Plataforma::MostrarImagen(ventana, imagen);
    }
    pintadaPorElServidor(ventana);
    return true;
}

bool PlataformaX11::RellenarConColor(QWidget* ventana, const QColor& color) {
    _XDisplay* x = ServidorX::conexion();
    if (x == nullptr) {
        return Plataforma::RellenarConColor(ventana, color);
    }
    pintadaPorElServidor(ventana);
    // Drawn whole, it is cleared outside its shape.
    new RellenoX11(x, m_formatos, ventana, color,
                   ventana->property(PropiedadTransparente).toBool()
                       ? RellenoX11::Recorte::Propio
                       : RellenoX11::Recorte::DelServidor);
    return true;
}
