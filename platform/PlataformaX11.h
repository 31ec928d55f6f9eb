#pragma once

#include "Plataforma.h"

class AgarreTeclaX11;

// X11, through Qt's xcb platform (also XWayland under a Wayland session).
class PlataformaX11 : public Plataforma {
public:
    PlataformaX11();
    ~PlataformaX11() override;

    void PonerForma(QWidget* ventana, const QRegion& forma) override;
    Tecla AgarrarTecla(const QKeySequence& tecla, std::function<void()> alPulsar) override;
    QList<QWidget*> OrdenApilado(const QList<QWidget*>& ventanas) override;

private:
    AgarreTeclaX11* m_agarre = nullptr; // owned by the application object
};
