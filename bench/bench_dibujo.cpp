// Timings and memory of drawing mode against the real classes, on a real X server (run it through
// bench/ejecutar.sh, which starts Xvfb at the size asked for, and openbox). It drives the canvas
// with the mouse events its handlers receive, and takes a thing as shown once its pixels can be
// read back from the root window:
//
//   - " Dibujar Fondo" until the canvas's exit image is on the screen, called and chosen in the
//     tray menu;
//   - a release until the new shape window's strokes are on the screen: a rectangle, and a brush
//     stroke of 5,000 points across the screen;
//   - the process's resident memory per screen-wide brush shape, and after " Borrar Todo";
//   - the canvas's work per brush move, early and late in one long stroke, and the area each
//     repaint covers while drawing;
//   - smooth ink, where a compositor blends windows: the same brush release, next to it in 1-bit
//     ink under the same compositor (smooth ink turned off), memory per shape, and the CPU a
//     stroke of fading ink takes once it has gone. Without a compositor
//     from the start, picom runs for this part alone, so one run shows the smooth brush next to
//     the 1-bit one.
//
// With TIZO_BENCH_XVFB naming the X server's process, the memory rows give its growth too: the
// pictures of smooth shapes live there.

#include "Estilo.h"
#include "Form1.h"
#include "FormFondo.h"
#include "FormVentana.h"
#include "Memoria.h"
#include "Plataforma.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPixmap>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

QElapsedTimer reloj; // since the start

// When the X server last sent the program anything (reloj, ns).
class EventosX : public QAbstractNativeEventFilter {
public:
    qint64 ultimo = 0;
    bool nativeEventFilter(const QByteArray&, void*, qintptr*) override {
        ultimo = reloj.nsecsElapsed();
        return false;
    }
};
EventosX* eventosX = nullptr;

// Watches every paint of the program's windows.
class Pinturas : public QObject {
public:
    int fondo = 0; // paints of the canvas
    int otra = 0;  // paints of any other window
    qint64 areaMaxima = 0;
    qint64 areaTotal = 0;
    bool registrarAreas = false;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        if (evento->type() != QEvent::Paint) {
            return false;
        }
        // Only paints that reach the screen count: a window that is not exposed yet may be
        // rendered off screen (a grab), which shows nothing.
        auto* w = qobject_cast<QWidget*>(objeto);
        if (!w || !w->window()->windowHandle() || !w->window()->windowHandle()->isExposed()) {
            return false;
        }
        if (qobject_cast<FormFondo*>(objeto)) {
            ++fondo;
            if (registrarAreas) {
                qint64 area = 0;
                for (const QRect& r : static_cast<QPaintEvent*>(evento)->region()) {
                    area += qint64(r.width()) * r.height();
                }
                areaMaxima = std::max(areaMaxima, area);
                areaTotal += area;
            }
        } else if (w->isWindow() && !qobject_cast<FormVentana*>(objeto)) {
            ++otra;
        }
        return false;
    }
};

Pinturas* pinturas = nullptr;

// The colours the shapes and the exit image show.
const QColor Rojo(255, 0, 0);
const QColor Azul(0, 0, 255);
const QColor RojoSalida(215, 40, 40); // inside the exit image's disc
constexpr int ColorAzul = 16711680;

double ms(qint64 ns) {
    return double(ns) / 1e6;
}

double mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// A process's resident memory, MB: this one's unless another is named.
double rss(const QString& proceso = QStringLiteral("self")) {
    QFile estado(QStringLiteral("/proc/%1/status").arg(proceso));
    if (!estado.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& linea : estado.readAll().split('\n')) {
        if (linea.startsWith("VmRSS:")) {
            return linea.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
        }
    }
    return 0;
}

// The X server's resident memory, MB; 0 unless bench/ejecutar.sh named its process.
double rssServidor() {
    const QString proceso = qEnvironmentVariable("TIZO_BENCH_XVFB");
    return proceso.isEmpty() ? 0 : rss(proceso);
}

// The CPU time the process has taken so far, all its threads, in clock ticks (utime + stime).
long long ticksCpu() {
    QFile estado(QStringLiteral("/proc/self/stat"));
    if (!estado.open(QIODevice::ReadOnly)) {
        return -1;
    }
    // The name, in parentheses, may hold spaces: the fields are counted after it.
    const QByteArray linea = estado.readAll();
    const QList<QByteArray> campos = linea.mid(linea.lastIndexOf(')') + 2).split(' ');
    if (campos.size() < 13) {
        return -1;
    }
    return campos.at(11).toLongLong() + campos.at(12).toLongLong(); // fields 14 and 15
}

// The same to the nanosecond the scheduler keeps, ms: a tick is 10 ms, and a handful of short
// wake-ups may add up to none.
double cpuExacto() {
    double total = 0;
    const QDir hilos(QStringLiteral("/proc/self/task"));
    for (const QString& hilo : hilos.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile cuenta(hilos.filePath(hilo + QStringLiteral("/schedstat")));
        if (cuenta.open(QIODevice::ReadOnly)) {
            total += cuenta.readAll().split(' ').value(0).toDouble() / 1e6;
        }
    }
    return total;
}

struct Consumo {
    long long ticks = -1;
    double ms = 0;
};

// What the process takes over `milisegundos` of an event loop that sleeps until something
// happens, as the program's own does.
Consumo consumoEnReposo(int milisegundos) {
    QEventLoop bucle;
    QTimer::singleShot(milisegundos, &bucle, &QEventLoop::quit);
    const long long ticks = ticksCpu();
    const double exacto = cpuExacto();
    bucle.exec();
    return {ticksCpu() - ticks, cpuExacto() - exacto};
}

// What the X server shows at a point of the screen (logical pixels), read back from the root.
QColor enPantalla(QPoint p) {
    const QImage pixel =
        QGuiApplication::primaryScreen()->grabWindow(0, p.x(), p.y(), 1, 1).toImage();
    return pixel.isNull() ? QColor() : pixel.pixelColor(0, 0);
}

// Runs the event loop until `hecho` holds. It spins rather than waits, so that it notices the
// moment the X server has the pixels.
template <typename F> void esperar(F hecho) {
    while (!hecho()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

// Runs the event loop until the X server has sent nothing for `calma` ms; gives the time of the
// last thing it sent (reloj, ms).
double hastaLaCalma(int calma) {
    qint64 ultimo = eventosX->ultimo;
    QElapsedTimer quieto;
    quieto.start();
    while (quieto.elapsed() < calma) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QGuiApplication::sync();
        if (eventosX->ultimo != ultimo) {
            ultimo = eventosX->ultimo;
            quieto.restart();
        }
    }
    return ms(ultimo);
}

void asentar(int milisegundos) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < milisegundos) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    QGuiApplication::sync();
}

FormFondo* lienzo() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* f = qobject_cast<FormFondo*>(w); f && f->isVisible()) {
            return f;
        }
    }
    return nullptr;
}

void raton(QWidget* w, QEvent::Type tipo, QPointF p, Qt::MouseButton boton,
           Qt::MouseButtons botones) {
    QMouseEvent evento(tipo, p, w->mapToGlobal(p), boton, botones, Qt::NoModifier);
    QApplication::sendEvent(w, &evento);
}
void pulsar(QWidget* w, QPointF p) {
    raton(w, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
}
void mover(QWidget* w, QPointF p) {
    raton(w, QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton);
}
void soltar(QWidget* w, QPointF p) {
    raton(w, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
}

// The screen in logical pixels; positions below are proportions of it, so that every size runs
// the same drawing.
QSize pantalla() {
    return QGuiApplication::primaryScreen()->size();
}
QPointF en(double x, double y) {
    return {x * pantalla().width(), y * pantalla().height()};
}

// A point of a wavy path across the screen, for the i-th of n moves; `fase` shifts the wave.
QPointF recorrido(int i, int n, double fase = 0) {
    const double t = double(i) / n;
    return en(0.01 + t * 0.94, 0.5 + 0.37 * std::sin(t * 6 * M_PI + fase));
}

QPoint enPixeles(QPointF p) {
    return {int(std::lround(p.x())), int(std::lround(p.y()))};
}

// Where the exit image shows its red disc.
QPoint puntoSalida(FormFondo* f) {
    return f->ImSalir()->mapToGlobal(QPoint(8, 24));
}

void abrirLienzo(Form1& form) {
    form.dibujarFondo();
    esperar([&] { return lienzo() && enPantalla(puntoSalida(lienzo())) == RojoSalida; });
}

struct Soltura {
    double manejador = 0; // the release handler: the shape window is built and shown in it
    double total = 0;     // until the shape's pixels are on the screen
};

// Releases the gesture in progress with the shape in blue, while the canvas previewed it in red,
// and waits until `comprobar` shows blue: the shape window, not the preview.
Soltura soltarHastaVentana(Estilo& estilo, FormFondo* f, QPointF donde, QPoint comprobar) {
    estilo.color = ColorAzul;
    QElapsedTimer t;
    t.start();
    soltar(f, donde);
    Soltura s;
    s.manejador = ms(t.nsecsElapsed());
    esperar([&] { return enPantalla(comprobar) == Azul; });
    s.total = ms(t.nsecsElapsed());
    estilo.color = 255;
    return s;
}

void borrarTodo(Form1& form, QPoint comprobar) {
    form.borrarTodo();
    esperar([&] { return enPantalla(comprobar) != Azul; });
}

// One brush stroke through n + 1 moves of the path.
QPoint trazo(FormFondo* f, int n, double fase = 0) {
    pulsar(f, recorrido(0, n, fase));
    for (int k = 0; k <= n; ++k) {
        mover(f, recorrido(k, n, fase));
    }
    return enPixeles(recorrido(n / 2, n, fase));
}

constexpr int Puntos = 5000; // of the brush stroke whose release is timed

struct Pinceles {
    std::vector<double> total, manejador;
};

// Release to a brush stroke of 5,000 points across the screen on the screen, 7 rounds. Null
// when the stroke did not get its points.
std::unique_ptr<Pinceles> medirPincel(Form1& form, FormFondo* f) {
    auto p = std::make_unique<Pinceles>();
    form.estilo().herramienta = Herramienta::Pincel;
    for (int i = 0; i < 7; ++i) {
        const QPoint medio = trazo(f, Puntos);
        asentar(50);
        // The press is a point of the stroke, and so is every move.
        if (f->gestos().Puntos().size() != Puntos + 2) {
            std::fprintf(stderr, "expected %d points, got %zu\n", Puntos + 2,
                         f->gestos().Puntos().size());
            return nullptr;
        }
        const Soltura t = soltarHastaVentana(form.estilo(), f, recorrido(Puntos, Puntos), medio);
        p->total.push_back(t.total);
        p->manejador.push_back(t.manejador);
        borrarTodo(form, medio);
        asentar(60);
    }
    return p;
}

constexpr int Formas = 50; // screen-wide shapes whose memory is measured

struct MemoriaFormas {
    double antes = 0, con = 0;                     // this process, MB
    double servidorAntes = 0, servidorCon = 0;     // the X server, MB (0: not named)
    double segundos = 0;                           // to draw them, one by one
    QPoint medio;                                  // a point of the last one
    double trasBorrar = 0, servidorTrasBorrar = 0; // once " Borrar Todo" took them
};

// 50 screen-wide brush shapes, drawn one by one and left on the screen. One shape first, so
// that what the first one loads for good is not counted.
MemoriaFormas memoriaPorForma(Form1& form, FormFondo* f) {
    MemoriaFormas m;
    form.estilo().herramienta = Herramienta::Pincel;
    m.medio = trazo(f, 400);
    soltarHastaVentana(form.estilo(), f, recorrido(400, 400), m.medio);
    borrarTodo(form, m.medio);
    asentar(200);
    m.antes = rss();
    m.servidorAntes = rssServidor();
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < Formas; ++i) {
        m.medio = trazo(f, 400, i * 0.1);
        soltarHastaVentana(form.estilo(), f, recorrido(400, 400, i * 0.1), m.medio);
    }
    m.segundos = ms(t.nsecsElapsed()) / 1000;
    asentar(200);
    m.con = rss();
    m.servidorCon = rssServidor();
    return m;
}

// After " Borrar Todo" of them, once everything has settled.
void anotarTrasBorrar(MemoriaFormas& m) {
    m.trasBorrar = rss();
    m.servidorTrasBorrar = rssServidor();
}

void imprimirFormas(const MemoriaFormas& m) {
    std::printf("  memory per screen-wide brush shape:          %7.3f  (%d shapes, %.1f -> %.1f)\n",
                (m.con - m.antes) / Formas, Formas, m.antes, m.con);
    if (m.servidorAntes > 0) {
        std::printf("    in the X server:                           %7.3f  (%.1f -> %.1f)\n",
                    (m.servidorCon - m.servidorAntes) / Formas, m.servidorAntes, m.servidorCon);
    }
    std::printf("  %d screen-wide brush shapes, one by one:     %7.2f s\n", Formas, m.segundos);
}

// Hidden shapes stay for an undo; a smooth one keeps its picture in the server meanwhile.
void imprimirTrasBorrar(const MemoriaFormas& m) {
    std::printf("  memory after Borrar Todo / before drawing:   %7.3f  (%.1f / %.1f)\n",
                m.trasBorrar / m.antes, m.trasBorrar, m.antes);
    if (m.servidorAntes > 0) {
        std::printf("    in the X server:                           %7.3f  (%.1f / %.1f)\n",
                    m.servidorTrasBorrar / m.servidorAntes, m.servidorTrasBorrar, m.servidorAntes);
    }
}

// Starts picom as bench/ejecutar.sh does, and waits until it holds the compositor's selection
// and has painted the screen once. Null when it does not start.
std::unique_ptr<QProcess> arrancarPicom() {
    auto picom = std::make_unique<QProcess>();
    picom->setStandardOutputFile(QProcess::nullDevice());
    picom->setStandardErrorFile(QProcess::nullDevice());
    picom->start(QStringLiteral("picom"), {QStringLiteral("--config"), QStringLiteral("/dev/null"),
                                           QStringLiteral("--backend"), QStringLiteral("xrender")});
    if (!picom->waitForStarted(3000)) {
        return nullptr;
    }
    QElapsedTimer t;
    t.start();
    while (!Plataforma::actual().TintaSuave()) {
        if (t.elapsed() > 5000 || picom->state() != QProcess::Running) {
            return nullptr;
        }
        asentar(20);
    }
    asentar(500);
    return picom;
}

void pararPicom(QProcess& picom) {
    picom.terminate();
    picom.waitForFinished(3000);
    esperar([] { return !Plataforma::actual().TintaSuave(); });
    asentar(200);
}

struct Efimera {
    double hastaIrse = -1; // release -> its window gone, ms (-1: it never went)
    Consumo antes;         // idle with the canvas open, before it
    Consumo despues;       // the same once it has gone
};

constexpr int Reposo = 3000; // ms of each idle measurement

// A stroke of fading ink: how long its window stays, and what the process takes idle before
// it and once it has gone. Nothing should be left running for it: no timer, no animation.
Efimera medirEfimera(Form1& form, FormFondo* f) {
    Efimera e;
    form.estilo().herramienta = Herramienta::Laser;
    asentar(200);
    e.antes = consumoEnReposo(Reposo);
    const QList<QWidget*> previas = QApplication::topLevelWidgets();
    const QPoint medio = trazo(f, 400);
    asentar(20);
    QElapsedTimer t;
    t.start();
    soltarHastaVentana(form.estilo(), f, recorrido(400, 400), medio);
    QPointer<FormVentana> ventana;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* v = qobject_cast<FormVentana*>(w); v && !previas.contains(w)) {
            ventana = v;
        }
    }
    const qint64 limite = form.estilo().esperaLaser + form.estilo().desvanecerLaser + 5000;
    // Gone is destroyed, not merely hidden or clear.
    esperar([&] { return ventana.isNull() || t.elapsed() > limite; });
    form.estilo().herramienta = Herramienta::Pincel;
    if (!ventana.isNull()) {
        return e;
    }
    e.hastaIrse = ms(t.nsecsElapsed());
    e.despues = consumoEnReposo(Reposo);
    return e;
}

} // namespace

int main(int argc, char** argv) {
    reloj.start();
    Memoria::PrepararAsignador();  // the same set-up as the program
    Plataforma::PrepararEntorno(); // the same platform set-up as the program
    QApplication aplicacion(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    Pinturas contador;
    pinturas = &contador;
    aplicacion.installEventFilter(&contador);
    EventosX x;
    eventosX = &x;
    aplicacion.installNativeEventFilter(&x);
    Form1 form;
    constexpr int Rondas = 25;
    asentar(200);
    const double memoriaInicial = rss();

    // " Dibujar Fondo" to the exit image on the screen.
    std::vector<double> apertura;
    for (int i = 0; i < Rondas + 2; ++i) {
        QElapsedTimer t;
        t.start();
        abrirLienzo(form);
        if (i >= 2) { // the first rounds warm caches up
            apertura.push_back(ms(t.nsecsElapsed()));
        }
        const QPoint salida = puntoSalida(lienzo());
        lienzo()->close();
        esperar([&] { return enPantalla(salida) != RojoSalida; });
        asentar(60);
    }
    const double memoriaTrasLienzos = rss(); // the canvas opened and closed, nothing drawn

    // The same chosen from the tray menu: the menu closes first, and with a compositor the
    // capture waits until the screen no longer shows it.
    std::vector<double> desdeMenu;
    for (int i = 0; i < Rondas + 2; ++i) {
        QMenu* menu = form.menu();
        menu->popup(QPoint(1700, 900));
        esperar([&] { return menu->windowHandle() && menu->windowHandle()->isExposed(); });
        asentar(30);
        menu->setActiveAction(menu->actions().at(1)); // " Dibujar Fondo"
        QElapsedTimer t;
        t.start();
        QKeyEvent intro(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(menu, &intro);
        esperar([&] { return lienzo() && enPantalla(puntoSalida(lienzo())) == RojoSalida; });
        if (i >= 2) {
            desdeMenu.push_back(ms(t.nsecsElapsed()));
        }
        const QPoint salida = puntoSalida(lienzo());
        lienzo()->close();
        esperar([&] { return enPantalla(salida) != RojoSalida; });
        asentar(60);
    }

    // What the window manager alone costs: a plain borderless topmost window of a rectangle
    // window's size, from show to its first paint.
    std::vector<double> base;
    for (int i = 0; i < Rondas + 2; ++i) {
        QWidget simple(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        simple.setGeometry(QRectF(en(0.2, 0.27), en(0.47, 0.65)).toRect());
        const int antes = contador.otra;
        QElapsedTimer t;
        t.start();
        simple.show();
        esperar([&] { return contador.otra > antes; });
        QGuiApplication::sync();
        if (i >= 2) {
            base.push_back(ms(t.nsecsElapsed()));
        }
        simple.hide();
        asentar(20);
    }

    // Release to a rectangle on the screen.
    abrirLienzo(form);
    asentar(100);
    FormFondo* f = lienzo();
    std::vector<double> rectangulo, rectanguloManejador;
    form.estilo().herramienta = Herramienta::Rectangulo;
    const QPointF esquina = en(0.21, 0.28);
    const QPointF opuesta = en(0.47, 0.65);
    const QPoint bordeSuperior = enPixeles(QPointF((esquina.x() + opuesta.x()) / 2, esquina.y()));
    for (int i = 0; i < Rondas + 2; ++i) {
        pulsar(f, esquina);
        for (int k = 1; k <= 20; ++k) {
            mover(f, esquina + (opuesta - esquina) * k / 20);
        }
        asentar(20);
        const Soltura t = soltarHastaVentana(form.estilo(), f, opuesta, bordeSuperior);
        if (i >= 2) {
            rectangulo.push_back(t.total);
            rectanguloManejador.push_back(t.manejador);
        }
        borrarTodo(form, bordeSuperior);
        asentar(40);
    }

    // Release to a brush stroke of 5,000 points across the screen on the screen.
    const std::unique_ptr<Pinceles> pincel = medirPincel(form, f);
    if (!pincel) {
        return 1;
    }

    // Memory: 50 screen-wide brush shapes, then " Borrar Todo".
    MemoriaFormas formas = memoriaPorForma(form, f);
    QPoint medio = formas.medio;
    const double inicioBorrar = ms(reloj.nsecsElapsed());
    borrarTodo(form, medio);
    const double tiempoBorrar = std::max(0.0, hastaLaCalma(500) - inicioBorrar);
    asentar(200);
    anotarTrasBorrar(formas);

    // Canvas work per brush move, moves 1..100 against 10,001..10,100 of one stroke: the move
    // handler and the repaint it asks for, up to the X server having the pixels.
    constexpr int Largo = 10100;
    std::vector<double> primeros, ultimos;
    pulsar(f, recorrido(0, Largo));
    mover(f, recorrido(0, Largo));
    asentar(20);
    contador.registrarAreas = true;
    const int pinturasAntes = contador.fondo;
    for (int k = 1; k <= Largo; ++k) {
        QElapsedTimer t;
        t.start();
        mover(f, recorrido(k, Largo));
        QCoreApplication::processEvents();
        QGuiApplication::sync();
        const double d = ms(t.nsecsElapsed());
        if (k <= 100) {
            primeros.push_back(d);
        } else if (k > 10000) {
            ultimos.push_back(d);
        }
    }
    contador.registrarAreas = false;
    const int pinturasTrazo = contador.fondo - pinturasAntes;
    medio = enPixeles(recorrido(Largo / 2, Largo));
    const double tLargo =
        soltarHastaVentana(form.estilo(), f, recorrido(Largo, Largo), medio).total;
    borrarTodo(form, medio);

    const qint64 areaLienzo = qint64(f->width()) * f->height();
    f->close();
    asentar(300);
    const double trasCerrar = rss();

    // Smooth ink, on a canvas of its own: the canvas, like each shape, looks for a compositor
    // as it opens.
    const bool suaveDesdeElInicio = Plataforma::actual().TintaSuave();
    std::unique_ptr<QProcess> picom;
    if (!suaveDesdeElInicio) {
        picom = arrancarPicom();
    }
    const bool suave = Plataforma::actual().TintaSuave();
    std::unique_ptr<Pinceles> pincelSuave, pincelNitido;
    MemoriaFormas formasSuaves;
    Efimera efimera;
    if (suave) {
        // The same brush in 1-bit ink under the same compositor first: what smoothness itself
        // costs, apart from what the compositor adds to any window.
        form.estilo().suave = false;
        abrirLienzo(form);
        asentar(100);
        pincelNitido = medirPincel(form, lienzo());
        lienzo()->close();
        asentar(300);
        form.estilo().suave = true;
        if (!pincelNitido) {
            return 1;
        }
        abrirLienzo(form);
        asentar(100);
        f = lienzo();
        pincelSuave = medirPincel(form, f);
        if (!pincelSuave) {
            return 1;
        }
        formasSuaves = memoriaPorForma(form, f);
        borrarTodo(form, formasSuaves.medio);
        hastaLaCalma(500);
        asentar(200);
        anotarTrasBorrar(formasSuaves);
        efimera = medirEfimera(form, f);
        f->close();
        asentar(300);
    }
    if (picom) {
        pararPicom(*picom);
    }

    const QSize lado = pantalla();
    std::printf("screen %dx%d, Qt %s, %d rounds (medians, ms; memory is resident, MB)\n",
                lado.width(), lado.height(), qVersion(), Rondas);
    std::printf("  Dibujar Fondo -> canvas on screen:           %7.2f\n", mediana(apertura));
    std::printf(
        "  chosen in the menu -> canvas on screen:      %7.2f  (the screen under the menu)\n",
        mediana(desdeMenu));
    std::printf("  plain window of a rectangle's size, shown:    %7.2f  (the window manager's)\n",
                mediana(base));
    std::printf("  release -> rectangle on screen:              %7.2f\n", mediana(rectangulo));
    std::printf("    of which the release handler:              %7.2f\n",
                mediana(rectanguloManejador));
    std::printf("  release -> 5,000-point brush on screen:      %7.2f  (7 rounds)\n",
                mediana(pincel->total));
    std::printf("    of which the release handler:              %7.2f\n",
                mediana(pincel->manejador));
    std::printf("  release -> 10,100-point brush on screen:     %7.2f  (one round)\n", tLargo);
    imprimirFormas(formas);
    std::printf("  Borrar Todo of them -> X server quiet again: %7.2f\n", tiempoBorrar);
    imprimirTrasBorrar(formas);
    std::printf(
        "  memory after the canvas closed / before:     %7.3f  (%.1f / %.1f; %.1f at start)\n",
        trasCerrar / memoriaTrasLienzos, trasCerrar, memoriaTrasLienzos, memoriaInicial);
    std::printf("  brush move, moves 1..100:                    %7.3f\n", mediana(primeros));
    std::printf("  brush move, moves 10,001..10,100:            %7.3f\n", mediana(ultimos));
    std::printf("  canvas paints during the 10,100 moves:       %7d\n", pinturasTrazo);
    std::printf("  largest area one paint covered:              %7lld px (%.4f%% of the canvas)\n",
                contador.areaMaxima, 100.0 * contador.areaMaxima / areaLienzo);
    std::printf("  area all paints covered, per move:           %7.1f px\n",
                double(contador.areaTotal) / Largo);
    if (!suave) {
        std::printf("smooth ink: not measured, no compositor (is picom installed?)\n");
    } else {
        std::printf("smooth ink, %s:\n",
                    suaveDesdeElInicio ? "a compositor ran all along (so did the rows above)"
                                       : "picom started for these rows (the rows above are 1-bit)");
        const double nitidoTotal = mediana(pincelNitido->total);
        const double suaveTotal = mediana(pincelSuave->total);
        std::printf(
            "  release -> 5,000-point brush, 1-bit ink:     %7.2f  (7 rounds; Suave=false)\n",
            nitidoTotal);
        std::printf("    of which the release handler:              %7.2f\n",
                    mediana(pincelNitido->manejador));
        std::printf(
            "  release -> 5,000-point brush on screen:      %7.2f  (7 rounds; %.2fx the 1-bit "
            "one above",
            suaveTotal, suaveTotal / nitidoTotal);
        if (suaveDesdeElInicio) {
            std::printf(")\n");
        } else {
            std::printf(", %.2fx the one without a compositor)\n",
                        suaveTotal / mediana(pincel->total));
        }
        std::printf("    of which the release handler:              %7.2f\n",
                    mediana(pincelSuave->manejador));
        imprimirFormas(formasSuaves);
        imprimirTrasBorrar(formasSuaves);
        if (efimera.hastaIrse < 0) {
            std::printf("  fading ink: its window never went\n");
        } else {
            std::printf("  fading ink, release -> its window gone:      %7.0f\n",
                        efimera.hastaIrse);
        }
        std::printf(
            "  CPU ticks over %.0f s idle, before it:          %7lld  (%.2f ms; canvas open)\n",
            Reposo / 1000.0, efimera.antes.ticks, efimera.antes.ms);
        std::printf("  CPU ticks over %.0f s idle, once it has gone:   %7lld  (%.2f ms)\n",
                    Reposo / 1000.0, efimera.despues.ticks, efimera.despues.ms);
    }
    const bool crece = mediana(ultimos) > 2 * mediana(primeros) + 0.05;
    const bool completo = contador.areaMaxima >= areaLienzo / 4;
    if (crece || completo) {
        std::printf("FAILED: %s\n", crece ? "work per move grows with the stroke"
                                          : "a large part of the canvas was repainted per move");
        return 1;
    }
    return 0;
}
