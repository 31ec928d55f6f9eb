#include "GuardarImagen.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <unistd.h>

namespace GuardarImagen {

namespace {
// Names tried for one second before giving up; far more than anyone saves in a second.
constexpr int Intentos = 1000;

QString porQue(QFileDevice::FileError error, const QString& carpeta) {
    const QString donde = QDir::toNativeSeparators(carpeta);
    switch (error) {
    case QFileDevice::ResourceError:
        return QCoreApplication::translate("GuardarImagen", "no queda espacio en el disco");
    case QFileDevice::PermissionsError:
    case QFileDevice::OpenError:
        return QCoreApplication::translate("GuardarImagen", "no se puede escribir en %1")
            .arg(donde);
    default:
        return QCoreApplication::translate("GuardarImagen", "error al escribir en %1").arg(donde);
    }
}
} // namespace

QString carpetaPorDefecto() {
    QString imagenes = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (imagenes.isEmpty()) {
        imagenes = QDir::homePath();
    }
    return imagenes + QStringLiteral("/Tizo");
}

QString nombreArchivo(const QDateTime& momento, int intento) {
    const QString base =
        QStringLiteral("tizo-") + momento.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    return intento <= 1 ? base + QStringLiteral(".png")
                        : base + QStringLiteral("-%1.png").arg(intento);
}

Resultado guardarPng(const QImage& imagen, const QString& carpeta, const QDateTime& momento) {
    if (imagen.isNull()) {
        return {{}, QCoreApplication::translate("GuardarImagen", "no hay imagen")};
    }
    if (!QDir().mkpath(carpeta) || !QFileInfo(carpeta).isDir()) {
        return {{},
                QCoreApplication::translate("GuardarImagen", "no se puede crear %1")
                    .arg(QDir::toNativeSeparators(carpeta))};
    }
    // Encoded in memory first: the encoder then never meets a failing disk, which it does not
    // recover from cleanly.
    QByteArray png;
    {
        QBuffer memoria(&png);
        memoria.open(QIODevice::WriteOnly);
        if (!QImageWriter(&memoria, "png").write(imagen)) {
            return {
                {},
                QCoreApplication::translate("GuardarImagen", "no se puede codificar la imagen")};
        }
    }
    // Hidden while it is being written; removed on any failure.
    QTemporaryFile temporal(carpeta + QStringLiteral("/.tizo-XXXXXX.png.part"));
    if (!temporal.open()) {
        return {{}, porQue(temporal.error(), carpeta)};
    }
    if (temporal.write(png) != png.size() || !temporal.flush() || ::fsync(temporal.handle()) != 0) {
        const QFileDevice::FileError error = temporal.error();
        return {{},
                porQue(error == QFileDevice::NoError ? QFileDevice::WriteError : error, carpeta)};
    }
    temporal.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                            QFileDevice::ReadGroup | QFileDevice::ReadOther);
    // A rename never replaces an existing file here: the next name is tried instead.
    for (int intento = 1; intento <= Intentos; ++intento) {
        const QString ruta = QDir(carpeta).filePath(nombreArchivo(momento, intento));
        if (QFileInfo::exists(ruta)) {
            continue;
        }
        if (temporal.rename(ruta)) {
            temporal.setAutoRemove(false);
            return {ruta, {}};
        }
        if (!QFileInfo::exists(ruta)) {
            return {{}, porQue(temporal.error(), carpeta)};
        }
    }
    return {{},
            QCoreApplication::translate("GuardarImagen",
                                        "demasiadas imágenes con el mismo nombre en %1")
                .arg(QDir::toNativeSeparators(carpeta))};
}

} // namespace GuardarImagen
