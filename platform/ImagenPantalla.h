#pragma once

#include <QList>
#include <QRect>
#include <QRgb>
#include <optional>

class QImage;
class QSize;

// Rules about pictures of the screen that need no window.
namespace ImagenPantalla {

// Where to look at a capture of a screen of `tamano` to tell whether it came back as one flat
// colour: three rows and three columns across it, edge to edge. A screen any program shows
// something on differs somewhere along them.
QList<QRect> lineasDeMuestra(const QSize& tamano);

// The colour every pixel of `imagenes` has (alpha aside); none when two differ or there is no
// pixel at all.
std::optional<QRgb> colorUnico(const QList<QImage>& imagenes);

// The part of `imagen`, a picture of the whole desktop `escritorio`, that shows `pantalla`,
// at exactly the size of `pantalla` (both in the same device pixels): cropped where the picture
// covers more than that screen, scaled where it came at another scale than the screen's. Null
// when the picture is null or the screen lies outside the desktop.
QImage recortar(const QImage& imagen, const QRect& escritorio, const QRect& pantalla);

} // namespace ImagenPantalla
