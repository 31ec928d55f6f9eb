#pragma once

#include "Gestos.h"
#include "TeclasDibujo.h"
#include "ZonaTrazada.h"

#include <QPixmap>
#include <QPointer>
#include <QRegion>
#include <QScreen>
#include <QWidget>
#include <functional>
#include <memory>

class Captura;
struct Estilo;
enum class Papel;
class QLabel;
class RegistroFormas;
class Pintor;
class Superficie;

// The drawing canvas of one monitor: the monitor as it was a moment before, laid over it, on
// which the user draws. Each finished gesture becomes a shape window of its own; the canvas
// itself never keeps a drawing. It captures its monitor while it is built, before it is first
// painted, and frees the capture when it closes (Esc, its exit image, or a close by the window
// manager). A gesture stays on the canvas where it started, up to its edges. It draws with the
// style in use, which its palette and its keys change; that style is the settings', and outlives
// the canvas.
// What it shows goes through a surface of the windowing system: where the capture stays in the
// X server, the canvas only asks for previews and brush segments to be drawn over it.
class FormFondo : public QWidget {
    Q_OBJECT
public:
    // Over `pantalla`, the primary screen when null.
    FormFondo(RegistroFormas& formas, Estilo& estilo, QScreen* pantalla = nullptr,
              QWidget* padre = nullptr);
    // Shows `captura`, taken some other way (a screenshot service), instead of reading the
    // screen.
    FormFondo(RegistroFormas& formas, Estilo& estilo, std::unique_ptr<Captura> captura,
              QScreen* pantalla = nullptr, QWidget* padre = nullptr);
    // A see-through canvas over the live desktop of `pantalla`, for where the screen can't be
    // frozen: every tool draws on it as on the frozen one.
    struct EnVivo {};
    FormFondo(RegistroFormas& formas, Estilo& estilo, EnVivo, QScreen* pantalla = nullptr,
              QWidget* padre = nullptr);
    ~FormFondo() override;

    // Shows the canvas, or brings it forward when it is already shown; with `activar`, keys go to
    // it.
    void mostrar(bool activar = true);

    // Leaves drawing mode as Esc does. With the palette open, the palette closes first as its
    // close image closes it.
    void salir();
    // The settings changed elsewhere (another monitor's canvas, its palette or its keys).
    void tomarAjustes();

    // The list of keys over the middle of the canvas, as F1 shows it; null rectangle while hidden.
    QRect cajaAyuda() const { return m_cajaAyuda; }

    // The monitor it covers; null once that monitor has gone.
    QScreen* pantalla() const { return m_pantalla; }

    // The screen as the user sees it while drawing: the capture with every visible shape over
    // it, without the canvas's exit image, the palette or a gesture in progress.
    QImage pantallaAnotada() const;

    // How the tool palette is shown, modally, over the canvas, and given the style to edit.
    // Tests put their own.
    using AbrirPaleta = std::function<void(QWidget* padre, Estilo& estilo)>;
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
    // A key or the wheel changed the tool, the colour or the thickness.
    void ajustesCambiados();
    // It became the active window: keys typed go to it.
    void activado();
    // It has closed (Esc, its exit image, a close by the window manager).
    void cerrado();

protected:
    bool event(QEvent* evento) override;
    void paintEvent(QPaintEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void focusInEvent(QFocusEvent* evento) override;
    void focusOutEvent(QFocusEvent* evento) override;
    void mousePressEvent(QMouseEvent* evento) override;
    void mouseMoveEvent(QMouseEvent* evento) override;
    void mouseReleaseEvent(QMouseEvent* evento) override;
    void wheelEvent(QWheelEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

private:
    using HacerSuperficie = std::function<std::unique_ptr<Superficie>(QWidget* lienzo)>;
    FormFondo(RegistroFormas& formas, Estilo& estilo, const HacerSuperficie& superficie,
              Papel papel, QScreen* pantalla, QWidget* padre);

    // The shape's window, shown; null if the gesture made none.
    QWidget* CrearVentana(Gesto gesto);
    void devolverCaptura();
    void pintarSegmento(const QLineF& segmento);
    void pintarPrevisualizacion(Pintor& pintor) const;
    void pintarSalida(const QRegion& region);
    QRegion regionPrevisualizacion() const;
    void colocarImSalir();
    void aplicar(const TeclasDibujo::Efecto& efecto);
    void ponerPuntero();
    void mostrarAyuda();
    void ocultarAyuda();
    QPointF enTwips(const QPointF& posicion) const;

    RegistroFormas& m_formas;
    Estilo& m_estilo;
    const bool m_suave; // ink is smooth: wanted, and a compositor blends the shapes
    QPointer<QScreen> m_pantalla;
    // The capture, the background from which the canvas restores itself after each gesture, and
    // the brush segments of the stroke in progress over it.
    std::unique_ptr<Superficie> m_superficie;
    Gestos m_gestos;
    QLabel* m_ImSalir;
    AbrirPaleta m_abrirPaleta;

    ZonaTrazada m_trazado;  // where the stroke in progress was painted
    QRegion m_regionPrevia; // where the preview was last painted
    QRegion m_porDevolver;  // a finished stroke and preview, until their shape shows
    quint64 m_soltadas = 0; // releases so far: which one a shape that shows belongs to
    TeclasDibujo::Rueda m_rueda;
    QPixmap m_ayuda;     // the list of keys, once shown
    QRect m_cajaAyuda;   // where it shows
    QPoint m_clicPaleta; // where the press that opens the palette was, global
    bool m_paletaAbierta = false;
    bool m_salirTrasPaleta = false;
};
