#include "Renderizado.h"

#include "Lienzo.h"
#include "Unidades.h"

#include <QPointF>
#include <algorithm>

namespace Renderizado {

namespace {
QRectF alrededor(double minX, double minY, double maxX, double maxY, int margen) {
    return {minX - margen, minY - margen, (maxX - minX) + 2.0 * margen,
            (maxY - minY) + 2.0 * margen};
}
} // namespace

int Margen(int anchoPluma, double twipsPorPixel) {
    return Unidades::redondear(anchoPluma * twipsPorPixel);
}

QRectF ColocarPincel(const std::vector<modGeneral::Punto>& puntos, int margen) {
    if (puntos.empty()) {
        return {};
    }
    // The exact box of the points, wherever they lie.
    int minX = puntos.front().X;
    int maxX = minX;
    int minY = puntos.front().Y;
    int maxY = minY;
    for (const modGeneral::Punto& p : puntos) {
        minX = std::min(minX, p.X);
        maxX = std::max(maxX, p.X);
        minY = std::min(minY, p.Y);
        maxY = std::max(maxY, p.Y);
    }
    return alrededor(minX, minY, maxX, maxY, margen);
}

QRectF ColocarLinea(const QPointF& desde, const QPointF& hasta, int margen) {
    return alrededor(std::min(desde.x(), hasta.x()), std::min(desde.y(), hasta.y()),
                     std::max(desde.x(), hasta.x()), std::max(desde.y(), hasta.y()), margen);
}

QRectF ColocarRectangulo(const QPointF& esquina, const QPointF& opuesta, int margen) {
    return ColocarLinea(esquina, opuesta, margen);
}

QRectF ColocarCirculo(const QRectF& cuadro, int margen) {
    const double lado = cuadro.width() + 2.0 * margen;
    return {cuadro.left() - margen, cuadro.top() - margen, lado, lado};
}

} // namespace Renderizado

void DibujarPincel(Lienzo& lienzo, const std::vector<modGeneral::Punto>& puntos) {
    if (puntos.size() == 1) {
        // A click without a move: the dot the pen left where it was pressed.
        const QPointF punto(puntos.front().X, puntos.front().Y);
        lienzo.segmento(punto, punto);
        return;
    }
    for (std::size_t i = 0; i + 1 < puntos.size(); ++i) {
        lienzo.segmento(QPointF(puntos[i + 1].X, puntos[i + 1].Y),
                        QPointF(puntos[i].X, puntos[i].Y));
    }
}

void DibujarLinea(Lienzo& lienzo, const QPointF& desde, const QPointF& hasta) {
    lienzo.segmento(desde, hasta);
}

void DibujarRectangulo(Lienzo& lienzo, const QPointF& esquina, const QPointF& opuesta) {
    const QPointF ab = esquina;
    const QPointF cb(opuesta.x(), esquina.y());
    const QPointF cd = opuesta;
    const QPointF ad(esquina.x(), opuesta.y());
    lienzo.segmento(ab, cb);
    lienzo.segmento(cb, cd);
    lienzo.segmento(cd, ad);
    lienzo.segmento(ad, ab);
}

void DibujarCirculo(Lienzo& lienzo, int anchoVentana, int altoVentana, double diametro) {
    lienzo.circulo(QPointF(anchoVentana / 2.0, altoVentana / 2.0), diametro / 2.0);
}
