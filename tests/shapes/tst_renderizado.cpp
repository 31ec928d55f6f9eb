#include "EdicionTexto.h"
#include "Estilo.h"
#include "Lienzo.h"
#include "Renderizado.h"
#include "Ventanas.h"

#include <QImage>
#include <QTest>

using Puntos = std::vector<Punto>;

namespace {
const QColor Clave(123, 22, 153);
const QColor Rojo(255, 0, 0);

// Every pixel is either the pen's colour or the key: no blended edge.
bool soloDosColores(const QImage& imagen, const QColor& pluma) {
    for (int y = 0; y < imagen.height(); ++y) {
        for (int x = 0; x < imagen.width(); ++x) {
            const QRgb p = imagen.pixel(x, y);
            if (p != Clave.rgb() && p != pluma.rgb()) {
                return false;
            }
        }
    }
    return true;
}

int pixelesDe(const QImage& imagen, const QColor& color) {
    int n = 0;
    for (int y = 0; y < imagen.height(); ++y) {
        for (int x = 0; x < imagen.width(); ++x) {
            n += imagen.pixel(x, y) == color.rgb();
        }
    }
    return n;
}

QImage lienzoVacio(int ancho, int alto) {
    QImage imagen(ancho, alto, QImage::Format_RGB32);
    imagen.fill(Clave);
    return imagen;
}
} // namespace

Q_DECLARE_METATYPE(Puntos)

class TstRenderizado : public QObject {
    Q_OBJECT
private slots:
    void margen_data() {
        QTest::addColumn<int>("ancho");
        QTest::addColumn<double>("twipsPorPixel");
        QTest::addColumn<int>("margen");
        QTest::newRow("pen 10 at 96 dpi") << 10 << 15.0 << 150;
        QTest::newRow("pen 1") << 1 << 15.0 << 15;
        QTest::newRow("pen 200") << 200 << 15.0 << 3000;
        QTest::newRow("half rounds down to even") << 1 << 12.5 << 12;
        QTest::newRow("half rounds up to even") << 3 << 12.5 << 38;
    }
    void margen() {
        QFETCH(int, ancho);
        QFETCH(double, twipsPorPixel);
        QFETCH(int, margen);
        QCOMPARE(Renderizado::Margen(ancho, twipsPorPixel), margen);
    }

    // The window each outline gets, in twips, with Margen 150 (pen 10 at 15 twips per pixel).
    void colocacion_data() {
        QTest::addColumn<Herramienta>("tipo");
        QTest::addColumn<QPointF>("desde");
        QTest::addColumn<QPointF>("hasta");
        QTest::addColumn<QRectF>("ventana");
        const QRectF caja(1350, 1350, 3300, 1800);
        QTest::newRow("rectangle 3000 x 1500")
            << Herramienta::Rectangulo << QPointF(1500, 1500) << QPointF(4500, 3000) << caja;
        QTest::newRow("rectangle dragged up-left")
            << Herramienta::Rectangulo << QPointF(4500, 3000) << QPointF(1500, 1500) << caja;
        QTest::newRow("line down-right")
            << Herramienta::Linea << QPointF(1500, 1500) << QPointF(4500, 3000) << caja;
        QTest::newRow("line up-left")
            << Herramienta::Linea << QPointF(4500, 3000) << QPointF(1500, 1500) << caja;
        QTest::newRow("line up-right")
            << Herramienta::Linea << QPointF(1500, 3000) << QPointF(4500, 1500) << caja;
        QTest::newRow("line down-left")
            << Herramienta::Linea << QPointF(4500, 1500) << QPointF(1500, 3000) << caja;
        QTest::newRow("horizontal line: 2 x Margen high")
            << Herramienta::Linea << QPointF(600, 120) << QPointF(840, 120)
            << QRectF(450, -30, 540, 300);
        QTest::newRow("vertical line: 2 x Margen wide")
            << Herramienta::Linea << QPointF(600, 900) << QPointF(600, 120)
            << QRectF(450, -30, 300, 1080);
        QTest::newRow("unrounded line end") << Herramienta::Linea << QPointF(600, 120)
                                            << QPointF(847.5, 300) << QRectF(450, -30, 547.5, 480);
        QTest::newRow("collapsed rectangle") << Herramienta::Rectangulo << QPointF(3000, 900)
                                             << QPointF(3000, 900) << QRectF(2850, 750, 300, 300);
        QTest::newRow("beyond 16 bits")
            << Herramienta::Rectangulo << QPointF(40000, 35000) << QPointF(46000, 36000)
            << QRectF(39850, 34850, 6300, 1300);
    }
    void colocacion() {
        QFETCH(Herramienta, tipo);
        QFETCH(QPointF, desde);
        QFETCH(QPointF, hasta);
        QFETCH(QRectF, ventana);
        const QRectF r = tipo == Herramienta::Linea
                             ? Renderizado::ColocarLinea(desde, hasta, 150)
                             : Renderizado::ColocarRectangulo(desde, hasta, 150);
        QCOMPARE(r, ventana);
    }

    void colocacionCirculo_data() {
        QTest::addColumn<QRectF>("cuadro");
        QTest::addColumn<QRectF>("ventana");
        QTest::newRow("preview's design box")
            << QRectF(1320, 120, 375, 375) << QRectF(1170, -30, 675, 675);
        QTest::newRow("dragged straight down: width 0")
            << QRectF(3000, 3000, 0, 0) << QRectF(2850, 2850, 300, 300);
        // The height the preview might report plays no part: the window is square.
        QTest::newRow("taller than wide")
            << QRectF(3000, 3000, 1500, 4000) << QRectF(2850, 2850, 1800, 1800);
    }
    void colocacionCirculo() {
        QFETCH(QRectF, cuadro);
        QFETCH(QRectF, ventana);
        QCOMPARE(Renderizado::ColocarCirculo(cuadro, 150), ventana);
    }

    void colocacionPincel_data() {
        QTest::addColumn<Puntos>("puntos");
        QTest::addColumn<QRectF>("ventana");
        QTest::newRow("one point: 2 x Margen square")
            << Puntos{{3000, 1500}} << QRectF(2850, 1350, 300, 300);
        QTest::newRow("two points")
            << Puntos{{3000, 1500}, {1500, 3000}} << QRectF(1350, 1350, 1800, 1800);
        QTest::newRow("vertical stroke")
            << Puntos{{900, 100}, {900, 400}, {900, 250}} << QRectF(750, -50, 300, 600);
        QTest::newRow("doubling back") << Puntos{{900, 900}, {2000, 900}, {1200, 1800}, {300, 600}}
                                       << QRectF(150, 450, 2000, 1500);
        // Far from the screen's top-left corner, and off the screen, the box stays exact.
        QTest::newRow("far right and below")
            << Puntos{{150000, 120000}, {150300, 120150}} << QRectF(149850, 119850, 600, 450);
        QTest::newRow("left of and above the screen")
            << Puntos{{-300, -600}, {450, 30}} << QRectF(-450, -750, 1050, 930);
        QTest::newRow("no points") << Puntos{} << QRectF();
    }
    void colocacionPincel() {
        QFETCH(Puntos, puntos);
        QFETCH(QRectF, ventana);
        QCOMPARE(Renderizado::ColocarPincel(puntos, 150), ventana);
    }

    // A 3000 x 1500 rectangle, pen 10: outline on the box, key inside and around it.
    void pixelesRectangulo() {
        QImage imagen = lienzoVacio(220, 120);
        {
            Lienzo lienzo(imagen, QPointF(1350, 1350), 15.0, {10, 255});
            DibujarRectangulo(lienzo, QPointF(4500, 3000), QPointF(1500, 1500));
        }
        QVERIFY(soloDosColores(imagen, Rojo));
        // Each edge is a pen wide, centred on the outline 10 pixels in from the window's side.
        for (const QPoint p : {QPoint(10, 60), QPoint(5, 60), QPoint(14, 60), QPoint(210, 60),
                               QPoint(110, 10), QPoint(110, 110), QPoint(10, 10)}) {
            QCOMPARE(imagen.pixelColor(p), Rojo);
        }
        for (const QPoint p : {QPoint(110, 60), QPoint(20, 20), QPoint(3, 60), QPoint(110, 3),
                               QPoint(0, 0), QPoint(219, 119), QPoint(216, 60)}) {
            QCOMPARE(imagen.pixelColor(p), Clave);
        }
        int enFila = 0;
        for (int x = 0; x < 110; ++x) {
            enFila += imagen.pixelColor(x, 60) == Rojo;
        }
        QCOMPARE(enFila, 10);
    }

    void pixelesCirculo() {
        // Preview square 1500 twips wide: window 110 x 110 pixels, radius 50.
        QImage imagen = lienzoVacio(110, 110);
        {
            Lienzo lienzo(imagen, QPointF(2850, 2850), 15.0, {10, 255});
            DibujarCirculo(lienzo, 1500);
        }
        QVERIFY(soloDosColores(imagen, Rojo));
        for (const QPoint p : {QPoint(55, 5), QPoint(55, 105), QPoint(5, 55), QPoint(105, 55)}) {
            QCOMPARE(imagen.pixelColor(p), Rojo);
        }
        for (const QPoint p :
             {QPoint(55, 55), QPoint(35, 55), QPoint(3, 3), QPoint(106, 106), QPoint(55, 15)}) {
            QCOMPARE(imagen.pixelColor(p), Clave);
        }
    }

    // A click without a drag still leaves a dot of the pen's width, for every tool that draws.
    void puntoSinArrastre() {
        QImage linea = lienzoVacio(20, 20);
        QImage rect = lienzoVacio(20, 20);
        QImage circulo = lienzoVacio(20, 20);
        QImage pincel = lienzoVacio(20, 20);
        {
            Lienzo d(pincel, QPointF(2850, 2850), 15.0, {10, 255});
            DibujarPincel(d, Puntos{{3000, 3000}});
            Lienzo a(linea, QPointF(2850, 2850), 15.0, {10, 255});
            DibujarLinea(a, QPointF(3000, 3000), QPointF(3000, 3000));
            Lienzo b(rect, QPointF(2850, 2850), 15.0, {10, 255});
            DibujarRectangulo(b, QPointF(3000, 3000), QPointF(3000, 3000));
            Lienzo c(circulo, QPointF(2850, 2850), 15.0, {10, 255});
            DibujarCirculo(c, 0);
        }
        QCOMPARE(pincel, linea);
        for (const QImage& imagen : {linea, rect, circulo}) {
            QVERIFY(soloDosColores(imagen, Rojo));
            QCOMPARE(imagen.pixelColor(10, 10), Rojo);
            QCOMPARE(imagen.pixelColor(0, 0), Clave);
            const int n = pixelesDe(imagen, Rojo);
            QVERIFY2(n > 60 && n <= 100, qPrintable(QString::number(n)));
        }
    }

    void pixelesPincel() {
        // An L through three points, pen 4: one segment per pair, nothing else.
        QImage imagen = lienzoVacio(100, 100);
        const Puntos puntos{{300, 300}, {1200, 300}, {1200, 1200}};
        {
            Lienzo lienzo(imagen, QPointF(0, 0), 15.0, {4, 65280});
            DibujarPincel(lienzo, puntos);
        }
        const QColor verde(0, 255, 0);
        QVERIFY(soloDosColores(imagen, verde));
        for (const QPoint p :
             {QPoint(20, 20), QPoint(50, 20), QPoint(80, 20), QPoint(80, 50), QPoint(80, 80)}) {
            QCOMPARE(imagen.pixelColor(p), verde);
        }
        // The L is not closed: no segment back from the last point to the first.
        QCOMPARE(imagen.pixelColor(50, 50), Clave);
        QCOMPARE(imagen.pixelColor(20, 50), Clave);
    }

    void edicion_data() {
        QTest::addColumn<QString>("teclas");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("terminado");
        const QString marcador = EdicionTexto::marcador();
        QTest::newRow("untouched") << "" << marcador << false;
        QTest::newRow("first character replaces the placeholder") << "H"
                                                                  << "H" << false;
        QTest::newRow("backspace on the placeholder") << "\b"
                                                      << "Escribe aquí el texto .." << false;
        QTest::newRow("then typing appends") << "\bX"
                                             << "Escribe aquí el texto ..X" << false;
        QTest::newRow("backspace on empty") << "a\b\b"
                                            << "" << false;
        QTest::newRow("enter keeps the placeholder") << "\r" << marcador << true;
        QTest::newRow("enter adds no line break") << "Hola\r"
                                                  << "Hola" << true;
        QTest::newRow("typing after enter") << "ab\rc\b"
                                            << "ab" << true;
        QTest::newRow("escape and control codes are characters") << "\x1b\t\x01"
                                                                 << "\x1b\t\x01" << false;
        QTest::newRow("beyond one byte") << "ñ€😀"
                                         << "ñ€😀" << false;
        QTest::newRow("backspace takes a whole code point") << "a😀\b"
                                                            << "a" << false;
        QTest::newRow("typing the placeholder replaces it again") << marcador + "x"
                                                                  << "x" << false;
    }
    void edicion() {
        QFETCH(QString, teclas);
        QFETCH(QString, texto);
        QFETCH(bool, terminado);
        EdicionTexto edicion;
        for (const uint c : teclas.toUcs4()) {
            edicion.escribir(c);
        }
        QCOMPARE(edicion.texto(), texto);
        QCOMPARE(edicion.terminado(), terminado);
    }

    void caracteresDeTecla_data() {
        QTest::addColumn<int>("tecla");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("caracteres");
        QTest::newRow("letter") << int(Qt::Key_A) << "a"
                                << "a";
        QTest::newRow("escape without text") << int(Qt::Key_Escape) << ""
                                             << "\x1b";
        QTest::newRow("keypad enter") << int(Qt::Key_Enter) << ""
                                      << "\r";
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << "\b"
                                   << "\b";
        QTest::newRow("shift tab") << int(Qt::Key_Backtab) << ""
                                   << "\t";
        QTest::newRow("arrow types nothing") << int(Qt::Key_Left) << ""
                                             << "";
        QTest::newRow("composed text") << int(Qt::Key_unknown) << "é"
                                       << "é";
    }
    void caracteresDeTecla() {
        QFETCH(int, tecla);
        QFETCH(QString, texto);
        QFETCH(QString, caracteres);
        const std::u32string c = EdicionTexto::caracteresDeTecla(tecla, texto);
        QCOMPARE(QString::fromUcs4(c.data(), static_cast<qsizetype>(c.size())), caracteres);
    }
};

QTEST_MAIN(TstRenderizado)
#include "tst_renderizado.moc"
