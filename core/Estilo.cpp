#include "Estilo.h"

int Estilo::colorActual() const {
    return herramienta == Herramienta::Resaltador ? colorResaltador : color;
}

int Estilo::grosorActual() const {
    return herramienta == Herramienta::Resaltador ? grosorResaltador : grosor;
}

void Estilo::ponerColor(int nuevo) {
    (herramienta == Herramienta::Resaltador ? colorResaltador : color) = nuevo;
}

void Estilo::ponerGrosor(int nuevo) {
    (herramienta == Herramienta::Resaltador ? grosorResaltador : grosor) = nuevo;
}
