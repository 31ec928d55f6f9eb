#pragma once

class QImage;
class QPoint;
class QSize;

// The colour strip of the tool palette: 268 rows of one colour each, running red, yellow, green,
// cyan, blue, magenta and back towards red, then black and white.
namespace TiraColor {

inline constexpr int Ancho = 12;
inline constexpr int Alto = 268;

// The colour of the box's one-pixel border, and of any room the box has around the strip.
inline constexpr int ColorBorde = 128 + 256 * 128 + 65536 * 128;
inline constexpr int ColorFondo = 16777215;

// The packed RGB colour of row `fila` (0 at the top), or -1 outside the strip.
int colorFila(int fila);

// The strip itself, Ancho x Alto pixels.
QImage imagen();

// What the box holding the strip shows: the strip at the top-left corner inside a one-pixel
// border. A press on the box picks exactly the colour of the pixel it shows there.
QImage imagenCaja(const QSize& caja);

// The packed colour of the box's pixel at `punto`, or -1 outside the box.
int colorEnCaja(const QImage& caja, const QPoint& punto);

} // namespace TiraColor
