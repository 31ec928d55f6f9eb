#include "Unidades.h"

#include <QColor>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <cmath>

namespace Unidades {

double twipsPorPixel() {
    const QScreen* pantalla = QGuiApplication::primaryScreen();
    const double dpi = pantalla ? pantalla->logicalDotsPerInchX() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

int redondear(double valor) {
    // The default floating-point rounding mode rounds halves to even.
    return static_cast<int>(std::nearbyint(valor));
}

double aTwips(double pixeles) {
    return pixeles * twipsPorPixel();
}

double aPixeles(double twips) {
    return twips / twipsPorPixel();
}

int aPixelesRedondeados(double twips) {
    return redondear(aPixeles(twips));
}

QPointF aTwips(const QPointF& pixeles) {
    const double f = twipsPorPixel();
    return {pixeles.x() * f, pixeles.y() * f};
}

QRect rectEnPixeles(const QRectF& twips) {
    return {aPixelesRedondeados(twips.left()), aPixelesRedondeados(twips.top()),
            aPixelesRedondeados(twips.width()), aPixelesRedondeados(twips.height())};
}

QColor colorDesdeRGB(int rgb) {
    return {rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF};
}

int rgbDesdeColor(const QColor& color) {
    return color.red() + 256 * color.green() + 65536 * color.blue();
}

} // namespace Unidades
