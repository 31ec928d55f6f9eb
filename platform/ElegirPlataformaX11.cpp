#include "Plataforma.h"

#include "PlataformaX11.h"
#include "PlataformaXWayland.h"

#include <QGuiApplication>

// Built where X11 is the platform: Qt's xcb platform gets this backend, on a real X server or
// on XWayland; any other gets the portable base.
std::unique_ptr<Plataforma> Plataforma::crear() {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (PlataformaXWayland::enXWayland()) {
            return std::make_unique<PlataformaXWayland>();
        }
        return std::make_unique<PlataformaX11>();
    }
    return std::make_unique<Plataforma>();
}
