#pragma once

#include <memory>

class Captura;
class QScreen;

// Reading the screen's pixels for the drawing canvas.
namespace modCapturar {

// What the screen shows at this moment, at its device resolution (the primary screen by
// default), kept where the windowing system draws. It lives only in memory; deleting it frees
// it. Null when there is no screen to read.
std::unique_ptr<Captura> CapturarPantalla(QScreen* pantalla = nullptr);

} // namespace modCapturar
