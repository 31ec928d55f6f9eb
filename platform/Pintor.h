#pragma once

class QColor;
class QLineF;
class QPixmap;
class QPoint;
class QPolygonF;
class QRectF;

// Draws on a window over what its surface shows. Positions are the window's logical pixels; pens
// are solid.
class Pintor {
public:
    virtual ~Pintor();

    // What follows is drawn in `color`, blended by its alpha, with round ends and joins or, with
    // `puntaRecta`, square ones; antialiased when `suave`. Each line or ellipse blends once,
    // however its own parts overlap.
    virtual void pluma(const QColor& color, int ancho, bool puntaRecta, bool suave) = 0;
    virtual void linea(const QLineF& linea) = 0;
    // Unfilled, inscribed in `caja`.
    virtual void elipse(const QRectF& caja) = 0;
    // Filled with the pen's colour, without an outline.
    virtual void poligono(const QPolygonF& poligono) = 0;
    // Blended over what lies beneath, one image pixel per logical pixel.
    virtual void imagen(const QPoint& donde, const QPixmap& imagen) = 0;
};
