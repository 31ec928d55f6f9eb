// Renders the program's logo into the fixed-size icons of the hicolor theme, from the same SVG the
// program draws its tray icon with: <salida>/<n>x<n>/apps/io.github.tizo.Tizo.png for each size.
#include "Dibujos.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication aplicacion(argc, argv);
    QStringList argumentos = QCoreApplication::arguments().mid(1);
    QTextStream error(stderr);
    if (argumentos.size() < 2) {
        error << "usage: generar_iconos DIR SIZE...\n";
        return 2;
    }
    const QDir salida(argumentos.takeFirst());
    for (const QString& texto : argumentos) {
        bool ok = false;
        const int lado = texto.toInt(&ok);
        if (!ok || lado <= 0) {
            error << "not a size: " << texto << '\n';
            return 2;
        }
        const QString carpeta = QStringLiteral("%1x%1/apps").arg(lado);
        const QString ruta = salida.filePath(carpeta + QStringLiteral("/io.github.tizo.Tizo.png"));
        if (!salida.mkpath(carpeta) || !Dibujos::logo(lado).save(ruta, "PNG")) {
            error << "cannot write " << ruta << '\n';
            return 1;
        }
    }
    return 0;
}
