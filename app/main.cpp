#include "Dibujos.h"
#include "Form1.h"
#include "InstanciaUnica.h"
#include "Plataforma.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    Plataforma::PrepararEntorno();
    QApplication aplicacion(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tizo"));
    QApplication::setQuitOnLastWindowClosed(false); // the tray icon keeps the program alive
    QApplication::setWindowIcon(Dibujos::iconoPrograma());

    // A second copy leaves before it shows anything, tray icon included.
    const InstanciaUnica instancia;
    if (instancia.hayOtra()) {
        return 0;
    }

    Form1 form;
    return QApplication::exec();
}
