#include "CapturaX11.h"

#include <QImage>
#include <QRect>
#include <bit>
#include <cstring>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

namespace {

// Below this, sending the pixels in requests costs less than setting up a shared segment.
constexpr qsizetype MinimoCompartido = 1 << 20;

bool esLocalMenorPrimero() {
    return QSysInfo::ByteOrder == QSysInfo::LittleEndian;
}

// Pixels of the default visual as a QImage::Format_RGB32 holds them, byte for byte.
bool comoRGB32(_XDisplay* x) {
    const Visual* visual = DefaultVisual(x, DefaultScreen(x));
    return DefaultDepth(x, DefaultScreen(x)) == 24 && visual->red_mask == 0xFF0000 &&
           visual->green_mask == 0xFF00 && visual->blue_mask == 0xFF &&
           (ImageByteOrder(x) == LSBFirst) == esLocalMenorPrimero();
}

// Sends `imagen` (Format_RGB32) into `destino` through a shared memory segment. False when the
// server offers none, or the segment can't be made: the caller sends it plainly.
bool subirCompartido(_XDisplay* x, unsigned long destino, GC gc, const QImage& imagen) {
    if (!XShmQueryExtension(x) || !comoRGB32(x)) {
        return false;
    }
    const int pantalla = DefaultScreen(x);
    XShmSegmentInfo segmento{};
    XImage* xi = XShmCreateImage(x, DefaultVisual(x, pantalla), 24, ZPixmap, nullptr, &segmento,
                                 imagen.width(), imagen.height());
    if (xi == nullptr) {
        return false;
    }
    const std::size_t bytes = std::size_t(xi->bytes_per_line) * std::size_t(xi->height);
    segmento.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    bool hecho = false;
    if (segmento.shmid >= 0) {
        void* memoria = shmat(segmento.shmid, nullptr, 0);
        if (memoria != reinterpret_cast<void*>(-1)) {
            segmento.shmaddr = xi->data = static_cast<char*>(memoria);
            segmento.readOnly = True;
            for (int y = 0; y < imagen.height(); ++y) {
                std::memcpy(xi->data + std::size_t(y) * xi->bytes_per_line, imagen.constScanLine(y),
                            std::size_t(imagen.width()) * 4);
            }
            if (XShmAttach(x, &segmento)) {
                XShmPutImage(x, destino, gc, xi, 0, 0, 0, 0, imagen.width(), imagen.height(),
                             False);
                // The server must be done reading before the segment goes.
                XSync(x, False);
                XShmDetach(x, &segmento);
                hecho = true;
            }
            shmdt(memoria);
        }
        shmctl(segmento.shmid, IPC_RMID, nullptr);
    }
    xi->data = nullptr;
    XDestroyImage(xi);
    return hecho;
}

} // namespace

CapturaX11::CapturaX11(_XDisplay* x, unsigned long pixmap, int profundidad, QSize tamano)
    : Captura(tamano), m_x(x), m_pixmap(pixmap), m_profundidad(profundidad) {}

CapturaX11::~CapturaX11() {
    XFreePixmap(m_x, m_pixmap);
    XFlush(m_x);
}

QImage CapturaX11::leer() const {
    return leer(QRect(QPoint(0, 0), tamano()));
}

QImage CapturaX11::leer(const QRect& pedida) const {
    const QRect zona = pedida & QRect(QPoint(0, 0), tamano());
    if (zona.isEmpty()) {
        return {};
    }
    XImage* xi = XGetImage(m_x, m_pixmap, zona.x(), zona.y(), unsigned(zona.width()),
                           unsigned(zona.height()), AllPlanes, ZPixmap);
    if (xi == nullptr) {
        return {};
    }
    // A pixmap has no visual: its pixels are laid out as the screen's own.
    const Visual* visual = DefaultVisual(m_x, DefaultScreen(m_x));
    const unsigned long rojo = visual->red_mask;
    const unsigned long verde = visual->green_mask;
    const unsigned long azul = visual->blue_mask;
    QImage imagen(zona.size(), QImage::Format_RGB32);
    const bool directo = xi->bits_per_pixel == 32 && rojo == 0xFF0000 && verde == 0xFF00 &&
                         azul == 0xFF && (xi->byte_order == LSBFirst) == esLocalMenorPrimero();
    for (int y = 0; y < imagen.height(); ++y) {
        auto* fila = reinterpret_cast<QRgb*>(imagen.scanLine(y));
        if (directo) {
            std::memcpy(fila, xi->data + std::size_t(y) * std::size_t(xi->bytes_per_line),
                        std::size_t(imagen.width()) * 4);
            continue;
        }
        // Any other layout, pixel by pixel: slow, but never the case on a true-colour screen.
        for (int x = 0; x < imagen.width(); ++x) {
            const unsigned long p = XGetPixel(xi, x, y);
            const auto canal = [p](unsigned long mascara) {
                if (mascara == 0) {
                    return 0;
                }
                const int corrimiento = std::countr_zero(mascara);
                return int(((p & mascara) >> corrimiento) * 255 / (mascara >> corrimiento));
            };
            fila[x] = qRgb(canal(rojo), canal(verde), canal(azul));
        }
    }
    XDestroyImage(xi);
    return imagen;
}

std::unique_ptr<CapturaX11> CapturaX11::deRaiz(_XDisplay* x, const QRect& area) {
    if (area.isEmpty()) {
        return nullptr;
    }
    const int pantalla = DefaultScreen(x);
    const Window raiz = RootWindow(x, pantalla);
    const int profundidad = DefaultDepth(x, pantalla);
    const Pixmap pixmap = XCreatePixmap(x, raiz, unsigned(area.width()), unsigned(area.height()),
                                        unsigned(profundidad));
    // Through the windows: what the screen shows, not the bare root.
    XGCValues valores{};
    valores.subwindow_mode = IncludeInferiors;
    GC gc = XCreateGC(x, pixmap, GCSubwindowMode, &valores);
    XCopyArea(x, raiz, pixmap, gc, area.x(), area.y(), unsigned(area.width()),
              unsigned(area.height()), 0, 0);
    XFreeGC(x, gc);
    XFlush(x);
    return std::unique_ptr<CapturaX11>(new CapturaX11(x, pixmap, profundidad, area.size()));
}

std::unique_ptr<CapturaX11> CapturaX11::subir(_XDisplay* x, const QImage& original) {
    if (original.isNull()) {
        return nullptr;
    }
    const QImage imagen = original.convertToFormat(QImage::Format_RGB32);
    const int pantalla = DefaultScreen(x);
    const int profundidad = DefaultDepth(x, pantalla);
    const Pixmap pixmap = XCreatePixmap(x, RootWindow(x, pantalla), unsigned(imagen.width()),
                                        unsigned(imagen.height()), unsigned(profundidad));
    GC gc = XCreateGC(x, pixmap, 0, nullptr);
    if (imagen.sizeInBytes() < MinimoCompartido || !subirCompartido(x, pixmap, gc, imagen)) {
        // Xlib converts to the server's pixel format and splits what one request can't carry.
        XImage* xi = XCreateImage(
            x, DefaultVisual(x, pantalla), unsigned(profundidad), ZPixmap, 0,
            const_cast<char*>(reinterpret_cast<const char*>(imagen.constBits())),
            unsigned(imagen.width()), unsigned(imagen.height()), 32, int(imagen.bytesPerLine()));
        if (xi != nullptr) {
            xi->byte_order = esLocalMenorPrimero() ? LSBFirst : MSBFirst;
            xi->red_mask = 0xFF0000;
            xi->green_mask = 0xFF00;
            xi->blue_mask = 0xFF;
            XPutImage(x, pixmap, gc, xi, 0, 0, 0, 0, unsigned(imagen.width()),
                      unsigned(imagen.height()));
            xi->data = nullptr; // the QImage's
            XDestroyImage(xi);
        }
    }
    XFreeGC(x, gc);
    XFlush(x);
    return std::unique_ptr<CapturaX11>(new CapturaX11(x, pixmap, profundidad, imagen.size()));
}
