// A window for the end-to-end tests of the window helpers: a red frame around a key-coloured
// hole, made transparent, draggable and topmost exactly as the program's shape windows are.
#include "Estilo.h"
#include "Plataforma.h"
#include "Unidades.h"
#include "Ventanas.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace {
class Marco : public QWidget {
public:
    // A shape window as far as the desktop is concerned: borderless, topmost from the start.
    Marco() {
        Plataforma::actual().prepararVentana(this, Papel::Forma);
        setWindowTitle(QStringLiteral("ventana_prueba"));
        setGeometry(400, 300, 300, 200);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::red);
        p.fillRect(rect().adjusted(20, 20, -20, -20), Unidades::colorDesdeRGB(ColorClave));
    }
};
} // namespace

int main(int argc, char** argv) {
    Plataforma::PrepararEntorno();
    QApplication aplicacion(argc, argv);
    Marco marco;
    HacerTransparente(&marco, ColorClave);
    ArrastrarVentana(&marco);
    marco.show();
    SiempreEncima(&marco, true);
    return QApplication::exec();
}
