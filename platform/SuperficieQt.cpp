#include "SuperficieQt.h"

#include "Pintor.h"

#include <QPainter>
#include <QPen>
#include <QRegion>
#include <QWidget>

Captura::~Captura() = default;
Superficie::~Superficie() = default;
Pintor::~Pintor() = default;

namespace {

class PintorQt : public Pintor {
public:
    explicit PintorQt(QPainter& pintor) : m_pintor(pintor) {}
    void pluma(const QColor& color, int ancho, bool puntaRecta, bool suave) override {
        m_pintor.setPen(QPen(color, qreal(ancho), Qt::SolidLine,
                             puntaRecta ? Qt::SquareCap : Qt::RoundCap,
                             puntaRecta ? Qt::MiterJoin : Qt::RoundJoin));
        m_pintor.setBrush(Qt::NoBrush);
        m_pintor.setRenderHint(QPainter::Antialiasing, suave);
    }
    void linea(const QLineF& linea) override { m_pintor.drawLine(linea); }
    void elipse(const QRectF& caja) override { m_pintor.drawEllipse(caja); }
    void poligono(const QPolygonF& poligono) override {
        const QColor color = m_pintor.pen().color();
        m_pintor.save();
        m_pintor.setPen(Qt::NoPen);
        m_pintor.setBrush(color);
        m_pintor.drawPolygon(poligono);
        m_pintor.restore();
    }
    void imagen(const QPoint& donde, const QPixmap& imagen) override {
        m_pintor.drawPixmap(donde, imagen);
    }

private:
    QPainter& m_pintor;
};

} // namespace

SuperficieQt::SuperficieQt(QWidget* lienzo, std::unique_ptr<CapturaQt> captura, Fondo fondo)
    : m_lienzo(lienzo), m_captura(std::move(captura)), m_fondo(fondo) {}

SuperficieQt::~SuperficieQt() = default;

bool SuperficieQt::hayCaptura() const {
    return m_captura != nullptr;
}

QImage SuperficieQt::imagenCaptura() const {
    return m_captura ? m_captura->pixmap().toImage() : QImage();
}

void SuperficieQt::trazar(const QRegion& pixeles, const QColor& color) {
    if (pixeles.isEmpty()) {
        return;
    }
    asegurarTrazos();
    QPainter pintor(&m_trazos);
    for (const QRect& r : pixeles) {
        pintor.fillRect(r, color);
    }
    m_conTrazos |= pixeles.boundingRect();
}

void SuperficieQt::asegurarTrazos() {
    if (m_trazos.isNull()) {
        const qreal escala = m_lienzo->devicePixelRatioF();
        m_trazos = QImage(m_lienzo->size() * escala, QImage::Format_ARGB32_Premultiplied);
        m_trazos.setDevicePixelRatio(escala);
        m_trazos.fill(Qt::transparent);
    }
}

void SuperficieQt::trazarImagen(const QPoint& donde, const QImage& imagen) {
    asegurarTrazos();
    QPainter pintor(&m_trazos);
    pintor.drawImage(donde, imagen);
    m_conTrazos |= QRect(donde, imagen.deviceIndependentSize().toSize());
}

void SuperficieQt::borrarTrazos(const QRegion&) {
    if (m_trazos.isNull() || m_conTrazos.isEmpty()) {
        return;
    }
    QPainter pintor(&m_trazos);
    pintor.setCompositionMode(QPainter::CompositionMode_Clear);
    pintor.fillRect(m_conTrazos, Qt::transparent);
    m_conTrazos = QRect();
}

void SuperficieQt::pintar(QWidget* ventana, const QRegion& region,
                          const std::function<void(Pintor&)>& encima) {
    QPainter pintor(ventana);
    // A child is alien: the canvas beneath it has already painted what shows through.
    if (ventana == m_lienzo) {
        const QPixmap vacia;
        const QPixmap& captura = m_captura ? m_captura->pixmap() : vacia;
        const qreal escala = captura.devicePixelRatio();
        const QRect areaCaptura(QPoint(0, 0), captura.deviceIndependentSize().toSize());
        for (const QRect& r : region) {
            const QRect dentro = r & areaCaptura;
            if (!dentro.isEmpty()) {
                const QRectF origen(QPointF(dentro.topLeft()) * escala,
                                    QSizeF(dentro.size()) * escala);
                pintor.drawPixmap(QRectF(dentro), captura, origen);
            }
            // A see-through window's backing store is cleared before each paint.
            if (m_fondo == Fondo::Blanco) {
                for (const QRect& resto : QRegion(r).subtracted(dentro)) {
                    pintor.fillRect(resto, Qt::white);
                }
            }
            const QRect trazo = r & m_conTrazos;
            if (!trazo.isEmpty()) {
                const qreal e = m_trazos.devicePixelRatio();
                pintor.drawImage(QRectF(trazo), m_trazos,
                                 QRectF(QPointF(trazo.topLeft()) * e, QSizeF(trazo.size()) * e));
            }
        }
    }
    if (encima) {
        PintorQt p(pintor);
        encima(p);
    }
}
