#include "Composicion.h"

#include <QTest>

using Composicion::Capa;

namespace {
const QColor Gris(90, 90, 90);

QImage fondoGris(QSize tamano, qreal escala = 1) {
    QImage fondo(tamano * escala, QImage::Format_RGB32);
    fondo.setDevicePixelRatio(escala);
    fondo.fill(Gris);
    return fondo;
}

QImage llena(QSize tamano, const QColor& color) {
    QImage imagen(tamano, QImage::Format_ARGB32_Premultiplied);
    imagen.fill(color);
    return imagen;
}

// Where `imagen` is not grey, in its device pixels.
QRegion pintado(const QImage& imagen) {
    QRegion region;
    for (int y = 0; y < imagen.height(); ++y) {
        for (int x = 0; x < imagen.width(); ++x) {
            if (imagen.pixelColor(x, y) != Gris) {
                region += QRect(x, y, 1, 1);
            }
        }
    }
    return region;
}
} // namespace

class TstComposicion : public QObject {
    Q_OBJECT
private slots:
    // A one-colour shape shows exactly its window's shape, in its colour, where its window is.
    void formaDeUnColor() {
        const QRegion forma = QRegion(0, 0, 5, 3) + QRegion(10, 2, 2, 2);
        const QImage r = Composicion::componer(fondoGris({100, 80}), {100, 50},
                                               {Capa{{120, 60}, forma, Qt::red, {}}});
        QCOMPARE(r.size(), QSize(100, 80));
        QCOMPARE(pintado(r), forma.translated(20, 10));
        QCOMPARE(r.pixelColor(20, 10), QColor(Qt::red));
    }

    // A text shape shows its rendering through its shape, or all of it while it has none.
    void formaConImagen() {
        const QImage azul = llena({8, 6}, Qt::blue);
        const QImage entera =
            Composicion::componer(fondoGris({50, 50}), {}, {Capa{{5, 5}, {}, {}, azul}});
        QCOMPARE(pintado(entera), QRegion(5, 5, 8, 6));
        const QImage letras = Composicion::componer(fondoGris({50, 50}), {},
                                                    {Capa{{5, 5}, QRegion(1, 1, 2, 2), {}, azul}});
        QCOMPARE(pintado(letras), QRegion(6, 6, 2, 2));
        QCOMPARE(letras.pixelColor(6, 6), QColor(Qt::blue));
    }

    // Later layers lie over earlier ones; what lies off the screen is cut.
    void ordenYBordes() {
        const QImage r =
            Composicion::componer(fondoGris({40, 40}), {},
                                  {Capa{{0, 0}, QRegion(0, 0, 10, 10), Qt::red, {}},
                                   Capa{{5, 5}, QRegion(0, 0, 10, 10), Qt::green, {}},
                                   Capa{{35, 35}, QRegion(0, 0, 10, 10), Qt::blue, {}}});
        QCOMPARE(r.pixelColor(2, 2), QColor(Qt::red));
        QCOMPARE(r.pixelColor(7, 7), QColor(Qt::green));
        QCOMPARE(r.pixelColor(39, 39), QColor(Qt::blue));
        QCOMPARE(pintado(r), QRegion(0, 0, 10, 10) + QRegion(5, 5, 10, 10) + QRegion(35, 35, 5, 5));
    }

    // On a screen scaled twice the capture has twice the pixels, and each pixel of a window's
    // shape covers two by two of them, as the X server shows it.
    void pantallaEscalada() {
        const QImage r = Composicion::componer(fondoGris({30, 20}, 2), {},
                                               {Capa{{10, 5}, QRegion(0, 0, 1, 1), Qt::red, {}}});
        QCOMPARE(r.size(), QSize(60, 40));
        QCOMPARE(r.devicePixelRatio(), 2.0);
        QCOMPARE(pintado(r), QRegion(20, 10, 2, 2));
    }
};

QTEST_GUILESS_MAIN(TstComposicion)
#include "tst_composicion.moc"
