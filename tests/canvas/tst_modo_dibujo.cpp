#include "FormFondo.h"
#include "Gestos.h"
#include "ModoDibujo.h"
#include "RegistroFormas.h"
#include "modGeneral.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
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
} // namespace

// Drawing mode over two monitors (Qt's offscreen platform with two screens: "izquierda", and
// "derecha" right of it at scale 2, from dos_monitores.json).
class TstModoDibujo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCOMPARE(QGuiApplication::screens().size(), 2); }
    void init() { modGeneral::AsignarValoresIniciales(); }

    // A canvas over each monitor, exactly, at that monitor's scale; opening again makes none
    // more.
    void unLienzoPorMonitor() {
        RegistroFormas formas;
        ModoDibujo dibujo(formas);
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
            QCOMPARE(lienzos[i]->devicePixelRatioF(), pantalla->devicePixelRatio());
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
        ModoDibujo dibujo(formas);
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
        ModoDibujo dibujo(formas);
        QSignalSpy cerradas(&dibujo, &ModoDibujo::paletaCerrada);
        dibujo.abrir();
        const QList<FormFondo*> lienzos = dibujo.lienzos();
        QWidget* sobre = nullptr;
        for (FormFondo* l : lienzos) {
            QVERIFY(QTest::qWaitForWindowExposed(l));
            l->setAbrirPaleta([&](QWidget* padre) {
                sobre = padre;
                modGeneral::Grosor = 31;
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
        ModoDibujo dibujo(formas);
        dibujo.abrir();
        FormFondo* l = lienzoEn(dibujo, lienzo);
        QVERIFY(QTest::qWaitForWindowExposed(l));
        modGeneral::Tipo = modGeneral::TipoRectangulo;
        modGeneral::Grosor = 1;
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

    // Keys a shape lets go come back to the canvas that had them last, not to another one.
    void teclasAlUltimoActivo() {
        RegistroFormas formas;
        ModoDibujo dibujo(formas);
        dibujo.abrir();
        for (FormFondo* l : dibujo.lienzos()) {
            QVERIFY(QTest::qWaitForWindowExposed(l));
        }
        for (const char* nombre : {"derecha", "izquierda"}) {
            FormFondo* l = lienzoEn(dibujo, QString::fromLatin1(nombre));
            l->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(l));
            QCOMPARE(dibujo.activo(), l);
            modGeneral::Tipo = modGeneral::TipoRectangulo;
            QTest::mousePress(l, Qt::LeftButton, {}, {100, 100});
            QTest::mouseMove(l, {200, 200});
            QTest::mouseRelease(l, Qt::LeftButton, {}, {200, 200});
            QWidget* forma = formas.ventanas().last();
            QVERIFY(QTest::qWaitForWindowActive(forma));
            forma->close(); // Delete
            QTRY_VERIFY(l->isActiveWindow());
        }
        dibujo.salir();
        formas.destruirTodo();
    }
};

QTEST_MAIN(TstModoDibujo)
#include "tst_modo_dibujo.moc"
