#pragma once

#include "modGeneral.h"

#include <QPointF>
#include <QRectF>
#include <vector>

// What a finished gesture on the canvas hands to the shape window it creates. Coordinates are
// desktop twips; widths are pixels. The tool, colour, thickness and font settings are read from
// modGeneral at the same moment.
struct Gesto {
    int tipo = 0;       // the tool at the release (modGeneral::Tipo)
    QPointF inicio;     // press point: line (X1, Y1), rectangle (x0, y0), text (x0, y0)
    QPointF fin;        // last pointer position of the drag: line (X2, Y2), rectangle (xf, yf)
    QRectF cuadro;      // circle: the preview's bounding square (left, top, width = height)
    int anchoPluma = 0; // the canvas's pen width, which sets the window's margin
    std::vector<modGeneral::Punto> puntos; // brush: the stroke's points, in drawing order
};
