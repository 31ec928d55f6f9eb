#include "Estilo.h"
#include "FormFondo.h"
#include "FormTools.h"
#include "FormVentana.h"
#include "Gesto.h"
#include "Gestos.h"
#include "ModoDibujo.h"
#include "RegistroFormas.h"
#include "Ventanas.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVersionNumber>
#include <QWindow>

namespace {
// The canvas over the monitor named so in dos_monitores.json.
FormFondo* lienzoEn(const ModoDibujo& dibujo, const QString& nombre) {
    for (FormFondo* lienzo : dibujo.lienzos()) {
        if (lienzo->pantalla()->name() == nombre) {
            return lienzo;
        }
    }
    return nullptr;
}

// Drawing mode open over both monitors, every canvas shown, the pointer over `bajoElPuntero`.
void abrirCon(ModoDibujo& dibujo, const QString& bajoElPuntero) {
    dibujo.abrir();
    for (FormFondo* l : dibujo.lienzos()) {
        QVERIFY(QTest::qWaitForWindowExposed(l));
    }
    QCursor::setPos(lienzoEn(dibujo, bajoElPuntero)->geometry().center());
}

// A shape as the canvas makes it: a short stroke, or a text being typed.
FormVentana* forma(RegistroFormas& formas, Herramienta tipo) {
    Gesto gesto;
    gesto.estilo.herramienta = tipo;
    gesto.inicio = QPointF(3000, 3000);
    gesto.anchoPluma = gesto.estilo.grosor;
    gesto.puntos = {{3000, 3000}, {3300, 3000}};
    auto* ventana = new FormVentana(gesto);
    formas.agregar(ventana);
    ventana->show();
    return ventana;
}
} // namespace

// Drawing mode over two monitors (Qt's offscreen platform with two screens: "izquierda", and
// "derecha" right of it at scale 2, from dos_monitores.json).
class TstModoDibujo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCOMPARE(QGuiApplication::screens().size(), 2); }
    void init() { estilo = Estilo(); }

    // A canvas over each monitor, exactly, at that monitor's scale; opening again makes none
    // more.
    void unLienzoPorMonitor() {
        RegistroFormas formas;
        ModoDibujo dibujo(formas, estilo);
        QSignalSpy creados(&dibujo, &ModoDibujo::lienzoCreado);
        dibujo.abrir();
        QVERIFY(dibujo.abierto());
        const QList<FormFondo*> lienzos = dibujo.lienzos();
        QCOMPARE(lienzos.size(), 2);
        for (int i = 0; i < 2; ++i) {
            QScreen* pantalla = QGuiApplication::screens().at(i);
            QVERIFY(QTest::qWaitForWindowExposed(lienzos[i]));
            QCOMPARE(lienzos[i]->pantalla(), pantalla);
            QCOMPARE(lienzos[i]->geometry(), pantalla->geometry());
            QCOMPARE(lienzos[i]->windowHandle()->screen(), pantalla);
            // Qt 6.8's offscreen platform gives every window a pixel ratio of 1, whatever its
            // screen's; a real one gives a window its screen's.
            if (QLibraryInfo::version() < QVersionNumber(6, 8)) {
                QCOMPARE(lienzos[i]->devicePixelRatioF(), pantalla->devicePixelRatio());
            }
            // The exit image at each canvas's own top-right corner.
            QCOMPARE(lienzos[i]->ImSalir()->geometry().right(),
                     pantalla->geometry().width() - 1 - 1);
        }
        QVERIFY(dibujo.activo() != nullptr);
        dibujo.abrir();
        QCOMPARE(dibujo.lienzos(), lienzos);
        QCOMPARE(creados.size(), 2);
        dibujo.salir();
        QVERIFY(!dibujo.abierto());
        QVERIFY(dibujo.activo() == nullptr);
    }

    // Fading ink still there when drawing mode ends goes with it, long before it would have
    // faded: nothing of it is left on the live desktop for the next capture to freeze.
    void tintaEfimeraSeVaConElDibujo() {
        RegistroFormas formas;
        ModoDibujo dibujo(formas, estilo);
        abrirCon(dibujo, QStringLiteral("izquierda"));
        estilo.herramienta = Herramienta::Laser;
        estilo.esperaLaser = 60000;
        FormFondo* l = lienzoEn(dibujo, QStringLiteral("izquierda"));
        QTest::mousePress(l, Qt::LeftButton, {}, {100, 100});
        QTest::mouseMove(l, {200, 150});
        QTest::mouseRelease(l, Qt::LeftButton, {}, {200, 150});
        QPointer<QWidget> tinta;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<FormVentana*>(w) != nullptr && w->isVisible()) {
                tinta = w;
            }
        }
        QVERIFY(tinta);
        QCOMPARE(formas.cantidad(), 0);
        dibujo.salir();
        QTRY_VERIFY_WITH_TIMEOUT(tinta.isNull(), 1000);
    }

    // Every way out of one canvas leaves drawing mode on all of them, and frees every capture.
    void salirDeTodos_data() {
        QTest::addColumn<QString>("lienzo");
        QTest::addColumn<QString>("como");
        QTest::newRow("Esc on the left") << "izquierda"
                                         << "esc";
        QTest::newRow("Esc on the right") << "derecha"
                                          << "esc";
        QTest::newRow("shift+Esc on the right") << "derecha"
                                                << "shift+esc";
        QTest::newRow("exit image on the right") << "derecha"
                                                 << "imagen";
        QTest::newRow("closed by the window manager") << "derecha"
                                                      << "gestor";
        QTest::newRow("leaving drawing mode (F9, tizo --draw)") << ""
                                                                << "salir";
    }
    void salirDeTodos() {
        QFETCH(QString, lienzo);
        QFETCH(QString, como);
        RegistroFormas formas;
        ModoDibujo dibujo(formas, estilo);
        dibujo.abrir();
        QList<QPointer<FormFondo>> lienzos;
        for (FormFondo* l : dibujo.lienzos()) {
            QVERIFY(QTest::qWaitForWindowExposed(l));
            lienzos.append(l);
        }
        FormFondo* uno = lienzoEn(dibujo, lienzo);
        if (como == QLatin1String("esc")) {
            QTest::keyClick(uno, Qt::Key_Escape);
        } else if (como == QLatin1String("shift+esc")) {
            QTest::keyClick(uno, Qt::Key_Escape, Qt::ShiftModifier);
        } else if (como == QLatin1String("imagen")) {
            QTest::mouseClick(uno->ImSalir(), Qt::LeftButton);
        } else if (como == QLatin1String("gestor")) {
            uno->windowHandle()->close();
        } else {
            dibujo.salir();
        }
        QVERIFY(!dibujo.abierto());
        for (const QPointer<FormFondo>& l : lienzos) {
            QVERIFY(l.isNull() || (!l->isVisible() && l->superficie() == nullptr));
        }
        QTRY_VERIFY(std::all_of(lienzos.begin(), lienzos.end(),
                                [](const QPointer<FormFondo>& l) { return l.isNull(); }));
    }

    // The palette opens over the canvas pressed; what is chosen there holds on both canvases.
    void paletaParaTodos() {
        RegistroFormas formas;
        ModoDibujo dibujo(formas, estilo);
        QSignalSpy cerradas(&dibujo, &ModoDibujo::ajustesCambiados);
        dibujo.abrir();
        const QList<FormFondo*> lienzos = dibujo.lienzos();
        QWidget* sobre = nullptr;
        for (FormFondo* l : lienzos) {
            QVERIFY(QTest::qWaitForWindowExposed(l));
            l->setAbrirPaleta([&](QWidget* padre, Estilo&) {
                sobre = padre;
                estilo.grosor = 31;
            });
        }
        FormFondo* derecha = lienzoEn(dibujo, QStringLiteral("derecha"));
        QTest::mouseClick(derecha, Qt::RightButton, {}, {50, 50});
        QCOMPARE(sobre, derecha);
        QCOMPARE(cerradas.size(), 1);
        for (FormFondo* l : lienzos) {
            QCOMPARE(l->gestos().anchoPluma(), 31);
        }
        dibujo.salir();
    }

    // A drag that runs off its canvas onto the other monitor stays on its own: the shape ends
    // at the canvas's edge, on the monitor where it was drawn.
    void gestoEnSuMonitor_data() {
        QTest::addColumn<QString>("lienzo");
        QTest::addColumn<QPoint>("desde");
        QTest::addColumn<QPoint>("hasta");
        QTest::addColumn<QRect>("caja"); // what the rectangle's strokes cover, desktop pixels
        QTest::newRow("from the right onto the left")
            << "derecha" << QPoint(100, 100) << QPoint(-300, 200) << QRect(800, 100, 101, 101);
        QTest::newRow("from the left onto the right")
            << "izquierda" << QPoint(700, 100) << QPoint(1000, 50) << QRect(700, 50, 100, 51);
        QTest::newRow("beyond the right one's bottom right corner")
            << "derecha" << QPoint(600, 400) << QPoint(900, 700) << QRect(1400, 400, 40, 80);
        QTest::newRow("inside the right one")
            << "derecha" << QPoint(100, 100) << QPoint(300, 300) << QRect(900, 100, 201, 201);
    }
    void gestoEnSuMonitor() {
        QFETCH(QString, lienzo);
        QFETCH(QPoint, desde);
        QFETCH(QPoint, hasta);
        QFETCH(QRect, caja);
        RegistroFormas formas;
        ModoDibujo dibujo(formas, estilo);
        dibujo.abrir();
        FormFondo* l = lienzoEn(dibujo, lienzo);
        QVERIFY(QTest::qWaitForWindowExposed(l));
        estilo.herramienta = Herramienta::Rectangulo;
        estilo.grosor = 1;
        QTest::mousePress(l, Qt::LeftButton, {}, desde);
        QTest::mouseMove(l, (desde + hasta) / 2);
        QTest::mouseMove(l, hasta);
        QTest::mouseRelease(l, Qt::LeftButton, {}, hasta);
        QCOMPARE(formas.ventanas().size(), 1);
        QWidget* forma = formas.ventanas().first();
        const QRect trazos = forma->mask().boundingRect().translated(forma->pos());
        QCOMPARE(trazos, caja);
        dibujo.salir();
        formas.destruirTodo();
    }

    // While drawing, keys typed on any of the program's windows are drawing's: a key on a shape
    // or on the other canvas reaches the canvas under the pointer; Delete stays the shape's, and
    // a text being typed keeps its keys but Esc, which finishes it and leaves.
    void teclasDelDibujo_data() {
        QTest::addColumn<QString>("donde"); // the window that has the keys
        QTest::addColumn<int>("tecla");
        QTest::addColumn<bool>("abierto");        // drawing mode still open afterwards
        QTest::addColumn<Herramienta>("tipo");    // the tool afterwards
        QTest::addColumn<bool>("formaViva");      // the shape is still there
        QTest::addColumn<bool>("textoTerminado"); // a text shape was finished
        const Herramienta rect = Herramienta::Rectangulo;
        const Herramienta pincel = Herramienta::Pincel;
        QTest::newRow("Esc on a stroke")
            << "trazo" << int(Qt::Key_Escape) << false << pincel << true << false;
        QTest::newRow("3 on a stroke")
            << "trazo" << int(Qt::Key_3) << true << rect << true << false;
        QTest::newRow("Delete on a stroke")
            << "trazo" << int(Qt::Key_Delete) << true << pincel << false << false;
        QTest::newRow("Esc on a text being typed")
            << "texto" << int(Qt::Key_Escape) << false << pincel << true << true;
        QTest::newRow("3 is typed into a text")
            << "texto" << int(Qt::Key_3) << true << pincel << true << false;
        QTest::newRow("3 on the canvas away from the pointer")
            << "izquierda" << int(Qt::Key_3) << true << rect << true << false;
        QTest::newRow("Esc on the canvas away from the pointer")
            << "izquierda" << int(Qt::Key_Escape) << false << pincel << true << false;
    }
    void teclasDelDibujo() {
        QFETCH(QString, donde);
        QFETCH(int, tecla);
        QFETCH(bool, abierto);
        QFETCH(Herramienta, tipo);
        QFETCH(bool, formaViva);
        QFETCH(bool, textoTerminado);
        RegistroFormas formas;
        ModoDibujo dibujo(formas, estilo);
        abrirCon(dibujo, QStringLiteral("derecha"));
        const bool texto = donde == QLatin1String("texto");
        FormVentana* f = forma(formas, texto ? Herramienta::Texto : Herramienta::Pincel);
        QWidget* destino = donde == QLatin1String("izquierda")
                               ? static_cast<QWidget*>(lienzoEn(dibujo, donde))
                               : static_cast<QWidget*>(f);
        QTest::keyClick(destino, Qt::Key(tecla));
        QCOMPARE(dibujo.abierto(), abierto);
        QCOMPARE(estilo.herramienta, tipo);
        QCOMPARE(formas.ventanas().contains(f), formaViva);
        QCOMPARE(!f->escribiendo(), !texto || textoTerminado);
        if (abierto && tecla != Qt::Key_Delete && !texto) {
            // The canvas under the pointer took the key: it is the one that has the keys.
            QCOMPARE(dibujo.activo(), lienzoEn(dibujo, QStringLiteral("derecha")));
        }
        dibujo.salir();
        formas.destruirTodo();
    }

    // A text being typed keeps the keys wherever they land (a windowing system may hand them to
    // the canvas), and Esc from there still finishes it and leaves.
    void elTextoGuardaLasTeclas() {
        RegistroFormas formas;
        ModoDibujo dibujo(formas, estilo);
        abrirCon(dibujo, QStringLiteral("derecha"));
        FormVentana* texto = forma(formas, Herramienta::Texto);
        FormFondo* izquierda = lienzoEn(dibujo, QStringLiteral("izquierda"));
        QTest::keyClicks(izquierda, QStringLiteral("3b"));
        QCOMPARE(texto->etiqueta()->text(), QStringLiteral("3b"));
        QCOMPARE(estilo.herramienta, Herramienta::Pincel);
        QTest::keyClick(izquierda, Qt::Key_Escape);
        QVERIFY(!texto->escribiendo());
        QCOMPARE(texto->etiqueta()->text(), QStringLiteral("3b"));
        QVERIFY(!dibujo.abierto());
        formas.destruirTodo();
    }

    // A click anywhere but on the text being typed finishes it, as Enter does.
    void clicFueraTerminaElTexto() {
        RegistroFormas formas;
        ModoDibujo dibujo(formas, estilo);
        abrirCon(dibujo, QStringLiteral("izquierda"));
        FormVentana* texto = forma(formas, Herramienta::Texto);
        QTest::mouseClick(texto, Qt::LeftButton, {}, {2, 2});
        QVERIFY(texto->escribiendo());
        estilo.herramienta = Herramienta::Rectangulo;
        FormFondo* l = lienzoEn(dibujo, QStringLiteral("izquierda"));
        QTest::mousePress(l, Qt::LeftButton, {}, {100, 100});
        QVERIFY(!texto->escribiendo());
        // The click still draws.
        QTest::mouseMove(l, {200, 200});
        QTest::mouseRelease(l, Qt::LeftButton, {}, {200, 200});
        QCOMPARE(formas.cantidad(), 2);
        dibujo.salir();
        formas.destruirTodo();
    }

    // Esc on the palette closes it and leaves drawing mode.
    void escEnLaPaleta() {
        RegistroFormas formas;
        ModoDibujo dibujo(formas, estilo);
        abrirCon(dibujo, QStringLiteral("izquierda"));
        bool vista = false;
        QTimer::singleShot(0, [&] {
            QWidget* paleta = QApplication::activeModalWidget();
            vista = qobject_cast<FormTools*>(paleta) != nullptr;
            if (paleta != nullptr) {
                QTest::keyClick(paleta, Qt::Key_Escape);
            }
        });
        QTest::mouseClick(lienzoEn(dibujo, QStringLiteral("izquierda")), Qt::RightButton, {},
                          {100, 100});
        QVERIFY(vista);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(!dibujo.abierto());
    }

    // Keys a shape lets go come back to the canvas that had them last, not to another one.
    void teclasAlUltimoActivo() {
        RegistroFormas formas;
        ModoDibujo dibujo(formas, estilo);
        dibujo.abrir();
        for (FormFondo* l : dibujo.lienzos()) {
            QVERIFY(QTest::qWaitForWindowExposed(l));
        }
        for (const char* nombre : {"derecha", "izquierda"}) {
            FormFondo* l = lienzoEn(dibujo, QString::fromLatin1(nombre));
            l->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(l));
            QCOMPARE(dibujo.activo(), l);
            estilo.herramienta = Herramienta::Rectangulo;
            QTest::mousePress(l, Qt::LeftButton, {}, {100, 100});
            QTest::mouseMove(l, {200, 200});
            QTest::mouseRelease(l, Qt::LeftButton, {}, {200, 200});
            QWidget* forma = formas.ventanas().last();
            forma->activateWindow(); // clicked
            QVERIFY(QTest::qWaitForWindowActive(forma));
            forma->close(); // Delete
            QTRY_VERIFY(l->isActiveWindow());
        }
        dibujo.salir();
        formas.destruirTodo();
    }

private:
    Estilo estilo; // the style in use, as the settings own it in the program
};

QTEST_MAIN(TstModoDibujo)
#include "tst_modo_dibujo.moc"
