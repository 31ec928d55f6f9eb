#pragma once

#include <QString>

class QDateTime;
class QImage;

// Writes pictures the user asked for into a folder of their own, never over an existing file and
// never leaving half a file behind.
namespace GuardarImagen {

// The user's pictures folder, subfolder Tizo.
QString carpetaPorDefecto();

// "tizo-YYYYMMDD-HHMMSS.png"; `intento` 2, 3, ... adds "-2", "-3", ... before the extension.
QString nombreArchivo(const QDateTime& momento, int intento = 1);

struct Resultado {
    QString ruta;  // the file written; empty when nothing was
    QString error; // why not, in a few words for the user; empty on success
};

// Saves `imagen` as a PNG in `carpeta` (created when missing), named after `momento`, taking the
// next free name when one exists. The picture goes to a temporary file first and gets its name
// only once it is complete.
Resultado guardarPng(const QImage& imagen, const QString& carpeta, const QDateTime& momento);

} // namespace GuardarImagen
