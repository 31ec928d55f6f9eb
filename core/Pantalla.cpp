#include "Pantalla.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSet>

namespace Pantalla {

QRect geometria() {
    const QScreen* pantalla = QGuiApplication::primaryScreen();
    return pantalla ? pantalla->geometry() : QRect();
}

QRect escritorio() {
    const QScreen* pantalla = QGuiApplication::primaryScreen();
    return pantalla ? pantalla->virtualGeometry() : QRect();
}

QList<QRect> monitores() {
    QList<QRect> lista;
    for (const QScreen* pantalla : QGuiApplication::screens()) {
        lista.append(pantalla->geometry());
    }
    return lista;
}

QStringList fuentes() {
    return sinFundidoras(QFontDatabase::families());
}

QStringList sinFundidoras(const QStringList& familias) {
    QStringList lista;
    QSet<QString> vistas;
    for (const QString& familia : familias) {
        // Qt 6.4 and 6.8 name the foundry in brackets when several offer the same family
        // (QFontDatabase::families).
        QString nombre = familia;
        if (nombre.endsWith(QLatin1Char(']'))) {
            const qsizetype corchete = nombre.lastIndexOf(QLatin1String(" ["));
            if (corchete > 0) {
                nombre.truncate(corchete);
            }
        }
        if (!vistas.contains(nombre)) {
            vistas.insert(nombre);
            lista.append(nombre);
        }
    }
    return lista;
}

} // namespace Pantalla
