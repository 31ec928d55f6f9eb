#include "FormVentana.h"
#include "Gesto.h"
#include "RegistroFormas.h"
#include "Ventanas.h"

#include <QLabel>
#include <QPointer>
#include <QTest>

namespace {
const QColor Clave(123, 22, 153);
const QColor BlancoRGB(255, 255, 255);

// The style the next shapes are drawn with, as the canvas would stamp it into their gestures.
Estilo estilo;

Gesto gesto(Herramienta tipo, QPointF inicio = {}, QPointF fin = {}, QRectF cuadro = {},
            std::vector<Punto> puntos = {}) {
    Gesto g;
    g.estilo = estilo;
    g.estilo.herramienta = tipo;
    g.inicio = inicio;
    g.fin = fin;
    g.cuadro = cuadro;
    g.anchoPluma = estilo.grosor;
    g.puntos = std::move(puntos);
    return g;
}

void borrarPendientes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Every pixel of the window, as it shows, is one of the two colours.
bool soloDosColores(const QImage& imagen, const QColor& a, const QColor& b) {
    for (int y = 0; y < imagen.height(); ++y) {
        for (int x = 0; x < imagen.width(); ++x) {
            const QRgb p = imagen.pixel(x, y);
            if (p != a.rgb() && p != b.rgb()) {
                return false;
            }
        }
    }
    return true;
}

QImage vista(QWidget& ventana) {
    return ventana.grab().toImage().convertToFormat(QImage::Format_RGB32);
}
using Trazo = std::vector<Punto>;
} // namespace

Q_DECLARE_METATYPE(Trazo)

class TstFormVentana : public QObject {
    Q_OBJECT
private slots:
    void init() { estilo = Estilo(); }

    // The window around each shape, in pixels, with pen 10 (Margen 150 twips), and its shape:
    // the strokes' pixels, and nothing else of the window.
    void geometria_data() {
        QTest::addColumn<Herramienta>("tipo");
        QTest::addColumn<QRect>("geometria");
        QTest::addColumn<QList<QPoint>>("enElTrazo");
        QTest::addColumn<QList<QPoint>>("fuera");
        // Corners (1500, 1500) and (4500, 3000) twips: (10, 10) and (210, 110) in the window.
        QTest::newRow("rectangle 3000 x 1500 twips")
            << Herramienta::Rectangulo << QRect(90, 90, 220, 120)
            << QList<QPoint>{{10, 60}, {110, 10}, {210, 60}, {110, 110}}
            << QList<QPoint>{{110, 60}, {0, 0}, {219, 119}, {110, 20}};
        QTest::newRow("line, same box") << Herramienta::Linea << QRect(90, 90, 220, 120)
                                        << QList<QPoint>{{110, 60}, {10, 10}, {210, 110}}
                                        << QList<QPoint>{{10, 110}, {210, 10}, {110, 80}};
        QTest::newRow("circle 1500 wide") << Herramienta::Circulo << QRect(90, 90, 120, 120)
                                          << QList<QPoint>{{60, 10}, {10, 60}, {110, 60}, {60, 110}}
                                          << QList<QPoint>{{60, 60}, {2, 2}, {117, 117}};
        QTest::newRow("brush") << Herramienta::Pincel << QRect(90, 90, 220, 120)
                               << QList<QPoint>{{110, 10}, {210, 60}}
                               << QList<QPoint>{{10, 110}, {110, 60}};
    }
    void geometria() {
        QFETCH(Herramienta, tipo);
        QFETCH(QRect, geometria);
        QFETCH(QList<QPoint>, enElTrazo);
        QFETCH(QList<QPoint>, fuera);
        FormVentana ventana(gesto(tipo, QPointF(4500, 3000), QPointF(1500, 1500),
                                  QRectF(1500, 1500, 1500, 1500),
                                  {{1500, 1500}, {4500, 1500}, {4500, 3000}}));
        QCOMPARE(ventana.geometry(), geometria);
        QVERIFY(ventana.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(ventana.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(ventana.testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(ventana.cursor().shape(), Qt::OpenHandCursor);
        QCOMPARE(ventana.colorTrazo(), QColor(255, 0, 0));
        QVERIFY(ventana.rect().contains(ventana.mask().boundingRect()));
        for (const QPoint& p : enElTrazo) {
            QVERIFY2(ventana.mask().contains(p),
                     qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
        }
        for (const QPoint& p : fuera) {
            QVERIFY2(!ventana.mask().contains(p),
                     qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
        }
        // What shows is the strokes' colour: nothing of the key is left inside the shape.
        ventana.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ventana));
        const QImage vistaVentana = vista(ventana);
        for (const QPoint& p : enElTrazo) {
            QCOMPARE(vistaVentana.pixelColor(p), QColor(255, 0, 0));
        }
    }

    void sinNadaQueMostrar_data() {
        QTest::addColumn<Herramienta>("tipo");
        QTest::addColumn<QSize>("tamano");
        QTest::newRow("brush without points") << Herramienta::Pincel << QSize(168, 140);
    }
    void sinNadaQueMostrar() {
        QFETCH(Herramienta, tipo);
        QFETCH(QSize, tamano);
        FormVentana ventana(gesto(tipo, QPointF(3000, 3000), QPointF(4500, 4500)));
        QCOMPARE(ventana.size(), tamano);
        QVERIFY(!ventana.mask().isEmpty());
        QVERIFY(!ventana.mask().intersects(ventana.rect())); // nothing of it shows
    }

    // Where no compositor blends windows, a highlighter is blended with the frozen screen under
    // it as it is drawn: about 40 % of its colour over what was there, the same all along the
    // stroke, and nothing of it outside.
    void resaltadorMezclado_data() {
        QTest::addColumn<int>("color");
        QTest::addColumn<QColor>("debajo");
        QTest::addColumn<QColor>("mezcla");
        const int amarillo = 0x00FFFF;
        QTest::newRow("yellow over black") << amarillo << QColor(0, 0, 0) << QColor(102, 102, 0);
        QTest::newRow("yellow over white")
            << amarillo << QColor(255, 255, 255) << QColor(255, 255, 153);
        QTest::newRow("green over grey")
            << 0x00FF00 << QColor(128, 128, 128) << QColor(77, 179, 77);
    }
    void resaltadorMezclado() {
        QFETCH(int, color);
        QFETCH(QColor, debajo);
        QFETCH(QColor, mezcla);
        QImage fondo(400, 200, QImage::Format_RGB32);
        fondo.fill(debajo);
        Gesto g = gesto(Herramienta::Resaltador, QPointF(1500, 1500), QPointF(4500, 1500));
        g.estilo.colorResaltador = color;
        g.fondo = fondo;
        FormVentana ventana(g);
        QVERIFY(ventana.imagenTinta().isNull()); // no compositor here
        ventana.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ventana));
        const QImage vistaVentana = vista(ventana);
        const QPoint medio = QPoint(200, 100) - ventana.pos();
        for (int dx : {-90, 0, 90}) {
            for (int dy : {-11, 0, 11}) {
                const QColor real = vistaVentana.pixelColor(medio + QPoint(dx, dy));
                QVERIFY2(qAbs(real.red() - mezcla.red()) <= 1 &&
                             qAbs(real.green() - mezcla.green()) <= 1 &&
                             qAbs(real.blue() - mezcla.blue()) <= 1,
                         qPrintable(real.name() + QStringLiteral(" at %1,%2").arg(dx).arg(dy)));
            }
        }
        // 24 pixels wide, square ends: the window shows nothing past them.
        QVERIFY(!ventana.mask().contains(medio + QPoint(0, 13)));
        QVERIFY(!ventana.mask().contains(medio + QPoint(113, 0)));
    }

    // The gesture's style alone; later changes leave the shape as it is.
    void ajustesDelMomento() {
        estilo.color = 16711680; // blue
        estilo.grosor = 4;
        FormVentana ventana(gesto(Herramienta::Linea, QPointF(1500, 1500), QPointF(3000, 1500)));
        estilo.color = 255;
        estilo.grosor = 30;
        estilo.herramienta = Herramienta::Circulo;
        ventana.update();
        QCOMPARE(ventana.height(), 8); // 2 x Margen of pen 4
        QCOMPARE(ventana.colorTrazo(), QColor(0, 0, 255));
        // A 4 px line across the middle: on in row 4, off at the window's top edge.
        QVERIFY(ventana.mask().contains(QPoint(50, 4)));
        QVERIFY(!ventana.mask().contains(QPoint(50, 0)));
    }

    void borrarConSupr_data() {
        QTest::addColumn<Herramienta>("tipo");
        QTest::addColumn<int>("modificadores");
        QTest::newRow("line") << Herramienta::Linea << int(Qt::NoModifier);
        QTest::newRow("line, shift held") << Herramienta::Linea << int(Qt::ShiftModifier);
        QTest::newRow("text") << Herramienta::Texto << int(Qt::NoModifier);
        QTest::newRow("text, ctrl held") << Herramienta::Texto << int(Qt::ControlModifier);
    }
    void borrarConSupr() {
        QFETCH(Herramienta, tipo);
        QFETCH(int, modificadores);
        RegistroFormas registro;
        auto* vieja = new FormVentana(gesto(Herramienta::Rectangulo, {}, QPointF(300, 300)));
        registro.agregar(vieja);
        QPointer<FormVentana> ventana = new FormVentana(gesto(tipo, QPointF(1500, 1500)));
        registro.agregar(ventana);
        QCOMPARE(registro.cantidad(), 2);
        ventana->show();
        QTest::keyClick(ventana, Qt::Key_A);
        const QRect lugar = ventana->geometry();
        QTest::keyClick(ventana, Qt::Key_Delete, Qt::KeyboardModifiers(modificadores));
        borrarPendientes();
        // Gone from the screen and the count, kept for an undo.
        QVERIFY(!ventana.isNull());
        QVERIFY(!ventana->isVisible());
        QCOMPARE(registro.cantidad(), 1);
        QCOMPARE(registro.ventanas(), QList<QWidget*>{vieja});
        QCOMPARE(registro.retiradas(), QList<QWidget*>{ventana});
        // Back where it was, as it was; a text keeps what was typed.
        QVERIFY(registro.deshacer());
        QVERIFY(ventana->isVisible());
        QCOMPARE(ventana->geometry(), lugar);
        QCOMPARE(registro.cantidad(), 2);
        if (ventana->etiqueta() != nullptr) {
            QCOMPARE(ventana->etiqueta()->text(), QStringLiteral("a"));
        }
    }

    // A shape deleted and kept for an undo gives back its native window, and with it the
    // pixels Qt keeps for the window, and packs its shape; brought back, it has a new one with
    // the same shape. One hidden from the tray keeps its own.
    // A deleted shape gives back its native window and keeps its shape packed; an undo shows
    // it again with exactly the same shape.
    void retiradaSinVentanaNativa_data() {
        QTest::addColumn<Trazo>("puntos");
        QTest::newRow("one diagonal segment") << Trazo{{1500, 1500}, {9000, 6000}};
        // Bands of two rectangles, the second left of the first one's start further down.
        QTest::newRow("a V") << Trazo{{1500, 1500}, {6000, 9000}, {10500, 1500}};
        QTest::newRow("a zigzag over itself")
            << Trazo{{1500, 6000}, {9000, 1500}, {3000, 1500}, {10500, 6000}, {1500, 4500}};
    }

    void retiradaSinVentanaNativa() {
        QFETCH(Trazo, puntos);
        RegistroFormas registro;
        auto* ventana = new FormVentana(gesto(Herramienta::Pincel, {}, {}, {}, puntos));
        registro.agregar(ventana);
        ventana->show();
        QVERIFY(QTest::qWaitForWindowExposed(ventana));
        const QRegion forma = ventana->mask();
        registro.mostrarOcultar();
        QCoreApplication::processEvents();
        QVERIFY(ventana->testAttribute(Qt::WA_WState_Created));
        registro.mostrarOcultar();

        QTest::keyClick(ventana, Qt::Key_Delete);
        QVERIFY(!ventana->isVisible());
        QTRY_VERIFY(!ventana->testAttribute(Qt::WA_WState_Created));
        QVERIFY(ventana->windowHandle() == nullptr);
        QVERIFY(ventana->mask().isEmpty()); // its shape packed away meanwhile
        QVERIFY(registro.deshacer());
        QVERIFY(QTest::qWaitForWindowExposed(ventana));
        QCOMPARE(ventana->mask(), forma);
        // Brought back before the deletion was over: nothing is given back.
        QVERIFY(registro.rehacer());
        QVERIFY(registro.deshacer());
        QCoreApplication::processEvents();
        QVERIFY(ventana->testAttribute(Qt::WA_WState_Created));
        QVERIFY(ventana->isVisible());
    }

    void teclasEnFormaSinTexto() {
        FormVentana ventana(gesto(Herramienta::Pincel, {}, {}, {}, {{1500, 1500}, {3000, 2000}}));
        const QRegion antes = ventana.mask();
        const QRect geometria = ventana.geometry();
        QTest::keyClicks(&ventana, QStringLiteral("Hola"));
        QTest::keyClick(&ventana, Qt::Key_Return);
        QTest::keyClick(&ventana, Qt::Key_Backspace);
        QCOMPARE(ventana.geometry(), geometria);
        QVERIFY(ventana.etiqueta() == nullptr);
        QCOMPARE(ventana.mask(), antes);
        QCOMPARE(ventana.colorTrazo(), QColor(255, 0, 0));
    }

    void arrastrar_data() {
        QTest::addColumn<int>("boton");
        QTest::addColumn<bool>("sobreEtiqueta");
        QTest::addColumn<bool>("semueve");
        QTest::newRow("left") << int(Qt::LeftButton) << false << true;
        QTest::newRow("left on the label") << int(Qt::LeftButton) << true << true;
        QTest::newRow("right") << int(Qt::RightButton) << false << false;
        QTest::newRow("middle on the label") << int(Qt::MiddleButton) << true << false;
    }
    void arrastrar() {
        QFETCH(int, boton);
        QFETCH(bool, sobreEtiqueta);
        QFETCH(bool, semueve);
        FormVentana ventana(
            sobreEtiqueta ? gesto(Herramienta::Texto, QPointF(1500, 1500))
                          : gesto(Herramienta::Linea, QPointF(1500, 1500), QPointF(4500, 1500)));
        ventana.show();
        QWidget* destino = sobreEtiqueta ? static_cast<QWidget*>(ventana.etiqueta()) : &ventana;
        const QPoint antes = ventana.pos();
        QTest::mousePress(destino, Qt::MouseButton(boton), {}, QPoint(12, 10));
        QTest::mouseMove(destino, QPoint(52, 40));
        QTest::mouseRelease(destino, Qt::MouseButton(boton), {}, QPoint(52, 40));
        QCOMPARE(ventana.pos(), semueve ? antes + QPoint(40, 30) : antes);
    }

    void textoNuevo() {
        estilo.color = 16711680;
        estilo.tamFuente = 24;
        estilo.negrita = true;
        estilo.subrayado = true;
        FormVentana ventana(gesto(Herramienta::Texto, QPointF(1500, 3000)));
        QLabel* lb = ventana.etiqueta();
        QVERIFY(lb != nullptr);
        QCOMPARE(lb->text(), QStringLiteral("Escribe aquí el texto ..."));
        QCOMPARE(ventana.pos(), QPoint(100, 200)); // at the press point, no margin
        QCOMPARE(ventana.size(), lb->size());
        QCOMPARE(lb->pos(), QPoint(0, 0));
        QCOMPARE(lb->font().family(), QStringLiteral("Arial"));
        QCOMPARE(lb->font().pointSize(), 24);
        QVERIFY(lb->font().bold() && lb->font().underline());
        QVERIFY(!lb->font().italic() && !lb->font().strikeOut());
        QVERIFY(ventana.mask().isEmpty()); // opaque while editing
        const QImage imagen = vista(ventana);
        QCOMPARE(imagen.pixelColor(imagen.width() - 1, 0), BlancoRGB);
        QVERIFY(soloDosColores(imagen, BlancoRGB, QColor(0, 0, 255))); // letters not antialiased
        QVERIFY(!soloDosColores(imagen, BlancoRGB, BlancoRGB));        // and there are letters
    }

    void escribirTexto() {
        FormVentana ventana(gesto(Herramienta::Texto, QPointF(1500, 1500)));
        QLabel* lb = ventana.etiqueta();
        const int anchoMarcador = ventana.width();

        QTest::keyClick(&ventana, Qt::Key_Backspace);
        QCOMPARE(lb->text(), QStringLiteral("Escribe aquí el texto .."));
        QVERIFY(ventana.width() < anchoMarcador);
        QCOMPARE(ventana.size(), lb->size());

        for (int i = 0; i < 30; ++i) {
            QTest::keyClick(&ventana, Qt::Key_Backspace);
        }
        QCOMPARE(lb->text(), QString());
        QVERIFY(ventana.width() >= 1 && ventana.height() >= 1);

        QTest::keyClicks(&ventana, QStringLiteral("Hola"));
        QTest::keyClick(&ventana, Qt::Key_Escape);
        QTest::keyClick(&ventana, Qt::Key_Tab);
        QCOMPARE(lb->text(), QStringLiteral("Hola\x1b\t"));
        QCOMPARE(ventana.size(), lb->size());
        QCOMPARE(ventana.pos(), QPoint(100, 100)); // grows from its top-left corner

        QTest::keyClick(&ventana, Qt::Key_Up); // types nothing
        QCOMPARE(lb->text(), QStringLiteral("Hola\x1b\t"));

        QInputMethodEvent compuesto;
        compuesto.setCommitString(QStringLiteral("á"));
        QCoreApplication::sendEvent(&ventana, &compuesto);
        QCOMPARE(lb->text(), QStringLiteral("Hola\x1b\tá"));
    }

    // Enter takes the background away, a click brings it back, and the window keeps following
    // the text in both states.
    void terminarYEditar() {
        FormVentana ventana(gesto(Herramienta::Texto, QPointF(1500, 1500)));
        ventana.show();
        QLabel* lb = ventana.etiqueta();
        QTest::keyClicks(&ventana, QStringLiteral("Hi"));
        QTest::keyClick(&ventana, Qt::Key_Return);
        QCOMPARE(lb->text(), QStringLiteral("Hi"));
        QCOMPARE(ventana.palette().color(QPalette::Window), Clave);
        const QImage terminado = vista(ventana);
        QVERIFY(soloDosColores(terminado, Clave, QColor(255, 0, 0)));
        QCOMPARE(ventana.mask(), regionVisible(terminado, ColorClave));
        QVERIFY(ventana.mask().intersects(ventana.rect()));

        const QSize antes = ventana.size();
        QTest::keyClicks(&ventana, QStringLiteral("WWW"));
        QCOMPARE(lb->text(), QStringLiteral("HiWWW"));
        QVERIFY(ventana.width() > antes.width());
        QCOMPARE(ventana.size(), lb->size());
        const QImage mas = vista(ventana);
        QCOMPARE(ventana.mask(), regionVisible(mas, ColorClave));
        QVERIFY(ventana.mask().boundingRect().right() > antes.width());

        // A click on a letter: white again, all of it showing.
        const QPoint letra = ventana.mask().begin()->center();
        QTest::mouseClick(&ventana, Qt::LeftButton, {}, letra);
        QCOMPARE(ventana.palette().color(QPalette::Window), BlancoRGB);
        QVERIFY(ventana.mask().isEmpty());
        QVERIFY(soloDosColores(vista(ventana), BlancoRGB, QColor(255, 0, 0)));
        QTest::keyClick(&ventana, Qt::Key_Backspace); // editing: no mask comes back
        QVERIFY(ventana.mask().isEmpty());

        QTest::keyClick(&ventana, Qt::Key_Enter);
        QCOMPARE(lb->text(), QStringLiteral("HiWW"));
        QCOMPARE(ventana.palette().color(QPalette::Window), Clave);
        QVERIFY(!ventana.mask().isEmpty());

        // A right click, or a press that drags, is no click.
        QTest::mouseClick(&ventana, Qt::RightButton, {}, letra);
        QCOMPARE(ventana.palette().color(QPalette::Window), Clave);
        QTest::mousePress(&ventana, Qt::LeftButton, {}, letra);
        QTest::mouseMove(&ventana, letra + QPoint(30, 0));
        QTest::mouseRelease(&ventana, Qt::LeftButton, {}, letra + QPoint(30, 0));
        QCOMPARE(ventana.palette().color(QPalette::Window), Clave);
    }
};

QTEST_MAIN(TstFormVentana)
#include "tst_formventana.moc"
