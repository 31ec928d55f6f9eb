#pragma once

#include <QRect>

class QImage;

// Rules about pictures of the screen that need no window.
namespace ImagenPantalla {

// The part of `imagen`, a picture of the whole desktop `escritorio`, that shows `pantalla`,
// at exactly the size of `pantalla` (both in the same device pixels): cropped where the picture
// covers more than that screen, scaled where it came at another scale than the screen's. Null
// when the picture is null or the screen lies outside the desktop.
QImage recortar(const QImage& imagen, const QRect& escritorio, const QRect& pantalla);

} // namespace ImagenPantalla
