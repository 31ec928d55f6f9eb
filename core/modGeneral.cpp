#include "modGeneral.h"

namespace modGeneral {

int Color = 0;
int Grosor = 0;
int Tipo = 0;
QString Fuente;
int TamFuente = 0;
bool Negrita = false;
bool Cursiva = false;
bool Subrayado = false;
bool Tachado = false;
int NumVentanas = 0;
bool Ocultas = false;

void AsignarValoresIniciales() {
    Color = 255;
    Grosor = 10;
    Tipo = TipoPincel;
    Fuente = QStringLiteral("Arial");
    TamFuente = 40;
    Negrita = false;
    Cursiva = false;
    Subrayado = false;
    Tachado = false;
    Ocultas = false;
}

} // namespace modGeneral
