#include "Lienzo.h"

#include "Unidades.h"
#include "Ventanas.h"

#include <QImage>
#include <QPen>
#include <QPolygonF>
#include <cstdlib>

Lienzo::Lienzo(QImage& imagen, const QPointF& origen, double twipsPorPixel, const Pluma& pluma)
    : m_pintor(&imagen), m_origen(origen), m_twipsPorPixel(twipsPorPixel), m_tamano(imagen.size()) {
    m_pintor.setRenderHint(QPainter::Antialiasing, pluma.suave);
    m_pintor.setOpacity(pluma.opacidad / 100.0);
    // Round ends and joins: the segments of a wide stroke meet without gaps.
    m_pintor.setPen(QPen(Unidades::colorDesdeRGB(pluma.color), pluma.grosor, Qt::SolidLine,
                         pluma.puntaRecta ? Qt::SquareCap : Qt::RoundCap,
                         pluma.puntaRecta ? Qt::MiterJoin : Qt::RoundJoin));
    m_pintor.setBrush(Qt::NoBrush);
}

QImage Lienzo::imagenTrazos(QSize tamano, int color) {
    QImage imagen(tamano, QImage::Format_MonoLSB);
    imagen.setColorTable(
        {Unidades::colorDesdeRGB(ColorClave).rgb(), Unidades::colorDesdeRGB(color).rgb()});
    imagen.fill(0);
    return imagen;
}

QImage Lienzo::imagenSuave(QSize tamano, qreal escala) {
    // Clear from the start: memory the system hands over zeroed, page by page as it is first
    // touched. A stroke across the screen writes to few of a screen-sized picture's pages, and
    // filling it all first took longer than drawing the stroke.
    const QSize pixeles = tamano * escala;
    const auto porLinea = qsizetype(pixeles.width()) * 4;
    void* datos = pixeles.isEmpty()
                      ? nullptr
                      : std::calloc(std::size_t(porLinea) * std::size_t(pixeles.height()), 1);
    if (datos == nullptr) {
        return {}; // as QImage itself gives when there is no room
    }
    QImage imagen(
        static_cast<uchar*>(datos), pixeles.width(), pixeles.height(), porLinea,
        QImage::Format_ARGB32_Premultiplied, [](void* d) { std::free(d); }, datos);
    imagen.setDevicePixelRatio(escala);
    return imagen;
}

QPointF Lienzo::enImagen(const QPointF& twips) const {
    return (twips - m_origen) / m_twipsPorPixel;
}

void Lienzo::segmento(const QPointF& desde, const QPointF& hasta) {
    const QPointF a = enImagen(desde);
    const QPointF b = enImagen(hasta);
    // Qt 6.4 and 6.8 draw nothing for a wide segment of no length (QStroker puts no cap on it);
    // the pen still leaves a dot of its width.
    if (a == b) {
        m_pintor.drawPoint(a);
    } else {
        m_pintor.drawLine(a, b);
    }
}

void Lienzo::circulo(const QPointF& centroEnPixeles, double radio) {
    const double r = radio / m_twipsPorPixel;
    if (r <= 0) {
        m_pintor.drawPoint(centroEnPixeles);
    } else {
        m_pintor.drawEllipse(centroEnPixeles, r, r);
    }
}

void Lienzo::relleno(const QPolygonF& poligono) {
    QPolygonF enPixeles;
    for (const QPointF& p : poligono) {
        enPixeles.append(enImagen(p));
    }
    m_pintor.save();
    m_pintor.setBrush(m_pintor.pen().color());
    m_pintor.setPen(Qt::NoPen);
    m_pintor.drawPolygon(enPixeles);
    m_pintor.restore();
}
