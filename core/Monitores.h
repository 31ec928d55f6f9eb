#pragma once

#include <QList>
#include <QPointF>
#include <QRect>
#include <QSize>

// Where things go among the monitors of the desktop. A monitor is its area on the desktop in
// logical pixels, as Qt 6.4 and 6.8 lay them out (QHighDpi::fromNativeScreenGeometry): each keeps
// its device position as its top-left corner and divides its device size by its scale, so monitors
// of different scales may leave gaps between them but never overlap.
namespace Monitores {

// The monitor holding `punto`, or else the nearest one (the first listed of equals); -1 when
// there is none.
int deUnPunto(const QList<QRect>& monitores, QPointF punto);

// Where a window at `ventana` must be to be reached on `monitores`: unchanged while its centre
// lies on one of them; otherwise moved onto the monitor nearest that centre, the least distance
// that puts all of it there, or its top-left corner on the monitor's when it is larger.
QRect rescatar(const QRect& ventana, const QList<QRect>& monitores);

// A pointer position on a canvas of `tamano` logical pixels, each `escala` device pixels, kept on
// the canvas: its last device pixel is `escala` device pixels short of the far edge.
QPointF limitar(QPointF punto, QSize tamano, double escala);

} // namespace Monitores
