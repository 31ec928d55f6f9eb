#pragma once

class QIcon;
class QPixmap;

// The program's artwork, drawn in code so that it scales with nothing and ships no image files.
namespace Dibujos {

// The program's icon, with 16, 32 and 48 pixel images: a blue tile with a white pen stroke.
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
