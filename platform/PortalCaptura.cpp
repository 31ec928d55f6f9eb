#include "PortalCaptura.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>
#include <QTimer>
#include <QUrl>
#include <utility>

namespace {
const QString Servicio = QStringLiteral("org.freedesktop.portal.Desktop");
const QString Objeto = QStringLiteral("/org/freedesktop/portal/desktop");
const QString InterfazCaptura = QStringLiteral("org.freedesktop.portal.Screenshot");
const QString InterfazPedido = QStringLiteral("org.freedesktop.portal.Request");

// Codes of the Response signal.
constexpr uint Aceptada = 0;
constexpr uint Cancelada = 1;

QString nuevoToken() {
    static int cuenta = 0;
    return QStringLiteral("tizo%1").arg(++cuenta);
}
} // namespace

PortalCaptura::PortalCaptura(QDBusConnection conexion, std::chrono::milliseconds plazo,
                             QObject* padre)
    : QObject(padre), m_conexion(std::move(conexion)), m_plazo(plazo), m_reloj(new QTimer(this)),
      m_pedido(m_conexion, this, SLOT(respuesta(uint, QVariantMap))) {
    m_reloj->setSingleShot(true);
    connect(m_reloj, &QTimer::timeout, this, [this] {
        // The portal may still be working on it: it is told to drop it.
        if (!m_pedido.ruta().isEmpty()) {
            m_conexion.call(QDBusMessage::createMethodCall(Servicio, m_pedido.ruta(),
                                                           InterfazPedido, QStringLiteral("Close")),
                            QDBus::NoBlock);
        }
        terminar({{}, Fallo::Plazo, QStringLiteral("sin respuesta en %1 ms").arg(m_plazo.count())});
    });
}

PortalCaptura::~PortalCaptura() = default;

QString PortalCaptura::rutaPedido(const QString& nombreUnico, const QString& token) {
    QString emisor = nombreUnico;
    if (emisor.startsWith(QLatin1Char(':'))) {
        emisor.remove(0, 1);
    }
    emisor.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(emisor, token);
}

QString PortalCaptura::archivoDeUri(const QString& uri) {
    const QUrl url(uri, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("file")) {
        return {};
    }
    const QString maquina = url.host();
    if (!maquina.isEmpty() && maquina != QLatin1String("localhost")) {
        return {}; // another machine's file
    }
    return url.path(QUrl::FullyDecoded);
}

void PortalCaptura::pedir(Listo listo) {
    m_listo = std::move(listo);
    if (!m_conexion.isConnected()) {
        const QString motivo = m_conexion.lastError().message();
        QMetaObject::invokeMethod(
            this,
            [this, motivo] {
                terminar({{}, Fallo::SinPortal, QStringLiteral("sin bus de sesión: ") + motivo});
            },
            Qt::QueuedConnection);
        return;
    }
    const QString token = nuevoToken();
    m_pedido.escuchar(rutaPedido(m_conexion.baseService(), token));
    QDBusMessage llamada = QDBusMessage::createMethodCall(Servicio, Objeto, InterfazCaptura,
                                                          QStringLiteral("Screenshot"));
    const QVariantMap opciones{{QStringLiteral("handle_token"), token},
                               {QStringLiteral("interactive"), false},
                               {QStringLiteral("modal"), false}};
    llamada << QString() << opciones; // no parent window: none of ours is a Wayland window
    const bool conPlazo = m_plazo > SinPlazo;
    auto* espera = new QDBusPendingCallWatcher(
        m_conexion.asyncCall(llamada, conPlazo ? static_cast<int>(m_plazo.count()) : -1), this);
    connect(espera, &QDBusPendingCallWatcher::finished, this, &PortalCaptura::llamadaHecha);
    if (conPlazo) {
        m_reloj->start(m_plazo);
    }
}

void PortalCaptura::llamadaHecha(QDBusPendingCallWatcher* llamada) {
    llamada->deleteLater();
    const QDBusPendingReply<QDBusObjectPath> vuelta = *llamada;
    if (!m_listo) {
        return;
    }
    if (vuelta.isError()) {
        terminar({{}, Fallo::SinPortal, vuelta.error().message()});
        return;
    }
    m_pedido.escuchar(vuelta.value().path());
}

void PortalCaptura::respuesta(uint codigo, const QVariantMap& resultados) {
    if (!m_listo) {
        return;
    }
    if (codigo != Aceptada) {
        terminar({{},
                  Fallo::Rechazada,
                  codigo == Cancelada ? QStringLiteral("cancelada")
                                      : QStringLiteral("rechazada (código %1)").arg(codigo)});
        return;
    }
    const QString uri = resultados.value(QStringLiteral("uri")).toString();
    const QString ruta = archivoDeUri(uri);
    if (ruta.isEmpty()) {
        terminar({{}, Fallo::Archivo, QStringLiteral("URI sin archivo local: ") + uri});
        return;
    }
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly)) {
        terminar({{}, Fallo::Archivo, archivo.errorString() + QStringLiteral(": ") + ruta});
        return;
    }
    const QByteArray datos = archivo.readAll();
    archivo.close();
    archivo.remove(); // the screen's picture stays only in memory
    QImage imagen;
    if (!imagen.loadFromData(datos)) {
        terminar({{}, Fallo::Archivo, QStringLiteral("no es una imagen: ") + ruta});
        return;
    }
    terminar({std::move(imagen), Fallo::Ninguno, {}});
}

void PortalCaptura::terminar(Resultado resultado) {
    m_reloj->stop();
    m_pedido.dejar();
    Listo listo = std::exchange(m_listo, nullptr);
    if (listo) {
        listo(std::move(resultado));
    }
}
