#pragma once

#include <QObject>
#include <QPoint>
#include <functional>

class QRegion;
class QSystemTrayIcon;
class QWidget;

// What differs between windowing systems lives here and nowhere else.
namespace Plataforma {

// Before the application object exists: run on X11 (XWayland under Wayland), which gives shaped
// windows and a stacking order the program can rely on. A platform set by the user still wins.
void PrepararEntorno();

// Shows only `forma` of the window (QWidget::setMask), however many rectangles it takes.
void PonerForma(QWidget* ventana, const QRegion& forma);

} // namespace Plataforma

// Reports a mouse button released over the tray icon, with the pointer's global position.
// On the XEmbed tray of X11 Qt reports only presses; the release reaches the icon's own window,
// which is watched here. Where the icon goes through D-Bus (a StatusNotifierItem watcher) or
// another system, the click the system reports is passed on: Trigger and DoubleClick as the left
// button, Context as the right one; the middle button is never reported there.
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
