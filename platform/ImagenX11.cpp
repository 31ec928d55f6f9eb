#include "ImagenX11.h"

#include "ServidorX.h"

#include <QEvent>
#include <QImage>
#include <QPaintEvent>
#include <QSysInfo>
#include <QWidget>
#include <algorithm>
#include <utility>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {
constexpr int LadoBaldosa = 64;     // device pixels
constexpr int BaldosasPorFila = 64; // in the pixmap: no wider than 4096 pixels
constexpr int MaximoLado = 32767;   // an X pixmap's
} // namespace

QPoint ImagenX11::guardada(std::size_t indice) {
    return {int(indice % BaldosasPorFila) * LadoBaldosa,
            int(indice / BaldosasPorFila) * LadoBaldosa};
}

std::vector<QRect> ImagenX11::conContenido(const QWidget* ventana, QSize tamano) {
    const QRegion forma = ventana->mask();
    const QRect todo(QPoint(), tamano);
    if (forma.isEmpty()) {
        return {todo};
    }
    // A stroke across the screen crosses few of its tiles: only those go to the server.
    const int columnas = (tamano.width() + LadoBaldosa - 1) / LadoBaldosa;
    const int filas = (tamano.height() + LadoBaldosa - 1) / LadoBaldosa;
    std::vector<bool> marcadas(std::size_t(columnas) * std::size_t(filas), false);
    const qreal escala = ventana->devicePixelRatioF();
    for (const QRect& logico : forma) {
        // A smooth edge reaches a pixel past the strokes the mask holds.
        const QRect r = ServidorX::aNativo(logico.adjusted(-1, -1, 1, 1), escala) & todo;
        if (r.isEmpty()) {
            continue;
        }
        for (int f = r.top() / LadoBaldosa; f <= r.bottom() / LadoBaldosa; ++f) {
            for (int c = r.left() / LadoBaldosa; c <= r.right() / LadoBaldosa; ++c) {
                marcadas[std::size_t(f) * std::size_t(columnas) + std::size_t(c)] = true;
            }
        }
    }
    std::vector<QRect> baldosas;
    for (int f = 0; f < filas; ++f) {
        for (int c = 0; c < columnas; ++c) {
            if (marcadas[std::size_t(f) * std::size_t(columnas) + std::size_t(c)]) {
                baldosas.push_back(
                    QRect(c * LadoBaldosa, f * LadoBaldosa, LadoBaldosa, LadoBaldosa) & todo);
            }
        }
    }
    return baldosas;
}

ImagenX11* ImagenX11::poner(_XDisplay* x, ServidorX::FormatoVentanas& formatos, QWidget* ventana,
                            const QImage& imagen, bool limpiar) {
    const auto id = static_cast<Window>(ventana->winId());
    const bool conAlfa = ventana->testAttribute(Qt::WA_TranslucentBackground);
    const ServidorX::Formato& formato = formatos.de(x, id, conAlfa);
    // 32 bits a pixel, as the picture has them: the usual true-colour visuals of 24 and 32 bits.
    if (formato.profundidad != (conAlfa ? 32 : 24) || imagen.isNull()) {
        return nullptr;
    }
    const QImage pixeles = imagen.convertToFormat(conAlfa ? QImage::Format_ARGB32_Premultiplied
                                                          : QImage::Format_RGB32);
    XImage* xi = XCreateImage(
        x, static_cast<Visual*>(formato.visual), unsigned(formato.profundidad), ZPixmap, 0,
        const_cast<char*>(reinterpret_cast<const char*>(pixeles.constBits())),
        unsigned(pixeles.width()), unsigned(pixeles.height()), 32, int(pixeles.bytesPerLine()));
    if (xi == nullptr) {
        return nullptr;
    }
    xi->byte_order = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? LSBFirst : MSBFirst;
    std::vector<QRect> baldosas = conContenido(ventana, pixeles.size());
    const std::size_t filas = (baldosas.size() + BaldosasPorFila - 1) / BaldosasPorFila;
    if (baldosas.empty() || filas * LadoBaldosa > MaximoLado) {
        xi->data = nullptr;
        XDestroyImage(xi);
        return nullptr;
    }
    const auto ancho = unsigned(std::min<std::size_t>(baldosas.size(), BaldosasPorFila));
    const Pixmap pixmap = XCreatePixmap(x, id, ancho * LadoBaldosa, unsigned(filas * LadoBaldosa),
                                        unsigned(formato.profundidad));
    GC gc = XCreateGC(x, pixmap, 0, nullptr);
    for (std::size_t i = 0; i < baldosas.size(); ++i) {
        const QRect& r = baldosas[i];
        const QPoint destino = guardada(i);
        XPutImage(x, pixmap, gc, xi, r.x(), r.y(), destino.x(), destino.y(), unsigned(r.width()),
                  unsigned(r.height()));
    }
    XFreeGC(x, gc);
    xi->data = nullptr; // the QImage's
    XDestroyImage(xi);
    return new ImagenX11(x, formatos, ventana, pixmap, std::move(baldosas), limpiar && conAlfa);
}

ImagenX11::ImagenX11(_XDisplay* x, ServidorX::FormatoVentanas& formatos, QWidget* ventana,
                     unsigned long pixmap, std::vector<QRect> baldosas, bool limpiar)
    : QObject(ventana), m_x(x), m_formatos(formatos), m_pixmap(pixmap),
      m_baldosas(std::move(baldosas)), m_limpiar(limpiar) {
    ventana->installEventFilter(this);
    prepararVentana(ventana);
}

ImagenX11::~ImagenX11() {
    if (m_gc != nullptr) {
        XFreeGC(m_x, m_gc);
    }
    XFreePixmap(m_x, m_pixmap);
    XFlush(m_x);
}

bool ImagenX11::eventFilter(QObject* objeto, QEvent* evento) {
    auto* ventana = static_cast<QWidget*>(objeto);
    switch (evento->type()) {
    case QEvent::Show:
        // Before the window is mapped.
        if (ventana->internalWinId() != m_ventana) {
            prepararVentana(ventana);
        }
        return false;
    case QEvent::Paint:
        if (ventana->internalWinId() == m_ventana) {
            // A copy per tile, each clipped to the shape once. As the window's background the
            // server would paint the picture rectangle by rectangle of the shape, each clipped
            // against all the others: a long stroke's thousands of rectangles took it 85 ms at
            // 4K.
            const QRect r = ServidorX::aNativo(static_cast<QPaintEvent*>(evento)->rect(),
                                               ventana->devicePixelRatioF());
            if (m_limpiar) {
                // foreground 0: clear, transparent
                XFillRectangle(m_x, m_ventana, m_gc, r.x(), r.y(), unsigned(r.width()),
                               unsigned(r.height()));
            }
            for (std::size_t i = 0; i < m_baldosas.size(); ++i) {
                const QRect parte = m_baldosas[i] & r;
                if (!parte.isEmpty()) {
                    const QPoint desde = guardada(i) + (parte.topLeft() - m_baldosas[i].topLeft());
                    XCopyArea(m_x, m_pixmap, m_ventana, m_gc, desde.x(), desde.y(),
                              unsigned(parte.width()), unsigned(parte.height()), parte.x(),
                              parte.y());
                }
            }
            XFlush(m_x);
        }
        return true;
    default:
        return false;
    }
}

void ImagenX11::prepararVentana(QWidget* ventana) {
    m_ventana = ventana->winId();
    m_formatos.sinSincronia(m_x, m_ventana);
    if (m_gc == nullptr) {
        XGCValues valores{};
        valores.graphics_exposures = False; // copies come from a pixmap, never obscured
        m_gc = XCreateGC(m_x, m_pixmap, GCGraphicsExposures, &valores);
    }
}
