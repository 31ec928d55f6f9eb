#pragma once

#include "Gesto.h"

#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <array>
#include <functional>
#include <optional>
#include <vector>

// The gesture state and rules of one canvas, free of any window. Positions are twips of the
// canvas, from its top-left corner; widths are pixels. The style in use is read when each step
// happens (the palette may change it in the middle of a gesture, keys never do), and the
// release stamps it into the gesture it hands over. A brush stroke starts at the press point and
// holds every point it was painted through, so the shape it becomes shows exactly what the canvas
// showed; its points are this canvas's own, so strokes on two canvases never mix.
class Gestos {
public:
    // Marks "no anchor" in x0 and "no previous brush point" in xAnt.
    static constexpr double SinAncla = -1.0;

    // The canvas's load: no gesture in progress, no brush points, the pen as wide as the style's,
    // and the exit image, ladoSalir twips square, placed for an inner width of anchoInterior
    // twips. `estilo`, the style in use, must outlive this object.
    Gestos(double anchoInterior, double ladoSalir, const Estilo& estilo);

    // A button pressed at p.
    struct Pulsacion {
        // Any button but the left: the palette must be opened; once it has closed, call
        // tomarEstilo().
        bool abrirPaleta = false;
        // The brush's first mark, to paint: a dot at the press point, where its stroke starts.
        std::optional<QLineF> segmento;
    };
    Pulsacion pulsar(bool izquierdo, QPointF p);
    // The style changed (the palette closed, a key): the pen takes its width.
    void tomarEstilo();

    // What a move changed, for the canvas to repaint.
    struct Movimiento {
        // Brush segment to paint, from this position back to the stroke's previous point; the
        // stroke keeps exactly the points these segments join.
        std::optional<QLineF> segmento;
        bool previsualizacion = false; // the preview of the tool moved or appeared
        bool salidaMovida = false;     // the exit image jumped out of the way
    };
    Movimiento mover(QPointF p);

    // A button released. When the gesture makes a shape, `crearVentana` runs with its hand-over,
    // brush points included; afterwards the preview is hidden, the anchor cleared and the points
    // reset. True when a shape was made.
    // Shapes are handed over in desktop coordinates: `origen` is where the canvas's top-left
    // corner is on the desktop, twips, which is not (0, 0) when the primary screen is not the
    // desktop's top-left one.
    bool soltar(const std::function<void(const Gesto&)>& crearVentana, QPointF origen = {});

    // Ends the gesture in progress, if any, without a shape: the canvas is closing.
    void cancelar();

    // The canvas's inner width changed: the exit image goes back to the top-right corner.
    void redimensionar(double anchoInterior);

    // The rectangle preview between the anchor and the corner (x, y); keeps the drag direction.
    void SituarRectangulo(double x, double y);

    bool pulsado() const { return m_pulsado; }
    double x0() const { return m_x0; }
    int y0() const { return m_y0; }
    double xf() const { return m_xf; }
    int yf() const { return m_yf; }
    double xAnt() const { return m_xAnt; }
    int yAnt() const { return m_yAnt; }
    // The brush stroke in progress, canvas twips, in drawing order.
    const std::vector<Punto>& Puntos() const { return m_Puntos; }

    // The canvas's pen width (the brush), pixels.
    int anchoPluma() const { return m_anchoPluma; }
    // The style the previews took at the last press.
    const Estilo& estiloPrevisualizacion() const { return m_estiloPrevisualizacion; }
    int anchoPrevisualizacion() const { return m_estiloPrevisualizacion.grosorActual(); }
    int colorPrevisualizacion() const { return m_estiloPrevisualizacion.colorActual(); }

    const QLineF& Linea() const { return m_Linea; }
    bool lineaVisible() const { return m_lineaVisible; }
    const std::array<QLineF, 4>& LineaR() const { return m_LineaR; }
    bool lineaRVisible() const { return m_lineaRVisible; }
    const QRectF& ShCir() const { return m_ShCir; }
    bool cirVisible() const { return m_cirVisible; }

    const QRectF& ImSalir() const { return m_ImSalir; }

private:
    void colocarSalida();
    void reglaSalida(QPointF p, Movimiento& cambios);
    Gesto entrega(QPointF origen);
    QLineF anotarPunto(QPointF p);

    bool m_pulsado = false;
    double m_x0 = SinAncla;
    int m_y0 = 0;
    double m_xf = 0;
    int m_yf = 0;
    double m_xAnt = SinAncla;
    int m_yAnt = 0;
    std::vector<Punto> m_Puntos;

    const Estilo& m_estilo;
    int m_anchoPluma = 1;
    Estilo m_estiloPrevisualizacion;

    QLineF m_Linea;
    bool m_lineaVisible = false;
    std::array<QLineF, 4> m_LineaR;
    bool m_lineaRVisible = false;
    QRectF m_ShCir;
    bool m_cirVisible = false;

    double m_anchoInterior;
    QRectF m_ImSalir;
};
