#pragma once

#include <QList>
#include <QString>
#include <Qt>

// What the keyboard and the wheel do on the canvas, apart from any window: a digit picks a tool
// in the palette's order, a letter a colour, + and - the thickness, F1 or ? the list of keys,
// Esc leaves. The keys are the same in every language; letters count with or without Shift and
// Caps Lock, and keys held with Ctrl, Alt or Meta belong to other commands.
namespace TeclasDibujo {

struct Efecto {
    enum class Tipo {
        Ninguno,
        Salir,       // leave drawing mode
        Herramienta, // valor: the tool (Herramienta, as a number)
        Color,       // valor: the colour, red + 256 * green + 65536 * blue
        Grosor,      // valor: the change in thickness, pixels
        Ayuda,       // show or hide the list of keys
    };
    Tipo tipo = Tipo::Ninguno;
    int valor = 0;
    bool operator==(const Efecto&) const = default;
};

// What a key pressed with these modifiers does on the canvas.
Efecto deTecla(int tecla, Qt::KeyboardModifiers modificadores);

// The thickness `grosor` changed by `cambio`, held within the palette's limits.
int grosorTras(int grosor, int cambio);

// The wheel, turned in eighths of a degree: a notch (120) up makes the line 1 pixel thicker,
// down thinner, and 5 with Shift. A wheel that reports finer steps changes the thickness once
// they add up to a notch.
class Rueda {
public:
    // The change in thickness this turn completes; 0 while less than a notch has turned.
    int girar(int octavos, Qt::KeyboardModifiers modificadores);

private:
    int m_resto = 0;
};

// The list of keys as the help shows it, in the program's language: the keys, and what they do.
struct Linea {
    QString teclas;
    QString que;
};
QList<Linea> ayuda();

} // namespace TeclasDibujo
