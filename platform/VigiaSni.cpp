#include "VigiaSni.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <utility>

namespace {
const QString Servicio = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString Objeto = QStringLiteral("/StatusNotifierWatcher");
} // namespace

VigiaSni::VigiaSni(QDBusConnection conexion, QObject* padre)
    : QObject(padre), m_conexion(std::move(conexion)) {}

bool VigiaSni::hayServidor() const {
    if (!m_conexion.isConnected() || m_conexion.interface() == nullptr ||
        !m_conexion.interface()->isServiceRegistered(Servicio).value()) {
        return false;
    }
    QDBusMessage pregunta = QDBusMessage::createMethodCall(
        Servicio, Objeto, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    pregunta << Servicio << QStringLiteral("IsStatusNotifierHostRegistered");
    constexpr int Plazo = 1000; // ms: a watcher that hangs must not hold up the start
    const QDBusMessage respuesta = m_conexion.call(pregunta, QDBus::Block, Plazo);
    if (respuesta.type() != QDBusMessage::ReplyMessage || respuesta.arguments().isEmpty()) {
        return false;
    }
    return respuesta.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

void VigiaSni::alAparecer(std::function<void()> alAparecer) {
    m_alAparecer = std::move(alAparecer);
    if (!m_conexion.isConnected() || m_vigia != nullptr) {
        return;
    }
    // The watcher comes with the panel; a host may register with a watcher already there.
    m_vigia = new QDBusServiceWatcher(Servicio, m_conexion,
                                      QDBusServiceWatcher::WatchForRegistration, this);
    connect(m_vigia, &QDBusServiceWatcher::serviceRegistered, this, &VigiaSni::quizaAparecio);
    m_conexion.connect(Servicio, Objeto, Servicio, QStringLiteral("StatusNotifierHostRegistered"),
                       this, SLOT(quizaAparecio()));
}

void VigiaSni::quizaAparecio() {
    if (m_alAparecer && hayServidor()) {
        std::exchange(m_alAparecer, nullptr)();
    }
}
