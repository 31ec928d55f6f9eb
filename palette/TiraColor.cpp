#include "TiraColor.h"

#include "Unidades.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <array>

namespace TiraColor {

namespace {

// The steps between the pure colours: not a straight line, the eye wants more of them near the
// bright end.
constexpr std::array<int, 41> L{7,   14,  21,  28,  34,  40,  47,  53,  59,  65,  71,
                                76,  82,  88,  93,  99,  104, 110, 115, 121, 126, 132,
                                137, 142, 148, 153, 159, 165, 170, 176, 182, 187, 193,
                                199, 205, 211, 218, 224, 231, 237, 244};
constexpr int Ultimo = static_cast<int>(L.size()) - 1;

constexpr int rgb(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}

// A run of 41 rows starting at `inicio`, walking L upwards or (L') downwards.
constexpr int paso(int fila, int inicio, bool subiendo) {
    const int i = fila - inicio;
    return subiendo ? L[i] : L[Ultimo - i];
}

} // namespace

int colorFila(int fila) {
    if (fila < 0 || fila >= Alto) {
        return -1;
    }
    if (fila == 0) {
        return rgb(255, 0, 0);
    }
    if (fila <= 41) {
        return rgb(255, paso(fila, 1, true), 0);
    }
    if (fila <= 43) {
        return rgb(255, 255, 0);
    }
    if (fila <= 84) {
        return rgb(paso(fila, 44, false), 255, 0);
    }
    if (fila <= 86) {
        return rgb(0, 255, 0);
    }
    if (fila <= 127) {
        return rgb(0, 255, paso(fila, 87, true));
    }
    if (fila == 128) {
        return rgb(0, 255, 255);
    }
    if (fila <= 169) {
        return rgb(0, paso(fila, 129, false), 255);
    }
    if (fila <= 171) {
        return rgb(0, 0, 255);
    }
    if (fila <= 212) {
        return rgb(paso(fila, 172, true), 0, 255);
    }
    if (fila <= 214) {
        return rgb(255, 0, 255);
    }
    if (fila <= 255) {
        return rgb(255, 0, paso(fila, 215, false));
    }
    if (fila <= 261) {
        return rgb(0, 0, 0);
    }
    return rgb(255, 255, 255);
}

QImage imagen() {
    QImage tira(Ancho, Alto, QImage::Format_RGB32);
    for (int fila = 0; fila < Alto; ++fila) {
        const QRgb color = Unidades::colorDesdeRGB(colorFila(fila)).rgb();
        auto* linea = reinterpret_cast<QRgb*>(tira.scanLine(fila));
        std::fill(linea, linea + Ancho, color);
    }
    return tira;
}

QImage imagenCaja(const QSize& caja) {
    QImage imagenCaja(caja, QImage::Format_RGB32);
    imagenCaja.fill(Unidades::colorDesdeRGB(ColorFondo));
    QPainter pintor(&imagenCaja);
    pintor.drawImage(1, 1, imagen());
    pintor.setPen(Unidades::colorDesdeRGB(ColorBorde));
    pintor.setBrush(Qt::NoBrush);
    pintor.drawRect(0, 0, caja.width() - 1, caja.height() - 1);
    return imagenCaja;
}

int colorEnCaja(const QImage& caja, const QPoint& punto) {
    if (!caja.valid(punto)) {
        return -1;
    }
    return Unidades::rgbDesdeColor(QColor(caja.pixel(punto)));
}

} // namespace TiraColor
