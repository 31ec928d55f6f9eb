#include "Plataforma.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QSystemTrayIcon>

namespace Plataforma {

void PrepararEntorno() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
}

} // namespace Plataforma

namespace {
bool esX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}
} // namespace

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
