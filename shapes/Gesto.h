#pragma once

#include "Estilo.h"

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <vector>

// What a finished gesture on the canvas hands to the shape window it creates: all the window is
// drawn from. Coordinates are desktop twips; widths are pixels.
struct Gesto {
    Estilo estilo;  // the style at the release: the tool, its colour, width and font
    QPointF inicio; // press point: line, arrow, highlighter (X1, Y1), rectangle and text (x0, y0)
    QPointF fin;    // last pointer position of the drag: line (X2, Y2), rectangle (xf, yf)
    QRectF cuadro;  // circle: the preview's bounding square (left, top, width = height)
    int anchoPluma = 0;        // the canvas's pen width, which sets the window's margin
    std::vector<Punto> puntos; // brush and fading ink: the stroke's points, in drawing order
    // Where no compositor blends windows, what the frozen screen shows beneath, at its device
    // resolution from the desktop's `origenFondo` (twips): a highlighter is blended with it.
    QImage fondo;
    QPointF origenFondo;
};
