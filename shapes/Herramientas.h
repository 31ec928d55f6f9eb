#pragma once

#include "Estilo.h"

#include <array>

class Lienzo;
class QPainterPath;
class QRectF;
struct Gesto;

// Every drawing tool is one row of one table: its key on the canvas, its name in the palette,
// its pointer, how the canvas follows the pointer while it draws, and how its shape is placed
// and drawn. A new tool is a new row (and a new value of Herramienta, at the end).
namespace Herramientas {

// How the canvas follows the pointer while a tool draws.
enum class Arrastre {
    Trazo,   // every point the pointer passes, each segment painted as it comes
    Recta,   // a straight line from the press to the pointer
    Caja,    // a rectangle between the press and the pointer
    Circulo, // a circle as wide as the horizontal drag
    Texto,   // nothing: a text box opens at the press
};

struct Fila {
    Herramienta herramienta;
    int tecla;          // Qt::Key that picks it on the canvas
    const char* nombre; // as the palette shows it; translated in the palette's context
    Arrastre arrastre;
    // The tool's sign beside the pointer's crosshair, drawn in `esquina`; null: none. The text
    // tool's pointer is an I-beam instead.
    void (*figura)(QPainterPath& camino, const QRectF& esquina);
    // The shape's window, desktop twips, and its drawing there. Null for a text, which is typed.
    QRectF (*colocar)(const Gesto& gesto, double twipsPorPixel);
    void (*dibujar)(Lienzo& lienzo, const Gesto& gesto);
    bool puntaRecta = false; // square ends, for a marker
    bool cabeza = false;     // a straight stroke ending in an arrow's head (Renderizado::flecha)
    int opacidad = 100;      // percent: below 100 what lies beneath shows through
    bool efimera = false;    // fades away by itself: never a shape that stays or can be undone
};

inline constexpr int Total = NumHerramientas;

// In the palette's order.
const std::array<Fila, Total>& todas();
const Fila& de(Herramienta herramienta);

} // namespace Herramientas
