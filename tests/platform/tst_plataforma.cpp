#include "Apilamiento.h"
#include "AvisoMostrada.h"
#include "EsperaRepintado.h"
#include "ImagenPantalla.h"

#include <QImage>
#include <QPainter>

#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QWidget>

class TstPlataforma : public QObject {
    Q_OBJECT
private slots:
    // Which shape is tied to which canvas, and when. Steps: "F1+" shape 1 mapped, "F1-" shape 1
    // hidden, "F1m" shape 1 moved, "L9<" canvas 9 about to map, "L9>" canvas 9 mapped, "L9x"
    // canvas 9 closing; "@2" says on which monitor (0 unless said). Ties as "shape-canvas", 0
    // for none.
    void apilamiento_data() {
        QTest::addColumn<QStringList>("pasos");
        QTest::addColumn<QStringList>("lazos");
        QTest::newRow("no canvas: tied to nothing, which undoes Qt's tie to the program")
            << QStringList{"F1+"} << QStringList{"1-0"};
        QTest::newRow("earlier shapes: before the canvas maps and again after")
            << QStringList{"F1+", "F2+", "L9<", "L9>"}
            << QStringList{"1-0", "2-0", "1-9", "2-9", "1-9", "2-9"};
        QTest::newRow("a shape shown while drawing")
            << QStringList{"L9<", "L9>", "F3+"} << QStringList{"3-9"};
        QTest::newRow("closing frees every shape")
            << QStringList{"F1+", "L9<", "L9>", "F2+", "L9x"}
            << QStringList{"1-0", "1-9", "1-9", "2-9", "1-0", "2-0"};
        QTest::newRow("closing twice frees once")
            << QStringList{"F1+", "L9<", "L9x", "L9x"} << QStringList{"1-0", "1-9", "1-0"};
        QTest::newRow("a hidden shape is left alone")
            << QStringList{"F1+", "F2+", "F1-", "L9<"} << QStringList{"1-0", "2-0", "2-9"};
        QTest::newRow("a shape shown again is listed once")
            << QStringList{"F1+", "F1+", "L9<"} << QStringList{"1-0", "1-0", "1-9"};
        QTest::newRow("a canvas going after the next one came leaves its shapes tied")
            << QStringList{"L9<", "L8<", "F1+", "L9x", "L9>"} << QStringList{"1-8"};
        QTest::newRow("after drawing, nothing to tie to")
            << QStringList{"L9<", "L9x", "F4+", "L9>"} << QStringList{"4-0"};
        // Two monitors, a canvas over each.
        QTest::newRow("each shape with its own monitor's canvas, once that one comes")
            << QStringList{"F1+@1", "F2+@2", "L8<@1", "L9<@2", "L8>@1", "L9>@2"}
            << QStringList{"1-0", "2-0", "1-8", "2-8", "2-9", "1-8", "2-9"};
        QTest::newRow("shown while drawing: its monitor's canvas, not the newest")
            << QStringList{"L8<@1", "L9<@2", "F1+@1", "F2+@2"} << QStringList{"1-8", "2-9"};
        QTest::newRow("dragged onto the other monitor: tied anew, once")
            << QStringList{"L8<@1", "L9<@2", "F1+@1", "F1m@2", "F1m@2", "F1m@1"}
            << QStringList{"1-8", "1-9", "1-8"};
        QTest::newRow("a monitor without a canvas: the newest canvas")
            << QStringList{"L8<@1", "L9<@2", "F1+@3"} << QStringList{"1-9"};
        QTest::newRow("canvases closing one by one: never tied to a closed one")
            << QStringList{"L8<@1", "L9<@2", "F1+@1", "F2+@2", "L8x", "L9x"}
            << QStringList{"1-8", "2-9", "1-9", "1-0", "2-0"};
        QTest::newRow("moved without canvases: nothing to do")
            << QStringList{"F1+@1", "F1m@2"} << QStringList{"1-0"};
    }

    void apilamiento() {
        QFETCH(QStringList, pasos);
        QFETCH(QStringList, lazos);
        QStringList hechos;
        Apilamiento apilamiento([&hechos](Apilamiento::Id forma, Apilamiento::Id lienzo) {
            hechos << QStringLiteral("%1-%2").arg(forma).arg(lienzo);
        });
        for (const QString& texto : pasos) {
            const QStringList partes = texto.split(QLatin1Char('@'));
            const QString& paso = partes.first();
            const Apilamiento::Monitor monitor = partes.value(1).toULongLong();
            const Apilamiento::Id id = paso.mid(1, paso.size() - 2).toULongLong();
            const QString accion = paso.left(1) + paso.right(1);
            if (accion == QLatin1String("F+")) {
                apilamiento.formaMostrada(id, monitor);
            } else if (accion == QLatin1String("Fm")) {
                apilamiento.formaMovida(id, monitor);
            } else if (accion == QLatin1String("F-")) {
                apilamiento.formaOculta(id);
            } else if (accion == QLatin1String("L<")) {
                apilamiento.lienzoPorMostrarse(id, monitor);
            } else if (accion == QLatin1String("L>")) {
                apilamiento.lienzoMostrado(id);
            } else if (accion == QLatin1String("Lx")) {
                apilamiento.lienzoCerrandose(id);
            } else {
                QFAIL(qPrintable(paso));
            }
        }
        QCOMPARE(hechos, lazos);
    }

    // The area counts as repainted once repaints have covered it and a moment has passed with
    // none in it; a deadline bounds the wait.
    void esperaRepintado_data() {
        QTest::addColumn<QList<QRect>>("repintes"); // one every 10 ms
        QTest::addColumn<int>("minimo");            // ms before it may end
        QTest::addColumn<int>("maximo");            // ms by which it must have ended
        const QRect zona(100, 100, 200, 100);
        QTest::newRow("covered at once")
            << QList<QRect>{QRect(0, 0, 1920, 1080)} << EsperaRepintado::CalmaMs
            << EsperaRepintado::PlazoMs - 100;
        QTest::newRow("covered in two halves")
            << QList<QRect>{QRect(100, 100, 100, 100), QRect(200, 100, 100, 100)}
            << 10 + EsperaRepintado::CalmaMs << EsperaRepintado::PlazoMs - 100;
        QList<QRect> desvanecido(10, zona); // a window fading out over 100 ms
        QTest::newRow("fading out: the calm counts from the last repaint")
            << desvanecido << 90 + EsperaRepintado::CalmaMs << EsperaRepintado::PlazoMs - 50;
        QTest::newRow("repaints elsewhere do not count")
            << QList<QRect>{QRect(0, 0, 100, 100), QRect(400, 400, 50, 50)}
            << EsperaRepintado::PlazoMs - 20 << EsperaRepintado::PlazoMs + 400;
        QTest::newRow("never all of it: the deadline")
            << QList<QRect>{QRect(100, 100, 199, 100)} << EsperaRepintado::PlazoMs - 20
            << EsperaRepintado::PlazoMs + 400;
    }

    void esperaRepintado() {
        QFETCH(QList<QRect>, repintes);
        QFETCH(int, minimo);
        QFETCH(int, maximo);
        int veces = 0;
        QElapsedTimer reloj;
        qint64 fin = -1;
        reloj.start();
        EsperaRepintado espera(QRect(100, 100, 200, 100), [&] {
            ++veces;
            fin = reloj.elapsed();
        });
        for (const QRect& r : repintes) {
            espera.repintado(r);
            QTest::qWait(10);
        }
        QVERIFY(QTest::qWaitFor([&] { return veces > 0; }, maximo + 200));
        QVERIFY2(fin >= minimo - 5, qPrintable(QString::number(fin)));
        QVERIFY2(fin <= maximo, qPrintable(QString::number(fin)));
        espera.repintado(QRect(0, 0, 1920, 1080)); // too late: nothing more happens
        QTest::qWait(EsperaRepintado::CalmaMs + 20);
        QCOMPARE(veces, 1);
        QVERIFY(espera.terminada());
    }

    // The screenshot service's picture of the whole desktop, made to fit the canvas's screen.
    void recortar_data() {
        QTest::addColumn<QSize>("imagen");     // painted: left half red, right half blue
        QTest::addColumn<QRect>("escritorio"); // X server pixels
        QTest::addColumn<QRect>("pantalla");
        QTest::addColumn<QSize>("tamano"); // of the result; empty: null
        QTest::addColumn<QRgb>("color");   // its colour at its centre
        const QRgb rojo = qRgb(255, 0, 0), azul = qRgb(0, 0, 255);
        QTest::newRow("one screen, same size")
            << QSize(1920, 1080) << QRect(0, 0, 1920, 1080) << QRect(0, 0, 1920, 1080)
            << QSize(1920, 1080) << QRgb(0);
        QTest::newRow("two screens: the left one")
            << QSize(3840, 1080) << QRect(0, 0, 3840, 1080) << QRect(0, 0, 1920, 1080)
            << QSize(1920, 1080) << rojo;
        QTest::newRow("two screens: the right one")
            << QSize(3840, 1080) << QRect(0, 0, 3840, 1080) << QRect(1920, 0, 1920, 1080)
            << QSize(1920, 1080) << azul;
        QTest::newRow("a desktop starting left of zero")
            << QSize(3840, 1080) << QRect(-1920, 0, 3840, 1080) << QRect(0, 0, 1920, 1080)
            << QSize(1920, 1080) << azul;
        QTest::newRow("the picture at twice the scale")
            << QSize(7680, 2160) << QRect(0, 0, 3840, 1080) << QRect(1920, 0, 1920, 1080)
            << QSize(1920, 1080) << azul;
        QTest::newRow("the picture at half the scale")
            << QSize(960, 540) << QRect(0, 0, 1920, 1080) << QRect(0, 0, 1920, 1080)
            << QSize(1920, 1080) << QRgb(0);
        QTest::newRow("a screen outside the desktop")
            << QSize(1920, 1080) << QRect(0, 0, 1920, 1080) << QRect(1920, 0, 1920, 1080) << QSize()
            << QRgb(0);
    }
    void recortar() {
        QFETCH(QSize, imagen);
        QFETCH(QRect, escritorio);
        QFETCH(QRect, pantalla);
        QFETCH(QSize, tamano);
        QFETCH(QRgb, color);
        QImage foto(imagen, QImage::Format_RGB32);
        foto.fill(Qt::blue);
        QPainter(&foto).fillRect(0, 0, imagen.width() / 2, imagen.height(), Qt::red);
        const QImage hecha = ImagenPantalla::recortar(foto, escritorio, pantalla);
        QCOMPARE(hecha.isNull(), tamano.isEmpty());
        if (!tamano.isEmpty()) {
            QCOMPARE(hecha.size(), tamano);
        }
        if (color != 0) {
            QCOMPARE(hecha.pixel(hecha.width() / 2, hecha.height() / 2), color);
        }
    }

    // Whoever waits for a window to show hears once, after its first paint, or as soon as it
    // will never show: hidden or destroyed first, or never shown at all.
    void avisoMostrada_data() {
        QTest::addColumn<QString>("camino");
        QTest::addColumn<bool>("pintadaAntes"); // painted before the word came
        QTest::newRow("shown and painted") << "mostrar" << true;
        QTest::newRow("hidden before it was exposed") << "ocultar" << false;
        QTest::newRow("destroyed before it was exposed") << "destruir" << false;
        QTest::newRow("never shown") << "nunca" << false;
    }

    void avisoMostrada() {
        QFETCH(QString, camino);
        QFETCH(bool, pintadaAntes);
        // Counted outside the window: the word may come while the window is being destroyed.
        int pinturas = 0;
        struct Pintada : QWidget {
            int* pinturas;
            explicit Pintada(int* p) : pinturas(p) {}
            void paintEvent(QPaintEvent*) override { ++*pinturas; }
        };
        QPointer<Pintada> ventana = new Pintada(&pinturas);
        ventana->setGeometry(20, 20, 60, 40);
        int avisos = 0;
        int pinturasAlAvisar = -1;
        auto avisar = [&] {
            ++avisos;
            pinturasAlAvisar = pinturas;
        };
        if (camino == "nunca") {
            ventana->winId();
            new AvisoMostrada(ventana, avisar);
            QCOMPARE(avisos, 1);
        } else {
            ventana->show();
            new AvisoMostrada(ventana, avisar);
            if (camino == "ocultar") {
                ventana->hide();
            } else if (camino == "destruir") {
                delete ventana;
            }
            QTRY_COMPARE(avisos, 1);
        }
        QCOMPARE(pinturasAlAvisar > 0, pintadaAntes);
        if (ventana) {
            ventana->show(); // shown again: nothing more is said
            QTest::qWait(50);
            delete ventana;
        }
        QCOMPARE(avisos, 1);
    }

    void esperaSinZona() {
        int veces = 0;
        EsperaRepintado espera(QRect(), [&] { ++veces; });
        QCOMPARE(veces, 1); // nothing to wait for
        QVERIFY(espera.terminada());
    }
};

QTEST_MAIN(TstPlataforma)
#include "tst_plataforma.moc"
