#include "ReglasPaleta.h"
#include "TiraColor.h"
#include "Unidades.h"

#include <QColor>
#include <QImage>
#include <QTest>
#include <vector>

namespace {

int rgb(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}

// The strip written out as its runs, independently of how the program computes it.
std::vector<int> tiraEsperada() {
    const std::vector<int> L{7,   14,  21,  28,  34,  40,  47,  53,  59,  65,  71,  76,  82,  88,
                             93,  99,  104, 110, 115, 121, 126, 132, 137, 142, 148, 153, 159, 165,
                             170, 176, 182, 187, 193, 199, 205, 211, 218, 224, 231, 237, 244};
    const std::vector<int> Linv(L.rbegin(), L.rend());
    std::vector<int> filas;
    auto repetir = [&](int veces, int color) { filas.insert(filas.end(), veces, color); };
    auto tramo = [&](const std::vector<int>& valores, auto color) {
        for (int v : valores) {
            filas.push_back(color(v));
        }
    };
    repetir(1, rgb(255, 0, 0));
    tramo(L, [](int v) { return rgb(255, v, 0); });
    repetir(2, rgb(255, 255, 0));
    tramo(Linv, [](int v) { return rgb(v, 255, 0); });
    repetir(2, rgb(0, 255, 0));
    tramo(L, [](int v) { return rgb(0, 255, v); });
    repetir(1, rgb(0, 255, 255));
    tramo(Linv, [](int v) { return rgb(0, v, 255); });
    repetir(2, rgb(0, 0, 255));
    tramo(L, [](int v) { return rgb(v, 0, 255); });
    repetir(2, rgb(255, 0, 255));
    tramo(Linv, [](int v) { return rgb(255, 0, v); });
    repetir(6, 0);
    repetir(6, 16777215);
    return filas;
}

} // namespace

class TstReglasPaleta : public QObject {
    Q_OBJECT
private slots:
    void tiraCompleta() {
        const std::vector<int> esperada = tiraEsperada();
        QCOMPARE(static_cast<int>(esperada.size()), TiraColor::Alto);
        const QImage tira = TiraColor::imagen();
        QCOMPARE(tira.size(), QSize(12, 268));
        for (int fila = 0; fila < TiraColor::Alto; ++fila) {
            QCOMPARE(TiraColor::colorFila(fila), esperada[fila]);
            for (int x = 0; x < TiraColor::Ancho; ++x) {
                QCOMPARE(Unidades::rgbDesdeColor(QColor(tira.pixel(x, fila))), esperada[fila]);
            }
        }
    }

    void filas_data() {
        QTest::addColumn<int>("fila");
        QTest::addColumn<int>("color");
        QTest::newRow("top: red") << 0 << 255;
        QTest::newRow("first of L") << 1 << rgb(255, 7, 0);
        QTest::newRow("last of L") << 41 << rgb(255, 244, 0);
        QTest::newRow("yellow pair") << 43 << rgb(255, 255, 0);
        QTest::newRow("L' starts high") << 44 << rgb(244, 255, 0);
        QTest::newRow("L' ends low") << 84 << rgb(7, 255, 0);
        QTest::newRow("cyan") << 128 << 16776960;
        QTest::newRow("after cyan, L'") << 129 << rgb(0, 244, 255);
        QTest::newRow("blue pair") << 171 << rgb(0, 0, 255);
        QTest::newRow("magenta pair") << 213 << rgb(255, 0, 255);
        QTest::newRow("last colour row") << 255 << rgb(255, 0, 7);
        QTest::newRow("black first") << 256 << 0;
        QTest::newRow("black last") << 261 << 0;
        QTest::newRow("white first") << 262 << 16777215;
        QTest::newRow("white last") << 267 << 16777215;
        QTest::newRow("above") << -1 << -1;
        QTest::newRow("below") << 268 << -1;
    }
    void filas() {
        QFETCH(int, fila);
        QFETCH(int, color);
        QCOMPARE(TiraColor::colorFila(fila), color);
    }

    // What a press on the box picks: the strip inside the border, the border itself, and the
    // box's background where the box is larger than strip and border.
    void caja_data() {
        QTest::addColumn<QSize>("caja");
        QTest::addColumn<QPoint>("punto");
        QTest::addColumn<int>("color");
        const QSize justa(14, 270);
        QTest::newRow("strip top-left") << justa << QPoint(1, 1) << 255;
        QTest::newRow("strip row 128") << justa << QPoint(12, 129) << 16776960;
        QTest::newRow("strip bottom-right") << justa << QPoint(12, 268) << 16777215;
        QTest::newRow("border corner") << justa << QPoint(0, 0) << TiraColor::ColorBorde;
        QTest::newRow("border right") << justa << QPoint(13, 100) << TiraColor::ColorBorde;
        QTest::newRow("border bottom") << justa << QPoint(5, 269) << TiraColor::ColorBorde;
        QTest::newRow("outside") << justa << QPoint(14, 10) << -1;
        QTest::newRow("room beside") << QSize(20, 300) << QPoint(15, 10) << TiraColor::ColorFondo;
        QTest::newRow("room below") << QSize(20, 300) << QPoint(5, 280) << TiraColor::ColorFondo;
    }
    void caja() {
        QFETCH(QSize, caja);
        QFETCH(QPoint, punto);
        QFETCH(int, color);
        QCOMPARE(TiraColor::colorEnCaja(TiraColor::imagenCaja(caja), punto), color);
    }

    void grosor_data() {
        QTest::addColumn<QString>("entrada");
        QTest::addColumn<int>("grosor"); // 0: dropped
        QTest::newRow("upper limit") << "200" << 200;
        QTest::newRow("lower limit") << "1" << 1;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("above") << "201" << 0;
        QTest::newRow("leading zeros") << "007" << 7;
        QTest::newRow("all zeros") << "000" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("letters") << "abc" << 0;
        QTest::newRow("negative") << "-5" << 0;
        QTest::newRow("plus sign") << "+5" << 0;
        QTest::newRow("leading space") << " 12" << 0;
        QTest::newRow("trailing space") << "12 " << 0;
        QTest::newRow("exponent") << "1e2" << 0;
        QTest::newRow("fraction") << "3.5" << 0;
        QTest::newRow("hex") << "0x5" << 0;
        QTest::newRow("arabic-indic digits") << QStringLiteral("\u0663") << 0;
        QTest::newRow("huge") << "99999999999999999999" << 0;
    }
    void grosor() {
        QFETCH(QString, entrada);
        QFETCH(int, grosor);
        QCOMPARE(ReglasPaleta::grosorAceptado(entrada).value_or(0), grosor);
    }

    void tamFuente_data() {
        QTest::addColumn<QString>("entrada");
        QTest::addColumn<int>("tam");
        QTest::newRow("5 rises to 8") << "5" << 8;
        QTest::newRow("0 rises to 8") << "0" << 8;
        QTest::newRow("008") << "008" << 8;
        QTest::newRow("in range") << "12" << 12;
        QTest::newRow("upper limit") << "200" << 200;
        QTest::newRow("250 falls to 200") << "250" << 200;
        QTest::newRow("999 falls to 200") << "999" << 200;
        QTest::newRow("empty gives 40") << "" << 40;
        QTest::newRow("pasted letters") << "abc" << 40;
        QTest::newRow("pasted negative") << "-5" << 40;
        QTest::newRow("pasted space") << " 12" << 40;
        QTest::newRow("pasted fraction") << "3.5" << 40;
        QTest::newRow("huge") << "99999999999999999999" << 200;
    }
    void tamFuente() {
        QFETCH(QString, entrada);
        QFETCH(int, tam);
        QCOMPARE(ReglasPaleta::tamFuente(entrada), tam);
    }

    void indiceFuente_data() {
        QTest::addColumn<QStringList>("fuentes");
        QTest::addColumn<QString>("fuente");
        QTest::addColumn<int>("indice");
        const QStringList lista{"DejaVu Sans", "Arial", "ARIAL", "Liberation Sans"};
        QTest::newRow("exact") << lista << "Liberation Sans" << 3;
        QTest::newRow("lower case") << lista << "arial" << 1;
        QTest::newRow("first match wins") << lista << "ARIAL" << 1;
        QTest::newRow("no match") << lista << "Arial Black" << -1;
        QTest::newRow("prefix is no match") << lista << "Aria" << -1;
        QTest::newRow("empty setting") << lista << "" << -1;
        QTest::newRow("no fonts") << QStringList() << "Arial" << -1;
    }
    void indiceFuente() {
        QFETCH(QStringList, fuentes);
        QFETCH(QString, fuente);
        QFETCH(int, indice);
        QCOMPARE(ReglasPaleta::indiceFuente(fuentes, fuente), indice);
    }

    // The palette (159 x 288) opens with its corner at the click, moved inward to show whole on
    // the monitor clicked.
    void lugarPaleta_data() {
        QTest::addColumn<QPoint>("clic");
        QTest::addColumn<QRect>("monitor");
        QTest::addColumn<QPoint>("lugar");
        const QRect pantalla(0, 0, 1920, 1080);
        const QRect derecha(1920, 0, 1280, 1024); // right of it, smaller
        QTest::newRow("in the middle") << QPoint(900, 500) << pantalla << QPoint(900, 500);
        QTest::newRow("near the right edge") << QPoint(1850, 300) << pantalla << QPoint(1761, 300);
        QTest::newRow("near the bottom") << QPoint(300, 1000) << pantalla << QPoint(300, 792);
        QTest::newRow("in the bottom-right corner")
            << QPoint(1919, 1079) << pantalla << QPoint(1761, 792);
        QTest::newRow("exactly fits") << QPoint(1761, 792) << pantalla << QPoint(1761, 792);
        QTest::newRow("on the second monitor, near its right edge")
            << QPoint(3190, 20) << derecha << QPoint(3041, 20);
        QTest::newRow("on the second monitor, near its left edge")
            << QPoint(1921, 900) << derecha << QPoint(1921, 736);
        QTest::newRow("a monitor smaller than the palette")
            << QPoint(50, 50) << QRect(0, 0, 100, 100) << QPoint(0, 0);
    }
    void lugarPaleta() {
        QFETCH(QPoint, clic);
        QFETCH(QRect, monitor);
        QFETCH(QPoint, lugar);
        QCOMPARE(ReglasPaleta::lugarPaleta(clic, QSize(159, 288), monitor), lugar);
    }
};

QTEST_MAIN(TstReglasPaleta)
#include "tst_reglas_paleta.moc"
