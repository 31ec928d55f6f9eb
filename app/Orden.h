#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The commands of the application object: what the tray menu, the global key, the keyboard, the
// command line and the local socket ask it to do.
enum class Orden {
    Dibujar,        // enter drawing mode, or leave it when it is open
    BorrarTodo,     // " Borrar Todo"
    MostrarOcultar, // " Mostrar / Ocultar"
    Salir,          // " Salir"
    Deshacer,
    Rehacer,
    Guardar, // the annotated screen as a PNG file (drawing mode only)
    Copiar,  // the annotated screen to the clipboard (drawing mode only)
};

namespace Ordenes {

// How a command travels on the local socket: one word and a newline. Save and copy only come
// from the keyboard; they have no word.
QByteArray palabra(Orden orden);
std::optional<Orden> dePalabra(const QByteArray& palabra);

// The socket a running Tizo listens on: in the user's runtime directory when it is private
// to the user, otherwise in a private folder of the temporary directory. Empty when no private
// place can be had.
QString rutaSocket();

// Whether `carpeta` exists, belongs to this user and no one else may enter it.
bool carpetaPrivada(const QString& carpeta);

} // namespace Ordenes
