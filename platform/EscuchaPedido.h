#pragma once

#include <QDBusConnection>
#include <QString>

class QObject;

// Where the desktop portal answers a request: its Response signal on the request's object,
// which `receptor`'s `ranura` (a SLOT(respuesta(uint, QVariantMap))) hears. Listened to before
// the call goes, at the path derived from the handle token, and moved if the portal's reply
// names another one (portals older than the handle token choose the path themselves).
class EscuchaPedido {
public:
    EscuchaPedido(const QDBusConnection& conexion, QObject* receptor, const char* ranura);
    ~EscuchaPedido();
    EscuchaPedido(const EscuchaPedido&) = delete;
    EscuchaPedido& operator=(const EscuchaPedido&) = delete;

    // Listens at `ruta` from now on, and no longer where it listened before.
    void escuchar(const QString& ruta);
    void dejar();
    // The request's object listened to; empty when none.
    const QString& ruta() const { return m_ruta; }

private:
    QDBusConnection m_conexion;
    QObject* m_receptor;
    const char* m_ranura;
    QString m_ruta;
};
