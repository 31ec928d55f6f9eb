#include "Estilo.h"
#include "TeclasDibujo.h"
#include "Ventanas.h"

#include <QSet>
#include <QTest>

using T = TeclasDibujo::Efecto::Tipo;
Q_DECLARE_METATYPE(TeclasDibujo::Efecto::Tipo)

// The canvas's keys and wheel, as a table of what each key does.
class TstTeclasDibujo : public QObject {
    Q_OBJECT
private slots:
    void deTecla_data() {
        QTest::addColumn<int>("tecla");
        QTest::addColumn<int>("modificadores");
        QTest::addColumn<T>("tipo");
        QTest::addColumn<int>("valor");
        const int nada = Qt::NoModifier;
        const int mayus = Qt::ShiftModifier;
        const int teclado = Qt::KeypadModifier;
        const int ctrl = Qt::ControlModifier;
        QTest::newRow("1 brush") << int(Qt::Key_1) << nada << T::Herramienta
                                 << int(Herramienta::Pincel);
        QTest::newRow("2 line") << int(Qt::Key_2) << nada << T::Herramienta
                                << int(Herramienta::Linea);
        QTest::newRow("3 rectangle")
            << int(Qt::Key_3) << nada << T::Herramienta << int(Herramienta::Rectangulo);
        QTest::newRow("4 circle") << int(Qt::Key_4) << nada << T::Herramienta
                                  << int(Herramienta::Circulo);
        QTest::newRow("5 text") << int(Qt::Key_5) << nada << T::Herramienta
                                << int(Herramienta::Texto);
        QTest::newRow("3 on the keypad")
            << int(Qt::Key_3) << teclado << T::Herramienta << int(Herramienta::Rectangulo);
        QTest::newRow("Shift+3, as AZERTY types 3")
            << int(Qt::Key_3) << mayus << T::Herramienta << int(Herramienta::Rectangulo);
        QTest::newRow("6 arrow") << int(Qt::Key_6) << nada << T::Herramienta
                                 << int(Herramienta::Flecha);
        QTest::newRow("7 highlighter")
            << int(Qt::Key_7) << nada << T::Herramienta << int(Herramienta::Resaltador);
        QTest::newRow("8 fading ink")
            << int(Qt::Key_8) << nada << T::Herramienta << int(Herramienta::Laser);
        QTest::newRow("no tool yet on 9") << int(Qt::Key_9) << nada << T::Ninguno << 0;
        QTest::newRow("0 is nothing") << int(Qt::Key_0) << nada << T::Ninguno << 0;

        QTest::newRow("R red") << int(Qt::Key_R) << nada << T::Color << 0x0000FF;
        QTest::newRow("G green") << int(Qt::Key_G) << nada << T::Color << 0x00FF00;
        QTest::newRow("B blue") << int(Qt::Key_B) << nada << T::Color << 0xFF0000;
        QTest::newRow("Y yellow") << int(Qt::Key_Y) << nada << T::Color << 0x00FFFF;
        QTest::newRow("O orange") << int(Qt::Key_O) << nada << T::Color << 0x0080FF;
        QTest::newRow("P pink") << int(Qt::Key_P) << nada << T::Color << 0xB469FF;
        QTest::newRow("Shift+B: capitals are the same letter")
            << int(Qt::Key_B) << mayus << T::Color << 0xFF0000;
        QTest::newRow("W left for a white board") << int(Qt::Key_W) << nada << T::Ninguno << 0;
        QTest::newRow("K left for a black board") << int(Qt::Key_K) << nada << T::Ninguno << 0;

        QTest::newRow("+") << int(Qt::Key_Plus) << mayus << T::Grosor << 1;
        QTest::newRow("= beside it, unshifted") << int(Qt::Key_Equal) << nada << T::Grosor << 1;
        QTest::newRow("keypad +") << int(Qt::Key_Plus) << teclado << T::Grosor << 1;
        QTest::newRow("-") << int(Qt::Key_Minus) << nada << T::Grosor << -1;
        QTest::newRow("keypad -") << int(Qt::Key_Minus) << teclado << T::Grosor << -1;

        QTest::newRow("F1") << int(Qt::Key_F1) << nada << T::Ayuda << 0;
        QTest::newRow("?") << int(Qt::Key_Question) << mayus << T::Ayuda << 0;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << nada << T::Salir << 0;
        QTest::newRow("Ctrl+Alt+Esc")
            << int(Qt::Key_Escape) << int(Qt::ControlModifier | Qt::AltModifier) << T::Salir << 0;

        // Keys held with Ctrl, Alt or Meta belong to other commands (Ctrl+C copies, Ctrl+S
        // saves), never to a colour or a tool.
        QTest::newRow("Ctrl+C") << int(Qt::Key_C) << ctrl << T::Ninguno << 0;
        QTest::newRow("Ctrl+B") << int(Qt::Key_B) << ctrl << T::Ninguno << 0;
        QTest::newRow("Alt+1") << int(Qt::Key_1) << int(Qt::AltModifier) << T::Ninguno << 0;
        QTest::newRow("Ctrl++") << int(Qt::Key_Plus) << ctrl << T::Ninguno << 0;
        QTest::newRow("Delete, the shape's own") << int(Qt::Key_Delete) << nada << T::Ninguno << 0;
    }
    void deTecla() {
        QFETCH(int, tecla);
        QFETCH(int, modificadores);
        QFETCH(T, tipo);
        QFETCH(int, valor);
        const TeclasDibujo::Efecto efecto =
            TeclasDibujo::deTecla(tecla, Qt::KeyboardModifiers(modificadores));
        QCOMPARE(efecto.tipo, tipo);
        QCOMPARE(efecto.valor, valor);
    }

    // The thickness stays within the palette's limits, 1 to 200.
    void grosorTras_data() {
        QTest::addColumn<int>("grosor");
        QTest::addColumn<int>("cambio");
        QTest::addColumn<int>("esperado");
        QTest::newRow("thicker") << 10 << 1 << 11;
        QTest::newRow("thinner") << 10 << -1 << 9;
        QTest::newRow("not below 1") << 1 << -1 << 1;
        QTest::newRow("5 down from 3 stops at 1") << 3 << -5 << 1;
        QTest::newRow("not above 200") << 200 << 1 << 200;
        QTest::newRow("5 up from 198 stops at 200") << 198 << 5 << 200;
    }
    void grosorTras() {
        QFETCH(int, grosor);
        QFETCH(int, cambio);
        QFETCH(int, esperado);
        QCOMPARE(TeclasDibujo::grosorTras(grosor, cambio), esperado);
    }

    // The wheel's turns, as they arrive, and the change in thickness each one completes.
    void rueda_data() {
        QTest::addColumn<QList<int>>("giros"); // eighths of a degree
        QTest::addColumn<bool>("mayus");
        QTest::addColumn<QList<int>>("cambios");
        QTest::newRow("a notch up") << QList<int>{120} << false << QList<int>{1};
        QTest::newRow("a notch down") << QList<int>{-120} << false << QList<int>{-1};
        QTest::newRow("with Shift, 5") << QList<int>{120, -120} << true << QList<int>{5, -5};
        QTest::newRow("two notches at once") << QList<int>{240} << false << QList<int>{2};
        QTest::newRow("a fine wheel: a notch in quarters")
            << QList<int>{30, 30, 30, 30, 30} << false << QList<int>{0, 0, 0, 1, 0};
        QTest::newRow("turned back halfway: what was left goes")
            << QList<int>{60, -60, -60} << false << QList<int>{0, 0, -1};
    }
    void rueda() {
        QFETCH(QList<int>, giros);
        QFETCH(bool, mayus);
        QFETCH(QList<int>, cambios);
        TeclasDibujo::Rueda rueda;
        QList<int> hechos;
        for (const int giro : giros) {
            hechos << rueda.girar(giro, mayus ? Qt::ShiftModifier : Qt::NoModifier);
        }
        QCOMPARE(hechos, cambios);
    }

    // The help names every key that does something, and every tool and colour once.
    void ayudaCompleta() {
        const QList<TeclasDibujo::Linea> lineas = TeclasDibujo::ayuda();
        QString todo;
        for (const TeclasDibujo::Linea& linea : lineas) {
            QVERIFY(!linea.teclas.isEmpty() && !linea.que.isEmpty());
            todo += linea.teclas + QLatin1Char('\n') + linea.que + QLatin1Char('\n');
        }
        for (const char* texto :
             {"Pincel", "Línea", "Rectángulo", "Círculo", "Texto", "rojo", "verde", "azul",
              "amarillo", "naranja", "rosa", "Esc", "F1", "Ctrl+Z", "Ctrl+S", "Ctrl+C", "Supr"}) {
            QVERIFY2(todo.contains(QString::fromUtf8(texto)), texto);
        }
        // Every key the table knows is listed.
        for (const int tecla : {Qt::Key_R, Qt::Key_G, Qt::Key_B, Qt::Key_Y, Qt::Key_O, Qt::Key_P}) {
            QVERIFY(todo.contains(QChar(tecla)));
        }
    }
};

QTEST_GUILESS_MAIN(TstTeclasDibujo)
#include "tst_teclas_dibujo.moc"
