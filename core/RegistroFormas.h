#pragma once

#include "Historial.h"

#include <QEvent>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

class QWidget;

// The shape windows, oldest first, and the steps that can take them back. Only live windows
// count: cantidad() is their number however a window ends (the Delete key, "Borrar Todo", a
// close by the window manager, an undo). A deleted window is not
// destroyed at once but hidden and kept while a step can bring it back. Once windows have gone
// or have given back their native windows, the memory they held goes back to the system.
class RegistroFormas : public QObject {
    Q_OBJECT
public:
    explicit RegistroFormas(int limiteHistorial = Historial::LimitePorDefecto,
                            QObject* padre = nullptr);
    ~RegistroFormas() override;

    // Counts a new shape window in, as a step that can be undone. From then on a close of the
    // window deletes it as a step, and a drag with the mouse is a step as well.
    void agregar(QWidget* ventana);

    // A window that goes by itself (fading ink): never counted, never a step, but destroyed
    // with the others if it is still there.
    void agregarEfimera(QWidget* ventana);
    // Closes at once every such window still there.
    void terminarEfimeras();

    // The live windows, oldest first.
    QList<QWidget*> ventanas() const;
    int cantidad() const { return static_cast<int>(m_ventanas.size()); }
    // Windows deleted or undone that a step can still bring back: hidden.
    QList<QWidget*> retiradas() const;

    // Deletes every shape window, newest first, as one step. Nothing happens while there are none.
    void borrarTodo();

    // Hides every shape window, or shows them all when the last use hid them. Nothing changes
    // while there are none.
    void mostrarOcultar();
    // The last use hid them: a shape brought back by a step stays hidden too.
    bool ocultas() const { return m_ocultas; }

    // Takes back the last step / does again the last step taken back. False when there is none.
    bool deshacer();
    bool rehacer();

    // Brings every window, live or kept for a step, whose middle lies on none of `monitores`
    // (logical pixels) onto the nearest of them, all of it where it fits. Not a step.
    void rescatar(const QList<QRect>& monitores);

    // Destroys every window, live or kept for a step, and forgets the steps.
    void destruirTodo();

    const Historial& historial() const { return m_historial; }

    // Posted to a window once it has been hidden to be kept for an undo: it may give back what
    // it holds only for being shown.
    static inline const QEvent::Type EventoRetirada =
        static_cast<QEvent::Type>(QEvent::registerEventType());

signals:
    void agregada(QWidget* ventana);
    // A shape that holds the keys is going (Delete, an undo), told just before it hides: the
    // desktop would give them to any window, maybe another program's.
    void teclasLibres();

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    bool aplicar(const Historial::Paso& paso, bool hacia);
    void anotar(Historial::Paso paso);
    void retirar(QWidget* ventana);
    void restaurar(QWidget* ventana);
    void olvidar(const QList<Historial::Paso>& pasos);
    void quitar(QObject* ventana);
    void devolverMemoria();

    QList<QObject*> m_ventanas;
    QList<QObject*> m_retiradas;
    QHash<const QObject*, quint64> m_serie; // creation order
    quint64 m_siguiente = 0;
    Historial m_historial;
    bool m_ocultas = false;
    QList<QPointer<QWidget>> m_efimeras;

    // A press of the left button alone on a window: where the window was then.
    QPointer<QWidget> m_arrastrada;
    QPoint m_desde;
    bool m_devolverPendiente = false; // memory goes back when the program is next idle
};
