#pragma once

#include <QDBusConnection>
#include <QMap>
#include <QObject>
#include <QStringList>
#include <functional>

class QDBusPendingCallWatcher;

// What the desktop's permission store says of screenshots taken without a dialog by a program
// the portal knows by no application id, as Tizo is: the portal asks the user the first time
// (GNOME: "Allow Applications to Take Screenshots?") and keeps the answer. While nothing is
// kept, a request may wait on the user, for as long as the user takes.
class PermisoCaptura : public QObject {
    Q_OBJECT
public:
    enum class Permiso {
        Concedido,   // "yes": the portal answers at once
        Denegado,    // "no": it refuses at once
        SinDecidir,  // nothing kept: it asks the user
        Desconocido, // no permission store to ask
    };
    using Listo = std::function<void(Permiso)>;

    explicit PermisoCaptura(QDBusConnection conexion = QDBusConnection::sessionBus(),
                            QObject* padre = nullptr);

    // Asks the store. `listo` runs once, later, from the event loop; not at all once the object
    // is gone. It may let go of this object only with deleteLater().
    void consultar(Listo listo);

    // The permission the store's table gives the program known by `aplicacion` ("" for none).
    static Permiso desdeTabla(const QMap<QString, QStringList>& permisos,
                              const QString& aplicacion = {});

    // How the user changes their mind after refusing, for the log.
    static QString comoPermitir();

private:
    void respuesta(QDBusPendingCallWatcher* llamada);

    QDBusConnection m_conexion;
    Listo m_listo;
};
