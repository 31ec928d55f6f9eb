#pragma once

#include <QString>
#include <vector>

// The drawing settings every window of the program shares. They are plain variables on purpose:
// readers sample them at the moment they need them (a shape window only while it loads), so a
// later change never alters a shape that already exists.
namespace modGeneral {

// One point of a brush stroke, in twips.
struct Punto {
    int X = 0;
    int Y = 0;
    bool operator==(const Punto&) const = default;
};

// Tool codes: the index of the palette's tool option, the canvas gesture and the shape renderer.
inline constexpr int TipoPincel = 0;
inline constexpr int TipoLinea = 1;
inline constexpr int TipoRectangulo = 2;
inline constexpr int TipoCirculo = 3;
inline constexpr int TipoTexto = 4;

// Pixels of a shape window in this colour are not drawn: the desktop shows through them.
inline constexpr int ColorClave = 123 + 256 * 22 + 65536 * 153;

inline constexpr int Blanco = 16777215;

extern int Color;  // red + 256 * green + 65536 * blue
extern int Grosor; // pen width in pixels
extern int Tipo;
extern QString Fuente;
extern int TamFuente; // points
extern bool Negrita;
extern bool Cursiva;
extern bool Subrayado;
extern bool Tachado;
extern int NumVentanas; // live shape windows; kept by RegistroFormas
extern bool Ocultas;    // the shape windows were hidden from the tray

// Every run starts from the same defaults; nothing is kept between runs.
void AsignarValoresIniciales();

} // namespace modGeneral
