#include "Area.h"
#include "ZonaTrazada.h"

#include <QRegion>
#include <QTest>
#include <cmath>

Q_DECLARE_METATYPE(QList<QRect>)

class TstZonaTrazada : public QObject {
    Q_OBJECT
private slots:
    // What a finished stroke repaints: every box it marked, in whole squares, within the canvas,
    // and no more of the canvas than those squares.
    void region_data() {
        QTest::addColumn<QList<QRect>>("cajas");
        QTest::addColumn<QRegion>("esperada");
        QTest::newRow("nothing marked") << QList<QRect>{} << QRegion();
        QTest::newRow("inside one square")
            << QList<QRect>{{20, 20, 10, 10}} << QRegion(16, 16, 16, 16);
        QTest::newRow("across four squares")
            << QList<QRect>{{28, 28, 10, 10}} << QRegion(16, 16, 32, 32);
        QTest::newRow("two apart, not their bounding box")
            << QList<QRect>{{0, 0, 5, 5}, {290, 290, 5, 5}}
            << QRegion(0, 0, 16, 16) + QRegion(288, 288, 16, 16);
        QTest::newRow("neighbours in a row join")
            << QList<QRect>{{0, 0, 5, 5}, {20, 0, 5, 5}, {35, 0, 5, 5}} << QRegion(0, 0, 48, 16);
        // 1000 x 600: the last squares are cut by the canvas's edges
        QTest::newRow("past the canvas: clipped to it")
            << QList<QRect>{{-50, -50, 60, 60}, {990, 590, 100, 100}}
            << QRegion(0, 0, 16, 16) + QRegion(976, 576, 24, 24);
        QTest::newRow("all outside") << QList<QRect>{{1200, 0, 10, 10}} << QRegion();
    }
    void region() {
        QFETCH(QList<QRect>, cajas);
        QFETCH(QRegion, esperada);
        ZonaTrazada zona(QSize(1000, 600));
        for (const QRect& caja : cajas) {
            zona.marcar(caja);
        }
        const QRegion region = zona.region();
        QVERIFY2(region.xored(esperada).isEmpty(),
                 qPrintable(QStringLiteral("%1 rectangles, bounding %2,%3 %4x%5")
                                .arg(region.rectCount())
                                .arg(region.boundingRect().x())
                                .arg(region.boundingRect().y())
                                .arg(region.boundingRect().width())
                                .arg(region.boundingRect().height())));
        QCOMPARE(zona.vacia(), esperada.isEmpty());
    }

    // A wavy stroke across the screen: its squares hold every segment's box but a fraction of its
    // bounding box; and once emptied, the next stroke starts from nothing.
    void trazoLargo() {
        ZonaTrazada zona(QSize(1920, 1080));
        QRegion cajas;
        QPointF previo(20, 540);
        for (int i = 1; i <= 2000; ++i) {
            const double t = i / 2000.0;
            const QPointF punto(20 + 1800 * t, 540 + 400 * std::sin(t * 6 * M_PI));
            const QRect caja =
                QRectF(previo, punto).normalized().adjusted(-7, -7, 7, 7).toAlignedRect();
            zona.marcar(caja);
            cajas += caja;
            previo = punto;
        }
        const QRegion region = zona.region();
        QVERIFY(cajas.subtracted(region).isEmpty());
        QVERIFY2(area(region) * 5 < area(region.boundingRect()),
                 qPrintable(QString::number(area(region))));
        zona.vaciar();
        QVERIFY(zona.vacia());
        QVERIFY(zona.region().isEmpty());
        zona.marcar({100, 100, 1, 1});
        QCOMPARE(zona.region(), QRegion(96, 96, 16, 16));
    }
};

QTEST_MAIN(TstZonaTrazada)
#include "tst_zona_trazada.moc"
