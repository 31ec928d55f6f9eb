#pragma once

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

// A session bus of a test's own, which starts no service: a name nobody owns is unknown.
class BusPrueba {
public:
    // Starts the bus; false (with the reason in QTest's log) when it can't.
    bool iniciar() {
        if (!m_dir.isValid()) {
            return false;
        }
        const QString config = m_dir.filePath(QStringLiteral("bus.conf"));
        QFile archivo(config);
        if (!archivo.open(QIODevice::WriteOnly)) {
            return false;
        }
        archivo.write(
            QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus "
                           "Configuration 1.0//EN\"\n"
                           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                           "<busconfig>\n"
                           "  <type>session</type>\n"
                           "  <listen>unix:dir=%1</listen>\n"
                           "  <auth>EXTERNAL</auth>\n"
                           "  <policy context=\"default\">\n"
                           "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                           "    <allow eavesdrop=\"true\"/>\n"
                           "    <allow own=\"*\"/>\n"
                           "  </policy>\n"
                           "</busconfig>\n")
                .arg(m_dir.path())
                .toUtf8());
        archivo.close();
        m_bus.start(QStringLiteral("dbus-daemon"),
                    {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                     QStringLiteral("--print-address=1")});
        if (!m_bus.waitForStarted() ||
            !QTest::qWaitFor([this] { return m_bus.canReadLine(); }, 10000)) {
            return false;
        }
        m_direccion = QString::fromUtf8(m_bus.readLine()).trimmed();
        return !m_direccion.isEmpty();
    }

    ~BusPrueba() {
        m_bus.terminate();
        m_bus.waitForFinished();
    }

    // A new connection to it, under a name of its own.
    QDBusConnection conectar() {
        return QDBusConnection::connectToBus(m_direccion,
                                             QStringLiteral("prueba%1").arg(++m_conexiones));
    }

    // A folder for the test's files, gone with the bus.
    const QTemporaryDir& carpeta() const { return m_dir; }

private:
    QTemporaryDir m_dir;
    QProcess m_bus;
    QString m_direccion;
    int m_conexiones = 0;
};

// Runs one request of a screenshot client (PortalCaptura, CapturaKWin) to its end: its result,
// or none when it never came within `esperaMs` or came inside pedir() itself.
template <class Cliente>
std::optional<typename Cliente::Resultado> pedirYEsperar(Cliente& cliente, int esperaMs) {
    std::optional<typename Cliente::Resultado> resultado;
    cliente.pedir([&resultado](typename Cliente::Resultado r) { resultado = std::move(r); });
    if (resultado) {
        qWarning("the answer came inside pedir()");
        return std::nullopt;
    }
    QElapsedTimer reloj;
    reloj.start();
    while (!resultado && reloj.elapsed() < esperaMs) {
        QTest::qWait(5);
    }
    return resultado;
}
