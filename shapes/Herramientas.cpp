#include "Herramientas.h"

#include "Gesto.h"
#include "Lienzo.h"
#include "Renderizado.h"

#include <QCoreApplication>
#include <QPainterPath>
#include <QRectF>

namespace Herramientas {

namespace {

using namespace Renderizado;

int margen(const Gesto& g, double tpp) {
    return Margen(g.anchoPluma, tpp);
}

// A highlighter's window: the line's box and half its own width, squared ends included.
int margenResaltador(const Gesto& g, double tpp) {
    return Margen(g.estilo.grosorResaltador, tpp);
}

void figuraLinea(QPainterPath& c, const QRectF& e) {
    c.moveTo(e.bottomLeft());
    c.lineTo(e.topRight());
}

void figuraFlecha(QPainterPath& c, const QRectF& e) {
    figuraLinea(c, e);
    c.moveTo(e.topRight() + QPointF(-4, 0));
    c.lineTo(e.topRight());
    c.lineTo(e.topRight() + QPointF(0, 4));
}

void figuraResaltador(QPainterPath& c, const QRectF& e) {
    c.addRect(QRectF(e.left(), e.center().y() - 2, e.width(), 4));
}

void figuraRectangulo(QPainterPath& c, const QRectF& e) {
    c.addRect(e);
}

void figuraCirculo(QPainterPath& c, const QRectF& e) {
    c.addEllipse(e);
}

void figuraLaser(QPainterPath& c, const QRectF& e) {
    // Three dots dwindling away: ink that goes.
    c.addEllipse(e.bottomLeft() + QPointF(1.5, -1.5), 1.5, 1.5);
    c.addEllipse(e.center(), 1, 1);
    c.addEllipse(e.topRight() + QPointF(-1, 1), 0.5, 0.5);
}

void dibujarTrazo(Lienzo& l, const Gesto& g) {
    DibujarPincel(l, g.puntos);
}

constexpr std::array<Fila, Total> Tabla{{
    {Herramienta::Pincel, Qt::Key_1, QT_TRANSLATE_NOOP("FormTools", "Pincel"), Arrastre::Trazo,
     nullptr, [](const Gesto& g, double tpp) { return ColocarPincel(g.puntos, margen(g, tpp)); },
     dibujarTrazo},
    {Herramienta::Linea, Qt::Key_2, QT_TRANSLATE_NOOP("FormTools", "Línea"), Arrastre::Recta,
     figuraLinea,
     [](const Gesto& g, double tpp) { return ColocarLinea(g.inicio, g.fin, margen(g, tpp)); },
     [](Lienzo& l, const Gesto& g) { DibujarLinea(l, g.inicio, g.fin); }},
    {Herramienta::Rectangulo, Qt::Key_3, QT_TRANSLATE_NOOP("FormTools", "Rectángulo"),
     Arrastre::Caja, figuraRectangulo,
     [](const Gesto& g, double tpp) { return ColocarRectangulo(g.inicio, g.fin, margen(g, tpp)); },
     [](Lienzo& l, const Gesto& g) { DibujarRectangulo(l, g.inicio, g.fin); }},
    {Herramienta::Circulo, Qt::Key_4, QT_TRANSLATE_NOOP("FormTools", "Círculo"), Arrastre::Circulo,
     figuraCirculo,
     [](const Gesto& g, double tpp) { return ColocarCirculo(g.cuadro, margen(g, tpp)); },
     [](Lienzo& l, const Gesto& g) { DibujarCirculo(l, g.cuadro.width()); }},
    {Herramienta::Texto, Qt::Key_5, QT_TRANSLATE_NOOP("FormTools", "Texto"), Arrastre::Texto,
     nullptr, nullptr, nullptr},
    {Herramienta::Flecha, Qt::Key_6, QT_TRANSLATE_NOOP("FormTools", "Flecha"), Arrastre::Recta,
     figuraFlecha,
     [](const Gesto& g, double tpp) {
         return ColocarFlecha(g.inicio, g.fin, g.estilo.grosor, tpp);
     },
     [](Lienzo& l, const Gesto& g) { DibujarFlecha(l, g.inicio, g.fin, g.estilo.grosor); }, false,
     true},
    {Herramienta::Resaltador, Qt::Key_7, QT_TRANSLATE_NOOP("FormTools", "Resaltador"),
     Arrastre::Recta, figuraResaltador,
     [](const Gesto& g, double tpp) {
         return ColocarLinea(g.inicio, g.fin, margenResaltador(g, tpp));
     },
     [](Lienzo& l, const Gesto& g) { DibujarLinea(l, g.inicio, g.fin); }, true, false, 40},
    {Herramienta::Laser, Qt::Key_8, QT_TRANSLATE_NOOP("FormTools", "Tinta efímera"),
     Arrastre::Trazo, figuraLaser,
     [](const Gesto& g, double tpp) { return ColocarPincel(g.puntos, margen(g, tpp)); },
     dibujarTrazo, false, false, 100, true},
}};

} // namespace

const std::array<Fila, Total>& todas() {
    return Tabla;
}

const Fila& de(Herramienta herramienta) {
    return Tabla[static_cast<std::size_t>(herramienta)];
}

} // namespace Herramientas
