#include "Notificaciones.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantMap>
#include <utility>

namespace {
const QString Servicio = QStringLiteral("org.freedesktop.Notifications");
constexpr int DuracionMs = 5000;
} // namespace

Notificaciones::Notificaciones(QDBusConnection conexion) : m_conexion(std::move(conexion)) {}

bool Notificaciones::enviar(const QString& titulo, const QString& texto, bool aviso) {
    if (!m_conexion.isConnected() || m_conexion.interface() == nullptr ||
        !m_conexion.interface()->isServiceRegistered(Servicio).value()) {
        return false;
    }
    QDBusMessage mensaje =
        QDBusMessage::createMethodCall(Servicio, QStringLiteral("/org/freedesktop/Notifications"),
                                       Servicio, QStringLiteral("Notify"));
    const QVariantMap pistas{
        {QStringLiteral("desktop-entry"), QStringLiteral("io.github.tizo.Tizo")},
        {QStringLiteral("urgency"), QVariant::fromValue(uchar(1))}, // normal
    };
    mensaje << QStringLiteral("Tizo") << uint(0)
            << (aviso ? QStringLiteral("dialog-warning") : QStringLiteral("dialog-information"))
            << titulo << texto << QStringList() << pistas << DuracionMs;
    return m_conexion.send(mensaje);
}
