#include "modCapturar.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace modCapturar {

QPixmap CapturarPantalla(QScreen* pantalla) {
    if (pantalla == nullptr) {
        pantalla = QGuiApplication::primaryScreen();
    }
    // Window 0 is the whole screen; the size covers exactly the area the canvas covers.
    return pantalla ? pantalla->grabWindow(0) : QPixmap();
}

} // namespace modCapturar
