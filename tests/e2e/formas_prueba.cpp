// Shape windows without the canvas, for the end-to-end tests: each argument group makes one
// FormVentana from a gesture, exactly as the canvas hands it over, and shows it the same way.
//   linea X1 Y1 X2 Y2 | rect X0 Y0 XF YF | circulo LEFT TOP WIDTH | texto X Y |
//   pincel X Y [X Y ...] | grosor N | color RGB          (positions in screen twips)
// It prints "ventanas N" whenever the number of shape windows changes.
#include "Dibujos.h"
#include "FormVentana.h"
#include "Gesto.h"
#include "Plataforma.h"
#include "RegistroFormas.h"
#include "Ventanas.h"
#include "modGeneral.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    Plataforma::PrepararEntorno();
    QApplication aplicacion(argc, argv);
    QApplication::setApplicationName(QStringLiteral("formas_prueba"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(Dibujos::iconoPrograma()); // as the program sets it
    modGeneral::AsignarValoresIniciales();
    RegistroFormas formas;

    const QStringList args = QApplication::arguments().mid(1);
    int i = 0;
    auto numero = [&]() { return i < args.size() ? args[i++].toDouble() : 0.0; };
    auto esNumero = [&]() {
        bool ok = false;
        return i < args.size() && (args[i].toDouble(&ok), ok);
    };
    while (i < args.size()) {
        const QString orden = args[i++];
        Gesto gesto;
        if (orden == QLatin1String("grosor")) {
            modGeneral::Grosor = static_cast<int>(numero());
            continue;
        }
        if (orden == QLatin1String("color")) {
            modGeneral::Color = static_cast<int>(numero());
            continue;
        }
        if (orden == QLatin1String("linea") || orden == QLatin1String("rect")) {
            gesto.tipo = orden == QLatin1String("linea") ? modGeneral::TipoLinea
                                                         : modGeneral::TipoRectangulo;
            gesto.inicio = {numero(), numero()};
            gesto.fin = {numero(), numero()};
        } else if (orden == QLatin1String("circulo")) {
            gesto.tipo = modGeneral::TipoCirculo;
            const double x = numero();
            const double y = numero();
            const double lado = numero();
            gesto.cuadro = {x, y, lado, lado};
        } else if (orden == QLatin1String("texto")) {
            gesto.tipo = modGeneral::TipoTexto;
            gesto.inicio = {numero(), numero()};
        } else if (orden == QLatin1String("pincel")) {
            gesto.tipo = modGeneral::TipoPincel;
            gesto.puntos.clear();
            while (esNumero()) {
                const int x = static_cast<int>(numero());
                gesto.puntos.push_back({x, static_cast<int>(numero())});
            }
        } else {
            std::fprintf(stderr, "unknown: %s\n", qPrintable(orden));
            return 2;
        }
        gesto.anchoPluma = modGeneral::Grosor;
        QElapsedTimer reloj;
        reloj.start();
        auto* ventana = new FormVentana(gesto);
        std::printf("cargada en %lld ms\n", static_cast<long long>(reloj.elapsed()));
        formas.agregar(ventana);
        ventana->setWindowTitle(QString::number(modGeneral::NumVentanas));
        ventana->show();
        SiempreEncima(ventana, true);
        QObject::connect(ventana, &QObject::destroyed, &formas, [] {
            // the registry counts the window out on the same signal; read the count afterwards
            QMetaObject::invokeMethod(
                qApp, [] { std::printf("ventanas %d\n", modGeneral::NumVentanas); },
                Qt::QueuedConnection);
        });
    }
    std::printf("ventanas %d\n", modGeneral::NumVentanas);
    return QApplication::exec();
}
