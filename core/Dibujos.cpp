#include "Dibujos.h"

#include <QCoreApplication>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSvgRenderer>
#include <algorithm>

namespace Dibujos {

namespace {

const QColor Azul(30, 110, 220);
const QColor AzulClaro(128, 128, 255);
const QColor Rojo(215, 40, 40);

QPixmap lienzo(int ancho, int alto) {
    QPixmap pixmap(ancho, alto);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// The logo mark, drawn from the same SVG that is installed as the program's scalable icon.
void pintarLogo(QPainter& p, const QRectF& donde) {
    QSvgRenderer logo(QStringLiteral(":/tizo/io.github.tizo.Tizo.svg"));
    p.setRenderHint(QPainter::Antialiasing);
    logo.render(&p, donde);
}

} // namespace

QImage logo(int lado) {
    QImage imagen(lado, lado, QImage::Format_ARGB32_Premultiplied);
    imagen.fill(Qt::transparent);
    QPainter p(&imagen);
    pintarLogo(p, QRectF(0, 0, lado, lado));
    return imagen;
}

QIcon iconoPrograma() {
    QIcon icono;
    for (int lado : {16, 32, 48}) {
        icono.addPixmap(QPixmap::fromImage(logo(lado)));
    }
    return icono;
}

QPixmap imagenMenu(ImagenMenu cual) {
    QPixmap pixmap = lienzo(13, 13);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (cual) {
    case ImagenMenu::Logo:
        pintarLogo(p, QRectF(0, 0, 13, 13));
        break;
    case ImagenMenu::Gota: {
        QPainterPath gota;
        gota.moveTo(6.5, 0.5);
        gota.cubicTo(9, 4, 11.5, 6.5, 11.5, 8.2);
        gota.arcTo(QRectF(1.5, 3.4, 10, 9.2), 0, -180);
        gota.cubicTo(1.5, 6.5, 4, 4, 6.5, 0.5);
        p.setPen(Qt::NoPen);
        p.setBrush(Azul);
        p.drawPath(gota);
        break;
    }
    case ImagenMenu::Borrar:
        p.setPen(Qt::NoPen);
        p.setBrush(Azul);
        p.drawEllipse(QRectF(0.5, 0.5, 12, 12));
        p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 4), QPointF(9, 9));
        p.drawLine(QPointF(9, 4), QPointF(4, 9));
        break;
    case ImagenMenu::Hoja: {
        QPainterPath hoja;
        hoja.moveTo(2, 0.5);
        hoja.lineTo(8, 0.5);
        hoja.lineTo(11, 3.5);
        hoja.lineTo(11, 12.5);
        hoja.lineTo(2, 12.5);
        hoja.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Azul);
        p.drawPath(hoja);
        p.setBrush(QColor(170, 200, 245));
        p.drawPolygon(QPolygonF({QPointF(8, 0.5), QPointF(8, 3.5), QPointF(11, 3.5)}));
        break;
    }
    case ImagenMenu::Salir:
        p.setPen(Qt::NoPen);
        p.setBrush(Rojo);
        p.drawRoundedRect(QRectF(0, 0, 13, 13), 2, 2);
        p.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 3.2, 7, 7), 120 * 16, 300 * 16);
        p.drawLine(QPointF(6.5, 2), QPointF(6.5, 6.2));
        break;
    }
    return pixmap;
}

QPixmap imagenAcerca() {
    QPixmap pixmap(283, 170);
    pixmap.fill(Qt::black);
    QPainter p(&pixmap);
    pintarLogo(p, QRectF(28, 45, 80, 80));
    QFont titulo(QStringLiteral("Arial"), 34, QFont::Bold);
    p.setFont(titulo);
    p.setPen(Qt::white);
    p.drawText(QRect(125, 40, 150, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tizo"));
    QFont subtitulo(QStringLiteral("Arial"), 9);
    p.setFont(subtitulo);
    p.setPen(QColor(150, 170, 200));
    p.drawText(QRect(127, 98, 150, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QCoreApplication::translate("Dibujos", "Dibuja sobre tu escritorio"));
    return pixmap;
}

QPixmap imagenSalir() {
    QPixmap pixmap = lienzo(48, 48);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(Rojo);
    p.drawEllipse(QRectF(2, 2, 44, 44));
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(13, 14, 22, 22), 120 * 16, 300 * 16);
    p.drawLine(QPointF(24, 10), QPointF(24, 24));
    return pixmap;
}

QPixmap imagenCerrar() {
    QPixmap pixmap = lienzo(16, 16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(AzulClaro, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    return pixmap;
}

namespace {

constexpr int LadoPuntero = 32;
constexpr int CentroPuntero = 15;
constexpr int PuntoMaximo = 13; // the widest dot that leaves the crosshair room

// Dark outline for light colours, light outline for dark ones.
QColor contorno(const QColor& color) {
    const double luz = 0.299 * color.redF() + 0.587 * color.greenF() + 0.114 * color.blueF();
    return luz > 0.5 ? QColor(0, 0, 0, 200) : QColor(255, 255, 255, 230);
}

// A path in `color` over a wider one in its outline colour.
void trazar(QPainter& p, const QPainterPath& camino, const QColor& color, qreal ancho) {
    p.strokePath(camino,
                 QPen(contorno(color), ancho + 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.strokePath(camino, QPen(color, ancho, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

} // namespace

QPoint puntaHerramienta(bool texto) {
    return texto ? QPoint(6, 3) : QPoint(CentroPuntero, CentroPuntero);
}

QRectF esquinaPuntero() {
    return {21, 21, 9, 9};
}

QPixmap punteroHerramienta(const QPainterPath& figura, bool texto, const QColor& color, int grosor,
                           qreal escala) {
    QPixmap pixmap(QSize(LadoPuntero, LadoPuntero) * escala);
    pixmap.setDevicePixelRatio(escala);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(CentroPuntero + 0.5, CentroPuntero + 0.5);
    if (texto) {
        // An I-beam whose top is where the text's top-left corner goes.
        const QPoint punta = puntaHerramienta(true);
        QPainterPath viga;
        viga.moveTo(punta.x() - 3, punta.y());
        viga.lineTo(punta.x() + 3, punta.y());
        viga.moveTo(punta.x(), punta.y());
        viga.lineTo(punta.x(), punta.y() + 18);
        viga.moveTo(punta.x() - 3, punta.y() + 18);
        viga.lineTo(punta.x() + 3, punta.y() + 18);
        trazar(p, viga, color, 2);
        QFont letra = p.font();
        letra.setPixelSize(12);
        letra.setBold(true);
        p.setFont(letra);
        QPainterPath a;
        a.addText(QPointF(13, 28), letra, QStringLiteral("A"));
        p.fillPath(a, color);
        p.strokePath(a, QPen(contorno(color), 1));
        return pixmap;
    }
    const qreal radio = std::clamp(grosor, 1, PuntoMaximo) / 2.0;
    QPainterPath cruz;
    for (const QPointF& direccion :
         {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)}) {
        cruz.moveTo(c + direccion * (radio + 3));
        cruz.lineTo(c + direccion * (radio + 8));
    }
    trazar(p, cruz, color, 1.5);
    p.setPen(QPen(contorno(color), 1));
    p.setBrush(color);
    p.drawEllipse(c, radio, radio);
    if (!figura.isEmpty()) {
        trazar(p, figura, color, 2);
    }
    return pixmap;
}

} // namespace Dibujos
