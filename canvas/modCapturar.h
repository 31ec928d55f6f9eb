#pragma once

class QPixmap;
class QScreen;

// Reading the screen's pixels for the drawing canvas.
namespace modCapturar {

// What the screen shows at this moment, at its device resolution (the primary screen by
// default). The picture lives only in memory; whoever holds the last copy frees it. A null
// pixmap when there is no screen to read.
QPixmap CapturarPantalla(QScreen* pantalla = nullptr);

} // namespace modCapturar
