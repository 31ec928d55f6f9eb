#include "PlataformaXWayland.h"
#include "ServidorX.h"

#include <QColor>
#include <QRect>
#include <QTest>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

class TstServidorX : public QObject {
    Q_OBJECT
private slots:
    // A colour as the pixel a true-colour window of each common layout takes: channels scaled
    // to their masks, and a deeper visual's spare bits (its alpha) all set.
    void pixel_data() {
        QTest::addColumn<int>("profundidad");
        QTest::addColumn<qulonglong>("rojo");
        QTest::addColumn<qulonglong>("verde");
        QTest::addColumn<qulonglong>("azul");
        QTest::addColumn<QColor>("color");
        QTest::addColumn<qulonglong>("esperado");
        QTest::newRow("24 bits, red")
            << 24 << 0xFF0000ULL << 0xFF00ULL << 0xFFULL << QColor(255, 0, 0) << 0xFF0000ULL;
        QTest::newRow("24 bits, key colour")
            << 24 << 0xFF0000ULL << 0xFF00ULL << 0xFFULL << QColor(123, 22, 153) << 0x7B1699ULL;
        QTest::newRow("32 bits, opaque")
            << 32 << 0xFF0000ULL << 0xFF00ULL << 0xFFULL << QColor(0, 0, 255) << 0xFF0000FFULL;
        QTest::newRow("16 bits, white")
            << 16 << 0xF800ULL << 0x7E0ULL << 0x1FULL << QColor(255, 255, 255) << 0xFFFFULL;
        QTest::newRow("16 bits, mid grey")
            << 16 << 0xF800ULL << 0x7E0ULL << 0x1FULL << QColor(128, 128, 128) << 0x8410ULL;
        QTest::newRow("BGR order")
            << 24 << 0xFFULL << 0xFF00ULL << 0xFF0000ULL << QColor(255, 0, 0) << 0xFFULL;
    }
    void pixel() {
        QFETCH(int, profundidad);
        QFETCH(qulonglong, rojo);
        QFETCH(qulonglong, verde);
        QFETCH(qulonglong, azul);
        QFETCH(QColor, color);
        QFETCH(qulonglong, esperado);
        Visual visual{};
        visual.c_class = TrueColor;
        visual.red_mask = rojo;
        visual.green_mask = verde;
        visual.blue_mask = azul;
        const ServidorX::Formato formato{&visual, profundidad, 0};
        QCOMPARE(qulonglong(ServidorX::pixel(nullptr, formato, color)), esperado);
    }

    // A window's logical pixels in the server's: never short of what was asked.
    void aNativo_data() {
        QTest::addColumn<QRect>("logico");
        QTest::addColumn<double>("escala");
        QTest::addColumn<QRect>("nativo");
        QTest::newRow("unscaled") << QRect(3, 4, 10, 20) << 1.0 << QRect(3, 4, 10, 20);
        QTest::newRow("twice") << QRect(3, 4, 10, 20) << 2.0 << QRect(6, 8, 20, 40);
        QTest::newRow("one and a half, outwards")
            << QRect(3, 3, 3, 3) << 1.5 << QRect(4, 4, 5, 5); // 4.5 .. 9 -> 4 .. 9
    }
    void aNativo() {
        QFETCH(QRect, logico);
        QFETCH(double, escala);
        QFETCH(QRect, nativo);
        QCOMPARE(ServidorX::aNativo(logico, escala), nativo);
    }

    // Which X servers are XWayland: as the server says, whatever the session's variables.
    void esXWayland_data() {
        QTest::addColumn<bool>("extension");
        QTest::addColumn<QStringList>("pantallas");
        QTest::addColumn<bool>("esperado");
        QTest::newRow("XWayland 23.1 on: its extension") << true << QStringList{"DP-1"} << true;
        QTest::newRow("older XWayland: its screens' names")
            << false << QStringList{"XWAYLAND0", "XWAYLAND1"} << true;
        QTest::newRow("a second screen of XWayland's")
            << false << QStringList{"", "XWAYLAND1"} << true;
        QTest::newRow("a real X server") << false << QStringList{"HDMI-1", "DP-2"} << false;
        QTest::newRow("Xvfb") << false << QStringList{"screen"} << false;
        QTest::newRow("no screen yet") << false << QStringList{} << false;
    }
    void esXWayland() {
        QFETCH(bool, extension);
        QFETCH(QStringList, pantallas);
        QFETCH(bool, esperado);
        QCOMPARE(PlataformaXWayland::esXWayland(extension, pantallas), esperado);
    }

    // Window managers of XWayland that ignore shapes, positions and the above state.
    void ignoraFormas_data() {
        QTest::addColumn<QString>("gestor");
        QTest::addColumn<bool>("esperado");
        QTest::newRow("sway, river, labwc, wayfire") << "wlroots wm" << true;
        QTest::newRow("GNOME") << "GNOME Shell" << false;
        QTest::newRow("KDE Plasma") << "KWin" << false;
        QTest::newRow("no window manager yet") << "" << false;
    }
    void ignoraFormas() {
        QFETCH(QString, gestor);
        QFETCH(bool, esperado);
        QCOMPARE(PlataformaXWayland::ignoraFormas(gestor), esperado);
    }

    // Compositors that show the whole box of a shaped window: there shapes are drawn clear
    // outside their strokes.
    void muestraLaCaja_data() {
        QTest::addColumn<QString>("gestor");
        QTest::addColumn<bool>("esperado");
        QTest::newRow("sway, river, labwc, wayfire") << "wlroots wm" << true;
        QTest::newRow("KDE Plasma") << "KWin" << true;
        QTest::newRow("GNOME: mutter keeps to the shape") << "GNOME Shell" << false;
        QTest::newRow("no window manager yet") << "" << false;
    }
    void muestraLaCaja() {
        QFETCH(QString, gestor);
        QFETCH(bool, esperado);
        QCOMPARE(PlataformaXWayland::muestraLaCaja(gestor), esperado);
    }
};

QTEST_MAIN(TstServidorX)
#include "tst_servidor_x.moc"
