#include "AtajoPortal.h"

#include "PortalCaptura.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QList>
#include <QPair>
#include <utility>

namespace {
const QString Servicio = QStringLiteral("org.freedesktop.portal.Desktop");
const QString Objeto = QStringLiteral("/org/freedesktop/portal/desktop");
const QString InterfazAtajos = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString InterfazSesion = QStringLiteral("org.freedesktop.portal.Session");
const QString InterfazPropiedades = QStringLiteral("org.freedesktop.DBus.Properties");

// Codes of the Response signal.
constexpr uint Aceptada = 0;
constexpr uint Cancelada = 1;

// The shortcuts of a BindShortcuts call and of its answer: a(sa{sv}).
using Atajos = QList<QPair<QString, QVariantMap>>;

// The last element of the session's path. KDE Plasma names the shortcuts' group in its settings
// after it when the portal knows the program by no application id, and keeps the keys the user
// chooses there under that name: it stays the same from run to run.
const QString SesionToken = QStringLiteral("tizo");

QString nuevoToken() {
    static int cuenta = 0;
    return QStringLiteral("tizoatajo%1").arg(++cuenta);
}

// The ids of the shortcuts in an answer, as QtDBus hands over a type it does not know.
QStringList idsDe(const QVariant& valor) {
    Atajos atajos;
    if (valor.canConvert<QDBusArgument>()) {
        const auto argumento = valor.value<QDBusArgument>();
        if (argumento.currentSignature() == QLatin1String("a(sa{sv})")) {
            argumento >> atajos;
        }
    } else {
        atajos = valor.value<Atajos>();
    }
    QStringList ids;
    for (const auto& atajo : std::as_const(atajos)) {
        ids << atajo.first;
    }
    return ids;
}
} // namespace

AtajoPortal::AtajoPortal(QDBusConnection conexion, QObject* padre)
    : QObject(padre), m_conexion(std::move(conexion)),
      m_pedido(m_conexion, this, SLOT(respuesta(uint, QVariantMap))) {
    qDBusRegisterMetaType<QPair<QString, QVariantMap>>();
    qDBusRegisterMetaType<Atajos>();
}

AtajoPortal::~AtajoPortal() {
    m_pedido.dejar();
    dejarDeEscucharActivado();
    cerrarSesion();
}

void AtajoPortal::dejarDeEscucharActivado() {
    if (m_escuchaActivado) {
        m_conexion.disconnect(Servicio, Objeto, InterfazAtajos, QStringLiteral("Activated"), this,
                              SLOT(activado(QDBusObjectPath, QString, qulonglong, QVariantMap)));
        m_conexion.disconnect(Servicio, m_sesion, InterfazSesion, QStringLiteral("Closed"), this,
                              SLOT(sesionCerrada(QVariantMap)));
        m_escuchaActivado = false;
    }
}

void AtajoPortal::cerrarSesion() {
    if (!m_sesion.isEmpty() && m_conexion.isConnected()) {
        m_conexion.send(QDBusMessage::createMethodCall(Servicio, m_sesion, InterfazSesion,
                                                       QStringLiteral("Close")));
    }
    m_sesion.clear();
}

void AtajoPortal::registrar(const QString& id, const QString& descripcion,
                            const QString& disparador, std::function<void()> alPulsar,
                            Listo listo) {
    m_id = id;
    m_descripcion = descripcion;
    m_disparador = disparador;
    m_alPulsar = std::move(alPulsar);
    m_listo = std::move(listo);
    if (!m_conexion.isConnected()) {
        const QString motivo = m_conexion.lastError().message();
        QMetaObject::invokeMethod(
            this,
            [this, motivo] {
                terminar({Fallo::SinAtajos, QStringLiteral("sin bus de sesión: ") + motivo});
            },
            Qt::QueuedConnection);
        return;
    }
    // A portal that goes, while the user is asked or once the key is bound, answers no more.
    auto* vigia = new QDBusServiceWatcher(Servicio, m_conexion,
                                          QDBusServiceWatcher::WatchForUnregistration, this);
    connect(vigia, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
        if (m_listo) {
            terminar({Fallo::Rechazado, QStringLiteral("el portal se cerró")});
        } else {
            perder(QStringLiteral("el portal se cerró"));
        }
    });
    // A portal without global shortcuts has no such interface, and so no version of it. This
    // first call may start the portal, which can take a while: nothing waits for it.
    m_paso = Paso::Version;
    QDBusMessage llamada = QDBusMessage::createMethodCall(Servicio, Objeto, InterfazPropiedades,
                                                          QStringLiteral("Get"));
    llamada << InterfazAtajos << QStringLiteral("version");
    auto* espera = new QDBusPendingCallWatcher(m_conexion.asyncCall(llamada), this);
    connect(espera, &QDBusPendingCallWatcher::finished, this, &AtajoPortal::versionLeida);
}

void AtajoPortal::versionLeida(QDBusPendingCallWatcher* llamada) {
    llamada->deleteLater();
    const QDBusPendingReply<QDBusVariant> vuelta = *llamada;
    if (vuelta.isError()) {
        terminar({Fallo::SinAtajos, vuelta.error().message()});
        return;
    }
    if (vuelta.value().variant().toUInt() < 1) {
        terminar({Fallo::SinAtajos, QStringLiteral("atajos globales sin versión")});
        return;
    }
    crearSesion();
}

QVariant AtajoPortal::atajos() const {
    QVariantMap atajo{{QStringLiteral("description"), m_descripcion}};
    if (!m_disparador.isEmpty()) {
        atajo.insert(QStringLiteral("preferred_trigger"), m_disparador);
    }
    return QVariant::fromValue(Atajos{{m_id, atajo}});
}

void AtajoPortal::crearSesion() {
    m_paso = Paso::Sesion;
    const QString token = nuevoToken();
    QDBusMessage llamada = QDBusMessage::createMethodCall(Servicio, Objeto, InterfazAtajos,
                                                          QStringLiteral("CreateSession"));
    // The shortcut goes with the session too: portals up to 1.16 hand its options to the desktop
    // as they come, and KDE Plasma up to 6.3 binds the shortcuts it finds there (binding them
    // later only opens its settings). Later portals drop the option.
    llamada << QVariantMap{{QStringLiteral("handle_token"), token},
                           {QStringLiteral("session_handle_token"), SesionToken},
                           {QStringLiteral("shortcuts"), atajos()}};
    pedir(llamada, token);
}

void AtajoPortal::listar() {
    m_paso = Paso::Lista;
    const QString token = nuevoToken();
    QDBusMessage llamada = QDBusMessage::createMethodCall(Servicio, Objeto, InterfazAtajos,
                                                          QStringLiteral("ListShortcuts"));
    llamada << QVariant::fromValue(QDBusObjectPath(m_sesion))
            << QVariantMap{{QStringLiteral("handle_token"), token}};
    pedir(llamada, token);
}

void AtajoPortal::atar() {
    m_paso = Paso::Atajos;
    const QString token = nuevoToken();
    QDBusMessage llamada = QDBusMessage::createMethodCall(Servicio, Objeto, InterfazAtajos,
                                                          QStringLiteral("BindShortcuts"));
    // No parent window: none of the program's is a Wayland window.
    llamada << QVariant::fromValue(QDBusObjectPath(m_sesion)) << atajos() << QString()
            << QVariantMap{{QStringLiteral("handle_token"), token}};
    pedir(llamada, token);
}

void AtajoPortal::pedir(QDBusMessage llamada, const QString& token) {
    m_pedido.escuchar(PortalCaptura::rutaPedido(m_conexion.baseService(), token));
    // The desktop may ask the user before it answers (the key to confirm): no deadline.
    m_llamada = new QDBusPendingCallWatcher(m_conexion.asyncCall(llamada, -1), this);
    connect(m_llamada, &QDBusPendingCallWatcher::finished, this, &AtajoPortal::pedidoHecho);
}

void AtajoPortal::pedidoHecho(QDBusPendingCallWatcher* llamada) {
    llamada->deleteLater();
    // The answer may have come before the call's reply: the request is over then.
    if (llamada != m_llamada || !m_listo) {
        return;
    }
    m_llamada = nullptr;
    const QDBusPendingReply<QDBusObjectPath> vuelta = *llamada;
    if (vuelta.isError() && m_paso == Paso::Lista) {
        m_pedido.dejar();
        atar();
        return;
    }
    if (vuelta.isError()) {
        terminar({Fallo::Rechazado, vuelta.error().message()});
        return;
    }
    m_pedido.escuchar(vuelta.value().path());
}

void AtajoPortal::respuesta(uint codigo, const QVariantMap& resultados) {
    if (!m_listo) {
        return;
    }
    m_pedido.dejar();
    m_llamada = nullptr;
    if (codigo != Aceptada && m_paso == Paso::Lista) {
        atar(); // nothing known from earlier runs: the desktop is asked
        return;
    }
    if (codigo != Aceptada) {
        terminar({Fallo::Rechazado, codigo == Cancelada
                                        ? QStringLiteral("cancelado")
                                        : QStringLiteral("rechazado (código %1)").arg(codigo)});
        return;
    }
    const QStringList atados = idsDe(resultados.value(QStringLiteral("shortcuts")));
    switch (m_paso) {
    case Paso::Sesion: {
        // A string, though it names an object (so it has always been sent).
        const QVariant sesion = resultados.value(QStringLiteral("session_handle"));
        m_sesion = sesion.canConvert<QDBusObjectPath>() ? sesion.value<QDBusObjectPath>().path()
                                                        : sesion.toString();
        if (m_sesion.isEmpty()) {
            terminar({Fallo::Rechazado, QStringLiteral("sesión sin objeto")});
        } else if (!atados.contains(m_id)) {
            listar(); // unless bound with the session already (see crearSesion)
        } else {
            escucharActivado();
        }
        return;
    }
    case Paso::Lista:
        // Bound in an earlier run, with the key the user chose then: the desktop is not asked
        // again, so that it confirms the key once and not at every start.
        if (atados.contains(m_id)) {
            escucharActivado();
        } else {
            atar();
        }
        return;
    case Paso::Atajos:
        // The user may have left the key out, or the desktop refused it.
        if (resultados.contains(QStringLiteral("shortcuts")) && !atados.contains(m_id)) {
            terminar({Fallo::Rechazado, QStringLiteral("el atajo quedó sin asignar")});
        } else {
            escucharActivado();
        }
        return;
    case Paso::Nada:
    case Paso::Version:
    case Paso::Hecho:
        return;
    }
}

void AtajoPortal::escucharActivado() {
    m_escuchaActivado =
        m_conexion.connect(Servicio, Objeto, InterfazAtajos, QStringLiteral("Activated"), this,
                           SLOT(activado(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    // The desktop may let go of the key later: the portal closes the session, or goes (see
    // registrar).
    m_conexion.connect(Servicio, m_sesion, InterfazSesion, QStringLiteral("Closed"), this,
                       SLOT(sesionCerrada(QVariantMap)));
    terminar({});
}

void AtajoPortal::sesionCerrada(const QVariantMap&) {
    perder(QStringLiteral("el escritorio cerró la sesión"));
}

void AtajoPortal::perder(const QString& motivo) {
    if (m_paso != Paso::Hecho) {
        return;
    }
    m_paso = Paso::Nada;
    dejarDeEscucharActivado();
    m_sesion.clear(); // nothing left to close
    Perdido perdido = std::exchange(m_alPerder, nullptr);
    if (perdido) {
        perdido(motivo);
    }
}

void AtajoPortal::activado(const QDBusObjectPath& sesion, const QString& id, qulonglong,
                           const QVariantMap&) {
    if (m_paso != Paso::Hecho || sesion.path() != m_sesion || id != m_id || !m_alPulsar) {
        return;
    }
    const std::function<void()> accion = m_alPulsar; // it may ask for another key
    accion();
}

void AtajoPortal::terminar(Resultado resultado) {
    m_pedido.dejar();
    m_paso = resultado.fallo == Fallo::Ninguno ? Paso::Hecho : Paso::Nada;
    if (m_paso != Paso::Hecho) {
        cerrarSesion(); // a session without its key is of no use
    }
    Listo listo = std::exchange(m_listo, nullptr);
    if (listo) {
        listo(std::move(resultado));
    }
}
