#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <optional>

// The palette's entry rules, apart from any window.
namespace ReglasPaleta {

inline constexpr int GrosorMinimo = 1;
inline constexpr int GrosorMaximo = 200;
inline constexpr int TamMinimo = 8;
inline constexpr int TamMaximo = 200;
inline constexpr int TamVacio = 40;
inline constexpr int LargoMaximo = 3; // characters in either number box

// Whether a key's text may reach a number box: digits and Backspace do; every other character
// (letters, signs, space, punctuation) is dropped. Keys without text, such as the arrows, pass.
bool teclaAdmitida(const QString& textoTecla);

// The value of a text made only of the digits 0-9, or nothing for anything else (empty, signs,
// spaces, fractions, exponents, other scripts' digits). Pasting can put any of those in a box.
std::optional<int> enteroSinSigno(const QString& texto);

// The thickness an entry gives, or nothing when the entry must be dropped: only a whole number
// from 1 to 200 is accepted.
std::optional<int> grosorAceptado(const QString& texto);

// The font size the size box gives when the palette closes: its value held within 8..200, and 40
// when the box is empty or holds anything but a whole number.
int tamFuente(const QString& texto);

// The index of the first font equal to `fuente` regardless of letter case, or -1.
int indiceFuente(const QStringList& fuentes, const QString& fuente);

// Where the palette, `tamano` big, opens for a click at `clic` on the monitor `monitor` (the
// same logical pixels): its top-left corner at the click, moved left and up as far as it takes
// to show whole on that monitor; at the monitor's top-left corner when it is larger.
QPoint lugarPaleta(const QPoint& clic, const QSize& tamano, const QRect& monitor);

} // namespace ReglasPaleta
