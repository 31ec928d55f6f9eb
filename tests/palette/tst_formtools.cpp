#include "Estilo.h"
#include "FormTools.h"
#include "Pantalla.h"
#include "ReglasPaleta.h"
#include "TiraColor.h"
#include "Ventanas.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>

namespace {

template <typename T> T* control(const FormTools& paleta, const char* nombre) {
    T* hallado = paleta.findChild<T*>(QString::fromLatin1(nombre));
    if (!hallado) {
        qFatal("no control %s", nombre);
    }
    return hallado;
}

int relleno(const FormTools& paleta) {
    const QColor c = control<QFrame>(paleta, "ShColor")->palette().color(QPalette::Window);
    return c.red() + 256 * c.green() + 65536 * c.blue();
}

QString fuenteResaltada(const FormTools& paleta) {
    const auto elegidas = control<QListWidget>(paleta, "ListaF")->selectedItems();
    return elegidas.isEmpty() ? QString() : elegidas.first()->text();
}

// The captions of the palette's controls, with the width each needs and the width it has.
struct Rotulo {
    QString texto;
    int necesita = 0;
    int tiene = 0;
};
QMap<QString, Rotulo> rotulos(const QString& idioma) {
    QTranslator traduccion;
    if (!idioma.isEmpty() && traduccion.load("tizo_" + idioma, TIZO_TRADUCCIONES_COMPILADAS)) {
        QCoreApplication::installTranslator(&traduccion);
    }
    FormTools paleta{Estilo()};
    QCoreApplication::removeTranslator(&traduccion);
    QMap<QString, Rotulo> lista;
    for (QWidget* w : paleta.findChildren<QWidget*>()) {
        QString texto;
        if (auto* lb = qobject_cast<QLabel*>(w)) {
            texto = lb->text();
        } else if (auto* boton = qobject_cast<QAbstractButton*>(w)) {
            texto = boton->text();
        }
        if (!texto.isEmpty()) {
            lista[w->objectName()] = {texto, w->sizeHint().width(), w->width()};
        }
    }
    lista[QStringLiteral("window title")] = {paleta.windowTitle(), 0, 0};
    return lista;
}

void pulsar(const FormTools& paleta, const char* nombre) {
    QWidget* w = control<QWidget>(paleta, nombre);
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

void elegirTexto(const FormTools& paleta) {
    pulsar(paleta, "Opcion4");
}

// How the palette is closed; each must do what the close image does.
enum class Cierre { Imagen, VentanaCerrada, Escape };

void cerrarPor(FormTools& paleta, Cierre como) {
    switch (como) {
    case Cierre::Imagen:
        pulsar(paleta, "ImCerrar");
        break;
    case Cierre::VentanaCerrada:
        paleta.close(); // what the window manager's close (Alt+F4) arrives as
        break;
    case Cierre::Escape:
        QTest::keyClick(&paleta, Qt::Key_Escape);
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(Cierre)

class TstFormTools : public QObject {
    Q_OBJECT
private slots:
    void init() { estilo = Estilo(); }

    void primeraApertura() {
        FormTools paleta(estilo);
        QCOMPARE(paleta.windowTitle(), QStringLiteral("Herramientas"));
        QCOMPARE(paleta.size(), QSize(159, 368));
        QVERIFY(paleta.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(paleta.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(paleta.isModal());
        QCOMPARE(control<QLabel>(paleta, "LBGrosor")->text(), QStringLiteral("10"));
        QCOMPARE(relleno(paleta), 255);
        QVERIFY(control<QRadioButton>(paleta, "Opcion0")->isChecked());
        QVERIFY(!control<QWidget>(paleta, "FrTexto")->isVisibleTo(&paleta));
        QVERIFY(control<QLineEdit>(paleta, "TB")->isHidden());
        QCOMPARE(control<QLineEdit>(paleta, "TBTam")->text(), QStringLiteral("40"));

        // Arial where the system has it; otherwise nothing is highlighted.
        const int arial = ReglasPaleta::indiceFuente(Pantalla::fuentes(), QStringLiteral("Arial"));
        QCOMPARE(fuenteResaltada(paleta), arial < 0 ? QString() : Pantalla::fuentes().at(arial));
    }

    // Positions come from twips at 96 DPI; a slip in the conversion or a swapped figure shows here.
    void controles_data() {
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<QRect>("lugar");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("ayuda");
        QTest::addColumn<bool>("mano");
        QTest::newRow("ImCerrar") << "ImCerrar" << QRect(140, 0, 17, 17) << ""
                                  << "Cerrar" << true;
        QTest::newRow("picColor") << "picColor" << QRect(1, 16, 14, 270) << ""
                                  << "Color de fondo" << false;
        QTest::newRow("LB0") << "LB0" << QRect(24, 16, 97, 17) << "Grosor de líneas"
                             << "" << false;
        QTest::newRow("LBGrosor") << "LBGrosor" << QRect(128, 16, 25, 17) << "10"
                                  << "Doble click para editar" << true;
        QTest::newRow("TB") << "TB" << QRect(128, 16, 25, 13) << "20"
                            << "" << false;
        QTest::newRow("ShColor") << "ShColor" << QRect(128, 35, 25, 9) << ""
                                 << "" << false;
        QTest::newRow("Opcion2") << "Opcion2" << QRect(0, 48, 129, 17) << "Rectángulo"
                                 << "" << false;
        QTest::newRow("FrTexto") << "FrTexto" << QRect(0, 112, 129, 129) << ""
                                 << "" << false;
        QTest::newRow("ListaF") << "ListaF" << QRect(-1, -1, 107, 41) << ""
                                << "" << true;
        QTest::newRow("TBTam") << "TBTam" << QRect(80, 43, 41, 15) << "40"
                               << "" << false;
        QTest::newRow("ChTexto3") << "ChTexto3" << QRect(16, 104, 73, 17) << "Tachado"
                                  << "" << true;
    }
    void controles() {
        QFETCH(QString, nombre);
        QFETCH(QRect, lugar);
        QFETCH(QString, texto);
        QFETCH(QString, ayuda);
        QFETCH(bool, mano);
        FormTools paleta(estilo);
        auto* w = paleta.findChild<QWidget*>(nombre);
        QVERIFY(w);
        QCOMPARE(w->geometry(), lugar);
        QCOMPARE(w->toolTip(), ayuda);
        QCOMPARE(w->cursor().shape() == Qt::PointingHandCursor, mano);
        if (auto* lb = qobject_cast<QLabel*>(w)) {
            QCOMPARE(lb->text(), texto);
        } else if (auto* caja = qobject_cast<QLineEdit*>(w)) {
            QCOMPARE(caja->text(), texto);
        } else if (auto* boton = qobject_cast<QAbstractButton*>(w)) {
            QCOMPARE(boton->text(), texto);
        }
    }

    // The layout is fixed, so a translation must fit where the Spanish caption fits: wherever
    // it needs more room than its control has, it needs no more than the Spanish one.
    void traduccionCabe() {
        const QMap<QString, Rotulo> espanol = rotulos(QString());
        const QMap<QString, Rotulo> ingles = rotulos("en");
        QCOMPARE(ingles.keys(), espanol.keys());
        QCOMPARE(espanol.size(),
                 2 + 1 + 8 + 1 + 4 + 1); // labels, thickness, tools, size, styles, title
        for (auto it = ingles.cbegin(); it != ingles.cend(); ++it) {
            const Rotulo& original = espanol[it.key()];
            const Rotulo& traducido = it.value();
            if (it.key() != "LBGrosor") {
                QVERIFY2(traducido.texto != original.texto, qPrintable(it.key()));
            }
            QVERIFY2(traducido.necesita <= std::max(traducido.tiene, original.necesita),
                     qPrintable(QStringLiteral("%1 \"%2\" needs %3 pixels, has %4")
                                    .arg(it.key(), traducido.texto)
                                    .arg(traducido.necesita)
                                    .arg(traducido.tiene)));
        }
    }

    void cargaReflejaAjustes() {
        estilo.grosor = 37;
        estilo.color = 16711680;
        estilo.herramienta = Herramienta::Texto;
        FormTools paleta(estilo);
        QCOMPARE(control<QLabel>(paleta, "LBGrosor")->text(), QStringLiteral("37"));
        QCOMPARE(relleno(paleta), 16711680);
        QVERIFY(control<QRadioButton>(paleta, "Opcion4")->isChecked());
        QVERIFY(control<QWidget>(paleta, "FrTexto")->isVisibleTo(&paleta));
        QCOMPARE(paleta.estilo().herramienta, Herramienta::Texto);
    }

    void herramientas() {
        FormTools paleta(estilo);
        paleta.show();
        auto* FrTexto = control<QWidget>(paleta, "FrTexto");
        for (int i : {4, 1, 4, 2, 3, 0, 5, 6, 7}) {
            pulsar(paleta, qPrintable(QStringLiteral("Opcion%1").arg(i)));
            QCOMPARE(int(paleta.estilo().herramienta), i);
            QCOMPARE(FrTexto->isVisible(), i == int(Herramienta::Texto));
            for (int j = 0; j < NumHerramientas; ++j) {
                QCOMPARE(
                    control<QRadioButton>(paleta, qPrintable(QStringLiteral("Opcion%1").arg(j)))
                        ->isChecked(),
                    j == i);
            }
        }
    }

    void color_data() {
        QTest::addColumn<QPoint>("punto"); // in the box, border included
        QTest::addColumn<Qt::MouseButton>("boton");
        QTest::addColumn<int>("color");
        QTest::newRow("top row, left") << QPoint(1, 1) << Qt::LeftButton << 255;
        QTest::newRow("cyan row, right") << QPoint(6, 1 + 128) << Qt::RightButton << 16776960;
        QTest::newRow("black, middle") << QPoint(12, 1 + 256) << Qt::MiddleButton << 0;
        QTest::newRow("last black, right") << QPoint(3, 1 + 261) << Qt::RightButton << 0;
        QTest::newRow("white, left") << QPoint(3, 1 + 262) << Qt::LeftButton << 16777215;
        QTest::newRow("last white, right") << QPoint(12, 1 + 267) << Qt::RightButton << 16777215;
        QTest::newRow("yellow pair") << QPoint(5, 1 + 43) << Qt::LeftButton << 65535;
        QTest::newRow("border") << QPoint(0, 100) << Qt::LeftButton << TiraColor::ColorBorde;
    }
    void color() {
        QFETCH(QPoint, punto);
        QFETCH(Qt::MouseButton, boton);
        QFETCH(int, color);
        estilo.color = 12345;
        FormTools paleta(estilo);
        paleta.show();
        QTest::mousePress(control<QWidget>(paleta, "picColor"), boton, {}, punto);
        // At once, on the press.
        QCOMPARE(paleta.estilo().color, color);
        QCOMPARE(relleno(paleta), color);
        QTest::mouseRelease(control<QWidget>(paleta, "picColor"), boton, {}, punto);
        QCOMPARE(paleta.estilo().color, color);
    }

    // Keys typed into the thickness box after a double click on the label, then Enter.
    void grosor_data() {
        QTest::addColumn<QString>("teclas");
        QTest::addColumn<QString>("enCaja"); // what the box shows before Enter
        QTest::addColumn<QString>("etiqueta");
        QTest::addColumn<int>("grosor");
        QTest::newRow("200") << "200"
                             << "200"
                             << "200" << 200;
        QTest::newRow("1") << "1"
                           << "1"
                           << "1" << 1;
        QTest::newRow("0 dropped") << "0"
                                   << "0"
                                   << "10" << 10;
        QTest::newRow("201 dropped") << "201"
                                     << "201"
                                     << "10" << 10;
        QTest::newRow("007 kept as typed") << "007"
                                           << "007"
                                           << "007" << 7;
        QTest::newRow("letters never appear") << "a1b5-"
                                              << "15"
                                              << "15" << 15;
        QTest::newRow("fourth digit refused") << "1234"
                                              << "123"
                                              << "123" << 123;
        QTest::newRow("emptied") << "\b"
                                 << ""
                                 << "10" << 10;
    }
    void grosor() {
        QFETCH(QString, teclas);
        QFETCH(QString, enCaja);
        QFETCH(QString, etiqueta);
        QFETCH(int, grosor);
        FormTools paleta(estilo);
        paleta.show();
        QVERIFY(QTest::qWaitForWindowActive(&paleta));
        auto* LBGrosor = control<QLabel>(paleta, "LBGrosor");
        auto* TB = control<QLineEdit>(paleta, "TB");
        QTest::mouseDClick(LBGrosor, Qt::LeftButton, {}, LBGrosor->rect().center());
        QVERIFY(TB->isVisible());
        QCOMPARE(TB->text(), QStringLiteral("10"));
        QCOMPARE(TB->selectedText(), QStringLiteral("10")); // typing replaces it
        QVERIFY(TB->hasFocus());
        QTest::keyClicks(TB, teclas);
        QCOMPARE(TB->text(), enCaja);
        QTest::keyClick(TB, Qt::Key_Return);
        QVERIFY(TB->isHidden());
        QVERIFY(paleta.isVisible()); // Enter never reaches the dialog
        QCOMPARE(LBGrosor->text(), etiqueta);
        QCOMPARE(paleta.estilo().grosor, grosor);
    }

    void grosorPegado_data() {
        QTest::addColumn<QString>("pegado");
        QTest::addColumn<int>("grosor");
        QTest::newRow("whole number") << "12" << 12;
        QTest::newRow("negative") << "-5" << 10;
        QTest::newRow("exponent") << "1e2" << 10;
        QTest::newRow("long, cut to 3") << "1500" << 150;
    }
    void grosorPegado() {
        QFETCH(QString, pegado);
        QFETCH(int, grosor);
        FormTools paleta(estilo);
        paleta.show();
        auto* LBGrosor = control<QLabel>(paleta, "LBGrosor");
        auto* TB = control<QLineEdit>(paleta, "TB");
        QTest::mouseDClick(LBGrosor, Qt::LeftButton, {}, LBGrosor->rect().center());
        QApplication::clipboard()->setText(pegado);
        TB->paste();
        QTest::keyClick(TB, Qt::Key_Enter);
        QVERIFY(TB->isHidden());
        QCOMPARE(paleta.estilo().grosor, grosor);
        QCOMPARE(LBGrosor->text(), QString::number(grosor));
    }

    void grosorEscape() {
        FormTools paleta(estilo);
        paleta.show();
        auto* LBGrosor = control<QLabel>(paleta, "LBGrosor");
        auto* TB = control<QLineEdit>(paleta, "TB");
        QTest::mouseDClick(LBGrosor, Qt::LeftButton, {}, LBGrosor->rect().center());
        QTest::keyClicks(TB, "55");
        QTest::keyClick(TB, Qt::Key_Escape);
        QVERIFY(TB->isHidden());
        QVERIFY(paleta.isVisible()); // Escape in the entry closes the entry, not the palette
        QCOMPARE(LBGrosor->text(), QStringLiteral("10"));
        QCOMPARE(paleta.estilo().grosor, 10);
    }

    void cajaTamano() {
        FormTools paleta(estilo);
        paleta.show();
        QVERIFY(QTest::qWaitForWindowActive(&paleta));
        elegirTexto(paleta);
        auto* TBTam = control<QLineEdit>(paleta, "TBTam");
        QTest::mouseClick(TBTam, Qt::LeftButton, {}, QPoint(2, 5));
        QCOMPARE(TBTam->selectedText(), QStringLiteral("40"));
        QVERIFY(TBTam->hasFocus());
        // A second click, on text already selected, selects it all again.
        QTest::mouseClick(TBTam, Qt::LeftButton, {}, QPoint(12, 7));
        QCOMPARE(TBTam->selectedText(), QStringLiteral("40"));
        QTest::keyClicks(TBTam, "x1y2 3");
        QTest::keyClick(TBTam, Qt::Key_Return);
        QTest::keyClicks(TBTam, "45");
        QCOMPARE(TBTam->text(), QStringLiteral("123"));
        QVERIFY(paleta.isVisible());
    }

    // The close sequence with "Texto" chosen, for each way of closing.
    void cierreConTexto_data() {
        QTest::addColumn<Cierre>("como");
        QTest::addColumn<QString>("tamano"); // typed into the size box after selecting it
        QTest::addColumn<int>("tam");
        QTest::newRow("image, 5") << Cierre::Imagen << "5" << 8;
        QTest::newRow("image, 120") << Cierre::Imagen << "120" << 120;
        QTest::newRow("image, 999") << Cierre::Imagen << "999" << 200;
        QTest::newRow("image, emptied") << Cierre::Imagen << "\b" << 40;
        QTest::newRow("window closed, 250") << Cierre::VentanaCerrada << "250" << 200;
        QTest::newRow("window closed, 008") << Cierre::VentanaCerrada << "008" << 8;
        QTest::newRow("escape, 0") << Cierre::Escape << "0" << 8;
    }
    void cierreConTexto() {
        QFETCH(Cierre, como);
        QFETCH(QString, tamano);
        QFETCH(int, tam);
        estilo.fuente = QStringLiteral("beta");
        FormTools paleta(estilo);
        paleta.CargarFuentes({"Alpha", "Beta", "Gamma"});
        paleta.show();
        QVERIFY(QTest::qWaitForWindowActive(&paleta));
        elegirTexto(paleta);
        QCOMPARE(fuenteResaltada(paleta), QStringLiteral("Beta"));
        auto* TBTam = control<QLineEdit>(paleta, "TBTam");
        QTest::mouseClick(TBTam, Qt::LeftButton, {}, QPoint(2, 5));
        QTest::keyClicks(TBTam, tamano);
        pulsar(paleta, "ChTexto0");
        pulsar(paleta, "ChTexto2");
        QCOMPARE(paleta.estilo().tamFuente, 40); // nothing is written before the close

        cerrarPor(paleta, como);
        QVERIFY(!paleta.isVisible());
        QCOMPARE(paleta.estilo().fuente, QStringLiteral("Beta")); // the list's letter case
        QCOMPARE(paleta.estilo().tamFuente, tam);
        QVERIFY(paleta.estilo().negrita);
        QVERIFY(!paleta.estilo().cursiva);
        QVERIFY(paleta.estilo().subrayado);
        QVERIFY(!paleta.estilo().tachado);
    }

    void cierreSinTexto_data() {
        QTest::addColumn<Cierre>("como");
        QTest::newRow("image") << Cierre::Imagen;
        QTest::newRow("window closed") << Cierre::VentanaCerrada;
        QTest::newRow("escape") << Cierre::Escape;
    }
    void cierreSinTexto() {
        QFETCH(Cierre, como);
        FormTools paleta(estilo);
        paleta.CargarFuentes({"Alpha", "Beta"});
        paleta.show();
        QVERIFY(QTest::qWaitForWindowActive(&paleta));
        elegirTexto(paleta);
        control<QListWidget>(paleta, "ListaF")->setCurrentRow(1);
        control<QLineEdit>(paleta, "TBTam")->setText(QStringLiteral("99"));
        pulsar(paleta, "ChTexto1");
        pulsar(paleta, "Opcion1");
        cerrarPor(paleta, como);
        QVERIFY(!paleta.isVisible());
        QCOMPARE(paleta.estilo().herramienta, Herramienta::Linea);
        QCOMPARE(paleta.estilo().fuente, QStringLiteral("Arial"));
        QCOMPARE(paleta.estilo().tamFuente, 40);
        QVERIFY(!paleta.estilo().cursiva);
    }

    void sinCoincidencia() {
        estilo.fuente = QStringLiteral("No Such Font");
        FormTools paleta(estilo);
        paleta.CargarFuentes({"Alpha", "Beta"});
        QCOMPARE(fuenteResaltada(paleta), QString());
        paleta.show();
        elegirTexto(paleta);
        pulsar(paleta, "ImCerrar");
        QCOMPARE(paleta.estilo().fuente, QString());
    }

    void sinFuentes() {
        FormTools paleta(estilo);
        paleta.CargarFuentes({});
        paleta.show();
        QVERIFY(control<QWidget>(paleta, "Opcion4")->isHidden());
        QVERIFY(control<QWidget>(paleta, "ListaF")->isHidden());
        QVERIFY(control<QWidget>(paleta, "Opcion3")->isVisible());
        pulsar(paleta, "ImCerrar");
        QVERIFY(!paleta.isVisible());
    }

    // In a long list the highlighted font is brought into view when the list appears.
    void fuenteALaVista() {
        QStringList fuentes;
        for (int i = 0; i < 60; ++i) {
            fuentes << QStringLiteral("Font %1").arg(i);
        }
        estilo.fuente = QStringLiteral("font 45");
        FormTools paleta(estilo);
        paleta.CargarFuentes(fuentes);
        paleta.show();
        elegirTexto(paleta);
        auto* ListaF = control<QListWidget>(paleta, "ListaF");
        QCOMPARE(ListaF->currentRow(), 45);
        QVERIFY(
            ListaF->viewport()->rect().intersects(ListaF->visualItemRect(ListaF->currentItem())));
    }

    void reapertura() {
        {
            FormTools paleta(estilo);
            paleta.show();
            elegirTexto(paleta);
            auto* TBTam = control<QLineEdit>(paleta, "TBTam");
            TBTam->selectAll();
            QTest::keyClicks(TBTam, "120");
            pulsar(paleta, "ChTexto0");
            pulsar(paleta, "ChTexto3");
            pulsar(paleta, "ImCerrar");
            estilo = paleta.estilo();
        }
        QCOMPARE(estilo.tamFuente, 120);
        QVERIFY(estilo.negrita && estilo.tachado);

        FormTools paleta(estilo);
        QCOMPARE(control<QLineEdit>(paleta, "TBTam")->text(), QStringLiteral("40"));
        for (const char* nombre : {"ChTexto0", "ChTexto1", "ChTexto2", "ChTexto3"}) {
            QVERIFY(!control<QCheckBox>(paleta, nombre)->isChecked());
        }
        QVERIFY(control<QRadioButton>(paleta, "Opcion4")->isChecked());
        paleta.show();
        pulsar(paleta, "ImCerrar");
        QCOMPARE(paleta.estilo().tamFuente, 40);
        QVERIFY(!paleta.estilo().negrita && !paleta.estilo().cursiva);
        QVERIFY(!paleta.estilo().subrayado && !paleta.estilo().tachado);
    }

    // The caller waits in exec(): every way out must end that wait.
    void execTermina_data() { cierreSinTexto_data(); }
    void execTermina() {
        QFETCH(Cierre, como);
        FormTools paleta(estilo);
        QTimer::singleShot(0, &paleta, [&] {
            QVERIFY(QTest::qWaitForWindowExposed(&paleta));
            cerrarPor(paleta, como);
        });
        QTimer salvavidas;
        salvavidas.setSingleShot(true);
        bool atascada = false;
        connect(&salvavidas, &QTimer::timeout, &paleta, [&] {
            atascada = true;
            paleta.done(QDialog::Rejected);
        });
        salvavidas.start(5000);
        paleta.exec();
        QVERIFY(!atascada);
    }

private:
    Estilo estilo; // the style in use, as the settings own it in the program
};

QTEST_MAIN(TstFormTools)
#include "tst_formtools.moc"
