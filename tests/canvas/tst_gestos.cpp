#include "Estilo.h"
#include "Gestos.h"
#include "Ventanas.h"

#include <QTest>
#include <vector>

Q_DECLARE_METATYPE(std::vector<QPointF>)
Q_DECLARE_METATYPE(std::vector<Punto>)

namespace {

// A canvas 1920 pixels wide at 15 twips per pixel, with a 48-pixel exit image.
constexpr double Ancho = 28800;
constexpr double LadoSalir = 720;

struct Resultado {
    int ventanas = 0;
    Gesto gesto;
    std::vector<Punto> puntos; // the brush points the new window was handed
};

// Press at the first point, move through the rest, release with the canvas at `origen` on the
// desktop.
Resultado arrastrar(Gestos& g, const std::vector<QPointF>& recorrido, QPointF origen = {}) {
    Resultado r;
    g.pulsar(true, recorrido.front());
    for (size_t i = 1; i < recorrido.size(); ++i) {
        g.mover(recorrido[i]);
    }
    g.soltar(
        [&r](const Gesto& gesto) {
            ++r.ventanas;
            r.gesto = gesto;
            r.puntos = gesto.puntos;
        },
        origen);
    return r;
}

} // namespace

class TstGestos : public QObject {
    Q_OBJECT
private slots:
    void init() { estilo = Estilo(); }

    // Line, rectangle and circle: what the new window is handed, dragged every way and not at
    // all. The press Y is rounded halves to even (1500.5 -> 1500), the pointer's X never.
    void formas_data() {
        QTest::addColumn<Herramienta>("tipo");
        QTest::addColumn<QPointF>("hasta");
        QTest::addColumn<QPointF>("inicio");
        QTest::addColumn<QPointF>("fin");
        QTest::addColumn<QRectF>("cuadro");
        const QPointF p(3000.5, 1500.5);
        const QPointF anclaje(3000.5, 1500);
        struct Direccion {
            const char* nombre;
            QPointF hasta;
        };
        const Direccion direcciones[] = {{"right down", {6000.25, 2502.5}},
                                         {"left down", {1000.75, 2503.5}},
                                         {"right up", {4000, 700.5}},
                                         {"left up", {2000, 500}}};
        for (const auto& d : direcciones) {
            const QPointF q = d.hasta;
            const double lado = std::abs(q.x() - p.x());
            const QPointF esquina(std::min(q.x(), p.x()), q.y() > 1500 ? 1500 : q.y());
            QTest::addRow("line %s", d.nombre)
                << Herramienta::Linea << q << anclaje << q << QRectF();
            QTest::addRow("rectangle %s", d.nombre)
                << Herramienta::Rectangulo << q << anclaje << QPointF(q.x(), std::nearbyint(q.y()))
                << QRectF();
            QTest::addRow("circle %s", d.nombre)
                << Herramienta::Circulo << q << QPointF() << QPointF()
                << QRectF(esquina, QSizeF(lado, lado));
        }
        // A click without a drag is a dot at the press point.
        QTest::newRow("line click")
            << Herramienta::Linea << QPointF() << anclaje << anclaje << QRectF();
        QTest::newRow("rectangle click")
            << Herramienta::Rectangulo << QPointF() << anclaje << anclaje << QRectF();
        QTest::newRow("circle click") << Herramienta::Circulo << QPointF() << QPointF() << QPointF()
                                      << QRectF(anclaje, QSizeF(0, 0));
        QTest::newRow("circle straight down, width 0")
            << Herramienta::Circulo << QPointF(3000.5, 9000) << QPointF() << QPointF()
            << QRectF(anclaje, QSizeF(0, 0));
        QTest::newRow("text") << Herramienta::Texto << QPointF(9000, 9000) << anclaje << QPointF()
                              << QRectF();
    }
    void formas() {
        QFETCH(Herramienta, tipo);
        QFETCH(QPointF, hasta);
        QFETCH(QPointF, inicio);
        QFETCH(QPointF, fin);
        QFETCH(QRectF, cuadro);

        Gestos g(Ancho, LadoSalir, estilo);
        // An earlier gesture of every kind leaves geometry behind that a click must not reuse.
        for (int t : {1, 2, 3}) {
            estilo.herramienta = Herramienta(t);
            arrastrar(g, {{100, 100}, {20000, 12000}});
        }
        estilo.herramienta = Herramienta(tipo);
        estilo.grosor = 7;
        std::vector<QPointF> recorrido{QPointF(3000.5, 1500.5)};
        if (!hasta.isNull()) {
            recorrido.push_back(hasta);
        }
        const Resultado r = arrastrar(g, recorrido);

        QCOMPARE(r.ventanas, 1);
        QCOMPARE(r.gesto.estilo.herramienta, tipo);
        QCOMPARE(r.gesto.anchoPluma, 10); // the canvas's pen, from load, not the later Grosor
        QCOMPARE(r.gesto.inicio, inicio);
        QCOMPARE(r.gesto.fin, fin);
        QCOMPARE(r.gesto.cuadro, cuadro);
        // After the release: no preview, no anchor, no gesture.
        QVERIFY(!g.pulsado());
        QVERIFY(!g.lineaVisible() && !g.lineaRVisible() && !g.cirVisible());
        QCOMPARE(g.x0(), Gestos::SinAncla);
    }

    // While dragging, the tool's preview (and only it) shows, with the width and colour of the
    // press; the rectangle's edges keep the drag direction.
    void previsualizacion_data() {
        QTest::addColumn<Herramienta>("tipo");
        QTest::newRow("line") << Herramienta::Linea;
        QTest::newRow("rectangle") << Herramienta::Rectangulo;
        QTest::newRow("circle") << Herramienta::Circulo;
        QTest::newRow("text") << Herramienta::Texto;
    }
    void previsualizacion() {
        QFETCH(Herramienta, tipo);
        Gestos g(Ancho, LadoSalir, estilo);
        estilo.herramienta = Herramienta(tipo);
        estilo.grosor = 25;
        estilo.color = 0x00FF00;
        g.pulsar(true, {6000, 3000});
        QVERIFY(!g.lineaVisible() && !g.lineaRVisible() && !g.cirVisible());
        estilo.grosor = 3; // changes after the press don't restyle this gesture
        estilo.color = 0;
        const Gestos::Movimiento m = g.mover({3000, 4500.5});
        QCOMPARE(m.previsualizacion, tipo != Herramienta::Texto);
        QVERIFY(!m.segmento);
        QCOMPARE(g.lineaVisible(), tipo == Herramienta::Linea);
        QCOMPARE(g.lineaRVisible(), tipo == Herramienta::Rectangulo);
        QCOMPARE(g.cirVisible(), tipo == Herramienta::Circulo);
        if (tipo != Herramienta::Texto) {
            QCOMPARE(g.anchoPrevisualizacion(), 25);
            QCOMPARE(g.colorPrevisualizacion(), 0x00FF00);
        }
        if (tipo == Herramienta::Rectangulo) {
            QCOMPARE(g.LineaR()[0], QLineF(6000, 3000, 3000, 3000));
            QCOMPARE(g.LineaR()[3], QLineF(3000, 3000, 3000, 4500)); // 4500.5 -> 4500
            QCOMPARE(g.xf(), 3000.0);
            QCOMPARE(g.yf(), 4500);
        }
    }

    void situarRectangulo_data() {
        QTest::addColumn<QPointF>("esquina");
        QTest::newRow("down right") << QPointF(900, 700);
        QTest::newRow("up left") << QPointF(-100, -300);
        QTest::newRow("beyond 16 bits") << QPointF(40000, 35000);
        QTest::newRow("on the anchor") << QPointF(300, 450);
    }
    void situarRectangulo() {
        QFETCH(QPointF, esquina);
        Gestos g(Ancho, LadoSalir, estilo);
        estilo.herramienta = Herramienta::Rectangulo;
        g.pulsar(true, {300, 450});
        g.SituarRectangulo(esquina.x(), esquina.y());
        const double X = esquina.x();
        const double Y = esquina.y();
        const std::array<QLineF, 4> esperado{QLineF(300, 450, X, 450), QLineF(300, 450, 300, Y),
                                             QLineF(300, Y, X, Y), QLineF(X, 450, X, Y)};
        QCOMPARE(g.LineaR(), esperado);
        QVERIFY(!g.lineaRVisible()); // placing the edges doesn't show them
    }

    // The brush: the stroke starts at the press point with a dot, and each move paints one
    // segment back to the stroke's previous point and keeps its own, rounded. The shape gets
    // exactly the points the painted segments join.
    void pincel_data() {
        QTest::addColumn<std::vector<QPointF>>("recorrido");
        QTest::addColumn<std::vector<Punto>>("puntos");
        QTest::newRow("press and release: a dot")
            << std::vector<QPointF>{{10, 10}} << std::vector<Punto>{{10, 10}};
        QTest::newRow("one move") << std::vector<QPointF>{{10, 10}, {15, 15}}
                                  << std::vector<Punto>{{10, 10}, {15, 15}};
        QTest::newRow("two moves, rounded halves to even")
            << std::vector<QPointF>{{10, 10}, {15, 15}, {30.5, 45.5}}
            << std::vector<Punto>{{10, 10}, {15, 15}, {30, 46}};
        QTest::newRow("three moves, beyond 16 bits")
            << std::vector<QPointF>{{0, 0}, {1, 1}, {40000, 50000}, {2.5, 3.5}}
            << std::vector<Punto>{{0, 0}, {1, 1}, {40000, 50000}, {2, 4}};
        QTest::newRow("a move that stays put")
            << std::vector<QPointF>{{10, 10}, {10.2, 9.9}, {20, 10}}
            << std::vector<Punto>{{10, 10}, {10, 10}, {20, 10}};
    }
    void pincel() {
        QFETCH(std::vector<QPointF>, recorrido);
        QFETCH(std::vector<Punto>, puntos);
        Gestos g(Ancho, LadoSalir, estilo);
        estilo.herramienta = Herramienta::Pincel;
        Resultado r;
        std::vector<QLineF> pintados;
        const Gestos::Pulsacion pulsacion = g.pulsar(true, recorrido.front());
        QVERIFY(!pulsacion.abrirPaleta);
        QVERIFY(pulsacion.segmento);
        pintados.push_back(*pulsacion.segmento);
        for (size_t i = 1; i < recorrido.size(); ++i) {
            const Gestos::Movimiento m = g.mover(recorrido[i]);
            QVERIFY(m.segmento);
            pintados.push_back(*m.segmento);
        }
        const bool hecho = g.soltar([&r](const Gesto& gesto) {
            ++r.ventanas;
            r.gesto = gesto;
            r.puntos = gesto.puntos;
        });
        QVERIFY(hecho);
        QCOMPARE(r.ventanas, 1);
        QCOMPARE(r.puntos, puntos);
        QCOMPARE(r.gesto.anchoPluma, 10);
        // What was painted: a dot at the first point, then each point back to the one before.
        QCOMPARE(pintados.size(), puntos.size());
        for (size_t i = 0; i < puntos.size(); ++i) {
            const Punto antes = puntos[i == 0 ? 0 : i - 1];
            QCOMPARE(pintados[i], QLineF(puntos[i].X, puntos[i].Y, antes.X, antes.Y));
        }
        QVERIFY(g.Puntos().empty()); // reset after the window
        QCOMPARE(g.xAnt(), Gestos::SinAncla);
        // The next stroke starts afresh at its own press point.
        g.pulsar(true, {500, 500});
        QCOMPARE(*g.mover({505, 505}).segmento, QLineF(505, 505, 500, 500));
        g.cancelar();
    }

    // Any button but the left opens the palette and leaves the gesture state alone; once it
    // closes, the brush takes the thickness chosen there.
    void otroBoton() {
        Gestos g(Ancho, LadoSalir, estilo);
        estilo.herramienta = Herramienta::Rectangulo;
        QVERIFY(g.pulsar(false, {100, 100}).abrirPaleta);
        QVERIFY(!g.pulsado());
        QCOMPARE(g.x0(), Gestos::SinAncla);
        estilo.grosor = 33;
        QCOMPARE(g.anchoPluma(), 10);
        g.tomarEstilo();
        QCOMPARE(g.anchoPluma(), 33);

        // During a gesture, too, without ending it.
        QVERIFY(!g.pulsar(true, {100, 100}).abrirPaleta);
        QVERIFY(g.pulsar(false, {200, 200}).abrirPaleta);
        QVERIFY(g.pulsado());
        QCOMPARE(g.x0(), 100.0);
    }

    // Without a press, moves and releases do nothing; after one, moves count even with no
    // button held, until a release.
    void sinPulsar() {
        Gestos g(Ancho, LadoSalir, estilo);
        estilo.herramienta = Herramienta::Linea;
        const Gestos::Movimiento m = g.mover({28100, 100}); // over the exit image, too
        QVERIFY(!m.previsualizacion && !m.salidaMovida && !m.segmento);
        int ventanas = 0;
        QVERIFY(!g.soltar([&](const Gesto&) { ++ventanas; }));
        QCOMPARE(ventanas, 0);
    }

    // The exit image sits 40 twips below the top and 20 from the right edge, and jumps out of
    // the way of a drag over it, every bound inside: to (0, 0), and from there back.
    void salida_data() {
        QTest::addColumn<QPointF>("puntero");
        QTest::addColumn<bool>("salta");
        QTest::newRow("top left corner") << QPointF(28060, 40) << true;
        QTest::newRow("bottom right corner") << QPointF(28780, 760) << true;
        QTest::newRow("left of it") << QPointF(28059.5, 400) << false;
        QTest::newRow("below it") << QPointF(28400, 760.5) << false;
        QTest::newRow("above it") << QPointF(28400, 39) << false;
    }
    void salida() {
        QFETCH(QPointF, puntero);
        QFETCH(bool, salta);
        Gestos g(Ancho, LadoSalir, estilo);
        const QRectF arriba(28060, 40, 720, 720);
        QCOMPARE(g.ImSalir(), arriba);
        for (int tipo = 0; tipo <= 4; ++tipo) {
            estilo.herramienta = Herramienta(tipo);
            g.pulsar(true, {500, 500});
            QCOMPARE(g.mover(puntero).salidaMovida, salta);
            QCOMPARE(g.ImSalir(), salta ? QRectF(0, 0, 720, 720) : arriba);
            if (salta) {
                QVERIFY(g.mover({700, 700}).salidaMovida); // over it in its new corner
                QCOMPARE(g.ImSalir(), arriba);
            }
            g.soltar([](const Gesto&) {});
        }
    }

    void salidaSigueAlAncho() {
        Gestos g(Ancho, LadoSalir, estilo);
        estilo.herramienta = Herramienta::Linea;
        g.pulsar(true, {500, 500});
        g.mover({28400, 400});
        QCOMPARE(g.ImSalir().topLeft(), QPointF(0, 0));
        g.redimensionar(57600);
        QCOMPARE(g.ImSalir(), QRectF(56860, 40, 720, 720));
    }

    // The tool changed on the palette in the middle of a gesture: a tool that needs a press
    // point makes nothing without one, and nothing of the first tool outlives the gesture.
    void cambioDeHerramienta_data() {
        QTest::addColumn<Herramienta>("antes");
        QTest::addColumn<Herramienta>("despues");
        QTest::addColumn<int>("ventanas");
        QTest::newRow("brush to line") << Herramienta::Pincel << Herramienta::Linea << 0;
        QTest::newRow("brush to text") << Herramienta::Pincel << Herramienta::Texto << 0;
        QTest::newRow("line to circle") << Herramienta::Linea << Herramienta::Circulo << 1;
        QTest::newRow("rectangle to brush") << Herramienta::Rectangulo << Herramienta::Pincel << 1;
    }
    void cambioDeHerramienta() {
        QFETCH(Herramienta, antes);
        QFETCH(Herramienta, despues);
        QFETCH(int, ventanas);
        Gestos g(Ancho, LadoSalir, estilo);
        estilo.herramienta = Herramienta::Linea; // an earlier line left its geometry behind
        arrastrar(g, {{100, 100}, {20000, 12000}});
        estilo.herramienta = antes;
        g.pulsar(true, {3000, 3000});
        for (const QPointF p : {QPointF(3500, 3200), QPointF(4000, 3400), QPointF(4500, 3600)}) {
            g.mover(p);
        }
        QVERIFY(g.pulsar(false, {4500, 3600}).abrirPaleta);
        estilo.herramienta = despues;
        g.tomarEstilo();
        for (const QPointF p : {QPointF(5000, 3800), QPointF(6000, 4000), QPointF(7000, 4200)}) {
            g.mover(p);
        }
        int hechas = 0;
        g.soltar([&](const Gesto& gesto) {
            ++hechas;
            // Never the earlier line's geometry.
            QVERIFY(gesto.inicio != QPointF(100, 100));
        });
        QCOMPARE(hechas, ventanas);
        QVERIFY(!g.lineaVisible() && !g.lineaRVisible() && !g.cirVisible());
        QVERIFY(g.Puntos().empty());
        // The next stroke has only its own points.
        estilo.herramienta = Herramienta::Pincel;
        const Resultado r = arrastrar(g, {{10, 10}, {20, 20}, {30, 30}});
        QCOMPARE(r.puntos, (std::vector<Punto>{{10, 10}, {20, 20}, {30, 30}}));
    }

    // With the canvas away from the desktop's top-left corner, every shape is handed over in
    // desktop coordinates; the canvas's own state stays in its coordinates.
    void origen_data() {
        QTest::addColumn<Herramienta>("tipo");
        QTest::newRow("brush") << Herramienta::Pincel;
        QTest::newRow("line") << Herramienta::Linea;
        QTest::newRow("rectangle") << Herramienta::Rectangulo;
        QTest::newRow("circle") << Herramienta::Circulo;
        QTest::newRow("text") << Herramienta::Texto;
    }
    void origen() {
        QFETCH(Herramienta, tipo);
        estilo.herramienta = Herramienta(tipo);
        const std::vector<QPointF> recorrido{{3000, 1500}, {4500, 3000}, {6000, 3000}};
        Gestos g(Ancho, LadoSalir, estilo);
        const Resultado local = arrastrar(g, recorrido);
        const QPointF desplazamiento(14400, 7500);
        const Resultado movido = arrastrar(g, recorrido, desplazamiento);
        QCOMPARE(movido.ventanas, 1);
        QCOMPARE(movido.gesto.inicio, local.gesto.inicio + desplazamiento);
        QCOMPARE(movido.gesto.fin, local.gesto.fin + desplazamiento);
        QCOMPARE(movido.gesto.cuadro, local.gesto.cuadro.translated(desplazamiento));
        QCOMPARE(movido.puntos.size(), local.puntos.size());
        for (size_t i = 0; i < local.puntos.size(); ++i) {
            QCOMPARE(movido.puntos[i],
                     (Punto{local.puntos[i].X + 14400, local.puntos[i].Y + 7500}));
        }
        QCOMPARE(g.ImSalir(), QRectF(28060, 40, 720, 720));
    }

    // A new canvas starts with no gesture and takes the pen width from the settings.
    void carga() {
        estilo.grosor = 42;
        const Gestos g(Ancho, LadoSalir, estilo);
        QVERIFY(g.Puntos().empty());
        QCOMPARE(g.anchoPluma(), 42);
        QVERIFY(!g.pulsado());
        QCOMPARE(g.x0(), Gestos::SinAncla);
        QCOMPARE(g.xAnt(), Gestos::SinAncla);
    }

    // Two canvases with strokes in progress at once (one on each monitor): each shape gets its
    // own canvas's points only, and a stroke ending on one canvas leaves the other's going.
    void dosLienzos() {
        Gestos a(Ancho, LadoSalir, estilo);
        Gestos b(Ancho, LadoSalir, estilo);
        a.pulsar(true, {100, 100});
        b.pulsar(true, {900, 900});
        a.mover({200, 100});
        b.mover({900, 1000});
        std::vector<Punto> deA;
        a.soltar([&](const Gesto& gesto) { deA = gesto.puntos; });
        QCOMPARE(deA, (std::vector<Punto>{{100, 100}, {200, 100}}));
        QVERIFY(b.pulsado());
        QCOMPARE(*b.mover({1000, 1000}).segmento, QLineF(1000, 1000, 900, 1000));
        std::vector<Punto> deB;
        b.soltar([&](const Gesto& gesto) { deB = gesto.puntos; }, {28800, 0});
        QCOMPARE(deB, (std::vector<Punto>{{29700, 900}, {29700, 1000}, {29800, 1000}}));
    }

private:
    Estilo estilo; // the style in use, as the settings own it in the program
};

QTEST_GUILESS_MAIN(TstGestos)
#include "tst_gestos.moc"
