#include "Gestos.h"

#include "Herramientas.h"
#include "Unidades.h"

#include <cmath>

using Herramientas::Arrastre;
using Unidades::redondear;

namespace {
// The exit image keeps this far from the top and the right edge, twips.
constexpr double MargenSalirArriba = 40;
constexpr double MargenSalirDerecha = 20;
} // namespace

namespace {
Arrastre arrastreDe(const Estilo& estilo) {
    return Herramientas::de(estilo.herramienta).arrastre;
}
} // namespace

Gestos::Gestos(double anchoInterior, double ladoSalir, const Estilo& estilo)
    : m_estilo(estilo), m_anchoPluma(estilo.grosorActual()), m_anchoInterior(anchoInterior),
      m_ImSalir(0, 0, ladoSalir, ladoSalir) {
    colocarSalida();
}

Gestos::Pulsacion Gestos::pulsar(bool izquierdo, QPointF p) {
    Pulsacion pulsacion;
    if (!izquierdo) {
        pulsacion.abrirPaleta = true;
        return pulsacion;
    }
    m_pulsado = true;
    const Arrastre arrastre = arrastreDe(m_estilo);
    if (arrastre == Arrastre::Trazo) {
        // The stroke starts where the pen went down: a dot there, even if it never moves.
        m_Puntos.clear();
        pulsacion.segmento = anotarPunto(p);
        return pulsacion;
    }
    m_x0 = p.x();
    m_y0 = redondear(p.y());
    if (arrastre == Arrastre::Texto) {
        return pulsacion;
    }
    m_estiloPrevisualizacion = m_estilo;
    // A click that never moves makes its shape from this press alone, a dot at the press point,
    // never from geometry an earlier gesture left behind.
    switch (arrastre) {
    case Arrastre::Recta:
        m_Linea = QLineF(m_x0, m_y0, m_x0, m_y0);
        break;
    case Arrastre::Caja:
        m_xf = m_x0;
        m_yf = m_y0;
        break;
    default:
        m_ShCir = QRectF(m_x0, m_y0, 0, 0);
        break;
    }
    return pulsacion;
}

QLineF Gestos::anotarPunto(QPointF p) {
    // Painted through the rounded points the stroke keeps, so the canvas and the shape draw the
    // very same segments. With no previous point (the tool became the brush in the middle of a
    // gesture) the first one is a dot.
    const Punto punto{redondear(p.x()), redondear(p.y())};
    const QPointF aqui(punto.X, punto.Y);
    const QPointF antes = m_xAnt == SinAncla ? aqui : QPointF(m_xAnt, m_yAnt);
    m_Puntos.push_back(punto);
    m_xAnt = punto.X;
    m_yAnt = punto.Y;
    return {aqui, antes};
}

void Gestos::tomarEstilo() {
    m_anchoPluma = m_estilo.grosorActual();
}

Gestos::Movimiento Gestos::mover(QPointF p) {
    Movimiento cambios;
    if (!m_pulsado) {
        return cambios;
    }
    const double x = p.x();
    const double y = p.y();
    switch (arrastreDe(m_estilo)) {
    case Arrastre::Trazo:
        cambios.segmento = anotarPunto(p);
        break;
    case Arrastre::Recta:
        if (m_x0 != SinAncla) {
            m_Linea = QLineF(m_x0, m_y0, x, y);
            m_lineaVisible = true;
            cambios.previsualizacion = true;
        }
        break;
    case Arrastre::Caja:
        if (m_x0 != SinAncla) {
            m_lineaRVisible = true;
            SituarRectangulo(redondear(x), redondear(y));
            m_xf = x;
            m_yf = redondear(y);
            cambios.previsualizacion = true;
        }
        break;
    case Arrastre::Circulo: {
        // A circle in the square whose side is the horizontal drag distance.
        m_cirVisible = true;
        const double lado = std::abs(x - m_x0);
        m_ShCir = QRectF(x > m_x0 ? m_x0 : x, y > m_y0 ? m_y0 : y, lado, lado);
        m_xf = x;
        m_yf = redondear(y);
        cambios.previsualizacion = true;
        break;
    }
    case Arrastre::Texto:
        break;
    }
    reglaSalida(p, cambios);
    return cambios;
}

bool Gestos::soltar(const std::function<void(const Gesto&)>& crearVentana, QPointF origen) {
    if (!m_pulsado) {
        return false;
    }
    // The tool may have changed on the palette in the middle of the gesture: a tool that works
    // from the press point makes nothing when it never had one, and a stroke that recorded no
    // point makes no shape.
    const bool forma =
        arrastreDe(m_estilo) == Arrastre::Trazo ? !m_Puntos.empty() : m_x0 != SinAncla;
    if (forma) {
        crearVentana(entrega(origen));
    }
    cancelar();
    return forma;
}

void Gestos::cancelar() {
    // Whichever tool began the gesture, none of its previews or brush points outlive it.
    m_pulsado = false;
    m_x0 = SinAncla;
    m_xAnt = SinAncla;
    m_lineaVisible = false;
    m_lineaRVisible = false;
    m_cirVisible = false;
    m_Puntos.clear();
}

Gesto Gestos::entrega(QPointF origen) {
    Gesto gesto;
    gesto.estilo = m_estilo;
    gesto.anchoPluma = m_anchoPluma;
    switch (arrastreDe(m_estilo)) {
    case Arrastre::Trazo: {
        // The stroke goes with its shape: the canvas starts the next one empty.
        const int dx = redondear(origen.x());
        const int dy = redondear(origen.y());
        gesto.puntos = std::move(m_Puntos);
        m_Puntos.clear();
        for (Punto& punto : gesto.puntos) {
            punto.X += dx;
            punto.Y += dy;
        }
        break;
    }
    case Arrastre::Recta:
        gesto.inicio = m_Linea.p1();
        gesto.fin = m_Linea.p2();
        break;
    case Arrastre::Caja:
        gesto.inicio = QPointF(m_x0, m_y0);
        gesto.fin = QPointF(m_xf, m_yf);
        break;
    case Arrastre::Circulo:
        gesto.cuadro = m_ShCir;
        break;
    case Arrastre::Texto:
        gesto.inicio = QPointF(m_x0, m_y0);
        break;
    }
    gesto.inicio += origen;
    gesto.fin += origen;
    gesto.cuadro.translate(origen);
    return gesto;
}

void Gestos::SituarRectangulo(double x, double y) {
    m_LineaR[0] = QLineF(m_x0, m_y0, x, m_y0);
    m_LineaR[1] = QLineF(m_x0, m_y0, m_x0, y);
    m_LineaR[2] = QLineF(m_x0, y, x, y);
    m_LineaR[3] = QLineF(x, m_y0, x, y);
}

void Gestos::redimensionar(double anchoInterior) {
    m_anchoInterior = anchoInterior;
    colocarSalida();
}

void Gestos::colocarSalida() {
    m_ImSalir.moveTopLeft(
        {m_anchoInterior - m_ImSalir.width() - MargenSalirDerecha, MargenSalirArriba});
}

void Gestos::reglaSalida(QPointF p, Movimiento& cambios) {
    // The exit image gets out of the way of a drag that runs over it, from one top corner to
    // the other. Every bound counts as inside.
    const QRectF& r = m_ImSalir;
    if (p.x() < r.left() || p.x() > r.right() || p.y() < r.top() || p.y() > r.bottom()) {
        return;
    }
    if (r.top() == 0) {
        colocarSalida();
    } else {
        m_ImSalir.moveTopLeft({0, 0});
    }
    cambios.salidaMovida = true;
}
