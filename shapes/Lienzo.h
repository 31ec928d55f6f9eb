#pragma once

#include <QPainter>
#include <QPointF>
#include <QSize>

class QImage;

// Draws a shape's strokes into its window's image. Callers give positions in screen twips; the
// image's top-left pixel lies at `origen`. Strokes are solid, unfilled and not antialiased, so
// every pixel is either the pen's colour or left as it was, and the colour key cuts clean edges.
class Lienzo {
public:
    Lienzo(QImage& imagen, const QPointF& origen, double twipsPorPixel, int grosor, int color);

    // A blank picture for strokes of `color`: strokes have one colour over the key, so one bit per
    // pixel holds them, and the pixels they set are what regionVisible() finds.
    static QImage imagenTrazos(QSize tamano, int color);

    void segmento(const QPointF& desde, const QPointF& hasta);
    // Centred on a point of the image, in pixels; the radius is twips.
    void circulo(const QPointF& centroEnPixeles, double radio);

    // Where a screen point lands in the image, in pixels.
    QPointF enImagen(const QPointF& twips) const;
    double twipsPorPixel() const { return m_twipsPorPixel; }

private:
    QPainter m_pintor;
    QPointF m_origen;
    double m_twipsPorPixel;
};
