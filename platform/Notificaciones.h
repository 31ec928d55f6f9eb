#pragma once

#include <QDBusConnection>
#include <QString>

// Messages for the user through the desktop's notification service
// (org.freedesktop.Notifications), where one runs: none is started for them.
class Notificaciones {
public:
    explicit Notificaciones(QDBusConnection conexion = QDBusConnection::sessionBus());

    // Sends the message, without waiting for the service. False when no service runs now.
    bool enviar(const QString& titulo, const QString& texto, bool aviso);

private:
    QDBusConnection m_conexion;
};
