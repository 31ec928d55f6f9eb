#include "VigiaPantallas.h"

#include <QGuiApplication>
#include <QScreen>

VigiaPantallas::VigiaPantallas(QObject* padre) : QObject(padre) {
    for (QScreen* pantalla : QGuiApplication::screens()) {
        vigilar(pantalla);
    }
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen* pantalla) {
        vigilar(pantalla);
        emit cambio();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &VigiaPantallas::cambio);
}

void VigiaPantallas::vigilar(QScreen* pantalla) {
    connect(pantalla, &QScreen::geometryChanged, this, &VigiaPantallas::cambio);
}
