#pragma once

#include "Orden.h"

#include <QObject>
#include <functional>
#include <optional>

// The keyboard's commands on the canvas and the shape windows: Ctrl+Z undoes, Ctrl+Shift+Z and
// Ctrl+Y redo, Ctrl+S saves and Ctrl+C copies the annotated screen. Installed as an event filter
// on each of those windows.
class Atajos : public QObject {
    Q_OBJECT
public:
    // Runs a command; false when it does not apply now, so that the key goes on to the window.
    using Ejecutar = std::function<bool(Orden)>;

    explicit Atajos(Ejecutar ejecutar, QObject* padre = nullptr);

    // The command a key with these modifiers gives, if any (the keypad's flag is ignored).
    static std::optional<Orden> ordenDe(int tecla, Qt::KeyboardModifiers modificadores);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    Ejecutar m_ejecutar;
};
