#include "PlataformaX11.h"

#include <QGuiApplication>
#include <QRegion>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <vector>

#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

namespace {
Display* pantallaX() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}
} // namespace

void PlataformaX11::PonerForma(QWidget* ventana, const QRegion& forma) {
    ventana->setMask(forma);
    // The X server takes a shape request's length from its 16-bit field, so a shape of more
    // rectangles than fit there (a long scribble, a long text in a big font) arrives empty and
    // the window vanishes. Such a shape is sent again in parts that fit, right after Qt's own.
    constexpr int PorPeticion = 30000;
    Display* pantalla = pantallaX();
    if (forma.rectCount() <= PorPeticion || pantalla == nullptr) {
        return;
    }
    const auto id = static_cast<Window>(ventana->winId()); // Qt sends its own request first
    std::vector<XRectangle> rects;
    rects.reserve(static_cast<std::size_t>(forma.rectCount()));
    for (const QRect& r : forma) {
        rects.push_back({static_cast<short>(r.x()), static_cast<short>(r.y()),
                         static_cast<unsigned short>(r.width()),
                         static_cast<unsigned short>(r.height())});
    }
    for (std::size_t i = 0; i < rects.size(); i += PorPeticion) {
        const int n = static_cast<int>(std::min<std::size_t>(PorPeticion, rects.size() - i));
        XShapeCombineRectangles(pantalla, id, ShapeBounding, 0, 0, &rects[i], n,
                                i == 0 ? ShapeSet : ShapeUnion, Unsorted);
    }
    XFlush(pantalla);
}
