#pragma once

#include <QObject>
#include <QPoint>
#include <functional>

class QSystemTrayIcon;

// Reports a mouse button released over the tray icon, with the click's global position.
// On the XEmbed tray of X11 Qt reports only presses; the release reaches the icon's own window,
// which is watched here, and the presses never reach it (Qt would open the icon's context menu
// on the right one). Where the icon goes through D-Bus (a StatusNotifierItem watcher) or another
// system, the click the system reports is passed on, where the system says it was: Trigger and
// DoubleClick as the left button, Context as the right one (a system that shows the icon's
// exported menu itself never reports it); the middle button is never reported there.
class SoltarEnBandeja : public QObject {
    Q_OBJECT
public:
    using Aviso = std::function<void(Qt::MouseButton, QPoint)>;
    SoltarEnBandeja(QSystemTrayIcon* icono, Aviso aviso);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    Aviso m_aviso;
};
