#pragma once

#include "Plataforma.h"

// X11, through Qt's xcb platform (also XWayland under a Wayland session).
class PlataformaX11 : public Plataforma {
public:
    void PonerForma(QWidget* ventana, const QRegion& forma) override;
};
