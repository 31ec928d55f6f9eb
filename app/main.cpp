#include "ClienteOrdenes.h"
#include "Dibujos.h"
#include "Form1.h"
#include "Idioma.h"
#include "InstanciaUnica.h"
#include "LineaOrdenes.h"
#include "Memoria.h"
#include "Plataforma.h"
#include "Version.h"

#include <QApplication>
#include <QIcon>
#include <QTextStream>
#include <memory>

int main(int argc, char** argv) {
    Memoria::PrepararAsignador(); // before anything is allocated
    QStringList argumentos;
    for (int i = 0; i < argc; ++i) {
        argumentos.append(QString::fromLocal8Bit(argv[i]));
    }
    QTextStream salida(stdout);
    QTextStream errores(stderr);
    // The command line answers in the user's language, so the translations come before it is
    // read. This application without windows gives way to the graphical one further down.
    auto sinVentanas = std::make_unique<QCoreApplication>(argc, argv);
    Idioma idioma;
    idioma.instalar();
    const LineaOrdenes::Resultado linea = LineaOrdenes::analizar(argumentos);
    switch (linea.accion) {
    case LineaOrdenes::Resultado::Accion::Error:
        errores << linea.error << '\n';
        return LineaOrdenes::EstadoError;
    case LineaOrdenes::Resultado::Accion::Local:
        return linea.opcion->local(linea.valor, salida, errores);
    case LineaOrdenes::Resultado::Accion::Iniciar:
    case LineaOrdenes::Resultado::Accion::Orden:
        break;
    }

    // One copy per user: the lock is taken before anything shows, before listening for commands.
    const InstanciaUnica instancia;
    if (instancia.hayOtra()) {
        if (!linea.orden) {
            return 0; // a second plain start leaves quietly
        }
        const QString fallo = ClienteOrdenes::enviar(*linea.orden, Ordenes::rutaSocket());
        if (!fallo.isEmpty()) {
            errores << "tizo: " << fallo << '\n';
            return 1;
        }
        return 0;
    }
    // With nothing running, only drawing needs a Tizo: the other commands have nothing to act on.
    if (linea.orden && *linea.orden != Orden::Dibujar) {
        return 0;
    }

    sinVentanas.reset();
    Plataforma::PrepararEntorno();
    QApplication aplicacion(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tizo"));
    QGuiApplication::setDesktopFileName(Version::identificador());
    QApplication::setQuitOnLastWindowClosed(false); // the tray icon keeps the program alive
    QApplication::setWindowIcon(Dibujos::iconoPrograma());
    idioma.reinstalar();

    Form1 form(Ajustes::rutaPorDefecto(), Ordenes::rutaSocket());
    if (linea.orden) {
        form.dibujarFondo();
    }
    return QApplication::exec();
}
