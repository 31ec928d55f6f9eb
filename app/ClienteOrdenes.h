#pragma once

#include "Orden.h"

#include <QString>

// Gives one command to the running Tizo through its socket and waits for the answer.
namespace ClienteOrdenes {

// ms to wait for the answer: the running copy may still be starting and not yet listening.
inline constexpr int Plazo = 3000;

// Empty once the running program has answered that it carried the command out; otherwise one
// line saying why not.
QString enviar(Orden orden, const QString& ruta, int plazo = Plazo);

} // namespace ClienteOrdenes
