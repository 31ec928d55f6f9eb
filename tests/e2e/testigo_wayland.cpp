// A native window of one known colour for the end-to-end tests in a Wayland session, run with
// QT_QPA_PLATFORM=wayland: what a capture through XWayland cannot see. Prints each button press
// it receives, so a test knows a click reached it.
//   testigo_wayland R G B
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <cstdio>

namespace {
class Testigo : public QWidget {
public:
    explicit Testigo(const QColor& color) : m_color(color) {
        setWindowTitle(QStringLiteral("testigo_wayland"));
        resize(600, 400);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), m_color); }
    void mousePressEvent(QMouseEvent* evento) override {
        std::printf("pulsado %d\n", static_cast<int>(evento->button()));
        std::fflush(stdout);
    }

private:
    QColor m_color;
};
} // namespace

int main(int argc, char** argv) {
    QApplication aplicacion(argc, argv);
    const QStringList args = QApplication::arguments();
    Testigo testigo(QColor(args.value(1).toInt(), args.value(2).toInt(), args.value(3).toInt()));
    testigo.show();
    return QApplication::exec();
}
