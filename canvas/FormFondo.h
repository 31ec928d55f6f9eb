#pragma once

#include <QWidget>

class RegistroFormas;

// The drawing canvas: the captured screen laid over the screen, on which the user draws.
class FormFondo : public QWidget {
    Q_OBJECT
public:
    explicit FormFondo(RegistroFormas& formas, QWidget* padre = nullptr);

    // Shows the canvas, or brings it forward when it is already shown.
    void mostrar();

private:
    RegistroFormas& m_formas;
};
