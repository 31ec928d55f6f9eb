#include "Form1.h"
#include "FormAcercade.h"
#include "FormFondo.h"
#include "modGeneral.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>

class TstApp : public QObject {
    Q_OBJECT
private slots:
    void arranqueAsignaValores() {
        modGeneral::Grosor = 0;
        modGeneral::Fuente.clear();
        Form1 form;
        QCOMPARE(modGeneral::Grosor, 10);
        QCOMPARE(modGeneral::Color, 255);
        QCOMPARE(modGeneral::Fuente, QStringLiteral("Arial"));
        QCOMPARE(form.iconoBandeja()->toolTip(), QStringLiteral("Tizo"));
        const QList<QSize> tamanos = form.iconoBandeja()->icon().availableSizes();
        for (const QSize lado : {QSize(16, 16), QSize(32, 32), QSize(48, 48)}) {
            QVERIFY2(tamanos.contains(lado), qPrintable(QString::number(lado.width())));
        }
    }

    void menu() {
        Form1 form;
        const QList<QAction*> acciones = form.menu()->actions();
        const QStringList esperados = {QStringLiteral(" Tizo"),
                                       QStringLiteral(" Dibujar Fondo"),
                                       QStringLiteral(" Borrar Todo"),
                                       QString(),
                                       QStringLiteral(" Mostrar / Ocultar"),
                                       QString(),
                                       QStringLiteral(" Salir")};
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
        QVERIFY(version->alignment().testFlag(Qt::AlignRight));
        QVERIFY(version->font().bold());

        acerca.show();
        QVERIFY(QTest::qWaitForWindowExposed(&acerca));
        // A click on the version text is the label's own: the box stays.
        QTest::mouseClick(version, Qt::LeftButton);
        QVERIFY(acerca.isVisible());
        QTest::keyClick(&acerca, Qt::Key_Escape); // no keys of its own
        QVERIFY(acerca.isVisible());
        QTest::mouseClick(&acerca, Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(!acerca.isVisible());
        QCOMPARE(acerca.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TstApp)
#include "tst_app.moc"
