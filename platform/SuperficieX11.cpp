#include "SuperficieX11.h"

#include "CapturaX11.h"
#include "Pintor.h"

#include <QColor>
#include <QEvent>
#include <QImage>
#include <QLineF>
#include <QPixmap>
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

} // namespace

// Draws on one X window with the surface's GC, clipped to the area being painted.
class SuperficieX11::PintorX11 : public Pintor {
public:
    // `recorte`, device pixels, limits what RENDER blends; the GC comes clipped already.
    PintorX11(SuperficieX11& superficie, Window ventana, qreal escala, const QRegion& recorte)
        : m_s(superficie), m_ventana(ventana), m_escala(escala), m_recorte(recorte) {}

    void pluma(const QColor& color, int ancho) override {
        XSetForeground(m_s.m_x, m_s.m_gc, ServidorX::pixel(m_s.m_x, m_s.m_formato, color));
        XSetLineAttributes(m_s.m_x, m_s.m_gc, unsigned(std::max(1L, std::lround(ancho * m_escala))),
                           LineSolid, CapRound, JoinRound);
    }
    void linea(const QLineF& l) override {
        XDrawLine(m_s.m_x, m_ventana, m_s.m_gc, n(l.x1()), n(l.y1()), n(l.x2()), n(l.y2()));
    }
    void elipse(const QRectF& caja) override {
        const QRectF c = caja.normalized();
        XDrawArc(m_s.m_x, m_ventana, m_s.m_gc, n(c.left()), n(c.top()),
                 unsigned(std::lround(c.width() * m_escala)),
                 unsigned(std::lround(c.height() * m_escala)), 0, 360 * 64);
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

    SuperficieX11& m_s;
    Window m_ventana;
    qreal m_escala;
    const QRegion& m_recorte;
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
    // X windows of their own.
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
        XRenderFreePicture(m_x, imagen.picture);
        XFreePixmap(m_x, imagen.pixmap);
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
    ImagenSubida subida;
    subida.clave = imagen.cacheKey();
    subida.escala = escala;
    subida.tamano = tamano;
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
    m_imagenes.push_back(subida);
    return m_imagenes.back();
}
