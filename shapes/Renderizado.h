#pragma once

#include "Estilo.h"

#include <QPolygonF>
#include <QRectF>
#include <vector>

class Lienzo;
class QPointF;

// How each outline shape sits in its window and how it is drawn there. Positions are screen
// twips, pen widths pixels. The window goes around the shape's extent with a margin of one pen
// width on every side.
namespace Renderizado {

// One whole pen width in twips, rounded halves to even.
int Margen(int anchoPluma, double twipsPorPixel);

// The window of each shape, in screen twips. A brush stroke without points has none (a null
// rectangle).
QRectF ColocarPincel(const std::vector<Punto>& puntos, int margen);
QRectF ColocarLinea(const QPointF& desde, const QPointF& hasta, int margen);
QRectF ColocarRectangulo(const QPointF& esquina, const QPointF& opuesta, int margen);
// Square, as wide as the preview's square; its height plays no part.
QRectF ColocarCirculo(const QRectF& cuadro, int margen);

// An arrow from `cola` to `punta` drawn with a pen `grosor` pixels wide: its filled head, a
// triangle whose tip is `punta`, and where its shaft ends, inside the head so that the pen's
// round end never shows past the tip. The head grows with the pen and is never longer than
// the arrow. Twips.
struct Flecha {
    QPolygonF cabeza; // empty for an arrow of no length: a dot
    QPointF finAsta;
};
Flecha flecha(const QPointF& cola, const QPointF& punta, int grosor, double twipsPorPixel);
QRectF ColocarFlecha(const QPointF& cola, const QPointF& punta, int grosor, double twipsPorPixel);

} // namespace Renderizado

// The strokes, drawn once into the window's image. The brush joins its points, each segment from
// the later point back to the earlier one; a single point is a dot of the pen's width.
void DibujarPincel(Lienzo& lienzo, const std::vector<Punto>& puntos);
// From the press point to the last pointer position.
void DibujarLinea(Lienzo& lienzo, const QPointF& desde, const QPointF& hasta);
// Four edges, starting at the press corner along its horizontal edge.
void DibujarRectangulo(Lienzo& lienzo, const QPointF& esquina, const QPointF& opuesta);
// Centred in the window's image.
void DibujarCirculo(Lienzo& lienzo, double diametro);
void DibujarFlecha(Lienzo& lienzo, const QPointF& cola, const QPointF& punta, int grosor);
