#include "ImagenPantalla.h"

#include <QImage>
#include <QSize>

namespace ImagenPantalla {

QList<QRect> lineasDeMuestra(const QSize& tamano) {
    QList<QRect> lineas;
    if (tamano.isEmpty()) {
        return lineas;
    }
    for (int cuarto = 1; cuarto <= 3; ++cuarto) {
        lineas.append(QRect(0, tamano.height() * cuarto / 4, tamano.width(), 1));
        lineas.append(QRect(tamano.width() * cuarto / 4, 0, 1, tamano.height()));
    }
    return lineas;
}

std::optional<QRgb> colorUnico(const QList<QImage>& imagenes) {
    std::optional<QRgb> color;
    for (const QImage& original : imagenes) {
        const QImage imagen = original.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < imagen.height(); ++y) {
            const auto* fila = reinterpret_cast<const QRgb*>(imagen.constScanLine(y));
            for (int x = 0; x < imagen.width(); ++x) {
                const QRgb pixel = fila[x] | 0xFF000000U;
                if (!color) {
                    color = pixel;
                } else if (*color != pixel) {
                    return std::nullopt;
                }
            }
        }
    }
    return color;
}

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
