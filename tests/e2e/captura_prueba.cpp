// A canvas showing a picture that did not come from the screen, uploaded as a capture from
// elsewhere is: for the end-to-end tests.
//   captura_prueba WIDTH HEIGHT    the picture's size; each pixel is (x % 256, y % 256, 77)
#include "Captura.h"
#include "Estilo.h"
#include "FormFondo.h"
#include "Plataforma.h"
#include "RegistroFormas.h"

#include <QApplication>
#include <QImage>

int main(int argc, char** argv) {
    Plataforma::PrepararEntorno();
    QApplication aplicacion(argc, argv);
    QApplication::setApplicationName(QStringLiteral("captura_prueba"));
    const QStringList args = QApplication::arguments();
    QImage imagen(args.value(1).toInt(), args.value(2).toInt(), QImage::Format_RGB32);
    for (int y = 0; y < imagen.height(); ++y) {
        auto* fila = reinterpret_cast<QRgb*>(imagen.scanLine(y));
        for (int x = 0; x < imagen.width(); ++x) {
            fila[x] = qRgb(x % 256, y % 256, 77);
        }
    }
    RegistroFormas formas;
    Estilo estilo;
    auto* lienzo = new FormFondo(formas, estilo, Plataforma::actual().SubirCaptura(imagen));
    lienzo->mostrar();
    QObject::connect(lienzo, &QObject::destroyed, &aplicacion, &QApplication::quit);
    return QApplication::exec();
}
