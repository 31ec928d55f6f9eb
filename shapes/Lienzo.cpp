#include "Lienzo.h"

#include "Unidades.h"
#include "modGeneral.h"

#include <QImage>
#include <QPen>

Lienzo::Lienzo(QImage& imagen, const QPointF& origen, double twipsPorPixel, int grosor, int color)
    : m_pintor(&imagen), m_origen(origen), m_twipsPorPixel(twipsPorPixel) {
    m_pintor.setRenderHint(QPainter::Antialiasing, false);
    // Round ends and joins: the segments of a wide stroke meet without gaps.
    m_pintor.setPen(
        QPen(Unidades::colorDesdeRGB(color), grosor, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    m_pintor.setBrush(Qt::NoBrush);
}

QImage Lienzo::imagenTrazos(QSize tamano, int color) {
    QImage imagen(tamano, QImage::Format_MonoLSB);
    imagen.setColorTable({Unidades::colorDesdeRGB(modGeneral::ColorClave).rgb(),
                          Unidades::colorDesdeRGB(color).rgb()});
    imagen.fill(0);
    return imagen;
}

QPointF Lienzo::enImagen(const QPointF& twips) const {
    return (twips - m_origen) / m_twipsPorPixel;
}

void Lienzo::segmento(const QPointF& desde, const QPointF& hasta) {
    const QPointF a = enImagen(desde);
    const QPointF b = enImagen(hasta);
    // Qt draws nothing for a segment of no length; the pen still leaves a dot of its width.
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
