#pragma once

class QColor;
class QLineF;
class QPixmap;
class QPoint;
class QRectF;

// Draws on a window over what its surface shows. Positions are the window's logical pixels; pens
// are solid, not antialiased, with round caps and joins.
class Pintor {
public:
    virtual ~Pintor();

    virtual void pluma(const QColor& color, int ancho) = 0;
    virtual void linea(const QLineF& linea) = 0;
    // Unfilled, inscribed in `caja`.
    virtual void elipse(const QRectF& caja) = 0;
    // Blended over what lies beneath, one image pixel per logical pixel.
    virtual void imagen(const QPoint& donde, const QPixmap& imagen) = 0;
};
