#pragma once

#include <QString>

// One point of a stroke, in twips.
struct Punto {
    int X = 0;
    int Y = 0;
    bool operator==(const Punto&) const = default;
};

// The drawing tools, in the palette's order. The settings file keeps the chosen one by its
// number, so a new tool goes at the end.
enum class Herramienta { Pincel, Linea, Rectangulo, Circulo, Texto, Flecha, Resaltador, Laser };
inline constexpr int NumHerramientas = 8;

// Colours are red + 256 * green + 65536 * blue.
inline constexpr int Blanco = 0xFFFFFF;
inline constexpr int Amarillo = 255 + 256 * 255;

// How the next gesture is drawn. The settings own the one in use: the palette edits a copy and
// hands it back, the canvas's keys change it, and every gesture carries a copy of it, so a shape
// is drawn from its gesture alone and a later change never alters it.
struct Estilo {
    Herramienta herramienta = Herramienta::Pincel;
    int color = 255;
    int grosor = 10; // pixels
    // The highlighter has a colour and a width of its own: a marker is yellow and wide while
    // the pen stays thin and red.
    int colorResaltador = Amarillo;
    int grosorResaltador = 24;
    QString fuente = QStringLiteral("Arial");
    int tamFuente = 40; // points
    bool negrita = false;
    bool cursiva = false;
    bool subrayado = false;
    bool tachado = false;
    // Fading ink: how long it stays whole after the release, and how long it takes to fade.
    int esperaLaser = 3000; // ms
    int desvanecerLaser = 500;
    // Smooth ink where a compositor blends windows; off, shapes are crisp and one colour there
    // too, and a shape sends the X server no picture (lighter over a remote display).
    bool suave = true;

    // The colour and width the chosen tool draws with, and the palette and keys change.
    int colorActual() const;
    int grosorActual() const;
    void ponerColor(int nuevo);
    void ponerGrosor(int nuevo);

    bool operator==(const Estilo&) const = default;
};
