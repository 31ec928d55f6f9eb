#pragma once

#include <QList>
#include <QRect>
#include <QStringList>

// What the program needs to know about the screen.
namespace Pantalla {
// The primary screen in logical pixels: what a capture and the canvas cover.
QRect geometria();
// Every screen together, in logical pixels: where a window can be seen at all.
QRect escritorio();
// Each screen, in logical pixels, in the order the system lists them.
QList<QRect> monitores();
// The font families the screen offers, in the order the system gives them.
QStringList fuentes();
// Families as a user knows them: "C059 [urw]" and "C059 [UKWN]" are one "C059", listed once
// where it first appears.
QStringList sinFundidoras(const QStringList& familias);
} // namespace Pantalla
