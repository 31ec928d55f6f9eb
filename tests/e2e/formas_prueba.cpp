// Shape windows without the canvas, for the end-to-end tests: each argument group makes one
// FormVentana from a gesture, exactly as the canvas hands it over, and shows it the same way.
//   linea X1 Y1 X2 Y2 | rect X0 Y0 XF YF | circulo LEFT TOP WIDTH | texto X Y |
//   pincel X Y [X Y ...] | grosor N | color RGB          (positions in screen twips)
// It prints "ventanas N" whenever the number of shape windows changes.
#include "Dibujos.h"
#include "Estilo.h"
#include "FormVentana.h"
#include "Gesto.h"
#include "Plataforma.h"
#include "RegistroFormas.h"
#include "Ventanas.h"

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
    Estilo estilo;
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
        gesto.estilo = estilo;
        if (orden == QLatin1String("grosor")) {
            estilo.grosor = static_cast<int>(numero());
            continue;
        }
        if (orden == QLatin1String("color")) {
            estilo.color = static_cast<int>(numero());
            continue;
        }
        if (orden == QLatin1String("linea") || orden == QLatin1String("rect")) {
            gesto.estilo.herramienta =
                orden == QLatin1String("linea") ? Herramienta::Linea : Herramienta::Rectangulo;
            gesto.inicio = {numero(), numero()};
            gesto.fin = {numero(), numero()};
        } else if (orden == QLatin1String("circulo")) {
            gesto.estilo.herramienta = Herramienta::Circulo;
            const double x = numero();
            const double y = numero();
            const double lado = numero();
            gesto.cuadro = {x, y, lado, lado};
        } else if (orden == QLatin1String("texto")) {
            gesto.estilo.herramienta = Herramienta::Texto;
            gesto.inicio = {numero(), numero()};
        } else if (orden == QLatin1String("pincel")) {
            gesto.estilo.herramienta = Herramienta::Pincel;
            gesto.puntos.clear();
            while (esNumero()) {
                const int x = static_cast<int>(numero());
                gesto.puntos.push_back({x, static_cast<int>(numero())});
            }
        } else {
            std::fprintf(stderr, "unknown: %s\n", qPrintable(orden));
            return 2;
        }
        gesto.anchoPluma = estilo.grosor;
        QElapsedTimer reloj;
        reloj.start();
        auto* ventana = new FormVentana(gesto);
        std::printf("cargada en %lld ms\n", static_cast<long long>(reloj.elapsed()));
        formas.agregar(ventana);
        ventana->setWindowTitle(QString::number(formas.cantidad()));
        ventana->show();
        SiempreEncima(ventana, true);
        QObject::connect(ventana, &QObject::destroyed, &formas, [&formas] {
            // the registry counts the window out on the same signal; read the count afterwards
            QMetaObject::invokeMethod(
                qApp, [&formas] { std::printf("ventanas %d\n", formas.cantidad()); },
                Qt::QueuedConnection);
        });
    }
    std::printf("ventanas %d\n", formas.cantidad());
    return QApplication::exec();
}
