#include "Dibujos.h"
#include "Gesto.h"
#include "Herramientas.h"
#include "Lienzo.h"
#include "Renderizado.h"
#include "Ventanas.h"

#include <QImage>
#include <QPainterPath>
#include <QSet>
#include <QTest>

using Herramientas::Arrastre;

namespace {

// A gesture of the tool's kind across the box (1500, 1500) - (4500, 3000) twips.
Gesto gestoDe(const Herramientas::Fila& fila) {
    Gesto g;
    g.estilo.herramienta = fila.herramienta;
    g.anchoPluma = g.estilo.grosor;
    g.inicio = QPointF(1500, 1500);
    g.fin = QPointF(4500, 3000);
    g.cuadro = QRectF(1500, 1500, 1500, 1500);
    g.puntos = {{1500, 1500}, {3000, 2200}, {4500, 3000}};
    return g;
}

QImage puntero(const Herramientas::Fila& fila) {
    QPainterPath figura;
    if (fila.figura != nullptr) {
        fila.figura(figura, Dibujos::esquinaPuntero());
    }
    return Dibujos::punteroHerramienta(figura, fila.arrastre == Arrastre::Texto, Qt::red, 10, 1)
        .toImage();
}

} // namespace

class TstHerramientas : public QObject {
    Q_OBJECT
private slots:
    // Every tool is a whole row: in its place, with a key of its own, a name, a pointer that
    // tells it from the others, and, unless it is typed, a window and a drawing.
    void tabla() {
        QSet<int> teclas;
        QSet<QString> nombres;
        QList<QImage> punteros;
        for (int i = 0; i < Herramientas::Total; ++i) {
            const Herramientas::Fila& fila = Herramientas::todas()[std::size_t(i)];
            QCOMPARE(int(fila.herramienta), i);
            QCOMPARE(&Herramientas::de(fila.herramienta), &fila);
            QCOMPARE(fila.tecla, Qt::Key_1 + i); // the digits in the palette's order
            teclas.insert(fila.tecla);
            QVERIFY(fila.nombre != nullptr && *fila.nombre != '\0');
            nombres.insert(QString::fromUtf8(fila.nombre));
            const QImage imagen = puntero(fila);
            QVERIFY2(!punteros.contains(imagen), fila.nombre);
            punteros.append(imagen);
            const bool texto = fila.arrastre == Arrastre::Texto;
            QCOMPARE(fila.colocar == nullptr, texto);
            QCOMPARE(fila.dibujar == nullptr, texto);
            QVERIFY(fila.opacidad > 0 && fila.opacidad <= 100);
        }
        QCOMPARE(teclas.size(), Herramientas::Total);
        QCOMPARE(nombres.size(), Herramientas::Total);
    }

    // What a tool draws lies inside the window it places, and is not nothing.
    void dibujaDentroDeSuVentana_data() {
        QTest::addColumn<int>("herramienta");
        for (const Herramientas::Fila& fila : Herramientas::todas()) {
            if (fila.dibujar != nullptr) {
                QTest::newRow(fila.nombre) << int(fila.herramienta);
            }
        }
    }
    void dibujaDentroDeSuVentana() {
        QFETCH(int, herramienta);
        const Herramientas::Fila& fila = Herramientas::de(Herramienta(herramienta));
        const Gesto gesto = gestoDe(fila);
        const QRectF ventana = fila.colocar(gesto, 15.0);
        const QSize tamano = (ventana.size() / 15.0).toSize();
        // Drawn into a picture a margin larger on every side: nothing may fall in the margin.
        constexpr int Fuera = 40;
        QImage imagen = Lienzo::imagenTrazos(tamano + QSize(2 * Fuera, 2 * Fuera), 255);
        {
            Lienzo lienzo(imagen, ventana.topLeft() - QPointF(Fuera, Fuera) * 15.0, 15.0,
                          {gesto.estilo.grosorActual(), 255, fila.puntaRecta});
            fila.dibujar(lienzo, gesto);
        }
        const QRect dibujado = regionVisible(imagen, ColorClave).boundingRect();
        QVERIFY(!dibujado.isEmpty());
        QVERIFY2(QRect(QPoint(Fuera, Fuera), tamano).contains(dibujado),
                 qPrintable(QStringLiteral("%1,%2 %3x%4 in %5x%6")
                                .arg(dibujado.x())
                                .arg(dibujado.y())
                                .arg(dibujado.width())
                                .arg(dibujado.height())
                                .arg(tamano.width())
                                .arg(tamano.height())));
    }

    // The arrow's head: its tip at the release point, about three pen widths long and as wide as
    // long, never longer than the arrow; the shaft ends inside it.
    void cabezaDeFlecha_data() {
        QTest::addColumn<QPointF>("cola");
        QTest::addColumn<QPointF>("punta");
        QTest::addColumn<int>("grosor");
        QTest::addColumn<double>("largo"); // of the head, twips
        QTest::newRow("to the right, pen 10") << QPointF(0, 0) << QPointF(3000, 0) << 10 << 570.0;
        QTest::newRow("upwards, pen 2") << QPointF(900, 900) << QPointF(900, 0) << 2 << 210.0;
        QTest::newRow("diagonal, pen 20") << QPointF(0, 0) << QPointF(3000, 4000) << 20 << 1020.0;
        QTest::newRow("shorter than its head") << QPointF(0, 0) << QPointF(300, 0) << 10 << 300.0;
    }
    void cabezaDeFlecha() {
        QFETCH(QPointF, cola);
        QFETCH(QPointF, punta);
        QFETCH(int, grosor);
        QFETCH(double, largo);
        const Renderizado::Flecha f = Renderizado::flecha(cola, punta, grosor, 15.0);
        QCOMPARE(f.cabeza.size(), 3);
        QCOMPARE(f.cabeza[0], punta);
        const QPointF base = (f.cabeza[1] + f.cabeza[2]) / 2;
        QVERIFY(qAbs(QLineF(punta, base).length() - largo) < 1e-6);
        QVERIFY(qAbs(QLineF(f.cabeza[1], f.cabeza[2]).length() - largo) < 1e-6);
        // The base is square to the shaft, and the shaft's end lies on it, inside the head.
        QVERIFY(qAbs(QLineF(punta, cola).angleTo(QLineF(base, f.cabeza[1])) - 90) < 1e-6 ||
                qAbs(QLineF(punta, cola).angleTo(QLineF(base, f.cabeza[1])) - 270) < 1e-6);
        QVERIFY(f.cabeza.containsPoint(f.finAsta, Qt::OddEvenFill));
        QVERIFY(QLineF(cola, f.finAsta).length() < QLineF(cola, punta).length());
        // Its window holds the head and the tail.
        const QRectF ventana = Renderizado::ColocarFlecha(cola, punta, grosor, 15.0);
        QVERIFY(ventana.contains(f.cabeza.boundingRect()));
        QVERIFY(ventana.contains(cola));
    }

    // A click with the arrow leaves a dot, like every other pen.
    void flechaSinLargo() {
        const Renderizado::Flecha f = Renderizado::flecha({600, 600}, {600, 600}, 10, 15.0);
        QVERIFY(f.cabeza.isEmpty());
        QCOMPARE(f.finAsta, QPointF(600, 600));
    }
};

QTEST_MAIN(TstHerramientas)
#include "tst_herramientas.moc"
