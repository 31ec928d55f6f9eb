#include "Monitores.h"

#include <algorithm>
#include <limits>

namespace Monitores {

namespace {
// Squared distance from `punto` to the nearest point of `area`; 0 inside.
double distancia2(const QRectF& area, QPointF punto) {
    const double dx = std::max({area.left() - punto.x(), 0.0, punto.x() - area.right()});
    const double dy = std::max({area.top() - punto.y(), 0.0, punto.y() - area.bottom()});
    return dx * dx + dy * dy;
}

// A pixel at x covers [x, x + 1): the area of a monitor's pixels ends before its far edges.
bool contiene(const QRect& monitor, QPointF punto) {
    const QRectF area(monitor);
    return punto.x() >= area.left() && punto.x() < area.right() && punto.y() >= area.top() &&
           punto.y() < area.bottom();
}

// `ventana` moved the least distance that puts all of it on `monitor`, or its top-left corner on
// the monitor's when it is larger.
QRect dentroDe(const QRect& ventana, const QRect& monitor) {
    QRect r = ventana;
    // Right and bottom first, so that a window larger than the monitor ends at its top-left.
    if (r.right() > monitor.right()) {
        r.moveRight(monitor.right());
    }
    if (r.bottom() > monitor.bottom()) {
        r.moveBottom(monitor.bottom());
    }
    if (r.left() < monitor.left()) {
        r.moveLeft(monitor.left());
    }
    if (r.top() < monitor.top()) {
        r.moveTop(monitor.top());
    }
    return r;
}
} // namespace

int deUnPunto(const QList<QRect>& monitores, QPointF punto) {
    int mejor = -1;
    double menor = std::numeric_limits<double>::infinity();
    for (int i = 0; i < monitores.size(); ++i) {
        if (contiene(monitores[i], punto)) {
            return i;
        }
        const double d = distancia2(QRectF(monitores[i]), punto);
        if (d < menor) {
            menor = d;
            mejor = i;
        }
    }
    return mejor;
}

QRect rescatar(const QRect& ventana, const QList<QRect>& monitores) {
    const QPointF centro = QRectF(ventana).center();
    const int cerca = deUnPunto(monitores, centro);
    if (cerca < 0 || contiene(monitores[cerca], centro)) {
        return ventana;
    }
    return dentroDe(ventana, monitores[cerca]);
}

QPointF limitar(QPointF punto, QSize tamano, double escala) {
    const double ultimo = escala > 0 ? 1.0 / escala : 1.0;
    const double x = std::clamp(punto.x(), 0.0, std::max(0.0, tamano.width() - ultimo));
    const double y = std::clamp(punto.y(), 0.0, std::max(0.0, tamano.height() - ultimo));
    return {x, y};
}

} // namespace Monitores
