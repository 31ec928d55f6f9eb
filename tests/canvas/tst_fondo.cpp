#include "Area.h"
#include "Estilo.h"
#include "FormFondo.h"
#include "FormVentana.h"
#include "Pantalla.h"
#include "RegistroFormas.h"
#include "Superficie.h"
#include "Unidades.h"
#include "Ventanas.h"

#include <QApplication>
#include <QBitmap>
#include <QLabel>
#include <QPaintEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <QWindow>
#include <cmath>

namespace {

// Records the parts of the canvas each paint covers.
class FondoContado : public FormFondo {
public:
    using FormFondo::FormFondo;
    QList<QRegion> pintados;

protected:
    void paintEvent(QPaintEvent* evento) override {
        pintados.append(evento->region());
        FormFondo::paintEvent(evento);
    }
};

} // namespace

class TstFondo : public QObject {
    Q_OBJECT
private slots:
    void init() { estilo = Estilo(); }

    void carga() {
        RegistroFormas formas;
        QPointer<FormFondo> fondo = new FormFondo(formas, estilo);
        QVERIFY(fondo->gestos().Puntos().empty());
        QCOMPARE(fondo->windowTitle(), QStringLiteral("Tizo"));
        QVERIFY(fondo->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(!fondo->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(fondo->testAttribute(Qt::WA_DeleteOnClose));
        // It covers the screen from its top-left corner, as a plain window.
        const QRect pantalla = Pantalla::geometria();
        QCOMPARE(fondo->geometry().topLeft(), pantalla.topLeft());
        QCOMPARE(fondo->width(), pantalla.width());
        QVERIFY(fondo->height() >= pantalla.height());
        QVERIFY(fondo->superficie() != nullptr);

        fondo->mostrar();
        QVERIFY(QTest::qWaitForWindowExposed(fondo));
        QVERIFY(!(fondo->windowState() & (Qt::WindowFullScreen | Qt::WindowMaximized)));
        QLabel* salir = fondo->ImSalir();
        QCOMPARE(salir->size(), QSize(48, 48));
        QCOMPARE(salir->toolTip(), QStringLiteral("Dejar de dibujar"));
        QCOMPARE(salir->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(!salir->pixmap().isNull());
        // 40 twips below the top, 20 from the right edge, in whole pixels.
        const double tpp = Unidades::twipsPorPixel();
        QCOMPARE(salir->pos(),
                 QPoint(Unidades::redondear((pantalla.width() * tpp - 48 * tpp - 20) / tpp),
                        Unidades::redondear(40 / tpp)));
        delete fondo;
    }

    // Keys and the wheel choose as the palette does: the settings change, the canvas says so
    // (once per change), the pen takes the new thickness and the pointer shows the tool.
    void teclasYRueda() {
        RegistroFormas formas;
        FormFondo fondo(formas, estilo);
        fondo.setAttribute(Qt::WA_DeleteOnClose, false);
        fondo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fondo));
        QSignalSpy cambios(&fondo, &FormFondo::ajustesCambiados);
        const qint64 punteroAntes = fondo.cursor().pixmap().cacheKey();
        QTest::keyClick(&fondo, Qt::Key_3);
        QTest::keyClick(&fondo, Qt::Key_B);
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(&fondo, Qt::Key_Plus, Qt::ShiftModifier);
        }
        QCOMPARE(estilo.herramienta, Herramienta::Rectangulo);
        QCOMPARE(estilo.color, 0xFF0000);
        QCOMPARE(estilo.grosor, 15);
        QCOMPARE(fondo.gestos().anchoPluma(), 15);
        QCOMPARE(cambios.size(), 7);
        QVERIFY(fondo.cursor().pixmap().cacheKey() != punteroAntes);
        QTest::keyClick(&fondo, Qt::Key_3); // already the rectangle: nothing changes
        QCOMPARE(cambios.size(), 7);

        auto rueda = [&](int octavos, Qt::KeyboardModifiers mods) {
            const QPointF p(100, 100);
            QWheelEvent evento(p, fondo.mapToGlobal(p), {}, {0, octavos}, Qt::NoButton, mods,
                               Qt::NoScrollPhase, false);
            QApplication::sendEvent(&fondo, &evento);
        };
        rueda(120, Qt::NoModifier);
        QCOMPARE(estilo.grosor, 16);
        rueda(-120, Qt::ShiftModifier);
        QCOMPARE(estilo.grosor, 11);

        // In the middle of a gesture the style stays the gesture's.
        QTest::mousePress(&fondo, Qt::LeftButton, {}, {100, 100});
        QTest::keyClick(&fondo, Qt::Key_R);
        rueda(120, Qt::NoModifier);
        QCOMPARE(estilo.color, 0xFF0000);
        QCOMPARE(estilo.grosor, 11);
        QTest::mouseMove(&fondo, {300, 200});
        QTest::mouseRelease(&fondo, Qt::LeftButton, {}, {300, 200});
        auto* forma = qobject_cast<FormVentana*>(formas.ventanas().value(0));
        QVERIFY(forma != nullptr);
        QCOMPARE(forma->colorTrazo(), QColor(0, 0, 255));

        // The highlighter keeps a colour and a width of its own: keys change those, and the
        // pen's stay for when the pen comes back.
        QTest::keyClick(&fondo, Qt::Key_7);
        QCOMPARE(fondo.gestos().anchoPluma(), 24);
        QTest::keyClick(&fondo, Qt::Key_G);
        QTest::keyClick(&fondo, Qt::Key_Minus);
        QCOMPARE(estilo.colorResaltador, 0x00FF00);
        QCOMPARE(estilo.grosorResaltador, 23);
        QTest::keyClick(&fondo, Qt::Key_1);
        QCOMPARE(estilo.color, 0xFF0000);
        QCOMPARE(estilo.grosor, 11);
        QCOMPARE(fondo.gestos().anchoPluma(), 11);
        formas.destruirTodo();
    }

    // F1 shows the list of keys over the middle of the canvas; any key puts it away and then
    // does what it does, a click puts it away and draws nothing.
    void listaDeTeclas() {
        RegistroFormas formas;
        FormFondo fondo(formas, estilo);
        fondo.setAttribute(Qt::WA_DeleteOnClose, false);
        fondo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fondo));
        QVERIFY(fondo.cajaAyuda().isNull());
        QTest::keyClick(&fondo, Qt::Key_F1);
        const QRect caja = fondo.cajaAyuda();
        QVERIFY(!caja.isEmpty());
        QVERIFY(qAbs(caja.center().x() - fondo.rect().center().x()) <= 1);
        QVERIFY(fondo.rect().contains(caja));
        QTest::keyClick(&fondo, Qt::Key_Shift); // Shift alone, as on the way to "?"
        QCOMPARE(fondo.cajaAyuda(), caja);
        QTest::keyClick(&fondo, Qt::Key_Y);
        QVERIFY(fondo.cajaAyuda().isNull());
        QCOMPARE(estilo.color, 0x00FFFF);
        QTest::keyClick(&fondo, Qt::Key_Question, Qt::ShiftModifier);
        QCOMPARE(fondo.cajaAyuda(), caja);
        QTest::keyClick(&fondo, Qt::Key_F1);
        QVERIFY(fondo.cajaAyuda().isNull());
        QTest::keyClick(&fondo, Qt::Key_F1);
        QTest::mouseClick(&fondo, Qt::LeftButton, {}, {100, 100});
        QVERIFY(fondo.cajaAyuda().isNull());
        QCOMPARE(formas.cantidad(), 0);
        // Not in the picture of the screen.
        const QImage sinLista = fondo.pantallaAnotada();
        QTest::keyClick(&fondo, Qt::Key_F1);
        QCOMPARE(fondo.pantallaAnotada(), sinLista);
    }

    void salirConEsc_data() {
        QTest::addColumn<int>("tecla");
        QTest::addColumn<int>("modificadores");
        QTest::addColumn<bool>("sale");
        QTest::newRow("Esc") << int(Qt::Key_Escape) << int(Qt::NoModifier) << true;
        QTest::newRow("Shift+Esc") << int(Qt::Key_Escape) << int(Qt::ShiftModifier) << true;
        QTest::newRow("Ctrl+Alt+Esc")
            << int(Qt::Key_Escape) << int(Qt::ControlModifier | Qt::AltModifier) << true;
        QTest::newRow("Delete") << int(Qt::Key_Delete) << int(Qt::NoModifier) << false;
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << false;
        QTest::newRow("q") << int(Qt::Key_Q) << int(Qt::ControlModifier) << false;
    }
    void salirConEsc() {
        QFETCH(int, tecla);
        QFETCH(int, modificadores);
        QFETCH(bool, sale);
        RegistroFormas formas;
        QPointer<FormFondo> fondo = new FormFondo(formas, estilo);
        fondo->mostrar();
        QVERIFY(QTest::qWaitForWindowExposed(fondo));
        QTest::keyClick(fondo, Qt::Key(tecla), Qt::KeyboardModifiers(modificadores));
        QCOMPARE(fondo->isVisible(), !sale);
        if (sale) {
            QTRY_VERIFY(fondo.isNull()); // unloaded, not only hidden
        } else {
            delete fondo;
        }
    }

    // Esc in the middle of a drag: the release that follows makes no shape.
    void escEnMedioDeUnGesto() {
        RegistroFormas formas;
        QPointer<FormFondo> fondo = new FormFondo(formas, estilo);
        fondo->mostrar();
        QVERIFY(QTest::qWaitForWindowExposed(fondo));
        estilo.herramienta = Herramienta::Rectangulo;
        QTest::mousePress(fondo, Qt::LeftButton, {}, {100, 100});
        QTest::mouseMove(fondo, {300, 300});
        QTest::keyClick(fondo, Qt::Key_Escape);
        QVERIFY(!fondo->isVisible());
        QVERIFY(!fondo->gestos().pulsado());
        QTest::mouseRelease(fondo, Qt::LeftButton, {}, {300, 300});
        QCOMPARE(formas.cantidad(), 0);
        QTRY_VERIFY(fondo.isNull());
    }

    // A canvas away from the desktop's top-left corner (a primary screen right of another one)
    // puts its shapes where they were drawn on the desktop.
    void lienzoDesplazado() {
        RegistroFormas formas;
        FormFondo fondo(formas, estilo);
        fondo.setAttribute(Qt::WA_DeleteOnClose, false);
        fondo.move(300, 200);
        fondo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fondo));
        QCOMPARE(fondo.mapToGlobal(QPoint(0, 0)), QPoint(300, 200));
        estilo.herramienta = Herramienta::Rectangulo;
        estilo.grosor = 10; // Margen: 10 pixels
        QTest::mousePress(&fondo, Qt::LeftButton, {}, {100, 100});
        QTest::mouseMove(&fondo, {300, 200});
        QTest::mouseRelease(&fondo, Qt::LeftButton, {}, {300, 200});
        QCOMPARE(formas.ventanas().size(), 1);
        QCOMPARE(formas.ventanas().first()->geometry(), QRect(390, 290, 220, 120));
        formas.borrarTodo();
    }

    // Closing by any way frees the capture at once and unloads the canvas; the shape windows,
    // the settings and the count stay.
    void salidas_data() {
        QTest::addColumn<QString>("como");
        QTest::newRow("exit image") << "imagen";
        QTest::newRow("window manager") << "gestor";
    }
    void salidas() {
        QFETCH(QString, como);
        RegistroFormas formas;
        QPointer<FormFondo> fondo = new FormFondo(formas, estilo);
        fondo->mostrar();
        QVERIFY(QTest::qWaitForWindowExposed(fondo));
        estilo.herramienta = Herramienta::Rectangulo;
        QTest::mousePress(fondo, Qt::LeftButton, {}, {100, 100});
        QTest::mouseMove(fondo, {300, 200});
        QTest::mouseRelease(fondo, Qt::LeftButton, {}, {300, 200});
        QCOMPARE(formas.cantidad(), 1);

        if (como == QLatin1String("imagen")) {
            // A press that is not a left click on the image does nothing, palette included.
            int paletas = 0;
            fondo->setAbrirPaleta([&](QWidget*, Estilo&) { ++paletas; });
            QTest::mouseClick(fondo->ImSalir(), Qt::RightButton);
            QCOMPARE(paletas, 0);
            QVERIFY(fondo->isVisible());
            QTest::mouseClick(fondo->ImSalir(), Qt::LeftButton);
        } else {
            fondo->windowHandle()->close(); // as a close from the window manager arrives
        }
        QVERIFY(fondo.isNull() || fondo->superficie() == nullptr);
        QTRY_VERIFY(fondo.isNull());
        QCOMPARE(formas.cantidad(), 1);
        QCOMPARE(formas.ventanas().first()->isVisible(), true);
        QCOMPARE(estilo.herramienta, Herramienta::Rectangulo);
        formas.borrarTodo();
    }

    // Any button but the left opens the palette; afterwards the brush takes the new thickness.
    void paleta_data() {
        QTest::addColumn<int>("boton");
        QTest::addColumn<int>("aperturas");
        QTest::newRow("right") << int(Qt::RightButton) << 1;
        QTest::newRow("middle") << int(Qt::MiddleButton) << 1;
        QTest::newRow("left") << int(Qt::LeftButton) << 0;
    }
    void paleta() {
        QFETCH(int, boton);
        QFETCH(int, aperturas);
        RegistroFormas formas;
        FormFondo fondo(formas, estilo);
        fondo.setAttribute(Qt::WA_DeleteOnClose, false);
        int veces = 0;
        fondo.setAbrirPaleta([&](QWidget* padre, Estilo&) {
            ++veces;
            QCOMPARE(padre, &fondo);
            estilo.grosor = 31;
        });
        fondo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fondo));
        QTest::mousePress(&fondo, Qt::MouseButton(boton), {}, {50, 50});
        QCOMPARE(veces, aperturas);
        QCOMPARE(fondo.gestos().anchoPluma(), aperturas ? 31 : 10);
        QCOMPARE(fondo.gestos().pulsado(), boton == Qt::LeftButton);
        QTest::mouseRelease(&fondo, Qt::MouseButton(boton), {}, {50, 50});
    }

    // Fading ink is never a shape of the list nor a step to undo; its window goes by itself,
    // and several may be fading at once.
    void tintaEfimera() {
        RegistroFormas formas;
        FormFondo fondo(formas, estilo);
        fondo.setAttribute(Qt::WA_DeleteOnClose, false);
        fondo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fondo));
        estilo.herramienta = Herramienta::Laser;
        estilo.esperaLaser = 100;
        estilo.desvanecerLaser = 50;
        auto efimeras = [] {
            QList<QPointer<FormVentana>> lista;
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* forma = qobject_cast<FormVentana*>(w); forma && forma->isVisible()) {
                    lista.append(forma);
                }
            }
            return lista;
        };
        for (int y : {100, 200}) {
            QTest::mousePress(&fondo, Qt::LeftButton, {}, {100, y});
            QTest::mouseMove(&fondo, {300, y + 20});
            QTest::mouseRelease(&fondo, Qt::LeftButton, {}, {300, y + 20});
        }
        const QList<QPointer<FormVentana>> lista = efimeras();
        QCOMPARE(lista.size(), 2);
        QVERIFY(lista[0]->testAttribute(Qt::WA_TransparentForMouseEvents) ||
                lista[0]->windowFlags().testFlag(Qt::WindowTransparentForInput));
        QCOMPARE(formas.cantidad(), 0);
        QVERIFY(!formas.deshacer());
        QTRY_VERIFY(lista[0].isNull() && lista[1].isNull());
    }

    // Each window's caption is the count of shape windows once it is counted in.
    void titulos() {
        RegistroFormas formas;
        FormFondo fondo(formas, estilo);
        fondo.setAttribute(Qt::WA_DeleteOnClose, false);
        fondo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fondo));
        auto dibujar = [&](Herramienta tipo, QList<QPoint> recorrido) {
            estilo.herramienta = Herramienta(tipo);
            QTest::mousePress(&fondo, Qt::LeftButton, {}, recorrido.takeFirst());
            for (const QPoint& p : recorrido) {
                QTest::mouseMove(&fondo, p);
            }
            QTest::mouseRelease(&fondo, Qt::LeftButton, {}, recorrido.value(0));
        };
        dibujar(Herramienta::Rectangulo, {{100, 100}, {200, 150}});
        dibujar(Herramienta::Circulo, {{300, 300}, {350, 400}});
        QCOMPARE(formas.cantidad(), 2);
        QList<QWidget*> ventanas = formas.ventanas();
        QCOMPARE(ventanas[0]->windowTitle(), QStringLiteral("1"));
        QCOMPARE(ventanas[1]->windowTitle(), QStringLiteral("2"));
        QVERIFY(ventanas[1]->isVisible());
        QVERIFY(ventanas[1]->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(qobject_cast<FormVentana*>(ventanas[1]));

        delete ventanas[0];
        dibujar(Herramienta::Pincel, {{10, 10}, {20, 20}, {40, 30}});
        QCOMPARE(formas.cantidad(), 2);
        QCOMPARE(formas.ventanas().last()->windowTitle(), QStringLiteral("2"));
        QVERIFY(fondo.gestos().Puntos().empty());
        formas.borrarTodo();
    }

    // The brush paints on the canvas while it moves and the release wipes it; each move
    // repaints only its own segment.
    void trazo() {
        RegistroFormas formas;
        FondoContado fondo(formas, estilo);
        fondo.setAttribute(Qt::WA_DeleteOnClose, false);
        fondo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fondo));
        const QColor antes = fondo.grab(QRect(400, 300, 1, 1)).toImage().pixelColor(0, 0);
        estilo.herramienta = Herramienta::Pincel;
        estilo.color = 0x00FF00; // green
        QTest::mousePress(&fondo, Qt::LeftButton, {}, {100, 300});
        QTest::mouseMove(&fondo, {200, 300});
        QTest::qWait(1);
        fondo.pintados.clear();
        for (int x = 210; x <= 600; x += 10) {
            QTest::mouseMove(&fondo, {x, 300});
            QCoreApplication::processEvents();
        }
        QVERIFY(!fondo.pintados.isEmpty());
        for (const QRegion& r : std::as_const(fondo.pintados)) {
            QVERIFY2(area(r) < 100 * 100, qPrintable(QString::number(area(r))));
        }
        QCOMPARE(fondo.grab(QRect(400, 300, 1, 1)).toImage().pixelColor(0, 0), QColor(0, 255, 0));
        QTest::mouseRelease(&fondo, Qt::LeftButton, {}, {600, 300});
        // Kept until the shape shows, then given back.
        QCOMPARE(fondo.grab(QRect(400, 300, 1, 1)).toImage().pixelColor(0, 0), QColor(0, 255, 0));
        QTRY_COMPARE(fondo.grab(QRect(400, 300, 1, 1)).toImage().pixelColor(0, 0), antes);
        QCOMPARE(formas.cantidad(), 1);
        formas.borrarTodo();
    }

    // A brush stroke becomes exactly what the canvas showed while it was drawn: it starts at
    // the press point, every segment painted is in the shape, and nothing else is.
    void trazoIgualAForma_data() {
        QTest::addColumn<QList<QPoint>>("recorrido");
        QTest::addColumn<int>("grosor");
        // Inside the canvas of the offscreen screen (800 x 600), clear of the exit image.
        QTest::newRow("click: a dot") << QList<QPoint>{{400, 400}} << 10;
        QTest::newRow("one move") << QList<QPoint>{{100, 100}, {300, 100}} << 10;
        QTest::newRow("two moves") << QList<QPoint>{{100, 100}, {300, 100}, {300, 300}} << 10;
        QTest::newRow("three moves, an open square")
            << QList<QPoint>{{100, 100}, {300, 100}, {300, 300}, {500, 300}} << 10;
        QTest::newRow("thin, diagonal")
            << QList<QPoint>{{200, 500}, {260, 440}, {380, 450}, {390, 300}} << 1;
        QTest::newRow("thick, doubling back")
            << QList<QPoint>{{300, 300}, {600, 320}, {310, 340}, {590, 500}} << 37;
        QList<QPoint> largo;
        for (int i = 0; i < 200; ++i) {
            largo.append(QPoint(50 + 3 * i, 300 + int(150 * std::sin(i * 0.11))));
        }
        QTest::newRow("long scribble") << largo << 6;
    }
    void trazoIgualAForma() {
        QFETCH(QList<QPoint>, recorrido);
        QFETCH(int, grosor);
        RegistroFormas formas;
        FormFondo fondo(formas, estilo);
        fondo.setAttribute(Qt::WA_DeleteOnClose, false);
        fondo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fondo));
        estilo.herramienta = Herramienta::Pincel;
        // A green of this row's own, which the capture cannot hold: the offscreen screen's grab
        // leaves where no window lies whatever its memory held, strokes of earlier rows included.
        static int fila = 0;
        ++fila;
        const QColor verde(0, 255, fila);
        estilo.color = 256 * 255 + 65536 * fila;
        estilo.grosor = grosor;
        fondo.setAbrirPaleta([](QWidget*, Estilo&) {});
        QTest::mouseClick(&fondo, Qt::RightButton, {}, {5, 5}); // takes the new thickness
        auto enVerde = [&verde](const QImage& imagen) {
            return QRegion(
                QBitmap::fromImage(imagen.convertToFormat(QImage::Format_RGB32)
                                       .createMaskFromColor(verde.rgb(), Qt::MaskOutColor)));
        };
        const QRegion antes = enVerde(fondo.grab().toImage());

        QTest::mousePress(&fondo, Qt::LeftButton, {}, recorrido.first());
        for (qsizetype i = 1; i < recorrido.size(); ++i) {
            QTest::mouseMove(&fondo, recorrido[i]);
        }
        const QRegion lienzo = enVerde(fondo.grab().toImage()) - antes;
        QTest::mouseRelease(&fondo, Qt::LeftButton, {}, recorrido.last());
        QCOMPARE(formas.cantidad(), 1);
        QWidget* forma = formas.ventanas().first();
        const QRegion enForma = forma->mask().translated(forma->pos());
        QVERIFY(!lienzo.isEmpty());
        QCOMPARE(enForma, lienzo);
        // And the canvas is clean again, once the shape shows.
        QTRY_COMPARE(enVerde(fondo.grab().toImage()), antes);
    }

    // The annotated screen: the capture with every visible shape as it shows, a text shape
    // white while it is edited; no exit image, no hidden shape.
    void pantallaAnotada() {
        RegistroFormas formas;
        FormFondo fondo(formas, estilo);
        fondo.setAttribute(Qt::WA_DeleteOnClose, false);
        fondo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fondo));
        const QImage captura =
            fondo.superficie()->imagenCaptura().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(fondo.pantallaAnotada(), captura);
        estilo.color = 0x00FF00;
        estilo.herramienta = Herramienta::Rectangulo;
        QTest::mousePress(&fondo, Qt::LeftButton, {}, {100, 100});
        QTest::mouseMove(&fondo, {300, 200});
        QTest::mouseRelease(&fondo, Qt::LeftButton, {}, {300, 200});
        estilo.herramienta = Herramienta::Texto;
        QTest::mouseClick(&fondo, Qt::LeftButton, {}, {400, 300});
        QCOMPARE(formas.cantidad(), 2);

        const QImage anotada = fondo.pantallaAnotada();
        QCOMPARE(anotada.size(), captura.size());
        QCOMPARE(anotada.pixelColor(200, 100), QColor(0, 255, 0)); // the rectangle's edge
        QCOMPARE(anotada.pixelColor(200, 150), captura.pixelColor(200, 150)); // its hollow
        QWidget* texto = formas.ventanas().last();
        QCOMPARE(anotada.pixelColor(texto->pos() + QPoint(1, 1)), QColor(Qt::white));
        const QPoint salir = fondo.ImSalir()->geometry().center();
        QCOMPARE(anotada.pixelColor(salir), captura.pixelColor(salir));

        formas.mostrarOcultar();
        QCOMPARE(fondo.pantallaAnotada(), captura);
    }

    // Each preview follows the pointer, outline only, and a move repaints about the outline:
    // never the inside, and never much of the screen.
    void previsualizacion_data() {
        QTest::addColumn<Herramienta>("tipo");
        QTest::addColumn<QPoint>("enElTrazo");
        QTest::addColumn<QPoint>("fuera");
        QTest::newRow("line") << Herramienta::Linea << QPoint(400, 398) << QPoint(600, 200);
        QTest::newRow("rectangle")
            << Herramienta::Rectangulo << QPoint(100, 400) << QPoint(400, 400);
        QTest::newRow("circle") << Herramienta::Circulo << QPoint(100, 405) << QPoint(405, 405);
    }
    void previsualizacion() {
        QFETCH(Herramienta, tipo);
        QFETCH(QPoint, enElTrazo);
        QFETCH(QPoint, fuera);
        RegistroFormas formas;
        FondoContado fondo(formas, estilo);
        fondo.setAttribute(Qt::WA_DeleteOnClose, false);
        fondo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fondo));
        auto color = [&](QPoint p) {
            return fondo.grab(QRect(p, QSize(1, 1))).toImage().pixelColor(0, 0);
        };
        const QColor antes = color(enElTrazo);
        const QColor afuera = color(fuera);
        const qint64 pantalla = qint64(fondo.width()) * fondo.height();
        estilo.herramienta = Herramienta(tipo);
        estilo.color = 0x0000FF; // red
        QTest::mousePress(&fondo, Qt::LeftButton, {}, {100, 100});
        QTest::mouseMove(&fondo, {700, 700});
        QCoreApplication::processEvents();
        fondo.pintados.clear();
        QTest::mouseMove(&fondo, {710, 705});
        QCoreApplication::processEvents();
        QVERIFY(!fondo.pintados.isEmpty());
        for (const QRegion& r : std::as_const(fondo.pintados)) {
            QVERIFY(!r.contains(fuera));
            QVERIFY2(area(r) * 10 < pantalla, qPrintable(QString::number(area(r))));
        }
        QCOMPARE(color(enElTrazo), QColor(255, 0, 0));
        QCOMPARE(color(fuera), afuera);
        fondo.pintados.clear();
        QTest::mouseRelease(&fondo, Qt::LeftButton, {}, {710, 705});
        // Once the shape shows, the preview is wiped by repainting its outline only.
        QTRY_VERIFY(!fondo.pintados.isEmpty());
        for (const QRegion& r : std::as_const(fondo.pintados)) {
            QVERIFY(!r.contains(fuera));
        }
        QCOMPARE(color(enElTrazo), antes);
        formas.borrarTodo();
    }

    // Focus going to a new shape window and back repaints nothing of the canvas.
    void activacionSinRepintar() {
        RegistroFormas formas;
        FondoContado fondo(formas, estilo);
        fondo.setAttribute(Qt::WA_DeleteOnClose, false);
        fondo.mostrar();
        QVERIFY(QTest::qWaitForWindowActive(&fondo));
        QCoreApplication::processEvents();
        fondo.pintados.clear();
        QWidget otra;
        otra.setGeometry(10, 10, 50, 50);
        otra.show();
        otra.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&otra));
        fondo.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&fondo));
        QCoreApplication::processEvents();
        QVERIFY2(fondo.pintados.isEmpty(),
                 qPrintable(QString::number(area(fondo.pintados.value(0)))));
    }

    // A drag over the exit image sends it to the top-left corner; a later one sends it back.
    void salidaSalta() {
        RegistroFormas formas;
        FormFondo fondo(formas, estilo);
        fondo.setAttribute(Qt::WA_DeleteOnClose, false);
        fondo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fondo));
        const QPoint arriba = fondo.ImSalir()->pos();
        QTest::mouseMove(&fondo, arriba + QPoint(10, 10)); // no button: stays
        QCOMPARE(fondo.ImSalir()->pos(), arriba);
        estilo.herramienta = Herramienta::Texto;
        QTest::mousePress(&fondo, Qt::LeftButton, {}, {500, 500});
        QTest::mouseMove(&fondo, arriba + QPoint(10, 10));
        QCOMPARE(fondo.ImSalir()->pos(), QPoint(0, 0));
        QTest::mouseMove(&fondo, {20, 20});
        QCOMPARE(fondo.ImSalir()->pos(), arriba);
        QTest::mouseRelease(&fondo, Qt::LeftButton, {}, {20, 20});
        formas.borrarTodo();
    }

private:
    Estilo estilo; // the style in use, as the settings own it in the program
};

QTEST_MAIN(TstFondo)
#include "tst_fondo.moc"
