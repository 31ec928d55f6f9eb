#include "Composicion.h"

#include <QPainter>

namespace Composicion {

QImage componer(const QImage& fondo, QPoint origen, const QList<Capa>& capas) {
    QImage resultado = fondo.convertToFormat(QImage::Format_RGB32);
    resultado.setDevicePixelRatio(fondo.devicePixelRatio());
    QPainter pintor(&resultado);
    // Logical pixels, scaled like the screen: a window's shape covers whole device pixels there.
    pintor.setRenderHint(QPainter::Antialiasing, false);
    pintor.setRenderHint(QPainter::SmoothPixmapTransform, false);
    for (const Capa& capa : capas) {
        pintor.save();
        pintor.translate(capa.posicion - origen);
        if (!capa.forma.isEmpty()) {
            pintor.setClipRegion(capa.forma);
        }
        if (capa.imagen.isNull()) {
            if (!capa.forma.isEmpty()) {
                pintor.fillRect(capa.forma.boundingRect(), capa.color);
            }
        } else {
            pintor.drawImage(QPoint(0, 0), capa.imagen);
        }
        pintor.restore();
    }
    return resultado;
}

} // namespace Composicion
