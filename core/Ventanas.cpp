#include "Ventanas.h"

#include "Arrastre.h"
#include "Plataforma.h"
#include "Unidades.h"

#include <QBitmap>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QRegion>
#include <QVariant>
#include <QWidget>

namespace {
constexpr const char* PropiedadClave = "tizoColorClave";
}

void SiempreEncima(QWidget* ventana, bool activar, bool tomarTeclado) {
    if (ventana->windowFlags().testFlag(Qt::WindowStaysOnTopHint) != activar) {
        const bool visible = ventana->isVisible();
        ventana->setWindowFlag(Qt::WindowStaysOnTopHint, activar);
        if (visible) {
            ventana->show(); // changing the flags of a shown window hides it
        }
    }
    ventana->raise();
    if (tomarTeclado) {
        ventana->activateWindow();
    }
}

void HacerTransparente(QWidget* ventana, int colorClave, const QImage* contenido) {
    QPalette paleta = ventana->palette();
    paleta.setColor(QPalette::Window, Unidades::colorDesdeRGB(colorClave));
    ventana->setPalette(paleta);
    ventana->setAutoFillBackground(true);
    ventana->setProperty(PropiedadClave, colorClave);
    if (contenido != nullptr) {
        Plataforma::actual().PonerForma(ventana, regionVisible(*contenido, colorClave));
    } else {
        ActualizarTransparencia(ventana);
    }
}

void ActualizarTransparencia(QWidget* ventana) {
    const QVariant clave = ventana->property(PropiedadClave);
    if (!clave.isValid()) {
        return;
    }
    // Rendered at one pixel per window pixel: the shape is given in the window's own pixels,
    // which on a scaled screen are not the device pixels a grab() would return.
    QImage imagen(ventana->size(), QImage::Format_RGB32);
    imagen.fill(Unidades::colorDesdeRGB(clave.toInt()));
    ventana->render(&imagen, {}, {},
                    QWidget::DrawWindowBackground | QWidget::DrawChildren | QWidget::IgnoreMask);
    Plataforma::actual().PonerForma(ventana, regionVisible(imagen, clave.toInt()));
}

QRegion regionVisible(const QImage& imagen, int colorClave) {
    const QRgb clave = Unidades::colorDesdeRGB(colorClave).rgb();
    QRegion region;
    if (imagen.format() == QImage::Format_MonoLSB && imagen.colorCount() == 2 &&
        imagen.color(0) == clave) {
        // One bit per pixel over the key: the set bits show, unless they are the key as well.
        if (imagen.color(1) != clave) {
            region = QRegion(QBitmap::fromImage(imagen));
        }
    } else {
        const QImage mascara = imagen.convertToFormat(QImage::Format_RGB32)
                                   .createMaskFromColor(clave, Qt::MaskInColor);
        region = QRegion(QBitmap::fromImage(mascara));
    }
    if (region.isEmpty()) {
        // A region outside the window hides all of it.
        region = QRegion(-1, -1, 1, 1);
    }
    return region;
}

void ArrastrarVentana(QWidget* ventana, bool soloFondo) {
    new Arrastre(ventana, soloFondo);
}
