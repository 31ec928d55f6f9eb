#include "ServidorOrdenes.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

namespace {
// Whether a live program answers at `ruta`: then the socket is not stale.
bool alguienEscucha(const QString& ruta) {
    QLocalSocket prueba;
    prueba.connectToServer(ruta);
    // A local connection is made or refused at once; the wait is only a bound.
    return prueba.waitForConnected(500);
}
} // namespace

ServidorOrdenes::ServidorOrdenes(Ejecutar ejecutar, QObject* padre)
    : QObject(padre), m_ejecutar(std::move(ejecutar)), m_servidor(new QLocalServer(this)) {
    // Created with the owner's permissions only (Qt 6.4 and 6.8 make it in a private directory
    // and move it into place: QLocalServerPrivate::listen), so no other user can connect.
    m_servidor->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_servidor, &QLocalServer::newConnection, this, &ServidorOrdenes::aceptar);
}

ServidorOrdenes::~ServidorOrdenes() {
    m_servidor->close(); // removes the socket file
}

bool ServidorOrdenes::escuchar(const QString& ruta) {
    if (ruta.isEmpty()) {
        qWarning("%s", qPrintable(tr("tizo: no hay una carpeta privada para recibir órdenes; "
                                     "tizo --draw y las demás no llegarán")));
        return false;
    }
    // Qt 6.4 and 6.8 put the socket in place with a rename, which would take the place of a live
    // one too:
    // what is there is looked at first.
    if (QFileInfo(ruta).exists() || QFileInfo(ruta).isSymLink()) {
        if (alguienEscucha(ruta)) {
            qWarning("%s", qPrintable(tr("tizo: otro programa recibe ya las órdenes en %1")
                                          .arg(QDir::toNativeSeparators(ruta))));
            return false;
        }
        QLocalServer::removeServer(ruta); // left by a program that was killed
    }
    if (m_servidor->listen(ruta)) {
        return true;
    }
    qWarning("%s", qPrintable(tr("tizo: no se pueden recibir órdenes en %1 (%2)")
                                  .arg(QDir::toNativeSeparators(ruta), m_servidor->errorString())));
    return false;
}

void ServidorOrdenes::aceptar() {
    while (QLocalSocket* conexion = m_servidor->nextPendingConnection()) {
        if (m_abiertas >= ConexionesMaximas) {
            conexion->abort();
            conexion->deleteLater();
            continue;
        }
        ++m_abiertas;
        connect(conexion, &QObject::destroyed, this, [this] { --m_abiertas; });
        connect(conexion, &QLocalSocket::disconnected, conexion, &QObject::deleteLater);
        // Qt keeps no more than a line: a flood stops being read and the connection is dropped.
        conexion->setReadBufferSize(LargoMaximo + 1);
        auto* plazo = new QTimer(conexion);
        plazo->setSingleShot(true);
        connect(plazo, &QTimer::timeout, conexion, [conexion] {
            conexion->abort();
            conexion->deleteLater();
        });
        plazo->start(Plazo);
        connect(conexion, &QLocalSocket::readyRead, this, [this, conexion] { leer(conexion); });
        if (conexion->bytesAvailable() > 0) {
            leer(conexion);
        }
    }
}

void ServidorOrdenes::leer(QLocalSocket* conexion) {
    if (!conexion->canReadLine()) {
        if (conexion->bytesAvailable() > LargoMaximo) {
            conexion->abort();
            conexion->deleteLater();
        }
        return;
    }
    const QByteArray linea = conexion->readLine(LargoMaximo + 1);
    const std::optional<Orden> orden =
        linea.endsWith('\n') ? Ordenes::dePalabra(linea.chopped(1)) : std::nullopt;
    if (!orden) {
        conexion->abort();
        conexion->deleteLater();
        return;
    }
    disconnect(conexion, &QLocalSocket::readyRead, this, nullptr);
    const QPointer<QLocalSocket> viva(conexion);
    m_ejecutar(*orden);
    if (viva) {
        // Done, then answered: when the command line returns, the command has taken effect.
        conexion->write("ok\n");
        conexion->flush();
        conexion->disconnectFromServer();
    }
}
