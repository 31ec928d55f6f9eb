#pragma once

#include <QtGlobal>

class QColor;
class QIcon;
class QImage;
class QPainterPath;
class QPixmap;
class QPoint;
class QRectF;

// The program's artwork. The logo comes from one SVG, built into the program and installed as its
// icon; the small pictures are drawn in code.
namespace Dibujos {

// The logo, a blue tile with a white pen stroke, in a `lado` x `lado` image with a transparent
// background.
QImage logo(int lado);

// The program's icon: the logo with 16, 32 and 48 pixel images.
QIcon iconoPrograma();

enum class ImagenMenu { Logo, Gota, Borrar, Hoja, Salir };
// 13 x 13 pictures for the tray menu.
QPixmap imagenMenu(ImagenMenu cual);

// 283 x 170 picture of the about box.
QPixmap imagenAcerca();

// 48 x 48 exit image of the drawing canvas.
QPixmap imagenSalir();

// 16 x 16 light-blue close cross of the tool palette.
QPixmap imagenCerrar();

// Where the tool's sign goes in the pointer, logical pixels.
QRectF esquinaPuntero();
// The canvas's pointer for a tool in `color`, `grosor` pixels thick where that fits, at
// `escala` device pixels per logical pixel: a crosshair around a dot of the pen's size, with
// the tool's sign `figura` beside it; for text, an I-beam. Outlined so that it shows on any
// background.
QPixmap punteroHerramienta(const QPainterPath& figura, bool texto, const QColor& color, int grosor,
                           qreal escala);
// The point of that pointer that marks where the tool acts, logical pixels.
QPoint puntaHerramienta(bool texto);

} // namespace Dibujos
