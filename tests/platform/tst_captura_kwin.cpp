// KWin's screenshot interface's client, against a fake KWin on a private session bus.
#include "BusPrueba.h"
#include "CapturaKWin.h"

#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QElapsedTimer>
#include <QImage>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <thread>
#include <unistd.h>

namespace {

// What the fake KWin does with a CaptureWorkspace call.
struct Guion {
    bool autorizada = true; // otherwise: the NoAuthorized error, as for a program with no entry
    QSize tamano{64, 32};
    int relleno = 0;    // bytes after each row
    int faltan = 0;     // bytes of the picture never written
    bool antes = false; // the pixels are written before the reply goes out
};

class FalsoKWin : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.KWin.ScreenShot2")
public:
    explicit FalsoKWin(Guion guion) : m_guion(guion) {}
    ~FalsoKWin() override {
        if (m_escritor.joinable()) {
            m_escritor.join();
        }
    }

    QVariantMap opciones;

public slots:
    QVariantMap CaptureWorkspace(const QVariantMap& opcionesDadas,
                                 const QDBusUnixFileDescriptor& tubo) {
        opciones = opcionesDadas;
        if (!m_guion.autorizada) {
            sendErrorReply(QStringLiteral("org.kde.KWin.ScreenShot2.Error.NoAuthorized"),
                           QStringLiteral("The process is not authorized to take a screenshot"));
            return {};
        }
        QImage imagen(m_guion.tamano, QImage::Format_ARGB32_Premultiplied);
        imagen.fill(QColor(10, 200, 30));
        imagen.setPixelColor(imagen.width() - 1, imagen.height() - 1, QColor(200, 10, 30));
        const int paso = int(imagen.bytesPerLine()) + m_guion.relleno;
        QByteArray datos;
        for (int y = 0; y < imagen.height(); ++y) {
            datos.append(reinterpret_cast<const char*>(imagen.constScanLine(y)),
                         imagen.bytesPerLine());
            datos.append(QByteArray(m_guion.relleno, '\0'));
        }
        datos.chop(m_guion.faltan);
        // Written from a thread of its own, blocking, as KWin does: most pictures are larger
        // than a pipe holds.
        const int fd = fcntl(tubo.fileDescriptor(), F_DUPFD_CLOEXEC, 0);
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        const QVariantMap resultados{{QStringLiteral("type"), QStringLiteral("raw")},
                                     {QStringLiteral("format"), quint32(imagen.format())},
                                     {QStringLiteral("width"), quint32(imagen.width())},
                                     {QStringLiteral("height"), quint32(imagen.height())},
                                     {QStringLiteral("stride"), quint32(paso)}};
        auto escribir = [fd, datos] {
            qsizetype hecho = 0;
            while (hecho < datos.size()) {
                const ssize_t n =
                    ::write(fd, datos.constData() + hecho, size_t(datos.size() - hecho));
                if (n <= 0) {
                    break;
                }
                hecho += n;
            }
            ::close(fd);
        };
        if (m_guion.antes && datos.size() < 4096) {
            escribir();
        } else {
            m_escritor = std::thread(escribir);
        }
        return resultados;
    }

private:
    Guion m_guion;
    std::thread m_escritor;
};

// The fake KWin on a connection of its own, for as long as it lives.
class KWinEnBus {
public:
    KWinEnBus(const QDBusConnection& conexion, Guion guion) : m_conexion(conexion), falso(guion) {
        listo = m_conexion.registerObject(QStringLiteral("/org/kde/KWin/ScreenShot2"), &falso,
                                          QDBusConnection::ExportAllSlots) &&
                m_conexion.registerService(QStringLiteral("org.kde.KWin.ScreenShot2"));
    }
    ~KWinEnBus() { QDBusConnection::disconnectFromBus(m_conexion.name()); }
    KWinEnBus(const KWinEnBus&) = delete;
    KWinEnBus& operator=(const KWinEnBus&) = delete;

private:
    QDBusConnection m_conexion;

public:
    FalsoKWin falso;
    bool listo = false;
};

QVariantMap atributos(int ancho, int alto, int paso, QImage::Format formato,
                      const QString& tipo = QStringLiteral("raw")) {
    return {{QStringLiteral("type"), tipo},
            {QStringLiteral("format"), quint32(formato)},
            {QStringLiteral("width"), quint32(ancho)},
            {QStringLiteral("height"), quint32(alto)},
            {QStringLiteral("stride"), quint32(paso)}};
}

} // namespace

class TstCapturaKWin : public QObject {
    Q_OBJECT
private:
    BusPrueba m_bus;

    static std::optional<CapturaKWin::Resultado> pedir(CapturaKWin& cliente, int esperaMs) {
        return pedirYEsperar(cliente, esperaMs);
    }

private slots:
    void initTestCase() {
        // The fake KWin writes on after a reader gave up: a broken pipe, not the end of the test.
        std::signal(SIGPIPE, SIG_IGN);
        QVERIFY2(m_bus.iniciar(), "a private session bus");
    }

    // The raw pixels and what the reply says of them.
    void imagenCruda_data() {
        QTest::addColumn<QVariantMap>("dados");
        QTest::addColumn<int>("bytes");
        QTest::addColumn<bool>("vale");
        const auto argb = QImage::Format_ARGB32_Premultiplied;
        QTest::newRow("exact") << atributos(4, 3, 16, argb) << 48 << true;
        QTest::newRow("rows padded") << atributos(4, 3, 20, argb) << 60 << true;
        QTest::newRow("more bytes than needed") << atributos(4, 3, 16, argb) << 64 << true;
        QTest::newRow("a byte short") << atributos(4, 3, 16, argb) << 47 << false;
        QTest::newRow("stride shorter than a row") << atributos(4, 3, 12, argb) << 48 << false;
        QTest::newRow("no width") << atributos(0, 3, 16, argb) << 48 << false;
        QTest::newRow("an invalid format")
            << atributos(4, 3, 16, QImage::Format_Invalid) << 48 << false;
        QTest::newRow("a format beyond Qt's")
            << atributos(4, 3, 16, QImage::Format(9999)) << 48 << false;
        QTest::newRow("not raw") << atributos(4, 3, 16, argb, QStringLiteral("png")) << 48 << false;
        QTest::newRow("RGB888") << atributos(4, 3, 12, QImage::Format_RGB888) << 36 << true;
    }
    void imagenCruda() {
        QFETCH(QVariantMap, dados);
        QFETCH(int, bytes);
        QFETCH(bool, vale);
        const QImage imagen = CapturaKWin::imagenCruda(QByteArray(bytes, '\x7f'), dados);
        QCOMPARE(!imagen.isNull(), vale);
        if (vale) {
            QCOMPARE(imagen.size(), QSize(4, 3));
        }
    }

    // What KWin answers, and what the client makes of it.
    void respuesta_data() {
        QTest::addColumn<bool>("autorizada");
        QTest::addColumn<QSize>("tamano");
        QTest::addColumn<int>("relleno");
        QTest::addColumn<int>("faltan");
        QTest::addColumn<bool>("antes");
        QTest::addColumn<int>("fallo");
        const int ninguno = int(CapturaKWin::Fallo::Ninguno);
        QTest::newRow("a small picture") << true << QSize(64, 32) << 0 << 0 << false << ninguno;
        QTest::newRow("a screen, many times what a pipe holds")
            << true << QSize(1920, 1080) << 0 << 0 << false << ninguno;
        QTest::newRow("rows padded") << true << QSize(33, 20) << 12 << 0 << false << ninguno;
        QTest::newRow("the pixels before the reply")
            << true << QSize(16, 16) << 0 << 0 << true << ninguno;
        QTest::newRow("not authorized: no desktop entry names the program")
            << false << QSize() << 0 << 0 << false << int(CapturaKWin::Fallo::Rechazada);
        QTest::newRow("fewer pixels than announced")
            << true << QSize(64, 32) << 0 << 100 << false << int(CapturaKWin::Fallo::Archivo);
    }
    void respuesta() {
        QFETCH(bool, autorizada);
        QFETCH(QSize, tamano);
        QFETCH(int, relleno);
        QFETCH(int, faltan);
        QFETCH(bool, antes);
        QFETCH(int, fallo);
        KWinEnBus kwinFalso(m_bus.conectar(), {autorizada, tamano, relleno, faltan, antes});
        QVERIFY(kwinFalso.listo);
        const QDBusConnection conexion = m_bus.conectar();
        QVERIFY(CapturaKWin::disponible(conexion));
        CapturaKWin kwin(conexion, std::chrono::milliseconds(3000));
        const auto resultado = pedir(kwin, 5000);
        QVERIFY2(resultado.has_value(), "an answer, once");
        QCOMPARE(int(resultado->fallo), fallo);
        QCOMPARE(resultado->imagen.isNull(), fallo != int(CapturaKWin::Fallo::Ninguno));
        if (!resultado->imagen.isNull()) {
            QCOMPARE(resultado->imagen.size(), tamano);
            QCOMPARE(resultado->imagen.pixelColor(0, 0), QColor(10, 200, 30));
            QCOMPARE(resultado->imagen.pixelColor(tamano.width() - 1, tamano.height() - 1),
                     QColor(200, 10, 30));
        }
        // The whole workspace in device pixels, without the pointer.
        QCOMPARE(kwinFalso.falso.opciones.value(QStringLiteral("native-resolution")),
                 QVariant(true));
        QCOMPARE(kwinFalso.falso.opciones.value(QStringLiteral("include-cursor")), QVariant(false));
    }

    void sinKWin() {
        const QDBusConnection conexion = m_bus.conectar();
        QVERIFY(!CapturaKWin::disponible(conexion));
        CapturaKWin kwin(conexion, std::chrono::milliseconds(3000));
        const auto resultado = pedir(kwin, 3000);
        QVERIFY(resultado.has_value());
        QCOMPARE(resultado->fallo, CapturaKWin::Fallo::SinPortal);
    }

    void cancelada() {
        KWinEnBus kwinFalso(m_bus.conectar(), {});
        QVERIFY(kwinFalso.listo);
        bool llamado = false;
        auto* kwin = new CapturaKWin(m_bus.conectar(), std::chrono::milliseconds(3000));
        kwin->pedir([&llamado](CapturaKWin::Resultado) { llamado = true; });
        delete kwin; // the user gave up before the answer
        QTest::qWait(300);
        QVERIFY2(!llamado, "no answer once the request is gone");
    }
};

QTEST_MAIN(TstCapturaKWin)
#include "tst_captura_kwin.moc"
