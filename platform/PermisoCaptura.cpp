#include "PermisoCaptura.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <utility>

namespace {
const QString Servicio = QStringLiteral("org.freedesktop.impl.portal.PermissionStore");
const QString Objeto = QStringLiteral("/org/freedesktop/impl/portal/PermissionStore");
const QString NoEncontrado = QStringLiteral("org.freedesktop.portal.Error.NotFound");
// Where the portal keeps its answer about screenshots taken without a dialog.
const QString Tabla = QStringLiteral("screenshot");
const QString Entrada = QStringLiteral("screenshot");
constexpr int PlazoMs = 2000; // a store that does not answer is as good as none
} // namespace

PermisoCaptura::PermisoCaptura(QDBusConnection conexion, QObject* padre)
    : QObject(padre), m_conexion(std::move(conexion)) {
    qDBusRegisterMetaType<QMap<QString, QStringList>>();
}

PermisoCaptura::Permiso PermisoCaptura::desdeTabla(const QMap<QString, QStringList>& permisos,
                                                   const QString& aplicacion) {
    const auto dicho = permisos.constFind(aplicacion);
    if (dicho == permisos.constEnd() || dicho->isEmpty()) {
        return Permiso::SinDecidir;
    }
    if (dicho->first() == QLatin1String("yes")) {
        return Permiso::Concedido;
    }
    if (dicho->first() == QLatin1String("no")) {
        return Permiso::Denegado;
    }
    return Permiso::SinDecidir; // "ask": every time
}

QString PermisoCaptura::comoPermitir() {
    return QStringLiteral(
               "; para permitirlo: gdbus call --session --dest %1 --object-path %2 --method "
               "%1.SetPermission %3 true %4 '' \"['yes']\"")
        .arg(Servicio, Objeto, Tabla, Entrada);
}

void PermisoCaptura::consultar(Listo listo) {
    m_listo = std::move(listo);
    QDBusMessage llamada =
        QDBusMessage::createMethodCall(Servicio, Objeto, Servicio, QStringLiteral("Lookup"));
    llamada << Tabla << Entrada;
    auto* espera = new QDBusPendingCallWatcher(m_conexion.asyncCall(llamada, PlazoMs), this);
    connect(espera, &QDBusPendingCallWatcher::finished, this, &PermisoCaptura::respuesta);
}

void PermisoCaptura::respuesta(QDBusPendingCallWatcher* llamada) {
    llamada->deleteLater();
    const QDBusPendingReply<QMap<QString, QStringList>, QDBusVariant> vuelta = *llamada;
    Permiso permiso = Permiso::Desconocido;
    if (!vuelta.isError()) {
        permiso = desdeTabla(vuelta.argumentAt<0>());
    } else if (vuelta.error().name() == NoEncontrado) {
        permiso = Permiso::SinDecidir; // the portal has never asked anyone
    }
    Listo listo = std::exchange(m_listo, nullptr);
    if (listo) {
        listo(permiso);
    }
}
