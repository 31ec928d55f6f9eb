#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRegion>

// The annotated screen as one picture, apart from any window: the frozen screen with the shapes
// laid over it as the X server shows them, each through its window's shape.
namespace Composicion {

struct Capa {
    QPoint posicion; // top-left corner on the desktop, logical pixels
    QRegion forma;   // what shows, in the layer's own pixels; empty: all of `imagen`
    QColor color;    // fills `forma` when the layer has no image (a one-colour shape)
    QImage imagen;   // what the layer shows when it is not one colour (a text shape)
};

// `fondo` is the screen whose top-left corner lies at `origen` on the desktop, at its own device
// pixel ratio; the layers go over it bottom first. The result has the size and ratio of `fondo`.
QImage componer(const QImage& fondo, QPoint origen, const QList<Capa>& capas);

} // namespace Composicion
