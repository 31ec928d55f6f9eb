#include "SoltarEnBandeja.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QSystemTrayIcon>
#include <QWidget>
#include <algorithm>

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
    connect(icono, &QSystemTrayIcon::activated, this,
            [this, icono](QSystemTrayIcon::ActivationReason r) {
                if (hayIconoXEmbed()) {
                    return; // Qt's own report of a press: the release follows
                }
                if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick) {
                    m_aviso(Qt::LeftButton, QCursor::pos());
                } else if (r == QSystemTrayIcon::Context && icono->contextMenu() == nullptr) {
                    m_aviso(Qt::RightButton, QCursor::pos());
                }
            });
}

bool SoltarEnBandeja::eventFilter(QObject* objeto, QEvent* evento) {
    const QEvent::Type tipo = evento->type();
    if (tipo != QEvent::MouseButtonPress && tipo != QEvent::MouseButtonDblClick &&
        tipo != QEvent::MouseButtonRelease) {
        return false;
    }
    if (!objeto->inherits(ClaseXEmbed)) {
        return false;
    }
    if (tipo == QEvent::MouseButtonRelease) {
        auto* raton = static_cast<QMouseEvent*>(evento);
        m_aviso(raton->button(), raton->globalPosition().toPoint());
        return false;
    }
    return true; // a press: the menu opens on the release
}
