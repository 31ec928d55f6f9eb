#include "Orden.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <array>
#include <sys/stat.h>
#include <unistd.h>

namespace Ordenes {

namespace {
struct Nombre {
    Orden orden;
    const char* palabra;
};
constexpr std::array<Nombre, 6> Palabras{{
    {Orden::Dibujar, "draw"},
    {Orden::BorrarTodo, "clear"},
    {Orden::MostrarOcultar, "toggle"},
    {Orden::Salir, "quit"},
    {Orden::Deshacer, "undo"},
    {Orden::Rehacer, "redo"},
}};
} // namespace

QByteArray palabra(Orden orden) {
    for (const Nombre& n : Palabras) {
        if (n.orden == orden) {
            return n.palabra;
        }
    }
    return {};
}

std::optional<Orden> dePalabra(const QByteArray& palabra) {
    for (const Nombre& n : Palabras) {
        if (palabra == n.palabra) {
            return n.orden;
        }
    }
    return std::nullopt;
}

bool carpetaPrivada(const QString& carpeta) {
    struct stat datos {};
    const QByteArray ruta = QFile::encodeName(carpeta);
    return !carpeta.isEmpty() && ::lstat(ruta.constData(), &datos) == 0 && S_ISDIR(datos.st_mode) &&
           datos.st_uid == ::getuid() && (datos.st_mode & 077) == 0;
}

QString rutaSocket() {
    const QString ejecucion = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (carpetaPrivada(ejecucion)) {
        return ejecucion + QStringLiteral("/tizo.sock");
    }
    // The temporary directory is everyone's: a folder of this user's own, which no one else can
    // have made first and no one else can enter.
    const QString propia = QDir::tempPath() + QStringLiteral("/tizo-%1").arg(::getuid());
    ::mkdir(QFile::encodeName(propia).constData(), 0700);
    return carpetaPrivada(propia) ? propia + QStringLiteral("/tizo.sock") : QString();
}

} // namespace Ordenes
