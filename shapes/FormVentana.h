#pragma once

#include "EdicionTexto.h"
#include "Lienzo.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QWidget>
#include <memory>

class QLabel;
struct Gesto;

// One finished shape floating over the desktop: borderless, topmost, colour-keyed so that only
// its strokes or letters show and the mouse passes through the rest. It places, sizes and draws
// itself once, in the constructor, from its gesture alone.
// Left-button drag moves it, Delete removes it, and a text shape is typed straight into it.
// Only a text shape takes the keys as it shows; any other takes them once clicked.
//
// A stroke shape is one colour inside its window shape (mask()): the strokes are drawn once to
// find that shape, and from then on the windowing system fills it where it can, so the window
// keeps no pixels of its size. Where a compositor blends windows, ink is smooth instead: a
// picture with partly transparent edges, kept by the windowing system, and the mouse still keeps
// to the strokes themselves.
class FormVentana : public QWidget {
    Q_OBJECT
public:
    explicit FormVentana(const Gesto& gesto, QWidget* padre = nullptr);
    ~FormVentana() override;

    // The label of a text shape; null for every other shape.
    QLabel* etiqueta() const { return m_lb; }
    // The colour of its strokes or letters; a one-colour stroke shape shows it on exactly its
    // mask().
    QColor colorTrazo() const { return m_color; }
    // Smooth or see-through ink as it shows, the window's size at its device pixel ratio; null
    // for a one-colour shape.
    QImage imagenTinta() const;

    // A text shape being typed into: on white, taking the keys.
    bool escribiendo() const { return m_lb != nullptr && !m_edicion.terminado(); }
    // Finishes the text being typed, as Enter does; nothing otherwise.
    void terminarTexto();

    // Null while the windowing system fills the window (Qt::WA_PaintOnScreen).
    QPaintEngine* paintEngine() const override;

signals:
    // A text shape started or finished being typed into (escribiendo()).
    void escrituraCambiada();

protected:
    bool event(QEvent* evento) override;
    void paintEvent(QPaintEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void inputMethodEvent(QInputMethodEvent* evento) override;
    void mousePressEvent(QMouseEvent* evento) override;
    void mouseMoveEvent(QMouseEvent* evento) override;
    void mouseReleaseEvent(QMouseEvent* evento) override;

private:
    void DibujarForma(const Gesto& gesto);
    static Lienzo::Pluma pluma(const Gesto& gesto, bool conAlfa);
    QImage marcaSobreFondo(const Gesto& gesto) const;
    // Smooth ink: its picture and its shape, from the gesture kept for it.
    void dibujarTinta(const Gesto& gesto);
    // The windowing system keeps `tinta` where it can; the window paints it otherwise.
    void mostrarTinta(QImage tinta);
    void DibujarTexto(const Gesto& gesto);
    void escribir(const std::u32string& caracteres);
    void ajustarAlTexto();
    void volverAEditar();

    QColor m_color;
    bool m_conAlfa = false;         // smooth ink, blended by a compositor
    std::unique_ptr<Gesto> m_gesto; // smooth ink's gesture, to draw it again for a picture
    QPointF m_origen;               // where its top-left corner lies, desktop twips
    QImage m_imagen;                // ink it paints itself, where the system can't keep it
    bool m_pintarTrazo = false;     // a stroke shape that paints its colour itself
    bool m_recreada = false;        // shown again after its native window was given back
    QByteArray m_formaGuardada;     // its shape, packed, while it is kept for an undo
    QLabel* m_lb = nullptr;
    EdicionTexto m_edicion;
    bool m_clicPosible = false;
    QPoint m_inicioClic;
};
