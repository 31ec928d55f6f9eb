#include "Gestos.h"

#include "Unidades.h"
#include "modGeneral.h"

#include <cmath>

using Unidades::redondear;

namespace {
// The exit image keeps this far from the top and the right edge, twips.
constexpr double MargenSalirArriba = 40;
constexpr double MargenSalirDerecha = 20;
} // namespace

Gestos::Gestos(double anchoInterior, double ladoSalir)
    : m_anchoInterior(anchoInterior), m_ImSalir(0, 0, ladoSalir, ladoSalir) {
    m_anchoPluma = modGeneral::Grosor;
    colocarSalida();
}

Gestos::Pulsacion Gestos::pulsar(bool izquierdo, QPointF p) {
    Pulsacion pulsacion;
    if (!izquierdo) {
        pulsacion.abrirPaleta = true;
        return pulsacion;
    }
    m_pulsado = true;
    const int tipo = modGeneral::Tipo;
    if (tipo == modGeneral::TipoPincel) {
        // The stroke starts where the pen went down: a dot there, even if it never moves.
        m_Puntos.clear();
        pulsacion.segmento = anotarPunto(p);
        return pulsacion;
    }
    if (tipo < modGeneral::TipoLinea || tipo > modGeneral::TipoTexto) {
        return pulsacion;
    }
    m_x0 = p.x();
    m_y0 = redondear(p.y());
    if (tipo == modGeneral::TipoTexto) {
        return pulsacion;
    }
    m_anchoPrevisualizacion = modGeneral::Grosor;
    m_colorPrevisualizacion = modGeneral::Color;
    // A click that never moves makes its shape from this press alone, a dot at the press point,
    // never from geometry an earlier gesture left behind.
    switch (tipo) {
    case modGeneral::TipoLinea:
        m_Linea = QLineF(m_x0, m_y0, m_x0, m_y0);
        break;
    case modGeneral::TipoRectangulo:
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
    const modGeneral::Punto punto{redondear(p.x()), redondear(p.y())};
    const QPointF aqui(punto.X, punto.Y);
    const QPointF antes = m_xAnt == SinAncla ? aqui : QPointF(m_xAnt, m_yAnt);
    m_Puntos.push_back(punto);
    m_xAnt = punto.X;
    m_yAnt = punto.Y;
    return {aqui, antes};
}

void Gestos::paletaCerrada() {
    m_anchoPluma = modGeneral::Grosor;
}

Gestos::Movimiento Gestos::mover(QPointF p) {
    Movimiento cambios;
    if (!m_pulsado) {
        return cambios;
    }
    const double x = p.x();
    const double y = p.y();
    switch (modGeneral::Tipo) {
    case modGeneral::TipoPincel:
        cambios.segmento = anotarPunto(p);
        break;
    case modGeneral::TipoLinea:
        if (m_x0 != SinAncla) {
            m_Linea = QLineF(m_x0, m_y0, x, y);
            m_lineaVisible = true;
            cambios.previsualizacion = true;
        }
        break;
    case modGeneral::TipoRectangulo:
        if (m_x0 != SinAncla) {
            m_lineaRVisible = true;
            SituarRectangulo(redondear(x), redondear(y));
            m_xf = x;
            m_yf = redondear(y);
            cambios.previsualizacion = true;
        }
        break;
    case modGeneral::TipoCirculo: {
        // A circle in the square whose side is the horizontal drag distance.
        m_cirVisible = true;
        const double lado = std::abs(x - m_x0);
        m_ShCir = QRectF(x > m_x0 ? m_x0 : x, y > m_y0 ? m_y0 : y, lado, lado);
        m_xf = x;
        m_yf = redondear(y);
        cambios.previsualizacion = true;
        break;
    }
    default:
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
    const int tipo = modGeneral::Tipo;
    const bool forma =
        tipo == modGeneral::TipoPincel
            ? !m_Puntos.empty()
            : !(tipo >= modGeneral::TipoLinea && tipo <= modGeneral::TipoTexto && m_x0 == SinAncla);
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
    gesto.tipo = modGeneral::Tipo;
    gesto.anchoPluma = m_anchoPluma;
    switch (gesto.tipo) {
    case modGeneral::TipoPincel: {
        // The stroke goes with its shape: the canvas starts the next one empty.
        const int dx = redondear(origen.x());
        const int dy = redondear(origen.y());
        gesto.puntos = std::move(m_Puntos);
        m_Puntos.clear();
        for (modGeneral::Punto& punto : gesto.puntos) {
            punto.X += dx;
            punto.Y += dy;
        }
        break;
    }
    case modGeneral::TipoLinea:
        gesto.inicio = m_Linea.p1();
        gesto.fin = m_Linea.p2();
        break;
    case modGeneral::TipoRectangulo:
        gesto.inicio = QPointF(m_x0, m_y0);
        gesto.fin = QPointF(m_xf, m_yf);
        break;
    case modGeneral::TipoCirculo:
        gesto.cuadro = m_ShCir;
        break;
    case modGeneral::TipoTexto:
        gesto.inicio = QPointF(m_x0, m_y0);
        break;
    default:
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
