#include "Plataforma.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QRegion>
#include <QSystemTrayIcon>
#include <QWidget>
#include <algorithm>

#ifdef TIZO_X11
#include <QtGui/qguiapplication_platform.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
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

#ifdef TIZO_X11
namespace {
bool esX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}
} // namespace
#endif

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

namespace {
// Qt's XEmbed tray icon is a top-level widget of this class, docked into the tray. The program has
// one tray icon, so any such widget is ours.
constexpr char ClaseXEmbed[] = "QSystemTrayIconSys";

bool hayIconoXEmbed() {
    const QWidgetList ventanas = QApplication::topLevelWidgets();
    return std::any_of(ventanas.cbegin(), ventanas.cend(),
                       [](const QWidget* w) { return w->inherits(ClaseXEmbed); });
}
} // namespace

SoltarEnBandeja::SoltarEnBandeja(QSystemTrayIcon* icono, Aviso aviso)
    : QObject(icono), m_aviso(std::move(aviso)) {
    // The XEmbed icon reports presses only, so its releases are caught on the way to it.
    QCoreApplication::instance()->installEventFilter(this);
    // On X11 with a StatusNotifierItem watcher on the session bus, and on other systems, the icon
    // has no such widget and the system reports the click itself, once the button is up. Which
    // kind of icon Qt shows can change while the program runs, so it is asked at each click.
    connect(icono, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (hayIconoXEmbed()) {
            return; // Qt's own report of a press: the release follows
        }
        if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick) {
            m_aviso(Qt::LeftButton, QCursor::pos());
        } else if (r == QSystemTrayIcon::Context) {
            m_aviso(Qt::RightButton, QCursor::pos());
        }
    });
}

bool SoltarEnBandeja::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::MouseButtonRelease && objeto->inherits(ClaseXEmbed)) {
        auto* raton = static_cast<QMouseEvent*>(evento);
        m_aviso(raton->button(), raton->globalPosition().toPoint());
    }
    return false;
}
