#include "SuperficieX11.h"

#include "CapturaX11.h"
#include "Pintor.h"

#include <QColor>
#include <QEvent>
#include <QImage>
#include <QLineF>
#include <QPixmap>
#include <QPolygonF>
#include <QRegion>
#include <QWidget>
#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include <X11/Xlib.h>
#include <X11/extensions/Xrender.h>

namespace {

short corto(double v) {
    return static_cast<short>(std::clamp(std::lround(v), long(SHRT_MIN), long(SHRT_MAX)));
}

using ServidorX::aNativo;

std::vector<XRectangle> rectangulos(const QRegion& region) {
    std::vector<XRectangle> lista;
    lista.reserve(std::size_t(region.rectCount()));
    for (const QRect& r : region) {
        lista.push_back({corto(r.x()), corto(r.y()), static_cast<unsigned short>(r.width()),
                         static_cast<unsigned short>(r.height())});
    }
    return lista;
}

QRegion aNativo(const QRegion& region, qreal escala) {
    if (escala == 1.0) {
        return region;
    }
    QRegion nativa;
    for (const QRect& r : region) {
        nativa += aNativo(r, escala);
    }
    return nativa;
}

// Smooth or translucent pens are drawn by RENDER as triangles, in one request per line or
// ellipse, so that the server rasterises them (antialiased or not) into one mask and blends
// that once.
class Triangulos {
public:
    explicit Triangulos(qreal escala) : m_escala(escala) {}

    void triangulo(QPointF a, QPointF b, QPointF c) {
        m_lista.push_back({fijo(a), fijo(b), fijo(c)});
    }
    void poligono(const QPolygonF& p) {
        for (qsizetype i = 1; i + 1 < p.size(); ++i) {
            triangulo(p[0], p[i], p[i + 1]);
        }
    }
    void disco(QPointF centro, qreal radio) {
        const int lados = ladosDe(radio);
        QPolygonF p;
        for (int i = 0; i < lados; ++i) {
            const qreal a = 2 * M_PI * i / lados;
            p << centro + QPointF(std::cos(a), std::sin(a)) * radio;
        }
        poligono(p);
    }
    // A straight stroke `ancho` wide with round ends, or square ones reaching half the width
    // past each end.
    void segmento(const QLineF& l, qreal ancho, bool puntaRecta) {
        const qreal r = ancho / 2;
        QLineF linea = l;
        if (linea.length() == 0) {
            if (puntaRecta) {
                poligono(QPolygonF(QRectF(l.p1() - QPointF(r, r), QSizeF(ancho, ancho))));
            } else {
                disco(l.p1(), r);
            }
            return;
        }
        const QPointF u = (linea.p2() - linea.p1()) / linea.length();
        const QPointF n(-u.y() * r, u.x() * r);
        QPointF a = linea.p1();
        QPointF b = linea.p2();
        if (puntaRecta) {
            a -= u * r;
            b += u * r;
        } else {
            disco(a, r);
            disco(b, r);
        }
        poligono(QPolygonF({a + n, b + n, b - n, a - n}));
    }
    // The outline of the ellipse in `caja`, `ancho` wide.
    void anillo(const QRectF& caja, qreal ancho) {
        const QPointF c = caja.center();
        const qreal rx = caja.width() / 2;
        const qreal ry = caja.height() / 2;
        const qreal m = ancho / 2;
        const int lados = ladosDe(std::max(rx, ry) + m);
        for (int i = 0; i < lados; ++i) {
            const qreal a0 = 2 * M_PI * i / lados;
            const qreal a1 = 2 * M_PI * (i + 1) / lados;
            auto en = [&](qreal a, qreal d) {
                return c + QPointF(std::cos(a) * std::max(rx + d, 0.0),
                                   std::sin(a) * std::max(ry + d, 0.0));
            };
            triangulo(en(a0, -m), en(a0, m), en(a1, m));
            triangulo(en(a0, -m), en(a1, m), en(a1, -m));
        }
    }

    const std::vector<XTriangle>& lista() const { return m_lista; }

private:
    XPointFixed fijo(QPointF p) const {
        return {XDoubleToFixed(p.x() * m_escala), XDoubleToFixed(p.y() * m_escala)};
    }
    int ladosDe(qreal radio) const {
        // Sides of about two device pixels: no corner shows.
        return std::clamp(int(std::ceil(M_PI * radio * m_escala)), 8, 720);
    }

    qreal m_escala;
    std::vector<XTriangle> m_lista;
};

} // namespace

// Draws on one X window with the surface's GC, clipped to the area being painted.
class SuperficieX11::PintorX11 : public Pintor {
public:
    // `recorte`, device pixels, limits what RENDER blends; the GC comes clipped already.
    PintorX11(SuperficieX11& superficie, Window ventana, qreal escala, const QRegion& recorte)
        : m_s(superficie), m_ventana(ventana), m_escala(escala), m_recorte(recorte) {}

    ~PintorX11() override {
        if (m_relleno != 0) {
            XRenderFreePicture(m_s.m_x, m_relleno);
        }
    }

    void pluma(const QColor& color, int ancho, bool puntaRecta, bool suave) override {
        m_ancho = ancho;
        m_puntaRecta = puntaRecta;
        m_suave = suave;
        // The server's own lines, where they draw the same: opaque, round, not smooth.
        m_conRender = suave || puntaRecta || color.alpha() != 255;
        if (m_relleno != 0) {
            XRenderFreePicture(m_s.m_x, m_relleno);
            m_relleno = 0;
        }
        if (m_conRender) {
            const qreal a = color.alphaF();
            const XRenderColor premultiplicado{
                static_cast<unsigned short>(color.redF() * a * 0xFFFF),
                static_cast<unsigned short>(color.greenF() * a * 0xFFFF),
                static_cast<unsigned short>(color.blueF() * a * 0xFFFF),
                static_cast<unsigned short>(a * 0xFFFF)};
            m_relleno = XRenderCreateSolidFill(m_s.m_x, &premultiplicado);
            return;
        }
        XSetForeground(m_s.m_x, m_s.m_gc, ServidorX::pixel(m_s.m_x, m_s.m_formato, color));
        XSetLineAttributes(m_s.m_x, m_s.m_gc, unsigned(std::max(1L, std::lround(ancho * m_escala))),
                           LineSolid, CapRound, JoinRound);
    }
    void linea(const QLineF& l) override {
        if (m_conRender) {
            Triangulos t(m_escala);
            t.segmento(l, m_ancho, m_puntaRecta);
            componer(t);
            return;
        }
        XDrawLine(m_s.m_x, m_ventana, m_s.m_gc, n(l.x1()), n(l.y1()), n(l.x2()), n(l.y2()));
    }
    void elipse(const QRectF& caja) override {
        const QRectF c = caja.normalized();
        if (m_conRender) {
            Triangulos t(m_escala);
            t.anillo(c, m_ancho);
            componer(t);
            return;
        }
        XDrawArc(m_s.m_x, m_ventana, m_s.m_gc, n(c.left()), n(c.top()),
                 unsigned(std::lround(c.width() * m_escala)),
                 unsigned(std::lround(c.height() * m_escala)), 0, 360 * 64);
    }
    void poligono(const QPolygonF& poligono) override {
        if (!m_conRender) {
            std::vector<XPoint> puntos;
            for (const QPointF& p : poligono) {
                puntos.push_back({corto(p.x() * m_escala), corto(p.y() * m_escala)});
            }
            XFillPolygon(m_s.m_x, m_ventana, m_s.m_gc, puntos.data(), int(puntos.size()), Convex,
                         CoordModeOrigin);
            return;
        }
        Triangulos t(m_escala);
        t.poligono(poligono);
        componer(t);
    }
    void imagen(const QPoint& donde, const QPixmap& imagen) override {
        const ImagenSubida& subida = m_s.subir(imagen, m_escala);
        const QSize tamano = subida.tamano;
        const Picture destino = m_s.pictureDe(m_ventana);
        const std::vector<XRectangle> rects = rectangulos(m_recorte);
        XRenderSetPictureClipRectangles(m_s.m_x, destino, 0, 0, rects.data(), int(rects.size()));
        XRenderComposite(m_s.m_x, PictOpOver, subida.picture, None, destino, 0, 0, 0, 0,
                         n(donde.x()), n(donde.y()), unsigned(tamano.width()),
                         unsigned(tamano.height()));
    }

private:
    int n(double v) const { return int(std::lround(v * m_escala)); }

    void componer(const Triangulos& t) {
        if (t.lista().empty()) {
            return;
        }
        const Picture destino = m_s.pictureDe(m_ventana);
        const std::vector<XRectangle> rects = rectangulos(m_recorte);
        XRenderSetPictureClipRectangles(m_s.m_x, destino, 0, 0, rects.data(), int(rects.size()));
        XRenderPictureAttributes bordes{};
        bordes.poly_edge = m_suave ? PolyEdgeSmooth : PolyEdgeSharp;
        XRenderChangePicture(m_s.m_x, destino, CPPolyEdge, &bordes);
        XRenderCompositeTriangles(
            m_s.m_x, PictOpOver, m_relleno, destino,
            XRenderFindStandardFormat(m_s.m_x, m_suave ? PictStandardA8 : PictStandardA1), 0, 0,
            t.lista().data(), int(t.lista().size()));
    }

    SuperficieX11& m_s;
    Window m_ventana;
    qreal m_escala;
    const QRegion& m_recorte;
    int m_ancho = 1;
    bool m_puntaRecta = false;
    bool m_suave = false;
    bool m_conRender = false;
    Picture m_relleno = 0; // the pen's colour, for RENDER
};

bool SuperficieX11::disponible(_XDisplay* x) {
    int evento = 0;
    int error = 0;
    return XRenderQueryExtension(x, &evento, &error) != 0;
}

SuperficieX11::SuperficieX11(_XDisplay* x, ServidorX::FormatoVentanas& formatos, QWidget* lienzo,
                             std::unique_ptr<CapturaX11> captura)
    : m_x(x), m_formatos(formatos), m_lienzo(lienzo), m_captura(std::move(captura)) {
    // Qt neither paints the canvas nor keeps a buffer of its size; children made from now on get
    // X windows of their own (Qt 6.4 and 6.8: QWidgetPrivate::syncBackingStore,
    // QWidget::setParent).
    lienzo->setAttribute(Qt::WA_PaintOnScreen);
    lienzo->setAttribute(Qt::WA_NoSystemBackground);
    lienzo->setAttribute(Qt::WA_OpaquePaintEvent);
    lienzo->installEventFilter(this);
}

SuperficieX11::~SuperficieX11() {
    // Nothing else refers to the capture in the server: it goes now, not with the window.
    for (const auto& [ventana, picture] : m_pictures) {
        XRenderFreePicture(m_x, picture);
    }
    for (const ImagenSubida& imagen : m_imagenes) {
        liberar(imagen);
    }
    if (m_pictureCapa != 0) {
        XRenderFreePicture(m_x, m_pictureCapa);
    }
    if (m_capa != 0) {
        XFreePixmap(m_x, m_capa);
    }
    if (m_gc != nullptr) {
        XFreeGC(m_x, m_gc);
    }
    m_captura.reset();
    XFlush(m_x);
}

bool SuperficieX11::hayCaptura() const {
    return m_captura != nullptr;
}

QImage SuperficieX11::imagenCaptura() const {
    QImage imagen = m_captura ? m_captura->leer() : QImage();
    imagen.setDevicePixelRatio(m_lienzo->devicePixelRatioF());
    return imagen;
}

bool SuperficieX11::eventFilter(QObject* objeto, QEvent* evento) {
    // Sent once the X window exists and before it is mapped.
    if (objeto == m_lienzo && evento->type() == QEvent::Show) {
        preparar();
    }
    return false;
}

void SuperficieX11::preparar() {
    const Window ventana = m_lienzo->winId();
    if (ventana == m_ventana) {
        return;
    }
    m_ventana = ventana;
    m_formato = m_formatos.de(m_x, ventana, m_lienzo->testAttribute(Qt::WA_TranslucentBackground));
    m_formatos.sinSincronia(m_x, ventana);
    if (m_captura && m_captura->profundidad() != m_formato.profundidad) {
        m_captura.reset(); // it can't be this window's background: white, as with no capture
    }
    if (m_gc == nullptr) {
        XGCValues valores{};
        valores.graphics_exposures = False; // copies come from pixmaps, never obscured
        m_gc = XCreateGC(m_x, ventana, GCGraphicsExposures, &valores);
    }
}

unsigned long SuperficieX11::fondo() const {
    if (m_conTrazo) {
        return m_capa;
    }
    return m_captura ? m_captura->pixmap() : 0;
}

QSize SuperficieX11::tamanoFondo() const {
    if (m_conTrazo) {
        return m_tamanoCapa;
    }
    return m_captura ? m_captura->tamano() : QSize();
}

void SuperficieX11::asegurarCapa() {
    if (m_capa != 0 || m_ventana == 0) {
        return;
    }
    // Without a capture the strokes lie on white, over the whole canvas.
    const QSize tamano = m_captura
                             ? m_captura->tamano()
                             : aNativo(m_lienzo->rect(), m_lienzo->devicePixelRatioF()).size();
    m_tamanoCapa = tamano;
    m_capa = XCreatePixmap(m_x, m_ventana, unsigned(tamano.width()), unsigned(tamano.height()),
                           unsigned(m_formato.profundidad));
    if (m_captura) {
        XCopyArea(m_x, m_captura->pixmap(), m_capa, m_gc, 0, 0, unsigned(tamano.width()),
                  unsigned(tamano.height()), 0, 0);
    } else {
        XSetForeground(m_x, m_gc, ServidorX::pixel(m_x, m_formato, Qt::white));
        XFillRectangle(m_x, m_capa, m_gc, 0, 0, unsigned(tamano.width()),
                       unsigned(tamano.height()));
    }
}

void SuperficieX11::restaurarCapa() {
    if (m_porRestaurar.isEmpty()) {
        return;
    }
    std::vector<XRectangle> recorte = rectangulos(m_porRestaurar);
    XSetClipRectangles(m_x, m_gc, 0, 0, recorte.data(), int(recorte.size()), YXSorted);
    const QRect r = m_porRestaurar.boundingRect();
    if (m_captura) {
        XCopyArea(m_x, m_captura->pixmap(), m_capa, m_gc, r.x(), r.y(), unsigned(r.width()),
                  unsigned(r.height()), r.x(), r.y());
    } else {
        XSetForeground(m_x, m_gc, ServidorX::pixel(m_x, m_formato, Qt::white));
        XFillRectangle(m_x, m_capa, m_gc, r.x(), r.y(), unsigned(r.width()), unsigned(r.height()));
    }
    XSetClipMask(m_x, m_gc, None);
    m_porRestaurar = QRegion();
}

void SuperficieX11::trazar(const QRegion& pixeles, const QColor& color) {
    asegurarCapa();
    if (m_capa == 0 || pixeles.isEmpty()) {
        return;
    }
    restaurarCapa();
    m_conTrazo = true;
    // Through the pixels as a clip, in one fill.
    const QRegion nativos = aNativo(pixeles, m_lienzo->devicePixelRatioF());
    std::vector<XRectangle> recorte = rectangulos(nativos);
    XSetClipRectangles(m_x, m_gc, 0, 0, recorte.data(), int(recorte.size()), YXSorted);
    XSetForeground(m_x, m_gc, ServidorX::pixel(m_x, m_formato, color));
    const QRect r = nativos.boundingRect();
    XFillRectangle(m_x, m_capa, m_gc, r.x(), r.y(), unsigned(r.width()), unsigned(r.height()));
    XSetClipMask(m_x, m_gc, None);
}

void SuperficieX11::trazarImagen(const QPoint& donde, const QImage& imagen) {
    asegurarCapa();
    if (m_capa == 0 || imagen.isNull()) {
        return;
    }
    restaurarCapa();
    m_conTrazo = true;
    const qreal escala = m_lienzo->devicePixelRatioF();
    const ImagenSubida subida = subirImagen(imagen);
    if (m_pictureCapa == 0) {
        m_pictureCapa = XRenderCreatePicture(
            m_x, m_capa, XRenderFindVisualFormat(m_x, static_cast<Visual*>(m_formato.visual)), 0,
            nullptr);
    }
    const QPoint en = aNativo(QRect(donde, QSize(1, 1)), escala).topLeft();
    XRenderComposite(m_x, PictOpOver, subida.picture, None, m_pictureCapa, 0, 0, 0, 0, en.x(),
                     en.y(), unsigned(subida.tamano.width()), unsigned(subida.tamano.height()));
    liberar(subida);
}

void SuperficieX11::borrarTrazos(const QRegion& zona) {
    // From now on the canvas paints from the capture; the layer is cleaned when next needed.
    m_conTrazo = false;
    m_porRestaurar += aNativo(zona, m_lienzo->devicePixelRatioF());
}

void SuperficieX11::pintar(QWidget* ventana, const QRegion& region,
                           const std::function<void(Pintor&)>& encima) {
    const Window id = ventana->internalWinId();
    if (m_gc == nullptr || id == 0 || region.isEmpty()) {
        return;
    }
    const qreal escala = ventana->devicePixelRatioF();
    const QRegion nativa = aNativo(region, escala);
    // Where the window lies over the canvas, in the canvas's device pixels: a child copies the
    // part of the picture it covers.
    const QPoint desde = ventana == m_lienzo
                             ? QPoint()
                             : aNativo(QRect(ventana->pos(), QSize(1, 1)), escala).topLeft();
    const QRect caja = nativa.boundingRect();
    std::vector<XRectangle> recorte = rectangulos(nativa);
    XSetClipRectangles(m_x, m_gc, 0, 0, recorte.data(), int(recorte.size()), YXSorted);
    // One copy through the clip: per rectangle the server would clip each against every window
    // above the canvas.
    const QRect area(QPoint(), tamanoFondo());
    const QRect dentro = caja.translated(desde) & area;
    if (fondo() != 0 && !dentro.isEmpty()) {
        XCopyArea(m_x, fondo(), id, m_gc, dentro.x(), dentro.y(), unsigned(dentro.width()),
                  unsigned(dentro.height()), dentro.x() - desde.x(), dentro.y() - desde.y());
    }
    // Past the capture the canvas is white.
    const QRegion fuera = QRegion(caja).subtracted(area.translated(-desde));
    if (!fuera.isEmpty()) {
        XSetForeground(m_x, m_gc, ServidorX::pixel(m_x, m_formato, Qt::white));
        for (const QRect& r : fuera) {
            XFillRectangle(m_x, id, m_gc, r.x(), r.y(), unsigned(r.width()), unsigned(r.height()));
        }
    }
    if (encima) {
        PintorX11 pintor(*this, id, escala, nativa);
        encima(pintor);
    }
    XSetClipMask(m_x, m_gc, None);
    if (ventana == m_lienzo) {
        // A child shows the stroke layer through its transparent pixels: it follows it.
        for (QWidget* hijo : m_lienzo->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const QRegion suya = region.intersected(hijo->geometry()).translated(-hijo->pos());
            if (hijo->isVisible() && hijo->internalWinId() != 0 && !suya.isEmpty()) {
                hijo->update(suya);
            }
        }
    }
    XFlush(m_x);
}

unsigned long SuperficieX11::pictureDe(unsigned long ventana) {
    const auto donde = m_pictures.find(ventana);
    if (donde != m_pictures.end()) {
        return donde->second;
    }
    XRenderPictFormat* formato =
        XRenderFindVisualFormat(m_x, static_cast<Visual*>(m_formato.visual));
    const Picture picture = XRenderCreatePicture(m_x, ventana, formato, 0, nullptr);
    m_pictures.emplace(ventana, picture);
    return picture;
}

const SuperficieX11::ImagenSubida& SuperficieX11::subir(const QPixmap& imagen, qreal escala) {
    for (const ImagenSubida& subida : m_imagenes) {
        if (subida.clave == imagen.cacheKey() && subida.escala == escala) {
            return subida;
        }
    }
    // One image pixel per logical pixel, as a painter on a scaled screen draws it.
    QImage argb = imagen.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QSize tamano = (imagen.deviceIndependentSize() * escala).toSize();
    if (argb.size() != tamano) {
        argb = argb.scaled(tamano, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    ImagenSubida subida = subirImagen(argb);
    subida.clave = imagen.cacheKey();
    subida.escala = escala;
    m_imagenes.push_back(subida);
    return m_imagenes.back();
}

SuperficieX11::ImagenSubida SuperficieX11::subirImagen(const QImage& imagen) const {
    const QImage argb = imagen.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ImagenSubida subida;
    subida.tamano = argb.size();
    subida.pixmap =
        XCreatePixmap(m_x, m_ventana, unsigned(argb.width()), unsigned(argb.height()), 32);
    XImage* xi =
        XCreateImage(m_x, nullptr, 32, ZPixmap, 0,
                     const_cast<char*>(reinterpret_cast<const char*>(argb.constBits())),
                     unsigned(argb.width()), unsigned(argb.height()), 32, int(argb.bytesPerLine()));
    if (xi != nullptr) {
        xi->byte_order = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? LSBFirst : MSBFirst;
        GC gc = XCreateGC(m_x, subida.pixmap, 0, nullptr);
        XPutImage(m_x, subida.pixmap, gc, xi, 0, 0, 0, 0, unsigned(argb.width()),
                  unsigned(argb.height()));
        XFreeGC(m_x, gc);
        xi->data = nullptr; // the QImage's
        XDestroyImage(xi);
    }
    subida.picture = XRenderCreatePicture(
        m_x, subida.pixmap, XRenderFindStandardFormat(m_x, PictStandardARGB32), 0, nullptr);
    return subida;
}

void SuperficieX11::liberar(const ImagenSubida& subida) const {
    XRenderFreePicture(m_x, subida.picture);
    XFreePixmap(m_x, subida.pixmap);
}
