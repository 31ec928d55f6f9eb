#include "Plataforma.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QRegion>
#include <QSystemTrayIcon>
#include <QWidget>

#ifdef TIZO_X11
#include <QtGui/qguiapplication_platform.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
#include <algorithm>
#include <vector>
#endif

namespace Plataforma {

void PrepararEntorno() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    // Every window here is new and painted about once (a canvas, a shape). With shared memory,
    // each one first gets a fresh segment that both sides must fault in, which costs more than
    // sending its pixels: on a virtual machine " Dibujar Fondo" took 59 ms with it, 20 without.
    if (qEnvironmentVariableIsEmpty("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
}

} // namespace Plataforma

namespace {
bool esX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}
} // namespace

namespace Plataforma {

void PonerForma(QWidget* ventana, const QRegion& forma) {
    ventana->setMask(forma);
#ifdef TIZO_X11
    // The X server takes a shape request's length from its 16-bit field, so a shape of more
    // rectangles than fit there (a long scribble, a long text in a big font) arrives empty and
    // the window vanishes. Such a shape is sent again in parts that fit, right after Qt's own.
    constexpr int PorPeticion = 30000;
    if (!esX11() || forma.rectCount() <= PorPeticion) {
        return;
    }
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* pantalla = x11 ? x11->display() : nullptr;
    if (pantalla == nullptr) {
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
#endif
}

} // namespace Plataforma

SoltarEnBandeja::SoltarEnBandeja(QSystemTrayIcon* icono, Aviso aviso)
    : QObject(icono), m_aviso(std::move(aviso)) {
    if (esX11()) {
        QCoreApplication::instance()->installEventFilter(this);
        return;
    }
    // Elsewhere the system reports the click itself, once the button is up.
    connect(icono, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger) {
            m_aviso(Qt::LeftButton, QCursor::pos());
        } else if (r == QSystemTrayIcon::Context) {
            m_aviso(Qt::RightButton, QCursor::pos());
        }
    });
}

bool SoltarEnBandeja::eventFilter(QObject* objeto, QEvent* evento) {
    // Qt's X11 tray icon is a widget of this class docked into the tray.
    if (evento->type() == QEvent::MouseButtonRelease && objeto->inherits("QSystemTrayIconSys")) {
        auto* raton = static_cast<QMouseEvent*>(evento);
        m_aviso(raton->button(), raton->globalPosition().toPoint());
    }
    return false;
}
