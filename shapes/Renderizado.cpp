#include "Renderizado.h"

#include "Lienzo.h"
#include "Unidades.h"

#include <QLineF>
#include <QPointF>
#include <algorithm>
#include <cmath>

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

QRectF ColocarPincel(const std::vector<Punto>& puntos, int margen) {
    if (puntos.empty()) {
        return {};
    }
    // The exact box of the points, wherever they lie.
    int minX = puntos.front().X;
    int maxX = minX;
    int minY = puntos.front().Y;
    int maxY = minY;
    for (const Punto& p : puntos) {
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

Flecha flecha(const QPointF& cola, const QPointF& punta, int grosor, double twipsPorPixel) {
    const QLineF asta(cola, punta);
    const double largo = asta.length();
    if (largo <= 0) {
        return {{}, punta};
    }
    // About three pen widths long and as wide as long: it reads as an arrow at any width.
    const double cabeza = std::min((3.0 * grosor + 8.0) * twipsPorPixel, largo);
    const QPointF atras = (cola - punta) / largo; // unit vector from the tip back to the tail
    const QPointF lado(-atras.y(), atras.x());
    const QPointF base = punta + atras * cabeza;
    const double mitad = cabeza / 2.0;
    return {QPolygonF({punta, base + lado * mitad, base - lado * mitad}),
            punta + atras * (0.7 * cabeza)};
}

QRectF ColocarFlecha(const QPointF& cola, const QPointF& punta, int grosor, double twipsPorPixel) {
    const Flecha f = flecha(cola, punta, grosor, twipsPorPixel);
    QRectF caja = f.cabeza.boundingRect().united(QRectF(cola, punta).normalized());
    const int margen = Margen(grosor, twipsPorPixel);
    return caja.adjusted(-margen, -margen, margen, margen);
}

} // namespace Renderizado

void DibujarPincel(Lienzo& lienzo, const std::vector<Punto>& puntos) {
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

void DibujarCirculo(Lienzo& lienzo, double diametro) {
    lienzo.circulo(QPointF(lienzo.tamano().width() / 2.0, lienzo.tamano().height() / 2.0),
                   diametro / 2.0);
}

void DibujarFlecha(Lienzo& lienzo, const QPointF& cola, const QPointF& punta, int grosor) {
    const Renderizado::Flecha f = Renderizado::flecha(cola, punta, grosor, lienzo.twipsPorPixel());
    lienzo.segmento(cola, f.finAsta);
    if (!f.cabeza.isEmpty()) {
        lienzo.relleno(f.cabeza);
    }
}
