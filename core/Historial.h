#pragma once

#include <QList>
#include <QPoint>
#include <QPointer>
#include <deque>
#include <optional>

class QWidget;

// The steps that can be taken back and done again, at most `limite` of them. It only keeps them
// in order; RegistroFormas applies them to the shape windows.
class Historial {
public:
    static constexpr int LimitePorDefecto = 100;

    enum class Tipo {
        Creada,      // a shape was made
        Borrada,     // a shape was deleted (Delete, or a close by the window manager)
        BorradoTodo, // " Borrar Todo" took every shape
        Movida,      // a shape was dragged from `desde` to `hasta`
    };
    struct Paso {
        Tipo tipo = Tipo::Creada;
        QList<QPointer<QWidget>> ventanas; // oldest first
        QPoint desde;
        QPoint hasta;
    };

    explicit Historial(int limite = LimitePorDefecto) : m_limite(limite) {}

    // A new step: what could be redone is gone, and so is the oldest step once there are more
    // than the limit. Returns the steps dropped.
    QList<Paso> anotar(Paso paso);

    // The step to take back (it can be redone afterwards), or none.
    std::optional<Paso> deshacer();
    // The step to do again (it can be undone afterwards), or none.
    std::optional<Paso> rehacer();

    // Forgets every step. Returns them.
    QList<Paso> vaciar();

    // Whether any step, to undo or to redo, names the window.
    bool nombra(const QWidget* ventana) const;

    int pasosParaDeshacer() const { return static_cast<int>(m_hechos.size()); }
    int pasosParaRehacer() const { return static_cast<int>(m_deshechos.size()); }
    int limite() const { return m_limite; }

private:
    int m_limite;
    std::deque<Paso> m_hechos;    // oldest first
    std::deque<Paso> m_deshechos; // the next to redo last
};
