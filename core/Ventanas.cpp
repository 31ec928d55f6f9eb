#include "Ventanas.h"

#include "Arrastre.h"
#include "Plataforma.h"
#include "Unidades.h"

#include <QBitmap>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QRegion>
#include <QTransform>
#include <QVariant>
#include <QWidget>
#include <utility>
#include <vector>

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

namespace {
void ponerClave(QWidget* ventana, int colorClave) {
    QPalette paleta = ventana->palette();
    paleta.setColor(QPalette::Window, Unidades::colorDesdeRGB(colorClave));
    ventana->setPalette(paleta);
    ventana->setAutoFillBackground(true);
    ventana->setProperty(PropiedadClave, colorClave);
}

// Nothing visible hides the whole window: an empty region would mean no mask at all.
QRegion oNada(QRegion region) {
    return region.isEmpty() ? QRegion(-1, -1, 1, 1) : region;
}
} // namespace

void HacerTransparente(QWidget* ventana, int colorClave, const QImage* contenido) {
    ponerClave(ventana, colorClave);
    if (contenido != nullptr) {
        Plataforma::actual().PonerForma(ventana, regionVisible(*contenido, colorClave));
    } else {
        ActualizarTransparencia(ventana);
    }
}

void HacerTransparente(QWidget* ventana, int colorClave, const QRegion& forma) {
    ponerClave(ventana, colorClave);
    Plataforma::actual().PonerForma(ventana, forma);
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
    return oNada(region);
}

QRegion regionOpaca(const QImage& imagen, int umbral) {
    if (imagen.isNull()) {
        return oNada({});
    }
    Q_ASSERT(imagen.format() == QImage::Format_ARGB32_Premultiplied);
    // Read once, row by row, into rows of spans; rows with the same spans one under another
    // make one band of rectangles, as a region keeps them. Clear pixels are all zero bits, and
    // most of a stroke's picture is clear: two of them are passed over at a time.
    using Tramos = std::vector<std::pair<int, int>>;
    std::vector<QRect> rects;
    Tramos anteriores, tramos;
    int desde = 0; // first row of the band the earlier spans make
    auto cerrarBanda = [&](int hasta) {
        for (const auto& [x0, x1] : anteriores) {
            rects.emplace_back(x0, desde, x1 - x0, hasta - desde);
        }
    };
    const int ancho = imagen.width();
    for (int y = 0; y < imagen.height(); ++y) {
        const auto* fila = reinterpret_cast<const QRgb*>(imagen.constScanLine(y));
        tramos.clear();
        int x = 0;
        while (x < ancho) {
            while (x + 1 < ancho && fila[x] == 0 && fila[x + 1] == 0) {
                x += 2;
            }
            if (x == ancho) {
                break;
            }
            if (qAlpha(fila[x]) < umbral) {
                ++x;
                continue;
            }
            const int inicio = x;
            while (x < ancho && qAlpha(fila[x]) >= umbral) {
                ++x;
            }
            tramos.emplace_back(inicio, x);
        }
        if (tramos != anteriores) {
            cerrarBanda(y);
            anteriores.swap(tramos);
            desde = y;
        }
    }
    cerrarBanda(imagen.height());
    QRegion region;
    region.setRects(rects.data(), int(rects.size()));
    const qreal escala = imagen.devicePixelRatio();
    if (escala != 1.0) {
        region = QTransform::fromScale(1 / escala, 1 / escala).map(region);
    }
    return oNada(region);
}

void ArrastrarVentana(QWidget* ventana, bool soloFondo) {
    new Arrastre(ventana, soloFondo);
}
