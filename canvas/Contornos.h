#pragma once

class QLineF;
class QRect;
class QRectF;
class QRegion;

// The pixels a pen may touch while drawing a preview, for repainting just those. A long diagonal
// line or a large circle covers little of its bounding box, so both are followed by a chain of
// small boxes instead: a move repaints about the stroke, not the screen.
namespace Contornos {

// Around an outline that stays within `contorno`, drawn with a pen `ancho` pixels wide.
QRect caja(const QRectF& contorno, int ancho);

QRegion segmento(const QLineF& linea, int ancho);

// The ellipse inscribed in `caja`.
QRegion elipse(const QRectF& caja, int ancho);

} // namespace Contornos
