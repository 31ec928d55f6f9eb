#include "modCapturar.h"

#include "Captura.h"
#include "Plataforma.h"

#include <QGuiApplication>
#include <QScreen>

namespace modCapturar {

std::unique_ptr<Captura> CapturarPantalla(QScreen* pantalla) {
    if (pantalla == nullptr) {
        pantalla = QGuiApplication::primaryScreen();
    }
    return Plataforma::actual().CapturarPantalla(pantalla);
}

} // namespace modCapturar
