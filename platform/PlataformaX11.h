#pragma once

#include "Plataforma.h"
#include "ServidorX.h"

class AgarreTeclaX11;

// X11, through Qt's xcb platform (also XWayland under a Wayland session): captures and one-colour
// windows stay in the X server.
class PlataformaX11 : public Plataforma {
public:
    PlataformaX11();
    ~PlataformaX11() override;

    void PonerForma(QWidget* ventana, const QRegion& forma) override;
    bool RellenarConColor(QWidget* ventana, const QColor& color) override;
    std::unique_ptr<Captura> CapturarPantalla(QScreen* pantalla) override;
    std::unique_ptr<Captura> SubirCaptura(const QImage& imagen) override;
    std::unique_ptr<Superficie> CrearSuperficie(QWidget* ventana,
                                                std::unique_ptr<Captura> captura) override;
    Tecla AgarrarTecla(const QKeySequence& tecla, std::function<void()> alPulsar) override;
    QList<QWidget*> OrdenApilado(const QList<QWidget*>& ventanas) override;

private:
    AgarreTeclaX11* m_agarre = nullptr; // owned by the application object
    ServidorX::FormatoVentanas m_formatos;
};
