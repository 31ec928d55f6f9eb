// Shows the tool palette modally on the real window system, from the program's defaults, for the
// end-to-end tests; when it has closed, prints the settings it left behind.
#include "FormTools.h"
#include "Plataforma.h"
#include "modGeneral.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    Plataforma::PrepararEntorno();
    QApplication aplicacion(argc, argv);
    modGeneral::AsignarValoresIniciales();
    {
        FormTools paleta;
        paleta.exec();
    }
    std::printf("Tipo=%d Color=%d Grosor=%d Fuente=%s TamFuente=%d\n", modGeneral::Tipo,
                modGeneral::Color, modGeneral::Grosor, qPrintable(modGeneral::Fuente),
                modGeneral::TamFuente);
    return 0;
}
