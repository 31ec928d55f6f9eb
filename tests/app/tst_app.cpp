#include "Form1.h"
#include "FormAcercade.h"
#include "FormFondo.h"
#include "FormTools.h"
#include "IconoBandeja.h"
#include "Superficie.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

class TstApp : public QObject {
    Q_OBJECT

    // Settings and pictures of the tests' own, never the user's.
    QTemporaryDir m_casa;
    QString ajustes() const { return m_casa.filePath(QStringLiteral("config/tizo/tizo.conf")); }
    QString imagenes() const { return m_casa.filePath(QStringLiteral("imagenes/Tizo")); }

private slots:
    void initTestCase() {
        QDir().mkpath(m_casa.filePath(QStringLiteral("config")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_casa.filePath(QStringLiteral("config"))));
        QFile dirs(m_casa.filePath(QStringLiteral("config/user-dirs.dirs")));
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_PICTURES_DIR=\"" +
                   QFile::encodeName(m_casa.filePath(QStringLiteral("imagenes"))) + "\"\n");
    }

    void init() { QFile::remove(ajustes()); }

    // The settings of the last run are where this one starts; they are written back when the
    // program ends.
    void ajustesEntreSesiones() {
        QDir().mkpath(QFileInfo(ajustes()).path());
        QFile archivo(ajustes());
        QVERIFY(archivo.open(QIODevice::WriteOnly));
        archivo.write("[Dibujo]\nGrosor=33\nColor=65280\nHerramienta=2\n");
        archivo.close();
        {
            Form1 form;
            QCOMPARE(form.estilo().grosor, 33);
            QCOMPARE(form.estilo().color, 65280);
            QCOMPARE(form.estilo().herramienta, Herramienta::Rectangulo);
            QCOMPARE(form.estilo().fuente, QStringLiteral("Arial"));
            form.estilo().grosor = 44;
            form.estilo().negrita = true;
        }
        Ajustes leidos;
        QVERIFY(leidos.cargar(ajustes()).avisos.isEmpty());
        QCOMPARE(leidos.estilo.grosor, 44);
        QVERIFY(leidos.estilo.negrita);
        QCOMPARE(leidos.tecla, QStringLiteral("F9"));
    }

    // --draw and the global key open drawing mode, and leave it when it is open.
    void alternarDibujo() {
        Form1 form;
        QVERIFY(!form.dibujando());
        QVERIFY(form.ejecutar(Orden::Dibujar));
        QVERIFY(form.dibujando());
        QPointer<FormFondo> fondo = form.fondo();
        form.alternarDibujo();
        QVERIFY(!form.dibujando());
        QTRY_VERIFY(fondo.isNull());
        form.alternarDibujo();
        QVERIFY(form.dibujando());
    }

    // Leaving drawing mode while the palette is open closes the palette as its close image
    // does (its settings are kept and written), then the canvas.
    void alternarConPaletaAbierta() {
        Form1 form;
        form.dibujarFondo();
        QPointer<FormFondo> fondo = form.fondo();
        QVERIFY(QTest::qWaitForWindowExposed(fondo));
        bool paletaVista = false;
        QTimer::singleShot(0, &form, [&] {
            auto* paleta = qobject_cast<FormTools*>(QApplication::activeModalWidget());
            paletaVista = paleta != nullptr;
            if (paleta != nullptr) {
                QTest::mouseDClick(paleta->findChild<QLabel*>(QStringLiteral("LBGrosor")),
                                   Qt::LeftButton);
                auto* entrada = paleta->findChild<QLineEdit*>(QStringLiteral("TB"));
                QTest::keyClicks(entrada, QStringLiteral("77"));
                QTest::keyClick(entrada, Qt::Key_Return);
            }
            form.alternarDibujo();
        });
        QTest::mouseClick(fondo, Qt::RightButton, {}, {50, 50}); // the palette's own loop
        QVERIFY(paletaVista);
        QVERIFY(!form.dibujando());
        QTRY_VERIFY(fondo.isNull());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        Ajustes leidos;
        leidos.cargar(ajustes());
        QCOMPARE(leidos.estilo.grosor, 77); // written as the palette closed
    }

    // Save and copy act in drawing mode only; outside it the keys go on to the window.
    void guardarYCopiar() {
        Form1 form;
        QVERIFY(!form.ejecutar(Orden::Guardar));
        QVERIFY(!form.ejecutar(Orden::Copiar));
        QVERIFY(!QDir(imagenes()).exists());
        form.dibujarFondo();
        QVERIFY(QTest::qWaitForWindowExposed(form.fondo()));
        QVERIFY(form.ejecutar(Orden::Guardar));
        const QStringList guardadas = QDir(imagenes()).entryList({QStringLiteral("*.png")});
        QCOMPARE(guardadas.size(), 1);
        const QImage guardada(QDir(imagenes()).filePath(guardadas.first()));
        QCOMPARE(guardada.size(), form.fondo()->superficie()->imagenCaptura().size());
        QVERIFY(form.ejecutar(Orden::Copiar));
        QCOMPARE(QGuiApplication::clipboard()->image().size(), guardada.size());
        QDir(imagenes()).removeRecursively();
    }

    // The commands of the socket and the keyboard reach the shapes and their history.
    void ordenesSobreFormas() {
        Form1 form;
        auto* forma = new QWidget;
        form.formas().agregar(forma);
        forma->show();
        QVERIFY(form.ejecutar(Orden::Deshacer));
        QCOMPARE(form.formas().cantidad(), 0);
        QVERIFY(form.ejecutar(Orden::Rehacer));
        QCOMPARE(form.formas().cantidad(), 1);
        QVERIFY(form.ejecutar(Orden::MostrarOcultar));
        QVERIFY(!forma->isVisible());
        QVERIFY(form.ejecutar(Orden::MostrarOcultar));
        QVERIFY(form.ejecutar(Orden::BorrarTodo));
        QCOMPARE(form.formas().cantidad(), 0);
        // Ctrl+Z on the shape window itself: it was deleted, the undo brings it back.
        QVERIFY(form.ejecutar(Orden::Deshacer));
        QVERIFY(forma->isVisible());
        QTest::keyClick(forma, Qt::Key_Z, Qt::ControlModifier); // undoes its making
        QVERIFY(!forma->isVisible());
        QCOMPARE(form.formas().cantidad(), 0);
    }

    void arranqueAsignaValores() {
        Form1 form;
        QCOMPARE(form.estilo(), Estilo());
        QCOMPARE(form.iconoBandeja()->tip(), QStringLiteral("Tizo"));
        const QList<QSize> tamanos = form.iconoBandeja()->icono().availableSizes();
        for (const QSize lado : {QSize(16, 16), QSize(32, 32), QSize(48, 48)}) {
            QVERIFY2(tamanos.contains(lado), qPrintable(QString::number(lado.width())));
        }
    }

    // Spanish is the program's own language; the English translation keeps the leading space of
    // every caption and the name.
    void menu_data() {
        QTest::addColumn<QString>("idioma");
        QTest::addColumn<QStringList>("esperados");
        QTest::newRow("Spanish") << QString()
                                 << QStringList{" Tizo", " Dibujar Fondo",     " Borrar Todo",
                                                "",      " Mostrar / Ocultar", "",
                                                " Salir"};
        QTest::newRow("English") << "en" << QStringList{" Tizo", " Draw on Screen", " Clear All",
                                                        "",      " Show / Hide",    "",
                                                        " Quit"};
    }
    void menu() {
        QFETCH(QString, idioma);
        QFETCH(QStringList, esperados);
        QTranslator traduccion;
        if (!idioma.isEmpty()) {
            QVERIFY(traduccion.load("tizo_" + idioma, TIZO_TRADUCCIONES_COMPILADAS));
            QCoreApplication::installTranslator(&traduccion);
        }
        Form1 form;
        QCoreApplication::removeTranslator(&traduccion);
        QCOMPARE(form.iconoBandeja()->tip(), QStringLiteral("Tizo"));
        const QList<QAction*> acciones = form.menu()->actions();
        QCOMPARE(acciones.size(), esperados.size());
        for (int i = 0; i < acciones.size(); ++i) {
            const bool separador = esperados[i].isEmpty();
            QCOMPARE(acciones[i]->isSeparator(), separador);
            if (separador) {
                QVERIFY(acciones[i]->icon().isNull());
                continue;
            }
            QCOMPARE(acciones[i]->text(), esperados[i]);
            QVERIFY(acciones[i]->isEnabled());
            QVERIFY(!acciones[i]->isCheckable());
            const QPixmap imagen = acciones[i]->icon().pixmap(QSize(13, 13));
            QCOMPARE(imagen.size(), QSize(13, 13));
            QVERIFY2(!imagen.toImage().isNull(), qPrintable(esperados[i]));
        }
    }

    // A click on the tray icon, as the icon reports it (the button, where the tray or the
    // windowing system says it was): the left and right buttons open the menu there, once; the
    // middle one nothing. A tray that shows the menu itself is handed the same menu.
    void menuDesdeBandeja_data() {
        QTest::addColumn<int>("boton");
        QTest::addColumn<QPoint>("donde");
        QTest::addColumn<bool>("abre");
        QTest::newRow("left") << int(Qt::LeftButton) << QPoint(123, 234) << true;
        QTest::newRow("right") << int(Qt::RightButton) << QPoint(300, 310) << true;
        QTest::newRow("right, far from the pointer")
            << int(Qt::RightButton) << QPoint(400, 5) << true;
        QTest::newRow("middle") << int(Qt::MiddleButton) << QPoint(123, 234) << false;
    }

    void menuDesdeBandeja() {
        QFETCH(int, boton);
        QFETCH(QPoint, donde);
        QFETCH(bool, abre);
        Form1 form;
        QCOMPARE(form.iconoBandeja()->menu(), form.menu());
        QCursor::setPos(10, 10);
        QSignalSpy abierto(form.menu(), &QMenu::aboutToShow);
        emit form.iconoBandeja()->clic(Qt::MouseButton(boton), donde);
        QCOMPARE(abierto.size(), abre ? 1 : 0);
        if (abre) {
            QTRY_VERIFY(form.menu()->isVisible());
            QCOMPARE(form.menu()->pos(), donde);
        }
        form.menu()->hide();
    }

    // " Dibujar Fondo" brings an open canvas forward, and opens a new one once it has closed,
    // even before the closed one is deleted.
    void dibujarFondo() {
        Form1 form;
        auto lienzos = [] {
            QList<FormFondo*> visibles;
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* f = qobject_cast<FormFondo*>(w); f && f->isVisible()) {
                    visibles.append(f);
                }
            }
            return visibles;
        };
        form.dibujarFondo();
        QCOMPARE(lienzos().size(), 1);
        FormFondo* primero = lienzos().constFirst();
        form.dibujarFondo();
        QCOMPARE(lienzos(), QList<FormFondo*>{primero});
        primero->close();
        form.dibujarFondo();
        QCOMPARE(lienzos().size(), 1);
        QVERIFY(lienzos().constFirst() != primero);
    }

    void acercaDe() {
        FormAcercade acerca;
        QCOMPARE(acerca.size(), QSize(283, 170));
        QLabel* version = acerca.etiquetaVersion();
        QCOMPARE(version->text(), QStringLiteral("v 1.0.0"));
        QCOMPARE(version->geometry(), QRect(192, 152, 73, 17));
        QCOMPARE(version->alignment(), Qt::AlignRight | Qt::AlignTop);
        QVERIFY(version->font().bold());

        acerca.show();
        QVERIFY(QTest::qWaitForWindowExposed(&acerca));
        // A click on the version text is the label's own: the box stays.
        QTest::mouseClick(version, Qt::LeftButton);
        QVERIFY(acerca.isVisible());
        QTest::keyClick(&acerca, Qt::Key_Escape); // no keys of its own
        QVERIFY(acerca.isVisible());
    }

    void acercaDeSeCierra_data() {
        QTest::addColumn<int>("boton");
        QTest::addColumn<bool>("cierra");
        QTest::newRow("left") << int(Qt::LeftButton) << true;
        QTest::newRow("right") << int(Qt::RightButton) << true;
        QTest::newRow("middle") << int(Qt::MiddleButton) << false;
    }

    void acercaDeSeCierra() {
        QFETCH(int, boton);
        QFETCH(bool, cierra);
        FormAcercade acerca;
        acerca.show();
        QVERIFY(QTest::qWaitForWindowExposed(&acerca));
        QTest::mouseClick(&acerca, Qt::MouseButton(boton), {}, QPoint(20, 20));
        QCOMPARE(acerca.isVisible(), !cierra);
        if (cierra) {
            QCOMPARE(acerca.result(), int(QDialog::Accepted));
        }
    }
};

QTEST_MAIN(TstApp)
#include "tst_app.moc"
