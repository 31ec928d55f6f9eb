#pragma once

#include "Gestos.h"
#include "ZonaTrazada.h"

#include <QRegion>
#include <QWidget>
#include <functional>
#include <memory>

class Captura;
class QLabel;
class RegistroFormas;
class Superficie;

// The drawing canvas: the screen as it was a moment before, laid over the screen, on which the
// user draws. Each finished gesture becomes a shape window of its own; the canvas itself never
// keeps a drawing. It captures the screen while it is built, before it is first painted, and
// frees the capture when it closes (Esc, its exit image, or a close by the window manager).
// What it shows goes through a surface of the windowing system: where the capture stays in the
// X server, the canvas only asks for previews and brush segments to be drawn over it.
class FormFondo : public QWidget {
    Q_OBJECT
public:
    explicit FormFondo(RegistroFormas& formas, QWidget* padre = nullptr);
    // Shows `captura`, taken some other way (a screenshot service), instead of reading the
    // screen.
    FormFondo(RegistroFormas& formas, std::unique_ptr<Captura> captura, QWidget* padre = nullptr);
    ~FormFondo() override;

    // Shows the canvas, or brings it forward when it is already shown.
    void mostrar();

    // Leaves drawing mode as Esc does. With the palette open, the palette closes first as its
    // close image closes it.
    void salir();

    // The screen as the user sees it while drawing: the capture with every visible shape over
    // it, without the canvas's exit image, the palette or a gesture in progress.
    QImage pantallaAnotada() const;

    // How the tool palette is shown, modally, over the canvas. Tests put their own.
    using AbrirPaleta = std::function<void(QWidget* padre)>;
    void setAbrirPaleta(AbrirPaleta abrir) { m_abrirPaleta = std::move(abrir); }

    const Gestos& gestos() const { return m_gestos; }
    // What shows the capture; null once the canvas has closed.
    const Superficie* superficie() const { return m_superficie.get(); }
    QLabel* ImSalir() const { return m_ImSalir; }

    // Null while the windowing system paints the canvas (Qt::WA_PaintOnScreen).
    QPaintEngine* paintEngine() const override;

signals:
    // The palette has closed: the settings may have changed.
    void paletaCerrada();

protected:
    void paintEvent(QPaintEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void focusInEvent(QFocusEvent* evento) override;
    void focusOutEvent(QFocusEvent* evento) override;
    void mousePressEvent(QMouseEvent* evento) override;
    void mouseMoveEvent(QMouseEvent* evento) override;
    void mouseReleaseEvent(QMouseEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

private:
    void CrearVentana(const Gesto& gesto);
    void pintarSegmento(const QLineF& segmento);
    void pintarSalida(const QRegion& region);
    QRegion regionPrevisualizacion() const;
    void colocarImSalir();

    RegistroFormas& m_formas;
    // The capture, the background from which the canvas restores itself after each gesture, and
    // the brush segments of the stroke in progress over it.
    std::unique_ptr<Superficie> m_superficie;
    Gestos m_gestos;
    QLabel* m_ImSalir;
    AbrirPaleta m_abrirPaleta;

    ZonaTrazada m_trazado;  // where the stroke in progress was painted
    QRegion m_regionPrevia; // where the preview was last painted
    bool m_paletaAbierta = false;
    bool m_salirTrasPaleta = false;
};
