#pragma once

class QImage;
class QRegion;
class QWidget;

// The three window operations the program's windows share.

// The colour (red + 256 * green + 65536 * blue) a colour-keyed window's see-through pixels have.
inline constexpr int ColorClave = 123 + 256 * 22 + 65536 * 153;

// Keeps the window above every ordinary window (or returns it to the ordinary group) and brings
// it to the front, keeping its position and size; with `tomarTeclado`, active as well.
void SiempreEncima(QWidget* ventana, bool activar, bool tomarTeclado = true);

// Turns the window's background into colorClave and from then on shows only its pixels of other
// colours: the key-coloured ones show what lies beneath and let the mouse through. A window that
// already holds its content as an image passes it as `contenido`, and is not rendered to find it.
void HacerTransparente(QWidget* ventana, int colorClave, const QImage* contenido = nullptr);
// The same for a window whose visible part is known already.
void HacerTransparente(QWidget* ventana, int colorClave, const QRegion& forma);

// A colour-keyed window calls this after its content changed, so that what shows follows it.
// Does nothing for a window that was never made transparent.
void ActualizarTransparencia(QWidget* ventana);

// The part of `imagen` whose pixels are not `colorClave`. Never empty for an image with no
// visible pixel: an empty region would mean "no mask at all" and show the whole window.
QRegion regionVisible(const QImage& imagen, int colorClave);

// The part of a premultiplied ARGB picture at least `umbral` (1 to 255) opaque, in the window's
// pixels (the picture's device pixel ratio taken out). Never empty, as above.
QRegion regionOpaca(const QImage& imagen, int umbral);

// Lets the user drag the window by pressing the left button alone on it and moving. With
// `soloFondo`, a press on one of its child widgets does not start a drag.
void ArrastrarVentana(QWidget* ventana, bool soloFondo = false);
