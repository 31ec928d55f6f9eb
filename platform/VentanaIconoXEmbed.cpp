#include "VentanaIconoXEmbed.h"

#include "ServidorX.h"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPixmap>
#include <algorithm>

#include <X11/Xlib.h>
#include <X11/extensions/Xrender.h>

namespace {
constexpr unsigned long VersionXEmbed = 0;
constexpr unsigned long XEmbedMapeada = 1; // XEMBED_MAPPED: the tray maps it
// What it asks of the tray (its size hints: GTK's trays give a docked window no less than its
// minimum size), GNOME's usual size.
constexpr int LadoInicial = 22;
} // namespace

VentanaIconoXEmbed::VentanaIconoXEmbed(const QIcon& icono, bool conAlfa)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint),
      m_icono(icono) {
    setAttribute(Qt::WA_AlwaysShowToolTips); // it is never the active window
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground, conAlfa);
    setMouseTracking(true); // the tooltip follows a pointer at rest
    setGeometry(0, 0, LadoInicial, LadoInicial);
    setMinimumSize(LadoInicial, LadoInicial);
    createWinId();
    Display* d = ServidorX::conexion();
    if (d == nullptr) {
        return;
    }
    const Window ventana = winId();
    // What the server shows wherever it exposes the window, before the icon goes over it.
    XSetWindowAttributes atributos{};
    if (conAlfa) {
        atributos.background_pixel = 0; // clear
        XChangeWindowAttributes(d, ventana, CWBackPixel, &atributos);
    } else {
        atributos.background_pixmap = ParentRelative;
        XChangeWindowAttributes(d, ventana, CWBackPixmap, &atributos);
    }
    const Atom info = ServidorX::atomo(d, "_XEMBED_INFO");
    const long datos[] = {long(VersionXEmbed), long(XEmbedMapeada)};
    XChangeProperty(d, ventana, info, info, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(datos), 2);
    XFlush(d);
}

VentanaIconoXEmbed::~VentanaIconoXEmbed() {
    liberarImagen();
    if (Display* d = ServidorX::conexion(); d != nullptr && m_destino != 0) {
        XRenderFreePicture(d, m_destino);
    }
}

void VentanaIconoXEmbed::liberarImagen() {
    Display* d = ServidorX::conexion();
    if (d == nullptr || m_imagen == 0) {
        return;
    }
    XRenderFreePicture(d, m_imagen);
    XFreePixmap(d, m_pixmap);
    m_imagen = 0;
    m_pixmap = 0;
}

void VentanaIconoXEmbed::paintEvent(QPaintEvent*) {
    Display* d = ServidorX::conexion();
    if (d == nullptr) {
        return;
    }
    const Window ventana = winId();
    Window raiz = 0;
    int x = 0;
    int y = 0;
    unsigned ancho = 0;
    unsigned alto = 0;
    unsigned borde = 0;
    unsigned profundidad = 0;
    if (XGetGeometry(d, ventana, &raiz, &x, &y, &ancho, &alto, &borde, &profundidad) == 0) {
        return;
    }
    if (m_destino == 0) {
        const ServidorX::Formato formato = ServidorX::formatoDe(d, ventana);
        XRenderPictFormat* pf = XRenderFindVisualFormat(d, static_cast<Visual*>(formato.visual));
        if (pf == nullptr) {
            return;
        }
        m_destino = XRenderCreatePicture(d, ventana, pf, 0, nullptr);
    }
    // The icon as large as the window's shorter side, in its middle.
    const int lado = int(std::min(ancho, alto));
    if (lado != m_lado) {
        liberarImagen();
        m_lado = lado;
        const QSize cuadrado(lado, lado);
        QImage imagen = m_icono.pixmap(cuadrado).toImage();
        if (imagen.size() != cuadrado) {
            imagen = imagen.scaled(cuadrado, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        }
        imagen = imagen.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (imagen.isNull()) {
            return;
        }
        m_pixmap =
            XCreatePixmap(d, ventana, unsigned(imagen.width()), unsigned(imagen.height()), 32);
        XImage* xi = XCreateImage(
            d, nullptr, 32, ZPixmap, 0,
            const_cast<char*>(reinterpret_cast<const char*>(imagen.constBits())),
            unsigned(imagen.width()), unsigned(imagen.height()), 32, int(imagen.bytesPerLine()));
        if (xi != nullptr) {
            xi->byte_order = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? LSBFirst : MSBFirst;
            GC gc = XCreateGC(d, m_pixmap, 0, nullptr);
            XPutImage(d, m_pixmap, gc, xi, 0, 0, 0, 0, unsigned(imagen.width()),
                      unsigned(imagen.height()));
            XFreeGC(d, gc);
            xi->data = nullptr; // the QImage's
            XDestroyImage(xi);
        }
        m_imagen = XRenderCreatePicture(
            d, m_pixmap, XRenderFindStandardFormat(d, PictStandardARGB32), 0, nullptr);
        m_tamano = imagen.size();
    }
    XClearArea(d, ventana, 0, 0, ancho, alto, False);
    if (m_imagen == 0) {
        return;
    }
    const int dx = (int(ancho) - m_tamano.width()) / 2;
    const int dy = (int(alto) - m_tamano.height()) / 2;
    XRenderComposite(d, PictOpOver, m_imagen, None, m_destino, 0, 0, 0, 0, dx, dy,
                     unsigned(m_tamano.width()), unsigned(m_tamano.height()));
    XFlush(d);
}

void VentanaIconoXEmbed::mousePressEvent(QMouseEvent* evento) {
    evento->accept(); // the release that follows is the click
}

void VentanaIconoXEmbed::mouseDoubleClickEvent(QMouseEvent* evento) {
    evento->accept();
}

void VentanaIconoXEmbed::mouseReleaseEvent(QMouseEvent* evento) {
    if (rect().contains(evento->position().toPoint())) {
        emit soltado(evento->button(), evento->globalPosition().toPoint());
    }
}
