#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

// The live shape windows, oldest first. It keeps modGeneral::NumVentanas equal to their number
// however a window ends: the Delete key, "Borrar Todo" or a close by the window manager.
class RegistroFormas : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~RegistroFormas() override;

    // Counts the window in; it counts itself out when it is destroyed.
    void agregar(QWidget* ventana);

    QList<QWidget*> ventanas() const;
    int cantidad() const { return static_cast<int>(m_ventanas.size()); }

    // Destroys every shape window, newest first.
    void borrarTodo();

    // Hides every shape window, or shows them all when the last use hid them. Nothing changes
    // while there are none.
    void mostrarOcultar();

private:
    void quitar(QObject* ventana);

    QList<QObject*> m_ventanas;
};
