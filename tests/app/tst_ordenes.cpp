#include "Atajos.h"
#include "ClienteOrdenes.h"
#include "LineaOrdenes.h"
#include "ServidorOrdenes.h"

#include <QFile>
#include <QKeyEvent>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using Accion = LineaOrdenes::Resultado::Accion;

Q_DECLARE_METATYPE(std::optional<Orden>)

namespace {

// Records what the server was asked to do.
struct Registro {
    QList<Orden> ordenes;
    ServidorOrdenes::Ejecutar ejecutar() {
        return [this](Orden o) { ordenes.append(o); };
    }
};

// Sends raw bytes as a client would, and gives what came back before the server hung up (or
// "<open>" when it still had not after `espera` ms).
QByteArray conversar(const QString& ruta, const QByteArray& envio, int espera = 1000) {
    QLocalSocket conexion;
    conexion.connectToServer(ruta);
    if (!conexion.waitForConnected(1000)) {
        return "<no connection>";
    }
    conexion.write(envio);
    conexion.flush();
    QByteArray respuesta;
    QDeadlineTimer plazo(espera);
    while (conexion.state() == QLocalSocket::ConnectedState && !plazo.hasExpired()) {
        QTest::qWait(5);
        respuesta += conexion.readAll();
    }
    respuesta += conexion.readAll();
    return conexion.state() == QLocalSocket::ConnectedState ? QByteArray("<open>") : respuesta;
}

// A socket file no one listens on any more, as a killed program leaves it.
void socketAbandonado(const QString& ruta) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un direccion{};
    direccion.sun_family = AF_UNIX;
    const QByteArray nombre = QFile::encodeName(ruta);
    std::memcpy(direccion.sun_path, nombre.constData(), size_t(nombre.size()) + 1);
    QVERIFY(::bind(fd, reinterpret_cast<sockaddr*>(&direccion), sizeof direccion) == 0);
    ::close(fd);
}

} // namespace

class TstOrdenes : public QObject {
    Q_OBJECT
private slots:
    void analizar_data() {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<int>("accion");
        QTest::addColumn<std::optional<Orden>>("orden");
        const auto o = [](Orden x) { return std::optional<Orden>(x); };
        const std::optional<Orden> nada;
        const int iniciar = int(Accion::Iniciar);
        const int dar = int(Accion::Orden);
        const int local = int(Accion::Local);
        const int error = int(Accion::Error);
        QTest::newRow("nothing: start") << QStringList{} << iniciar << nada;
        struct Par {
            const char* ingles;
            const char* espanol;
            Orden orden;
        };
        for (const Par& p :
             {Par{"draw", "dibujar", Orden::Dibujar},
              Par{"clear", "borrar-todo", Orden::BorrarTodo},
              Par{"toggle", "mostrar-ocultar", Orden::MostrarOcultar},
              Par{"quit", "salir", Orden::Salir}, Par{"undo", "deshacer", Orden::Deshacer},
              Par{"redo", "rehacer", Orden::Rehacer}}) {
            for (const char* nombre : {p.ingles, p.espanol}) {
                QTest::addRow("--%s", nombre)
                    << QStringList{QStringLiteral("--") + QLatin1String(nombre)} << dar
                    << o(p.orden);
            }
        }
        QTest::newRow("one dash is a long name too")
            << QStringList{"-draw"} << dar << o(Orden::Dibujar);
        QTest::newRow("the same twice")
            << QStringList{"--undo", "--deshacer"} << dar << o(Orden::Deshacer);
        QTest::newRow("--version") << QStringList{"--version"} << local << nada;
        QTest::newRow("--help") << QStringList{"--help"} << local << nada;
        QTest::newRow("-h") << QStringList{"-h"} << local << nada;
        QTest::newRow("--ayuda") << QStringList{"--ayuda"} << local << nada;
        QTest::newRow("--autostart on") << QStringList{"--autostart", "on"} << local << nada;
        QTest::newRow("--inicio-automatico=off")
            << QStringList{"--inicio-automatico=off"} << local << nada;
        QTest::newRow("--autostart without its value")
            << QStringList{"--autostart"} << error << nada;
        QTest::newRow("--autostart and a command")
            << QStringList{"--autostart", "on", "--draw"} << error << nada;
        QTest::newRow("unknown") << QStringList{"--dibuja"} << error << nada;
        QTest::newRow("unknown letter") << QStringList{"-x"} << error << nada;
        QTest::newRow("a value it does not take") << QStringList{"--draw=1"} << error << nada;
        QTest::newRow("two commands") << QStringList{"--draw", "--clear"} << error << nada;
        QTest::newRow("a command and help") << QStringList{"--quit", "--help"} << error << nada;
        QTest::newRow("a file name") << QStringList{"imagen.png"} << error << nada;
        QTest::newRow("after --") << QStringList{"--", "--draw"} << error << nada;
    }
    void analizar() {
        QFETCH(QStringList, argumentos);
        QFETCH(int, accion);
        QFETCH(std::optional<Orden>, orden);
        argumentos.prepend(QStringLiteral("tizo"));
        const LineaOrdenes::Resultado r = LineaOrdenes::analizar(argumentos);
        QCOMPARE(int(r.accion), accion);
        QCOMPARE(r.orden, orden);
        QCOMPARE(r.error.isEmpty(), r.accion != Accion::Error);
        if (r.accion == Accion::Error) {
            QVERIFY(r.error.startsWith(QStringLiteral("tizo: ")));
            QVERIFY(!r.error.contains(QLatin1Char('\n')));
        }
        QCOMPARE(r.opcion != nullptr, r.accion == Accion::Orden || r.accion == Accion::Local);
    }

    void versionYAyuda() {
        QString salida;
        QString errores;
        QTextStream out(&salida);
        QTextStream err(&errores);
        const auto local = [&](const char* opcion) {
            salida.clear();
            const LineaOrdenes::Resultado r =
                LineaOrdenes::analizar({QStringLiteral("tizo"), QLatin1String(opcion)});
            const int estado = r.opcion->local(r.valor, out, err);
            out.flush();
            return estado;
        };
        QCOMPARE(local("--version"), 0);
        QCOMPARE(salida, QStringLiteral("tizo 1.0.0\n"));
        QCOMPARE(local("--ayuda"), 0);
        for (const LineaOrdenes::Opcion& opcion : LineaOrdenes::opciones()) {
            for (const QString& nombre : opcion.nombres) {
                QVERIFY2(salida.contains((nombre.size() == 1 ? "-" : "--") + nombre),
                         qPrintable(nombre));
            }
            QVERIFY(salida.contains(opcion.ayuda));
        }
        QVERIFY(salida.startsWith(QStringLiteral("Uso: tizo")));
        QVERIFY(errores.isEmpty());
    }

    // The option reaches the autostart entry with its value, and a wrong value is refused with
    // the status of a wrong command line.
    void autoarranque() {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        const QString entrada = config.filePath("autostart/io.github.tizo.Tizo.desktop");
        const auto ejecutar = [](const QStringList& argumentos) {
            QString salida, errores;
            QTextStream out(&salida), err(&errores);
            const LineaOrdenes::Resultado r = LineaOrdenes::analizar(argumentos);
            return r.opcion->local(r.valor, out, err);
        };
        QCOMPARE(ejecutar({"tizo", "--autostart", "on"}), 0);
        QVERIFY(QFile::exists(entrada));
        QCOMPARE(ejecutar({"tizo", "--inicio-automatico=maybe"}), LineaOrdenes::EstadoError);
        QVERIFY(QFile::exists(entrada));
        QCOMPARE(ejecutar({"tizo", "--autostart=off"}), 0);
        QVERIFY(!QFile::exists(entrada));
        qunsetenv("XDG_CONFIG_HOME");
    }

    void palabras_data() {
        QTest::addColumn<QByteArray>("palabra");
        QTest::addColumn<std::optional<Orden>>("orden");
        const std::optional<Orden> nada;
        QTest::newRow("draw") << QByteArray("draw") << std::optional(Orden::Dibujar);
        QTest::newRow("quit") << QByteArray("quit") << std::optional(Orden::Salir);
        QTest::newRow("upper case") << QByteArray("DRAW") << nada;
        QTest::newRow("with a blank") << QByteArray("draw ") << nada;
        QTest::newRow("carriage return") << QByteArray("draw\r") << nada;
        QTest::newRow("Spanish is for people") << QByteArray("dibujar") << nada;
        QTest::newRow("empty") << QByteArray() << nada;
        QTest::newRow("NUL inside") << QByteArray("dr\0aw", 5) << nada;
    }
    void palabras() {
        QFETCH(QByteArray, palabra);
        QFETCH(std::optional<Orden>, orden);
        QCOMPARE(Ordenes::dePalabra(palabra), orden);
        if (orden) {
            QCOMPARE(Ordenes::palabra(*orden), palabra);
        }
        QVERIFY(Ordenes::palabra(Orden::Guardar).isEmpty()); // keyboard only
    }

    // Every command travels from the command line to the running program and is answered once
    // it has been carried out.
    void idaYVuelta() {
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("tizo.sock"));
        Registro registro;
        ServidorOrdenes servidor(registro.ejecutar());
        QVERIFY(servidor.escuchar(ruta));
        const QList<Orden> todas{Orden::Dibujar,  Orden::BorrarTodo, Orden::MostrarOcultar,
                                 Orden::Deshacer, Orden::Rehacer,    Orden::Salir};
        for (const Orden orden : todas) {
            QCOMPARE(ClienteOrdenes::enviar(orden, ruta), QString());
        }
        QCOMPARE(registro.ordenes, todas);
        QTRY_COMPARE(servidor.conexionesAbiertas(), 0);
    }

    // What is not one known command gets no answer and does nothing.
    void entradaMala_data() {
        QTest::addColumn<QByteArray>("envio");
        QTest::addColumn<QByteArray>("respuesta");
        QTest::addColumn<int>("ordenes");
        QTest::newRow("a command") << QByteArray("undo\n") << QByteArray("ok\n") << 1;
        QTest::newRow("one command per connection")
            << QByteArray("undo\nquit\n") << QByteArray("ok\n") << 1;
        QTest::newRow("unknown word") << QByteArray("format\n") << QByteArray() << 0;
        QTest::newRow("garbage") << QByteArray("\x01\xff\xfe\n\x00\x00", 6) << QByteArray() << 0;
        QTest::newRow("carriage return") << QByteArray("draw\r\n") << QByteArray() << 0;
        QTest::newRow("a long line") << QByteArray(5000, 'a') + '\n' << QByteArray() << 0;
        QTest::newRow("a flood") << QByteArray(1 << 20, 'x') << QByteArray() << 0;
        QTest::newRow("a word without its newline, then silence")
            << QByteArray("draw") << QByteArray() << 0;
        QTest::newRow("silence") << QByteArray() << QByteArray() << 0;
    }
    void entradaMala() {
        QFETCH(QByteArray, envio);
        QFETCH(QByteArray, respuesta);
        QFETCH(int, ordenes);
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("tizo.sock"));
        Registro registro;
        ServidorOrdenes servidor(registro.ejecutar());
        QVERIFY(servidor.escuchar(ruta));
        QCOMPARE(conversar(ruta, envio, ServidorOrdenes::Plazo + 1000), respuesta);
        QCOMPARE(registro.ordenes.size(), ordenes);
        QTRY_COMPARE(servidor.conexionesAbiertas(), 0);
    }

    // Many connections at once: no more than the limit stay open, and a command still gets
    // through once the silent ones are dropped.
    void muchasConexiones() {
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("tizo.sock"));
        Registro registro;
        ServidorOrdenes servidor(registro.ejecutar());
        QVERIFY(servidor.escuchar(ruta));
        std::vector<std::unique_ptr<QLocalSocket>> mudas;
        for (int i = 0; i < ServidorOrdenes::ConexionesMaximas + 50; ++i) {
            mudas.push_back(std::make_unique<QLocalSocket>());
            mudas.back()->connectToServer(ruta);
        }
        QTRY_COMPARE(servidor.conexionesAbiertas(), ServidorOrdenes::ConexionesMaximas);
        // Refused at once while they hold every place, not left waiting.
        QVERIFY(!ClienteOrdenes::enviar(Orden::Dibujar, ruta, 1000).isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(servidor.conexionesAbiertas(), 0, ServidorOrdenes::Plazo + 2000);
        QCOMPARE(ClienteOrdenes::enviar(Orden::Dibujar, ruta), QString());
        QCOMPARE(registro.ordenes, QList<Orden>{Orden::Dibujar});
    }

    // A socket left behind by a killed program is taken over; one a live program listens on is
    // left alone.
    void socketExistente() {
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("tizo.sock"));
        socketAbandonado(ruta);
        Registro registro;
        {
            ServidorOrdenes servidor(registro.ejecutar());
            QVERIFY(servidor.escuchar(ruta));
            QCOMPARE(ClienteOrdenes::enviar(Orden::Rehacer, ruta), QString());
            ServidorOrdenes otro(registro.ejecutar());
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^tizo: ")));
            QVERIFY(!otro.escuchar(ruta));
            QCOMPARE(ClienteOrdenes::enviar(Orden::Deshacer, ruta), QString());
        }
        QVERIFY(!QFile::exists(ruta)); // removed by its owner when it ends
        QCOMPARE(registro.ordenes, (QList<Orden>{Orden::Rehacer, Orden::Deshacer}));
    }

    // A command given while the running copy is still starting waits until it listens; with no
    // one there at all it gives up with a reason.
    void clienteEspera() {
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("tizo.sock"));
        QVERIFY(!ClienteOrdenes::enviar(Orden::Dibujar, ruta, 300).isEmpty());
        socketAbandonado(ruta);
        QVERIFY(!ClienteOrdenes::enviar(Orden::Dibujar, ruta, 300).isEmpty());
        Registro registro;
        ServidorOrdenes servidor(registro.ejecutar());
        QTimer::singleShot(200, &servidor, [&] { servidor.escuchar(ruta); });
        QElapsedTimer reloj;
        reloj.start();
        QCOMPARE(ClienteOrdenes::enviar(Orden::Dibujar, ruta), QString());
        QVERIFY(reloj.elapsed() >= 150);
        QCOMPARE(registro.ordenes, QList<Orden>{Orden::Dibujar});
    }

    void atajos_data() {
        QTest::addColumn<int>("tecla");
        QTest::addColumn<int>("modificadores");
        QTest::addColumn<std::optional<Orden>>("orden");
        const std::optional<Orden> nada;
        const int ctrl = Qt::ControlModifier;
        const int shift = Qt::ShiftModifier;
        QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << ctrl << std::optional(Orden::Deshacer);
        QTest::newRow("Ctrl+Shift+Z")
            << int(Qt::Key_Z) << (ctrl | shift) << std::optional(Orden::Rehacer);
        QTest::newRow("Ctrl+Y") << int(Qt::Key_Y) << ctrl << std::optional(Orden::Rehacer);
        QTest::newRow("Ctrl+S") << int(Qt::Key_S) << ctrl << std::optional(Orden::Guardar);
        QTest::newRow("Ctrl+C") << int(Qt::Key_C) << ctrl << std::optional(Orden::Copiar);
        QTest::newRow("Ctrl+Z on the keypad's side")
            << int(Qt::Key_Z) << (ctrl | int(Qt::KeypadModifier)) << std::optional(Orden::Deshacer);
        QTest::newRow("Z alone") << int(Qt::Key_Z) << 0 << nada;
        QTest::newRow("Shift+Z") << int(Qt::Key_Z) << shift << nada;
        QTest::newRow("Ctrl+Alt+Z") << int(Qt::Key_Z) << (ctrl | int(Qt::AltModifier)) << nada;
        QTest::newRow("Ctrl+Shift+Y") << int(Qt::Key_Y) << (ctrl | shift) << nada;
        QTest::newRow("Ctrl+Shift+S") << int(Qt::Key_S) << (ctrl | shift) << nada;
        QTest::newRow("Ctrl+X") << int(Qt::Key_X) << ctrl << nada;
        QTest::newRow("Meta+Z") << int(Qt::Key_Z) << int(Qt::MetaModifier) << nada;
    }
    void atajos() {
        QFETCH(int, tecla);
        QFETCH(int, modificadores);
        QFETCH(std::optional<Orden>, orden);
        const auto mods = Qt::KeyboardModifiers(modificadores);
        QCOMPARE(Atajos::ordenDe(tecla, mods), orden);

        // On a window: the command runs and takes the key; a command that does not apply now
        // lets the key through to the window.
        for (const bool aplica : {true, false}) {
            QList<Orden> hechas;
            Atajos atajos([&](Orden o) {
                hechas.append(o);
                return aplica;
            });
            int recibidas = 0;
            class Ventana : public QWidget {
            public:
                int* recibidas = nullptr;

                int tecla = 0;

            protected:
                void keyPressEvent(QKeyEvent* evento) override {
                    *recibidas += evento->key() == tecla; // not the modifiers' own presses
                }
            } ventana;
            ventana.tecla = tecla;
            ventana.recibidas = &recibidas;
            ventana.installEventFilter(&atajos);
            QTest::keyClick(&ventana, Qt::Key(tecla), mods);
            QCOMPARE(hechas.size(), orden ? 1 : 0);
            QCOMPARE(recibidas, orden && aplica ? 0 : 1);
        }
    }
};

QTEST_MAIN(TstOrdenes)
#include "tst_ordenes.moc"
