#pragma once

#include "Plataforma.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

struct Estilo;
class FormFondo;
class FormVentana;
class QScreen;
class QWidget;
class RegistroFormas;

// Drawing mode: a canvas over every monitor, entered and left as one. Every monitor is captured
// before any canvas shows, and the one under the pointer takes the keys. Where the pictures come
// from a screenshot service, the canvases are made once they are in (nothing shows meanwhile),
// and asking again, Esc, or a change of monitors gives up waiting.
// Leaving any canvas (Esc, its exit image, a close by the window manager) leaves them all, and
// so does a monitor that comes, goes or changes while drawing: no canvas stays over a monitor
// that is no longer there. Settings chosen on one canvas (its palette, its keys) hold on every
// canvas. Fading ink still there when drawing mode ends goes with it.
//
// While it is open, drawing mode owns the keyboard: keys typed on any of the program's windows
// go to the canvas under the pointer, except on a text being typed (until Enter, Esc or a click
// elsewhere finishes it) and Delete on a shape. Esc leaves from any of them: a text being typed
// is finished first, and an open palette closes.
class ModoDibujo : public QObject {
    Q_OBJECT
public:
    // Draws with `estilo`, the style in use, which must outlive it.
    ModoDibujo(RegistroFormas& formas, Estilo& estilo, QObject* padre = nullptr);
    ~ModoDibujo() override;

    // Opens drawing mode, or brings its canvases forward when it is open. While the screens'
    // pictures are awaited, gives up waiting instead.
    void abrir();
    // Leaves drawing mode. A canvas with its palette open closes the palette first, as the
    // palette's close image does, and follows once it has.
    void salir();
    bool abierto() const;
    // Drawing mode was asked for and waits for the screens' pictures.
    bool esperando() const { return m_pedido != nullptr; }

    // The canvases, one per monitor in the order the system lists the monitors; empty outside
    // drawing mode.
    QList<FormFondo*> lienzos() const;
    // The canvas that has the keys, or had them last (else the first); null outside drawing
    // mode.
    FormFondo* activo() const;

signals:
    // A canvas was made, not shown yet.
    void lienzoCreado(FormFondo* lienzo);
    // A palette has closed, or a key changed the tool, the colour or the thickness: the settings
    // may have changed.
    void ajustesCambiados();
    // The screens could not be frozen (`motivo` says why): the canvases show the live desktop.
    void enVivo(const QString& motivo);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void capturasListas(const QList<QPointer<QScreen>>& pantallas,
                        std::vector<Plataforma::CapturaPedida> capturas);
    void cancelarEspera();
    void agregar(FormFondo* lienzo);
    void ajustesCambiadosEn(FormFondo* lienzo);
    void escrituraCambiada(FormVentana* forma);
    void lienzoCerrado(FormFondo* lienzo);
    FormFondo* lienzoBajoElPuntero() const;
    bool reenviar(QEvent* evento, QWidget* destino);

    RegistroFormas& m_formas;
    Estilo& m_estilo;
    QList<QPointer<FormFondo>> m_lienzos;
    QPointer<FormFondo> m_activo;
    bool m_saliendo = false;
    std::unique_ptr<QObject> m_pedido;    // the screens' pictures, while they are awaited
    std::unique_ptr<QObject> m_escEspera; // Esc, which gives up that wait
    QPointer<FormVentana> m_escribiendo;  // the text being typed, if any
    bool m_reenviando = false;            // a key on its way to the canvas under the pointer
};
