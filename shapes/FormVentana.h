#pragma once

#include "EdicionTexto.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QWidget>

class QLabel;
struct Gesto;

// One finished shape floating over the desktop: borderless, topmost, colour-keyed so that only
// its strokes or letters show and the mouse passes through the rest. It places, sizes and draws
// itself once, in the constructor, from the gesture and the shared settings of that moment.
// Left-button drag moves it, Delete removes it, and a text shape is typed straight into it.
class FormVentana : public QWidget {
    Q_OBJECT
public:
    explicit FormVentana(const Gesto& gesto, QWidget* padre = nullptr);

    // The label of a text shape; null for every other shape.
    QLabel* etiqueta() const { return m_lb; }
    const QImage& imagen() const { return m_imagen; }
    // The colour of its strokes or letters.
    QColor colorTrazo() const { return m_color; }

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
    void DibujarTexto(const Gesto& gesto);
    void escribir(const std::u32string& caracteres);
    void ajustarAlTexto();
    void volverAEditar();

    QImage m_imagen; // the strokes, drawn once; empty for a text shape
    QColor m_color;
    bool m_recreada = false; // shown again after its native window was given back
    QLabel* m_lb = nullptr;
    EdicionTexto m_edicion;
    bool m_clicPosible = false;
    QPoint m_inicioClic;
};
