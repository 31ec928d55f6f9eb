#pragma once

class QIcon;
class QImage;
class QPixmap;

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

} // namespace Dibujos
