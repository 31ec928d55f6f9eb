#include "ImagenPantalla.h"

#include <QImage>

namespace ImagenPantalla {

QImage recortar(const QImage& imagen, const QRect& escritorio, const QRect& pantalla) {
    if (imagen.isNull() || escritorio.isEmpty() || pantalla.isEmpty() ||
        !escritorio.contains(pantalla)) {
        return {};
    }
    if (imagen.size() == escritorio.size() && pantalla == escritorio) {
        return imagen;
    }
    // The picture's pixels per desktop pixel, along each side.
    const qreal ex = qreal(imagen.width()) / escritorio.width();
    const qreal ey = qreal(imagen.height()) / escritorio.height();
    const QRectF zona((pantalla.x() - escritorio.x()) * ex, (pantalla.y() - escritorio.y()) * ey,
                      pantalla.width() * ex, pantalla.height() * ey);
    const QRect entera = zona.toAlignedRect() & imagen.rect();
    QImage parte = imagen.copy(entera);
    if (parte.size() != pantalla.size()) {
        parte = parte.scaled(pantalla.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return parte;
}

} // namespace ImagenPantalla
