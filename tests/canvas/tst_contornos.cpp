#include "Area.h"
#include "Contornos.h"

#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QRegion>
#include <QTest>

namespace {

// Draws the shape as the canvas draws its previews, then whites out the region: anything left
// is a pixel the repaint would have missed, a trail left on the canvas.
bool cubre(const QRegion& region, const std::function<void(QPainter&)>& dibujar, int ancho) {
    QImage imagen(1400, 1000, QImage::Format_RGB32);
    imagen.fill(Qt::white);
    QPainter pintor(&imagen);
    pintor.translate(200, 200); // shapes reaching past the top-left edge stay on the image
    pintor.setPen(QPen(Qt::black, ancho, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    dibujar(pintor);
    pintor.setClipRegion(region);
    pintor.fillRect(QRect(-200, -200, 1400, 1000), Qt::white);
    pintor.end();
    for (int y = 0; y < imagen.height(); ++y) {
        const auto* fila = reinterpret_cast<const QRgb*>(imagen.constScanLine(y));
        for (int x = 0; x < imagen.width(); ++x) {
            if (fila[x] != qRgb(255, 255, 255)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

class TstContornos : public QObject {
    Q_OBJECT
private slots:
    void segmento_data() {
        QTest::addColumn<QLineF>("linea");
        QTest::addColumn<int>("ancho");
        QTest::newRow("diagonal, pen 1") << QLineF(10, 10, 900, 700) << 1;
        QTest::newRow("diagonal back, pen 10") << QLineF(900.5, 700, 10, 10.5) << 10;
        QTest::newRow("steep, pen 3") << QLineF(400, 0, 420, 750) << 3;
        QTest::newRow("flat, pen 2") << QLineF(0, 300, 1000, 301) << 2;
        QTest::newRow("wide pen 200") << QLineF(100, 100, 800, 600) << 200;
        QTest::newRow("a dot, pen 30") << QLineF(50, 50, 50, 50) << 30;
        QTest::newRow("short, pen 7") << QLineF(50, 50, 53, 49) << 7;
    }
    void segmento() {
        QFETCH(QLineF, linea);
        QFETCH(int, ancho);
        const QRegion region = Contornos::segmento(linea, ancho);
        QVERIFY(cubre(
            region, [&](QPainter& p) { p.drawLine(linea); }, ancho));
        // A long diagonal repaints about its own pixels, not its bounding box.
        const qint64 cajaEntera = area(Contornos::caja(QRectF(linea.p1(), linea.p2()), ancho));
        if (std::abs(linea.dx()) > 500 && std::abs(linea.dy()) > 500 && ancho < 20) {
            QVERIFY2(area(region) * 8 < cajaEntera, qPrintable(QString::number(area(region))));
        }
    }

    void elipse_data() {
        QTest::addColumn<QRectF>("caja");
        QTest::addColumn<int>("ancho");
        QTest::newRow("large circle, pen 1") << QRectF(0, 0, 780, 780) << 1;
        QTest::newRow("large circle, pen 10") << QRectF(20.5, 10, 700, 700) << 10;
        QTest::newRow("small circle, pen 4") << QRectF(100, 100, 9, 9) << 4;
        QTest::newRow("no width, pen 10") << QRectF(300, 300, 0, 0) << 10;
        QTest::newRow("wide pen 200") << QRectF(100, 100, 600, 600) << 200;
        QTest::newRow("flat ellipse, pen 2") << QRectF(0, 300, 1000, 40) << 2;
    }
    void elipse() {
        QFETCH(QRectF, caja);
        QFETCH(int, ancho);
        const QRegion region = Contornos::elipse(caja, ancho);
        QVERIFY(cubre(
            region, [&](QPainter& p) { p.drawEllipse(caja); }, ancho));
        // A large circle repaints a ring: its middle is never in the region.
        if (caja.width() > 500 && caja.height() > 500 && ancho < 20) {
            QVERIFY(!region.contains(caja.center().toPoint()));
            QVERIFY2(area(region) * 4 < area(Contornos::caja(caja, ancho)),
                     qPrintable(QString::number(area(region))));
        }
    }
};

QTEST_MAIN(TstContornos)
#include "tst_contornos.moc"
