#pragma once

#include "TeclasDibujo.h"

class QImage;

// The list of keys that F1 shows over the canvas: a dark, slightly see-through card with each
// key beside what it does, drawn at `escala` device pixels per logical pixel.
namespace AyudaTeclas {

QImage imagen(const QList<TeclasDibujo::Linea>& lineas, qreal escala);

} // namespace AyudaTeclas
