#include "Contornos.h"

#include <QLineF>
#include <QRect>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

// Length of outline per box, pixels. Shorter boxes hug a diagonal closer but make more of them;
// for a wide pen, boxes about as long as the pen is wide waste the least.
double paso(int ancho) {
    return std::max(16, ancho);
}

// Unites boxes pairwise: uniting them one by one into a growing region costs quadratic time.
QRegion unir(std::vector<QRegion> partes) {
    if (partes.empty()) {
        return {};
    }
    while (partes.size() > 1) {
        std::vector<QRegion> mitad;
        mitad.reserve((partes.size() + 1) / 2);
        for (std::size_t i = 0; i + 1 < partes.size(); i += 2) {
            mitad.push_back(partes[i].united(partes[i + 1]));
        }
        if (partes.size() % 2 != 0) {
            mitad.push_back(partes.back());
        }
        partes = std::move(mitad);
    }
    return partes.front();
}

} // namespace

namespace Contornos {

QRect caja(const QRectF& contorno, int ancho) {
    // Half the pen on each side, and room for the rasteriser's rounding.
    const qreal borde = ancho / 2.0 + 2;
    return contorno.normalized().adjusted(-borde, -borde, borde, borde).toAlignedRect();
}

QRegion segmento(const QLineF& linea, int ancho) {
    const int piezas = std::max(1, int(std::ceil(linea.length() / paso(ancho))));
    std::vector<QRegion> partes;
    partes.reserve(piezas);
    QPointF previo = linea.p1();
    for (int i = 1; i <= piezas; ++i) {
        const QPointF punto = linea.pointAt(qreal(i) / piezas);
        partes.emplace_back(caja(QRectF(previo, punto), ancho));
        previo = punto;
    }
    return unir(std::move(partes));
}

QRegion elipse(const QRectF& cajaElipse, int ancho) {
    const QRectF c = cajaElipse.normalized();
    const double a = c.width() / 2;
    const double b = c.height() / 2;
    // Points at the four extremes and evenly between them: between two neighbours the arc only
    // rises or falls, so the box they span holds it.
    const double perimetro = 2 * std::numbers::pi * std::max(a, b);
    const int porCuadrante = std::max(1, int(std::ceil(perimetro / 4 / paso(ancho))));
    const int puntos = 4 * porCuadrante;
    std::vector<QRegion> partes;
    partes.reserve(puntos);
    const QPointF centro = c.center();
    QPointF previo(centro.x() + a, centro.y());
    for (int i = 1; i <= puntos; ++i) {
        const double angulo = 2 * std::numbers::pi * i / puntos;
        const QPointF punto(centro.x() + a * std::cos(angulo), centro.y() + b * std::sin(angulo));
        partes.emplace_back(caja(QRectF(previo, punto), ancho));
        previo = punto;
    }
    return unir(std::move(partes));
}

} // namespace Contornos
