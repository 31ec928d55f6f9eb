#include "Pantalla.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>

namespace Pantalla {

QRect geometria() {
    const QScreen* pantalla = QGuiApplication::primaryScreen();
    return pantalla ? pantalla->geometry() : QRect();
}

QStringList fuentes() {
    return QFontDatabase::families();
}

} // namespace Pantalla
