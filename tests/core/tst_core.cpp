#include "Estilo.h"
#include "InstanciaUnica.h"
#include "Monitores.h"
#include "Pantalla.h"
#include "RegistroFormas.h"
#include "Unidades.h"
#include "Ventanas.h"

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QMouseEvent>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegion>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <optional>

class TstCore : public QObject {
    Q_OBJECT
private slots:
    void valoresIniciales() {
        const Estilo estilo;
        QCOMPARE(estilo.color, 255);
        QCOMPARE(estilo.grosor, 10);
        QCOMPARE(estilo.herramienta, Herramienta::Pincel);
        QCOMPARE(estilo.fuente, QStringLiteral("Arial"));
        QCOMPARE(estilo.tamFuente, 40);
        QVERIFY(!estilo.negrita && !estilo.cursiva);
        QVERIFY(!estilo.subrayado && !estilo.tachado);
        QCOMPARE(ColorClave, 10032763);
    }

    void redondeo_data() {
        QTest::addColumn<double>("valor");
        QTest::addColumn<int>("esperado");
        QTest::newRow("half down to even") << 2.5 << 2;
        QTest::newRow("half up to even") << 3.5 << 4;
        QTest::newRow("negative half") << -2.5 << -2;
        QTest::newRow("below half") << 7.49 << 7;
        QTest::newRow("above half") << 7.51 << 8;
        QTest::newRow("beyond 16 bits") << 40000.5 << 40000;
    }
    void redondeo() {
        QFETCH(double, valor);
        QFETCH(int, esperado);
        QCOMPARE(Unidades::redondear(valor), esperado);
    }

    void unidades_data() {
        QTest::addColumn<double>("twips");
        QTest::addColumn<int>("pixeles");
        QTest::newRow("full hd width") << 28800.0 << 1920;
        QTest::newRow("full hd height") << 16200.0 << 1080;
        QTest::newRow("margin of pen 10") << 150.0 << 10;
        QTest::newRow("half pixel rounds to even, 0") << 7.5 << 0;
        QTest::newRow("half pixel rounds to even, 2") << 37.5 << 2;
        QTest::newRow("wider than 16 bits") << 45000.0 << 3000;
    }
    void unidades() {
        QFETCH(double, twips);
        QFETCH(int, pixeles);
        QCOMPARE(Unidades::twipsPorPixel(), 15.0); // 96 DPI
        QCOMPARE(Unidades::aPixelesRedondeados(twips), pixeles);
    }

    void colores_data() {
        QTest::addColumn<int>("rgb");
        QTest::addColumn<QColor>("color");
        QTest::newRow("red") << 255 << QColor(255, 0, 0);
        QTest::newRow("white") << 16777215 << QColor(255, 255, 255);
        QTest::newRow("key") << 10032763 << QColor(123, 22, 153);
        QTest::newRow("palette blue") << 16744576 << QColor(128, 128, 255);
    }
    void colores() {
        QFETCH(int, rgb);
        QFETCH(QColor, color);
        QCOMPARE(Unidades::colorDesdeRGB(rgb), color);
        QCOMPARE(Unidades::rgbDesdeColor(color), rgb);
    }

    void fuentesSinFundidoras_data() {
        QTest::addColumn<QStringList>("familias");
        QTest::addColumn<QStringList>("esperadas");
        QTest::newRow("plain names stay")
            << QStringList{"Arial", "DejaVu Sans"} << QStringList{"Arial", "DejaVu Sans"};
        QTest::newRow("one family, two foundries")
            << QStringList{"C059 [UKWN]", "C059 [urw]", "Arial"} << QStringList{"C059", "Arial"};
        QTest::newRow("first place kept")
            << QStringList{"B", "A [x]", "B [y]", "A"} << QStringList{"B", "A"};
        QTest::newRow("brackets inside a name")
            << QStringList{"Foo [Bar] Baz", "[x]"} << QStringList{"Foo [Bar] Baz", "[x]"};
    }
    void fuentesSinFundidoras() {
        QFETCH(QStringList, familias);
        QFETCH(QStringList, esperadas);
        QCOMPARE(Pantalla::sinFundidoras(familias), esperadas);
    }

    void regionVisible() {
        const QColor clave = Unidades::colorDesdeRGB(ColorClave);
        QImage imagen(20, 10, QImage::Format_RGB32);
        imagen.fill(clave);
        // Nothing drawn: the region hides the whole window instead of being empty, since an
        // empty mask would show all of it.
        const QRegion nada = ::regionVisible(imagen, ColorClave);
        QVERIFY(!nada.isEmpty());
        QVERIFY(!nada.intersects(QRect(0, 0, 20, 10)));

        imagen.setPixelColor(3, 4, Qt::red);
        imagen.setPixelColor(15, 9, QColor(123, 22, 152)); // one step off the key shows
        const QRegion region = ::regionVisible(imagen, ColorClave);
        QCOMPARE(region, QRegion(3, 4, 1, 1) + QRegion(15, 9, 1, 1));

        // One bit per pixel over the key: the strokes' bits show, unless the strokes are in the
        // key colour themselves.
        QImage bits(20, 10, QImage::Format_MonoLSB);
        bits.setColorTable({clave.rgb(), qRgb(255, 0, 0)});
        bits.fill(0);
        bits.setPixel(3, 4, 1);
        bits.setPixel(19, 0, 1);
        QCOMPARE(::regionVisible(bits, ColorClave), QRegion(3, 4, 1, 1) + QRegion(19, 0, 1, 1));
        bits.setColor(1, clave.rgb());
        QVERIFY(!::regionVisible(bits, ColorClave).intersects(QRect(0, 0, 20, 10)));
    }

    // The opaque part of a picture, against one found pixel by pixel: widths odd and even (a
    // picture's last pixel alone, where clear pixels are passed over two at a time), rows alike
    // one under another and not, and the threshold's edge.
    void regionOpaca_data() {
        QTest::addColumn<int>("ancho");
        QTest::addColumn<int>("alto");
        QTest::addColumn<int>("umbral");
        QTest::addColumn<quint32>("semilla");
        QTest::newRow("one pixel") << 1 << 1 << 128 << 1u;
        QTest::newRow("odd width") << 7 << 3 << 128 << 2u;
        QTest::newRow("even width") << 8 << 6 << 128 << 3u;
        QTest::newRow("wide, sparse") << 131 << 17 << 128 << 4u;
        QTest::newRow("a faint marker's threshold") << 33 << 20 << 51 << 5u;
        QTest::newRow("anything at all") << 20 << 20 << 1 << 6u;
    }
    void regionOpaca() {
        QFETCH(int, ancho);
        QFETCH(int, alto);
        QFETCH(int, umbral);
        QFETCH(quint32, semilla);
        QRandomGenerator azar(semilla);
        for (int vuelta = 0; vuelta < 20; ++vuelta) {
            QImage imagen(ancho, alto, QImage::Format_ARGB32_Premultiplied);
            imagen.fill(Qt::transparent);
            QRegion esperada;
            // Runs of pixels, some repeated on the next row as a stroke's are, and the last
            // pixel of a row now and then.
            const int tramos = int(azar.bounded(1 + ancho * alto / 4));
            for (int i = 0; i < tramos; ++i) {
                const int x = azar.bounded(4) == 0 ? ancho - 1 : int(azar.bounded(ancho));
                const int y = int(azar.bounded(alto));
                const int largo = 1 + int(azar.bounded(ancho - x));
                const int filas = 1 + int(azar.bounded(std::min(3, alto - y)));
                const int alfa = int(azar.bounded(256));
                const QRgb pixel = qPremultiply(qRgba(alfa, 0, 0, alfa));
                for (int f = y; f < y + filas; ++f) {
                    for (int c = x; c < x + largo; ++c) {
                        imagen.setPixel(c, f, pixel);
                    }
                }
            }
            for (int f = 0; f < alto; ++f) {
                for (int c = 0; c < ancho; ++c) {
                    if (qAlpha(imagen.pixel(c, f)) >= umbral) {
                        esperada += QRect(c, f, 1, 1);
                    }
                }
            }
            const QRegion region = ::regionOpaca(imagen, umbral);
            if (esperada.isEmpty()) {
                QVERIFY(!region.isEmpty()); // hides the whole window, as above
                QVERIFY(!region.intersects(QRect(0, 0, ancho, alto)));
            } else {
                // The same pixels, however the rectangles are cut.
                QVERIFY2((region ^ esperada).isEmpty(), qPrintable(QString::number(vuelta)));
            }
        }
    }

    // A picture at twice the window's pixels gives the shape in the window's own.
    void regionOpacaEscalada() {
        QImage imagen(8, 8, QImage::Format_ARGB32_Premultiplied);
        imagen.setDevicePixelRatio(2);
        imagen.fill(Qt::transparent);
        for (int f = 2; f < 6; ++f) {
            for (int c = 4; c < 8; ++c) {
                imagen.setPixel(c, f, qRgba(0, 0, 255, 255));
            }
        }
        QCOMPARE(::regionOpaca(imagen, 128), QRegion(2, 1, 2, 2));
    }

    // A window made transparent shows only what is not the key colour, also after its content
    // changes. The shape is in the window's own pixels: CTest runs this once more with the screen
    // scaled twice, where the window's device pixels are not its own.
    void hacerTransparente() {
        QWidget ventana;
        ventana.resize(30, 30);
        QVERIFY(!ventana.property("tizoColorClave").isValid());
        ActualizarTransparencia(&ventana); // not keyed: nothing happens
        QVERIFY(ventana.mask().isEmpty());
        HacerTransparente(&ventana, ColorClave);
        QCOMPARE(ventana.palette().color(QPalette::Window), QColor(123, 22, 153));
        QVERIFY(!ventana.mask().intersects(ventana.rect()));

        QWidget trazo(&ventana);
        trazo.setGeometry(5, 6, 10, 4);
        QPalette rojo = trazo.palette();
        rojo.setColor(QPalette::Window, Qt::red);
        trazo.setPalette(rojo);
        trazo.setAutoFillBackground(true);
        trazo.show();
        ActualizarTransparencia(&ventana);
        QCOMPARE(ventana.mask(), QRegion(5, 6, 10, 4));
    }

    // A drag follows the pointer from where the press says the window is, which is where the
    // X server has it even when Qt has not learnt yet where the window manager put it.
    void arrastreDesdeLaPulsacion_data() {
        QTest::addColumn<QPoint>("segunQt");     // what the widget believes
        QTest::addColumn<QPoint>("segunEvento"); // the window's corner as the press places it
        QTest::newRow("in step") << QPoint(300, 400) << QPoint(300, 400);
        QTest::newRow("Qt behind the window manager") << QPoint(0, 0) << QPoint(300, 400);
    }

    void arrastreDesdeLaPulsacion() {
        QFETCH(QPoint, segunQt);
        QFETCH(QPoint, segunEvento);
        QWidget ventana(nullptr, Qt::FramelessWindowHint);
        ventana.setGeometry(QRect(segunQt, QSize(100, 80)));
        ArrastrarVentana(&ventana);
        const QPointF dentro(5, 5);
        auto raton = [&](QEvent::Type tipo, QPointF global, Qt::MouseButtons botones) {
            QMouseEvent e(tipo, dentro, global, Qt::LeftButton, botones, Qt::NoModifier);
            QApplication::sendEvent(&ventana, &e);
        };
        raton(QEvent::MouseButtonPress, segunEvento + dentro, Qt::LeftButton);
        raton(QEvent::MouseMove, segunEvento + dentro + QPointF(40, 30), Qt::LeftButton);
        QCOMPARE(ventana.pos(), segunEvento + QPoint(40, 30));
        raton(QEvent::MouseButtonRelease, segunEvento + dentro + QPointF(40, 30), Qt::NoButton);
    }

    void registroCuentaYBorra() {
        RegistroFormas registro;
        QList<QPointer<QWidget>> ventanas;
        for (int i = 0; i < 3; ++i) {
            auto* ventana = new QWidget;
            ventanas.append(ventana);
            registro.agregar(ventana);
            QCOMPARE(registro.cantidad(), i + 1);
        }
        // A window that ends any other way is counted out as well.
        delete ventanas[1];
        QCOMPARE(registro.cantidad(), 2);
        QCOMPARE(registro.ventanas(), (QList<QWidget*>{ventanas[0], ventanas[2]}));
        // Its step has nothing left to take back: undo goes past it.
        QVERIFY(registro.deshacer());
        QVERIFY(registro.deshacer());
        QCOMPARE(registro.cantidad(), 0);
        QVERIFY(!registro.deshacer());
        QVERIFY(registro.rehacer());
        QVERIFY(registro.rehacer());
        QVERIFY(!registro.rehacer());
        QCOMPARE(registro.ventanas(), (QList<QWidget*>{ventanas[0], ventanas[2]}));
        QCOMPARE(registro.cantidad(), 2);

        QList<QObject*> orden;
        for (const auto& v : ventanas) {
            if (v) {
                connect(v, &QObject::destroyed, this, [&orden](QObject* o) { orden.append(o); });
            }
        }
        registro.borrarTodo();
        QCOMPARE(registro.cantidad(), 0);
        QVERIFY(orden.isEmpty()); // kept for an undo
        registro.borrarTodo();    // with none: nothing, and no step
        QVERIFY(registro.deshacer());
        QCOMPARE(registro.cantidad(), 2);
        QObject* primera = ventanas[0];
        QObject* tercera = ventanas[2];
        registro.destruirTodo();
        QCOMPARE(orden, (QList<QObject*>{tercera, primera})); // newest first
        QCOMPARE(registro.cantidad(), 0);
        QVERIFY(!registro.deshacer());
    }

    // Two monitors side by side, a third below the first, as Qt lays out monitors of scales 1, 2
    // and 1: the second one's device size halved, which leaves a gap at its right and below it.
    static QList<QRect> tresMonitores() {
        return {QRect(0, 0, 1920, 1080), QRect(1920, 0, 960, 540), QRect(0, 1080, 1920, 1080)};
    }

    void monitorDeUnPunto_data() {
        QTest::addColumn<QPointF>("punto");
        QTest::addColumn<int>("monitor");
        QTest::newRow("first") << QPointF(100, 100) << 0;
        QTest::newRow("last pixel of the first") << QPointF(1919.5, 1079.5) << 0;
        QTest::newRow("first pixel of the second") << QPointF(1920, 0) << 1;
        QTest::newRow("below the first") << QPointF(10, 1080) << 2;
        QTest::newRow("in the gap under the second: nearest") << QPointF(2300, 600) << 1;
        QTest::newRow("in the gap, nearer the first") << QPointF(1930, 1500) << 2;
        QTest::newRow("left of everything") << QPointF(-500, 300) << 0;
        QTest::newRow("far right") << QPointF(9000, 100) << 1;
    }
    void monitorDeUnPunto() {
        QFETCH(QPointF, punto);
        QFETCH(int, monitor);
        QCOMPARE(Monitores::deUnPunto(tresMonitores(), punto), monitor);
    }

    void monitorSinMonitores() {
        QCOMPARE(Monitores::deUnPunto({}, QPointF(0, 0)), -1);
        QCOMPARE(Monitores::rescatar(QRect(5, 5, 10, 10), {}), QRect(5, 5, 10, 10));
    }

    // A window whose middle lies on no monitor comes onto the nearest one, the least distance
    // that shows all of it; with its middle on a monitor it stays, even partly off it.
    void rescatar_data() {
        QTest::addColumn<QRect>("ventana");
        QTest::addColumn<QRect>("rescatada");
        QTest::newRow("on a monitor") << QRect(100, 100, 200, 100) << QRect(100, 100, 200, 100);
        QTest::newRow("across two monitors")
            << QRect(1800, 100, 200, 100) << QRect(1800, 100, 200, 100);
        QTest::newRow("middle on, corner off")
            << QRect(2800, 400, 100, 200) << QRect(2800, 400, 100, 200);
        QTest::newRow("on a monitor that went, right of the second")
            << QRect(3000, 100, 200, 100) << QRect(2680, 100, 200, 100);
        QTest::newRow("in the gap under the second")
            << QRect(2200, 800, 200, 100) << QRect(2200, 440, 200, 100);
        QTest::newRow("left of the desktop")
            << QRect(-900, 2000, 300, 50) << QRect(0, 2000, 300, 50);
        QTest::newRow("larger than the nearest: its top-left corner there")
            << QRect(3000, 300, 1500, 900) << QRect(1920, 0, 1500, 900);
        QTest::newRow("below everything") << QRect(500, 5000, 40, 40) << QRect(500, 2120, 40, 40);
    }
    void rescatar() {
        QFETCH(QRect, ventana);
        QFETCH(QRect, rescatada);
        QCOMPARE(Monitores::rescatar(ventana, tresMonitores()), rescatada);
    }

    // The pointer beyond a canvas counts as on its edge: on its last device pixel, whatever the
    // scale, so that the stroke's last point is painted on the canvas.
    void limitar_data() {
        QTest::addColumn<QPointF>("punto");
        QTest::addColumn<double>("escala");
        QTest::addColumn<QPointF>("limitado");
        QTest::newRow("inside") << QPointF(10.5, 20) << 1.0 << QPointF(10.5, 20);
        QTest::newRow("beyond the right") << QPointF(2500, 20) << 1.0 << QPointF(1919, 20);
        QTest::newRow("beyond the right, scale 2")
            << QPointF(2500, 20) << 2.0 << QPointF(1919.5, 20);
        QTest::newRow("above and left") << QPointF(-3, -0.5) << 1.0 << QPointF(0, 0);
        QTest::newRow("below, scale 1.5") << QPointF(7, 5000) << 1.5 << QPointF(7, 1080 - 1 / 1.5);
        QTest::newRow("on the far edge itself")
            << QPointF(1920, 1080) << 1.0 << QPointF(1919, 1079);
    }
    void limitar() {
        QFETCH(QPointF, punto);
        QFETCH(double, escala);
        QFETCH(QPointF, limitado);
        QCOMPARE(Monitores::limitar(punto, QSize(1920, 1080), escala), limitado);
    }

    // Every shape, live or kept for an undo, that lay on a monitor that went comes onto one that
    // is there, where an undo finds it too; the others stay, and nothing of it is a step.
    void registroRescata() {
        RegistroFormas registro;
        auto* quieta = new QWidget(nullptr, Qt::FramelessWindowHint);
        auto* perdida = new QWidget(nullptr, Qt::FramelessWindowHint);
        auto* borrada = new QWidget(nullptr, Qt::FramelessWindowHint);
        quieta->setGeometry(100, 100, 50, 50);
        perdida->setGeometry(3500, 200, 60, 40);
        borrada->setGeometry(3100, 900, 60, 40);
        for (QWidget* w : {quieta, perdida, borrada}) {
            registro.agregar(w);
            w->show();
        }
        borrada->close(); // kept for an undo
        const int pasos = registro.historial().pasosParaDeshacer();
        registro.rescatar({QRect(0, 0, 1920, 1080)});
        QCOMPARE(quieta->pos(), QPoint(100, 100));
        QCOMPARE(perdida->pos(), QPoint(1860, 200));
        QCOMPARE(borrada->pos(), QPoint(1860, 900));
        QCOMPARE(registro.historial().pasosParaDeshacer(), pasos);
        QVERIFY(registro.deshacer());
        QVERIFY(borrada->isVisible());
        QCOMPARE(borrada->pos(), QPoint(1860, 900));
        registro.destruirTodo();
    }

    // A shape that goes while it holds the keys says so, for the canvas to take them back; one
    // that did not hold them goes quietly.
    void teclasLibres_data() {
        QTest::addColumn<bool>("activa");
        QTest::addColumn<bool>("deshacer"); // an undo takes it back, instead of a deletion
        QTest::addColumn<int>("avisos");
        QTest::newRow("deleted with the keys") << true << false << 1;
        QTest::newRow("taken back by an undo with the keys") << true << true << 1;
        QTest::newRow("deleted without them") << false << false << 0;
    }

    void teclasLibres() {
        QFETCH(bool, activa);
        QFETCH(bool, deshacer);
        QFETCH(int, avisos);
        RegistroFormas registro;
        QWidget otra;
        auto* forma = new QWidget;
        registro.agregar(forma);
        for (QWidget* w : {forma, &otra}) {
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));
        }
        QWidget* conTeclas = activa ? forma : &otra;
        conTeclas->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(conTeclas));
        QSignalSpy libres(&registro, &RegistroFormas::teclasLibres);
        if (deshacer) {
            QVERIFY(registro.deshacer());
        } else {
            forma->close();
        }
        QCOMPARE(libres.size(), avisos);
        registro.destruirTodo();
    }

    // Sequences of steps, as letters: n makes a new window (named a, b, c, ...), x<w> deletes
    // window w, T is " Borrar Todo", m<w> drags window w by (100, 100), h is " Mostrar / Ocultar",
    // u undoes, r redoes. Afterwards: the live windows in order, each with +k for the drags in
    // effect and ~ when hidden; the windows destroyed for good; the steps left each way.
    void historial_data() {
        QTest::addColumn<int>("limite");
        QTest::addColumn<QString>("pasos");
        QTest::addColumn<QString>("vivas");
        QTest::addColumn<QString>("destruidas");
        QTest::addColumn<int>("deshacer");
        QTest::addColumn<int>("rehacer");
        auto fila = [](const char* nombre, const char* pasos, const char* vivas,
                       const char* destruidas, int deshacer, int rehacer, int limite = 100) {
            QTest::newRow(nombre) << limite << QString::fromLatin1(pasos)
                                  << QString::fromLatin1(vivas) << QString::fromLatin1(destruidas)
                                  << deshacer << rehacer;
        };
        fila("create, undo", "n n u", "a", "", 1, 1);
        fila("create, undo, redo", "n n u r", "a b", "", 2, 0);
        fila("undo past the first step", "n u u u", "", "", 0, 1);
        fila("delete, undo: back in its place", "n n n xb u", "a b c", "", 3, 1);
        fila("delete, undo, redo", "n n xa u r", "b", "", 3, 0);
        fila("delete, then undo its making too", "n xa u u", "", "", 0, 2);
        fila("clear all, undo", "n n n T u", "a b c", "", 3, 1);
        fila("clear all, undo, redo", "n n n T u r", "", "", 4, 0);
        fila("clear all with nothing is no step", "n T T u", "a", "", 1, 1);
        fila("drag, undo", "n n mb u", "a b", "", 2, 1);
        fila("two drags, undo one", "n ma ma u", "a+1", "", 2, 1);
        fila("drag, undo, redo", "n ma u r", "a+1", "", 2, 0);
        fila("a deleted window's drag comes back with it", "n ma xa u", "a+1", "", 2, 1);
        fila("a new step drops what could be redone", "n n u n r", "a c", "b", 2, 0);
        fila("a new step after undoing a delete", "n xa u n", "a b", "", 2, 0);
        fila("redo after a new step does nothing", "n n T u u n r", "a c", "b", 2, 0);
        fila("undone while hidden: comes back hidden", "n n h xa u", "a~ b~", "", 2, 1);
        fila("undone after showing again: shown", "n n h xa h u", "a b", "", 2, 1);
        fila("hidden, deleted, shown with none left", "n h xa h u", "a~", "", 1, 1);
        fila("the limit drops the oldest steps", "n n n n u u u u", "a", "", 0, 3, 3);
        fila("a kept window no step names goes", "n xa n n", "b c", "a", 2, 0, 2);
        fila("clear all beyond the limit", "n n T n n", "c d", "a b", 2, 0, 2);
    }
    void historial() {
        QFETCH(int, limite);
        QFETCH(QString, pasos);
        QFETCH(QString, vivas);
        QFETCH(QString, destruidas);
        QFETCH(int, deshacer);
        QFETCH(int, rehacer);
        QStringList muertas; // outlives the registry, which destroys what is left
        RegistroFormas registro(limite);
        QList<QPointer<QWidget>> ventanas;
        auto ventana = [&](QChar letra) { return ventanas.value(letra.unicode() - 'a').data(); };
        for (const QString& paso : pasos.split(QLatin1Char(' '))) {
            switch (paso.at(0).toLatin1()) {
            case 'n': {
                auto* nueva = new QWidget;
                const QString nombre(QChar(char16_t(u'a' + ventanas.size())));
                nueva->setObjectName(nombre);
                nueva->move(10, 10);
                connect(nueva, &QObject::destroyed, this,
                        [&muertas, nombre] { muertas << nombre; });
                ventanas.append(nueva);
                registro.agregar(nueva);
                nueva->show();
                break;
            }
            case 'x':
                QVERIFY(!ventana(paso.at(1))->close()); // kept, not destroyed
                break;
            case 'T':
                registro.borrarTodo();
                break;
            case 'm': {
                QWidget* arrastrada = ventana(paso.at(1));
                QTest::mousePress(arrastrada, Qt::LeftButton, {}, {5, 5});
                arrastrada->move(arrastrada->pos() + QPoint(100, 100));
                QTest::mouseRelease(arrastrada, Qt::LeftButton, {}, {5, 5});
                break;
            }
            case 'h':
                registro.mostrarOcultar();
                break;
            case 'u':
                registro.deshacer();
                break;
            case 'r':
                registro.rehacer();
                break;
            }
        }
        QStringList estado;
        for (QWidget* viva : registro.ventanas()) {
            QString e = viva->objectName();
            const int arrastres = (viva->x() - 10) / 100;
            if (arrastres != 0) {
                e += QStringLiteral("+%1").arg(arrastres);
            }
            if (!viva->isVisible()) {
                e += QLatin1Char('~');
            }
            estado << e;
        }
        QCOMPARE(estado.join(QLatin1Char(' ')), vivas);
        muertas.sort();
        QCOMPARE(muertas.join(QLatin1Char(' ')), destruidas);
        for (QWidget* retirada : registro.retiradas()) {
            QVERIFY(!retirada->isVisible());
        }
        QCOMPARE(registro.historial().pasosParaDeshacer(), deshacer);
        QCOMPARE(registro.historial().pasosParaRehacer(), rehacer);
        QCOMPARE(registro.cantidad() + registro.retiradas().size() + muertas.size(),
                 ventanas.size());
    }

    // At most 100 steps back by default: the 101st undo finds nothing.
    void historialDeCien() {
        RegistroFormas registro;
        QList<QWidget*> ventanas;
        for (int i = 0; i < 101; ++i) {
            ventanas.append(new QWidget);
            registro.agregar(ventanas.last());
        }
        int deshechos = 0;
        while (registro.deshacer()) {
            ++deshechos;
        }
        QCOMPARE(deshechos, 100);
        QCOMPARE(registro.ventanas(), QList<QWidget*>{ventanas.first()});
        QCOMPARE(registro.cantidad(), 1);
    }

    void mostrarOcultar() {
        RegistroFormas registro;
        registro.mostrarOcultar(); // no windows: nothing is hidden
        QVERIFY(!registro.ocultas());

        QWidget a, b;
        registro.agregar(&a);
        registro.agregar(&b);
        a.show();
        b.show();
        registro.mostrarOcultar();
        QVERIFY(registro.ocultas());
        QVERIFY(!a.isVisible() && !b.isVisible());

        QWidget nueva; // made while the others are hidden: shown all the same
        registro.agregar(&nueva);
        nueva.show();
        registro.mostrarOcultar();
        QVERIFY(!registro.ocultas());
        QVERIFY(a.isVisible() && b.isVisible() && nueva.isVisible());
    }

    // Only a lock held by a running copy keeps a new copy out; a lock that cannot be taken at all
    // lets it start.
    void instanciaUnica_data() {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<bool>("otra");
        QTest::addColumn<bool>("aviso"); // one line on stderr says the lock was not used
        QTest::newRow("free") << QStringLiteral("libre") << false << false;
        QTest::newRow("held by a running copy") << QStringLiteral("tomado") << true << false;
        QTest::newRow("read-only directory") << QStringLiteral("soloLectura") << false << true;
        QTest::newRow("missing directory") << QStringLiteral("sinDirectorio") << false << true;
    }

    void instanciaUnica() {
        QFETCH(QString, caso);
        QFETCH(bool, otra);
        QFETCH(bool, aviso);
        QTemporaryDir dir;
        QString ruta = dir.filePath(QStringLiteral("tizo.lock"));
        std::optional<InstanciaUnica> primera;
        if (caso == QLatin1String("tomado")) {
            primera.emplace(ruta);
            QVERIFY(!primera->hayOtra());
        } else if (caso == QLatin1String("soloLectura")) {
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
            // Permissions do not bind root; sysfs refuses new files to everyone.
            if (QFile prueba(dir.filePath(QStringLiteral("x")));
                prueba.open(QIODevice::WriteOnly)) {
                prueba.remove();
                ruta = QStringLiteral("/sys/tizo.lock");
            }
        } else if (caso == QLatin1String("sinDirectorio")) {
            ruta = dir.filePath(QStringLiteral("no/tizo.lock"));
        }
        if (aviso) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^tizo: .*lock")));
        }
        {
            InstanciaUnica segunda(ruta);
            QCOMPARE(segunda.hayOtra(), otra);
        }
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (primera) {
            // Once the first copy ends, the next one starts.
            primera.reset();
            InstanciaUnica despues(ruta);
            QVERIFY(!despues.hayOtra());
        }
    }

    // A copy killed while it ran leaves its lock behind; it must not keep later copies out.
    void instanciaUnicaBloqueoHuerfano() {
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("tizo.lock"));
        QProcess muerto;
        muerto.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        QVERIFY(muerto.waitForStarted());
        const qint64 pid = muerto.processId();
        muerto.kill();
        QVERIFY(muerto.waitForFinished());
        QFile bloqueo(ruta);
        QVERIFY(bloqueo.open(QIODevice::WriteOnly));
        bloqueo.write(QByteArray::number(pid) + "\ntizo\n" + QSysInfo::machineHostName().toUtf8() +
                      "\n");
        bloqueo.close();
        InstanciaUnica nueva(ruta);
        QVERIFY(!nueva.hayOtra());
    }
};

QTEST_MAIN(TstCore)
#include "tst_core.moc"
