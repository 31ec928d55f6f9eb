#include "EscuchaPedido.h"

namespace {
const QString Servicio = QStringLiteral("org.freedesktop.portal.Desktop");
const QString InterfazPedido = QStringLiteral("org.freedesktop.portal.Request");
const QString Senal = QStringLiteral("Response");
} // namespace

EscuchaPedido::EscuchaPedido(const QDBusConnection& conexion, QObject* receptor, const char* ranura)
    : m_conexion(conexion), m_receptor(receptor), m_ranura(ranura) {}

EscuchaPedido::~EscuchaPedido() {
    dejar();
}

void EscuchaPedido::escuchar(const QString& ruta) {
    if (ruta == m_ruta) {
        return;
    }
    dejar();
    m_ruta = ruta;
    m_conexion.connect(Servicio, m_ruta, InterfazPedido, Senal, m_receptor, m_ranura);
}

void EscuchaPedido::dejar() {
    if (!m_ruta.isEmpty()) {
        m_conexion.disconnect(Servicio, m_ruta, InterfazPedido, Senal, m_receptor, m_ranura);
        m_ruta.clear();
    }
}
