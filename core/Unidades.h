#pragma once

class QColor;
class QPoint;
class QPointF;
class QRect;
class QRectF;

// Positions in the program's rules are twips (1440 per logical inch); Qt works in pixels.
// Every conversion between the two goes through here.
namespace Unidades {

// Twips per logical pixel of the primary screen: 15 at 96 DPI.
double twipsPorPixel();

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
int redondear(double valor);

double aTwips(double pixeles);
double aPixeles(double twips);
int aPixelesRedondeados(double twips);
QPointF aTwips(const QPointF& pixeles);
QRect rectEnPixeles(const QRectF& twips);

// Colours are packed as red + 256 * green + 65536 * blue.
QColor colorDesdeRGB(int rgb);
int rgbDesdeColor(const QColor& color);

} // namespace Unidades
