#include "Desvanecer.h"

#include <QPropertyAnimation>
#include <QTimer>
#include <QWidget>

void Desvanecer(QWidget* ventana, int espera, int duracion) {
    // Precise: a coarse timer may fire 5 % early, 150 ms of the 3 s a stroke stays.
    QTimer::singleShot(espera, Qt::PreciseTimer, ventana, [ventana, duracion] {
        auto* animacion = new QPropertyAnimation(ventana, "windowOpacity", ventana);
        animacion->setDuration(duracion);
        animacion->setStartValue(1.0);
        animacion->setEndValue(0.0);
        QObject::connect(animacion, &QPropertyAnimation::finished, ventana, &QWidget::close);
        animacion->start(QAbstractAnimation::DeleteWhenStopped);
    });
}
