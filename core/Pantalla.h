#pragma once

class QRect;
#include <QStringList>

// What the program needs to know about the screen.
namespace Pantalla {
// The primary screen in logical pixels: what a capture and the canvas cover.
QRect geometria();
// The font families the screen offers, in the order the system gives them.
QStringList fuentes();
} // namespace Pantalla
