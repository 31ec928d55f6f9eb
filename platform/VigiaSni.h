#pragma once

#include <QDBusConnection>
#include <QObject>
#include <functional>

class QDBusServiceWatcher;

// Watches the session bus for a panel that takes tray icons over D-Bus (a StatusNotifierItem
// host, registered with the org.kde.StatusNotifierWatcher service). Qt decides as a tray icon is
// made whether it goes over D-Bus, and keeps to it: an icon made while no host runs would never
// reach one that starts later (swaybar is such a tray, and nothing else). Qt 6.4 asks once for
// the whole process whether a host is registered (isDBusTrayAvailable in qgenericunixthemes.cpp);
// Qt 6.8 asks for each new icon whether the watcher is (shouldUseDBusTray).
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
