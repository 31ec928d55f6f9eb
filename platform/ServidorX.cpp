#include "ServidorX.h"

#include <QColor>
#include <QGuiApplication>
#include <QRect>
#include <QRegion>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

namespace ServidorX {

_XDisplay* conexion() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

unsigned long atomo(_XDisplay* x, const char* nombre) {
    return XInternAtom(x, nombre, False);
}

unsigned long atomoDePantalla(_XDisplay* x, const char* prefijo) {
    return atomo(x, (QByteArray(prefijo) + QByteArray::number(DefaultScreen(x))).constData());
}

Formato formatoDe(_XDisplay* x, unsigned long ventana) {
    XWindowAttributes atributos{};
    if (XGetWindowAttributes(x, ventana, &atributos) == 0) {
        return {};
    }
    return {atributos.visual, atributos.depth, atributos.colormap};
}

namespace {
// Xlib hands 32-bit items as longs.
QByteArray leer(_XDisplay* x, unsigned long ventana, unsigned long propiedad, unsigned long tipo,
                int formatoPedido) {
    QByteArray valor;
    Atom real = 0;
    int formato = 0;
    unsigned long cuantos = 0;
    unsigned long resto = 0;
    unsigned char* datos = nullptr;
    if (XGetWindowProperty(x, ventana, propiedad, 0, 1L << 20, False, tipo, &real, &formato,
                           &cuantos, &resto, &datos) == Success &&
        datos != nullptr) {
        if (real == tipo && formato == formatoPedido) {
            const std::size_t ancho = formato == 32 ? sizeof(long) : std::size_t(formato / 8);
            valor = QByteArray(reinterpret_cast<const char*>(datos), qsizetype(cuantos * ancho));
        }
        XFree(datos);
    }
    return valor;
}
} // namespace

QByteArray leerPropiedad(_XDisplay* x, unsigned long ventana, unsigned long propiedad,
                         unsigned long tipo) {
    return leer(x, ventana, propiedad, tipo, 8);
}

std::vector<unsigned long> leerLista(_XDisplay* x, unsigned long ventana, unsigned long propiedad,
                                     unsigned long tipo) {
    const QByteArray bytes = leer(x, ventana, propiedad, tipo, 32);
    std::vector<unsigned long> lista(std::size_t(bytes.size()) / sizeof(unsigned long));
    if (!lista.empty()) {
        std::memcpy(lista.data(), bytes.constData(), lista.size() * sizeof(unsigned long));
    }
    return lista;
}

const Formato& FormatoVentanas::de(_XDisplay* x, unsigned long ventana, bool conAlfa) {
    Formato& formato = conAlfa ? m_conAlfa : m_opaco;
    if (formato.visual == nullptr) {
        formato = formatoDe(x, ventana);
    }
    return formato;
}

void FormatoVentanas::sinSincronia(_XDisplay* x, unsigned long ventana) {
    if (!m_conProtocolos) {
        m_conProtocolos = true;
        Atom* protocolos = nullptr;
        int cuantos = 0;
        if (XGetWMProtocols(x, ventana, &protocolos, &cuantos) != 0) {
            const Atom sincronia = XInternAtom(x, "_NET_WM_SYNC_REQUEST", False);
            for (int i = 0; i < cuantos; ++i) {
                if (protocolos[i] != sincronia) {
                    m_protocolos.push_back(protocolos[i]);
                }
            }
            XFree(protocolos);
        }
    }
    std::vector<Atom> protocolos(m_protocolos.begin(), m_protocolos.end());
    XSetWMProtocols(x, ventana, protocolos.data(), static_cast<int>(protocolos.size()));
    // Window managers take the counter's presence for the handshake too.
    XDeleteProperty(x, ventana, XInternAtom(x, "_NET_WM_SYNC_REQUEST_COUNTER", False));
}

namespace {
// An 8-bit channel value spread over the bits of `mascara`.
unsigned long canal(unsigned long mascara, int valor) {
    if (mascara == 0) {
        return 0;
    }
    const int desplazamiento = std::countr_zero(mascara);
    const unsigned long maximo = mascara >> desplazamiento;
    return ((static_cast<unsigned long>(valor) * maximo + 127) / 255) << desplazamiento;
}
} // namespace

unsigned long pixel(_XDisplay* x, const Formato& formato, const QColor& color) {
    const auto* visual = static_cast<const Visual*>(formato.visual);
    if (visual == nullptr || (visual->c_class != TrueColor && visual->c_class != DirectColor)) {
        // A palette display: ask the server for the nearest colour it has.
        XColor pedido{};
        pedido.red = static_cast<unsigned short>(color.red() * 257);
        pedido.green = static_cast<unsigned short>(color.green() * 257);
        pedido.blue = static_cast<unsigned short>(color.blue() * 257);
        pedido.flags = DoRed | DoGreen | DoBlue;
        const unsigned long mapa = formato.mapa ? formato.mapa : DefaultColormap(x, 0);
        return XAllocColor(x, mapa, &pedido) != 0 ? pedido.pixel : 0;
    }
    const unsigned long colores = visual->red_mask | visual->green_mask | visual->blue_mask;
    // The bits of a deeper visual that carry no colour are its alpha: all set, opaque.
    const unsigned long todos =
        formato.profundidad >= 32 ? 0xFFFFFFFFUL : (1UL << formato.profundidad) - 1;
    return canal(visual->red_mask, color.red()) | canal(visual->green_mask, color.green()) |
           canal(visual->blue_mask, color.blue()) | (todos & ~colores);
}

QRect aNativo(const QRect& r, qreal escala) {
    const int x0 = int(std::floor(r.left() * escala));
    const int y0 = int(std::floor(r.top() * escala));
    const int x1 = int(std::ceil((r.right() + 1) * escala));
    const int y1 = int(std::ceil((r.bottom() + 1) * escala));
    return {x0, y0, x1 - x0, y1 - y0};
}

namespace {
// In the window's device pixels, as Qt sends its own.
std::vector<XRectangle> nativos(const QRegion& region, qreal escala) {
    std::vector<XRectangle> rects;
    rects.reserve(static_cast<std::size_t>(region.rectCount()));
    for (const QRect& logico : region) {
        const QRect r = aNativo(logico, escala);
        rects.push_back({static_cast<short>(r.x()), static_cast<short>(r.y()),
                         static_cast<unsigned short>(r.width()),
                         static_cast<unsigned short>(r.height())});
    }
    return rects;
}

// The rectangles come as QRegion keeps them, banded; scaled by a fraction, neighbouring rows may
// overlap once rounded: then only sorted.
int orden(qreal escala) {
    return escala == std::floor(escala) ? YXBanded : YXSorted;
}
} // namespace

void ponerForma(_XDisplay* x, unsigned long ventana, int clase, const QRegion& forma,
                qreal escala) {
    // Qt 6.4 and 6.8 send a shape as rectangles in no declared order, in one request
    // (QXcbWindow::setMask). The region the server builds from
    // such a list costs it dearly afterwards: under a window manager a shape of thousands of
    // rectangles took five times longer to show (60 ms against 10 at 4K). The same rectangles,
    // declared banded, replace it at once. A request's length has 16 bits, so a shape of more
    // rectangles than fit (a long scribble, a long text in a big font) goes in parts; a single
    // request would arrive empty and the window vanish.
    constexpr std::size_t PorPeticion = 30000;
    std::vector<XRectangle> rects = nativos(forma, escala);
    for (std::size_t i = 0; i < rects.size() || i == 0; i += PorPeticion) {
        const int n = static_cast<int>(std::min(PorPeticion, rects.size() - i));
        XShapeCombineRectangles(x, ventana, clase, 0, 0, rects.data() + i, n,
                                i == 0 ? ShapeSet : ShapeUnion, orden(escala));
    }
}

void recortar(_XDisplay* x, _XGC* gc, const QRegion& region, qreal escala) {
    std::vector<XRectangle> rects = nativos(region, escala);
    XSetClipRectangles(x, gc, 0, 0, rects.data(), static_cast<int>(rects.size()), orden(escala));
}

} // namespace ServidorX
