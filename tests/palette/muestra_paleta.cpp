// Shows the tool palette modally on the real window system, from the program's defaults, for the
// end-to-end tests; when it has closed, prints the settings it left behind.
#include "FormTools.h"
#include "Plataforma.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    Plataforma::PrepararEntorno();
    QApplication aplicacion(argc, argv);
    Estilo estilo;
    {
        FormTools paleta(estilo);
        paleta.exec();
        estilo = paleta.estilo();
    }
    std::printf("Tipo=%d Color=%d Grosor=%d Fuente=%s TamFuente=%d\n",
                static_cast<int>(estilo.herramienta), estilo.color, estilo.grosor,
                qPrintable(estilo.fuente), estilo.tamFuente);
    return 0;
}
