#include "ElementoSni.h"

#include "AdaptadorSni.h"
#include "MenuDBus.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <utility>

const QString ElementoSni::Ruta = QStringLiteral("/StatusNotifierItem");

namespace {
const QString Vigia = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString ObjetoVigia = QStringLiteral("/StatusNotifierWatcher");
// Sizes trays ask for: panels of 16 to 48 pixels and their doubles.
const QList<int> Lados{16, 22, 24, 32, 48, 64};
} // namespace

ElementoSni::ElementoSni(const QIcon& icono, QMenu* menu, QObject* padre, QDBusConnection conexion)
    : IconoBandeja(icono, menu, padre), m_conexion(std::move(conexion)),
      m_pixmaps(pixmapsSni(icono, Lados)), m_adaptador(new AdaptadorSni(this)),
      m_menuDBus(new MenuDBus(menu, this)),
      m_vigia(new QDBusServiceWatcher(Vigia, m_conexion, QDBusServiceWatcher::WatchForRegistration,
                                      this)) {
    registrarTiposDBusBandeja();
    static int cuantos = 0;
    m_servicio = QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
                     .arg(QCoreApplication::applicationPid())
                     .arg(++cuantos);
    // A watcher that starts (again, as a panel restarts) knows nothing of the item.
    connect(m_vigia, &QDBusServiceWatcher::serviceRegistered, this, &ElementoSni::registrarEnVigia);
}

ElementoSni::~ElementoSni() {
    ocultar();
}

void ElementoSni::mostrar() {
    if (m_visible || !m_conexion.isConnected()) {
        return;
    }
    m_visible = true;
    m_conexion.registerObject(Ruta, this, QDBusConnection::ExportAdaptors);
    m_menuDBus->exportar(m_conexion);
    m_conexion.registerService(m_servicio);
    registrarEnVigia();
}

void ElementoSni::ocultar() {
    if (!m_visible) {
        return;
    }
    m_visible = false;
    // The watcher drops the item once its name is gone.
    m_conexion.unregisterService(m_servicio);
    m_menuDBus->retirar();
    m_conexion.unregisterObject(Ruta);
}

void ElementoSni::registrarEnVigia() {
    if (!m_visible) {
        return;
    }
    QDBusMessage registro = QDBusMessage::createMethodCall(
        Vigia, ObjetoVigia, Vigia, QStringLiteral("RegisterStatusNotifierItem"));
    registro << m_servicio;
    m_conexion.call(registro, QDBus::NoBlock);
}

void ElementoSni::tipCambiado() {
    emit m_adaptador->NewToolTip();
}
