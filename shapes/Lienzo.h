#pragma once

#include <QPainter>
#include <QPointF>
#include <QSize>

class QImage;
class QPolygonF;

// Draws a shape's strokes into its window's image. Callers give positions in screen twips; the
// image's top-left pixel lies at `origen`. Strokes are solid and unfilled. Into a one-bit image
// (imagenTrazos) they are not antialiased, so every pixel is either the pen's colour or left as
// it was and the colour key cuts clean edges; into an image with an alpha channel they are
// smooth where the pen says so.
class Lienzo {
public:
    struct Pluma {
        int grosor = 1;          // pixels
        int color = 0;           // red + 256 * green + 65536 * blue
        bool puntaRecta = false; // square ends and corners instead of round ones
        int opacidad = 100;      // percent
        bool suave = false;      // antialiased
    };

    Lienzo(QImage& imagen, const QPointF& origen, double twipsPorPixel, const Pluma& pluma);

    // A blank picture for strokes of `color`: strokes have one colour over the key, so one bit per
    // pixel holds them, and the pixels they set are what regionVisible() finds.
    static QImage imagenTrazos(QSize tamano, int color);
    // A clear picture for smooth or translucent strokes, `tamano` logical pixels at `escala`
    // device pixels each.
    static QImage imagenSuave(QSize tamano, qreal escala);

    void segmento(const QPointF& desde, const QPointF& hasta);
    // Centred on a point of the image, in pixels; the radius is twips.
    void circulo(const QPointF& centroEnPixeles, double radio);
    // Filled with the pen's colour, without an outline.
    void relleno(const QPolygonF& poligono);

    // Where a screen point lands in the image, in pixels.
    QPointF enImagen(const QPointF& twips) const;
    double twipsPorPixel() const { return m_twipsPorPixel; }
    // The image's size, pixels.
    QSize tamano() const { return m_tamano; }

private:
    QPainter m_pintor;
    QPointF m_origen;
    double m_twipsPorPixel;
    QSize m_tamano;
};
