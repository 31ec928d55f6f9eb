#pragma once

#include <QDBusConnection>
#include <QObject>
#include <functional>

class QDBusServiceWatcher;

// Watches the session bus for a panel that takes tray icons over D-Bus (a StatusNotifierItem
// host, registered with the org.kde.StatusNotifierWatcher service). The kind of tray icon is
// chosen when it is made: while no tray runs, the program waits for one to appear (swaybar is
// such a tray, and nothing else) before it makes the icon.
class VigiaSni : public QObject {
    Q_OBJECT
public:
    explicit VigiaSni(QDBusConnection conexion = QDBusConnection::sessionBus(),
                      QObject* padre = nullptr);

    // A host is registered now. Never starts a service that is not running.
    bool hayServidor() const;

    // `alAparecer` runs once, when a host is registered from now on.
    void alAparecer(std::function<void()> alAparecer);

private slots:
    void quizaAparecio();

private:
    QDBusConnection m_conexion;
    QDBusServiceWatcher* m_vigia = nullptr;
    std::function<void()> m_alAparecer;
};
