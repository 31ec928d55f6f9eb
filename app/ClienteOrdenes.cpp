#include "ClienteOrdenes.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLocalSocket>
#include <QTimer>

#include <unistd.h>

namespace ClienteOrdenes {

QString enviar(Orden orden, const QString& ruta, int plazo) {
    if (ruta.isEmpty()) {
        return QCoreApplication::translate("ClienteOrdenes",
                                           "no hay una carpeta privada donde hablar con Tizo");
    }
    QEventLoop bucle;
    QLocalSocket conexion;
    QString fallo =
        QCoreApplication::translate("ClienteOrdenes", "Tizo está en marcha pero no responde");
    bool hecho = false;

    // A copy that has just started holds the lock before it listens: when nothing answers yet,
    // the next try waits until the socket's folder changes.
    QFileSystemWatcher carpeta({QFileInfo(ruta).absolutePath()});
    auto intentar = [&] {
        if (conexion.state() != QLocalSocket::UnconnectedState) {
            return;
        }
        const QFileInfo socket(ruta);
        if (socket.exists() && socket.ownerId() != ::getuid()) {
            fallo = QCoreApplication::translate("ClienteOrdenes", "%1 no es de este usuario")
                        .arg(QDir::toNativeSeparators(ruta));
            bucle.quit();
            return;
        }
        conexion.connectToServer(ruta);
    };
    QObject::connect(&carpeta, &QFileSystemWatcher::directoryChanged, &bucle, intentar);
    QObject::connect(&conexion, &QLocalSocket::connected, &bucle,
                     [&] { conexion.write(Ordenes::palabra(orden) + '\n'); });
    QObject::connect(&conexion, &QLocalSocket::readyRead, &bucle, [&] {
        if (conexion.canReadLine()) {
            hecho = conexion.readLine(8) == "ok\n";
            bucle.quit();
        }
    });
    QObject::connect(&conexion, &QLocalSocket::errorOccurred, &bucle,
                     [&](QLocalSocket::LocalSocketError error) {
                         if (error != QLocalSocket::ServerNotFoundError &&
                             error != QLocalSocket::ConnectionRefusedError) {
                             bucle.quit(); // closed without an answer, or worse
                         }
                     });
    QTimer::singleShot(plazo, &bucle, &QEventLoop::quit);
    QTimer::singleShot(0, &bucle, intentar);
    bucle.exec();
    return hecho ? QString() : fallo;
}

} // namespace ClienteOrdenes
