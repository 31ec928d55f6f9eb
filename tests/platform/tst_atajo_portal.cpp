// The desktop's global shortcuts: the key in the desktop's format, and the portal's client
// against a fake portal on a private session bus.
#include "AtajoPortal.h"
#include "BusPrueba.h"
#include "PortalCaptura.h"
#include "TeclasX11.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QKeySequence>
#include <QPair>
#include <QTest>
#include <QTimer>
#include <optional>

namespace {

const QString Servicio = QStringLiteral("org.freedesktop.portal.Desktop");
const QString Objeto = QStringLiteral("/org/freedesktop/portal/desktop");
const QString Interfaz = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
using Atajos = QList<QPair<QString, QVariantMap>>;

// How the fake portal behaves.
struct Guion {
    int codigoSesion = 0;            // CreateSession's Response code
    int codigoLista = 0;             // ListShortcuts' Response code
    bool yaAtado = false;            // ListShortcuts gives the shortcut: bound in an earlier run
    bool ataAlCrear = false;         // CreateSession binds the shortcuts of its options
    int codigoAtajos = 0;            // BindShortcuts' Response code
    bool devuelveAtajo = true;       // the bound shortcut is in BindShortcuts' answer
    QString error;                   // CreateSession fails with this D-Bus error
    bool antesDeLaRespuesta = false; // each Response goes out before its call's reply
};

class FalsaSesion : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Session")
public:
    bool cerrada = false;
public slots:
    void Close() { cerrada = true; }
};

class FalsoAtajos : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
    Q_PROPERTY(uint version READ version)
public:
    FalsoAtajos(QDBusConnection conexion, Guion guion)
        : m_conexion(std::move(conexion)), m_guion(std::move(guion)) {}
    uint version() const { return 1; }

    QString emisor;       // the client's connection
    QString sesion;       // the session made
    QStringList llamadas; // the methods called, in order
    Atajos conLaSesion;   // as CreateSession's options gave them
    Atajos atados;        // as BindShortcuts gave them
    QString ventana;      // its parent window
    FalsaSesion objetoSesion;

    void activar(const QString& enSesion, const QString& id) {
        QDBusMessage senal =
            QDBusMessage::createSignal(Objeto, Interfaz, QStringLiteral("Activated"));
        senal << QVariant::fromValue(QDBusObjectPath(enSesion)) << id << qulonglong(1234)
              << QVariantMap();
        m_conexion.send(senal);
    }

    // The portal closes the session by itself.
    void cerrar() {
        QDBusMessage senal = QDBusMessage::createSignal(
            sesion, QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Closed"));
        senal << QVariantMap();
        m_conexion.send(senal);
    }

public slots:
    QDBusObjectPath CreateSession(const QVariantMap& opciones, const QDBusMessage& llamada) {
        llamadas << QStringLiteral("CreateSession");
        emisor = llamada.service();
        if (!m_guion.error.isEmpty()) {
            sendErrorReply(m_guion.error, QStringLiteral("An app id is required"));
            return {};
        }
        QString cliente = emisor.mid(1);
        cliente.replace(QLatin1Char('.'), QLatin1Char('_'));
        sesion =
            QStringLiteral("/org/freedesktop/portal/desktop/session/%1/%2")
                .arg(cliente, opciones.value(QStringLiteral("session_handle_token")).toString());
        m_conexion.registerObject(sesion, &objetoSesion, QDBusConnection::ExportAllSlots);
        qvariant_cast<QDBusArgument>(opciones.value(QStringLiteral("shortcuts"))) >> conLaSesion;
        // The session's handle as the portal has always sent it: a string.
        QVariantMap resultados{{QStringLiteral("session_handle"), sesion}};
        if (m_guion.ataAlCrear) {
            resultados.insert(QStringLiteral("shortcuts"), QVariant::fromValue(conLaSesion));
        }
        return responder(opciones, m_guion.codigoSesion, resultados);
    }

    QDBusObjectPath ListShortcuts(const QDBusObjectPath&, const QVariantMap& opciones) {
        llamadas << QStringLiteral("ListShortcuts");
        Atajos antes;
        if (m_guion.yaAtado) {
            antes.append({QStringLiteral("dibujar"),
                          {{QStringLiteral("trigger_description"), QStringLiteral("F10")}}});
        }
        return responder(opciones, m_guion.codigoLista,
                         {{QStringLiteral("shortcuts"), QVariant::fromValue(antes)}});
    }

    QDBusObjectPath BindShortcuts(const QDBusObjectPath& enSesion, const Atajos& atajos,
                                  const QString& padre, const QVariantMap& opciones) {
        llamadas << QStringLiteral("BindShortcuts");
        atados = enSesion.path() == sesion ? atajos : Atajos();
        ventana = padre;
        Atajos hechos;
        if (m_guion.devuelveAtajo) {
            for (const auto& atajo : atajos) {
                hechos.append(
                    {atajo.first, {{QStringLiteral("trigger_description"), QStringLiteral("F9")}}});
            }
        }
        return responder(opciones, m_guion.codigoAtajos,
                         {{QStringLiteral("shortcuts"), QVariant::fromValue(hechos)}});
    }

private:
    QDBusObjectPath responder(const QVariantMap& opciones, int codigo, QVariantMap resultados) {
        const QString ruta = PortalCaptura::rutaPedido(
            emisor, opciones.value(QStringLiteral("handle_token")).toString());
        auto enviar = [this, ruta, codigo, resultados] {
            QDBusMessage senal = QDBusMessage::createSignal(
                ruta, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
            senal << uint(codigo) << resultados;
            m_conexion.send(senal);
        };
        if (m_guion.antesDeLaRespuesta) {
            enviar();
        } else {
            QTimer::singleShot(20, this, enviar);
        }
        return QDBusObjectPath(ruta);
    }

    QDBusConnection m_conexion;
    Guion m_guion;
};

// The fake portal on a connection of its own, for as long as it lives.
class PortalEnBus {
public:
    PortalEnBus(const QDBusConnection& conexion, Guion guion)
        : m_conexion(conexion), falso(m_conexion, std::move(guion)) {
        qDBusRegisterMetaType<QPair<QString, QVariantMap>>();
        qDBusRegisterMetaType<Atajos>();
        qRegisterMetaType<Atajos>("Atajos"); // the name the slot's signature gives
        listo = m_conexion.registerObject(Objeto, &falso,
                                          QDBusConnection::ExportAllSlots |
                                              QDBusConnection::ExportAllProperties) &&
                m_conexion.registerService(Servicio);
    }
    ~PortalEnBus() {
        m_conexion.unregisterService(Servicio);
        m_conexion.unregisterObject(Objeto, QDBusConnection::UnregisterTree);
        QDBusConnection::disconnectFromBus(m_conexion.name());
    }
    // The portal goes, as when it is restarted.
    void irse() { m_conexion.unregisterService(Servicio); }
    PortalEnBus(const PortalEnBus&) = delete;
    PortalEnBus& operator=(const PortalEnBus&) = delete;

private:
    QDBusConnection m_conexion;

public:
    FalsoAtajos falso;
    bool listo = false;
};

// A portal that has screenshots but no global shortcuts (xdg-desktop-portal 1.16 with the
// wlroots and GTK backends).
class SoloCapturas : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")
    Q_PROPERTY(uint version READ version)
public:
    uint version() const { return 2; }
};

} // namespace

Q_DECLARE_METATYPE(Guion)

class TstAtajoPortal : public QObject {
    Q_OBJECT
private:
    BusPrueba m_bus;

    // Registers "dibujar" and waits for the answer; the number of presses lands in `pulsadas`.
    std::optional<AtajoPortal::Resultado> registrar(AtajoPortal& cliente, int& pulsadas) {
        std::optional<AtajoPortal::Resultado> resultado;
        cliente.registrar(
            QStringLiteral("dibujar"), QStringLiteral("Entrar o salir"),
            QStringLiteral("CTRL+SHIFT+d"), [&pulsadas] { ++pulsadas; },
            [&resultado](AtajoPortal::Resultado r) { resultado = std::move(r); });
        if (resultado) {
            qWarning("the answer came inside registrar()");
            return std::nullopt;
        }
        if (!QTest::qWaitFor([&resultado] { return resultado.has_value(); }, 3000)) {
            return std::nullopt;
        }
        return resultado;
    }

private slots:
    void initTestCase() { QVERIFY2(m_bus.iniciar(), "a private session bus"); }

    // The settings file's key, as the desktop's shortcuts write it.
    void disparadorXdg_data() {
        QTest::addColumn<QString>("tecla"); // as the settings file holds it
        QTest::addColumn<QString>("disparador");
        QTest::newRow("a function key") << "F9"
                                        << "F9";
        QTest::newRow("a letter: its lower-case keysym") << "Ctrl+Shift+D"
                                                         << "CTRL+SHIFT+d";
        QTest::newRow("every modifier, in one order") << "Meta+Shift+Alt+Ctrl+Z"
                                                      << "CTRL+ALT+SHIFT+LOGO+z";
        QTest::newRow("a digit") << "Alt+5"
                                 << "ALT+5";
        QTest::newRow("punctuation by its keysym name") << "Ctrl+-"
                                                        << "CTRL+minus";
        QTest::newRow("keys whose X names differ from Qt's") << "Shift+PgDown"
                                                             << "SHIFT+Next";
        QTest::newRow("Return") << "Meta+Return"
                                << "LOGO+Return";
        QTest::newRow("no key") << ""
                                << "";
        QTest::newRow("two keys in a row") << "Ctrl+A, B"
                                           << "";
        QTest::newRow("a key not offered as a global key") << "Volume Up"
                                                           << "";
    }
    void disparadorXdg() {
        QFETCH(QString, tecla);
        QFETCH(QString, disparador);
        QCOMPARE(
            TeclasX11::disparadorXdg(QKeySequence::fromString(tecla, QKeySequence::PortableText)),
            disparador);
    }

    // What the portal answers, and what the client makes of it.
    void registrar_data() {
        QTest::addColumn<Guion>("guion");
        QTest::addColumn<QString>("llamadas"); // the methods called, in order
        QTest::addColumn<int>("fallo");
        QTest::addColumn<bool>("sesionCerrada");

        const int ninguno = int(AtajoPortal::Fallo::Ninguno);
        const int rechazado = int(AtajoPortal::Fallo::Rechazado);
        const QString todas = QStringLiteral("CreateSession ListShortcuts BindShortcuts");
        Guion g;
        QTest::newRow("bound") << g << todas << ninguno << false;
        g = {};
        g.antesDeLaRespuesta = true;
        QTest::newRow("bound, each answer before its call returns")
            << g << todas << ninguno << false;
        g = {};
        g.yaAtado = true;
        QTest::newRow("bound in an earlier run: the desktop is not asked again")
            << g << "CreateSession ListShortcuts" << ninguno << false;
        g = {};
        g.ataAlCrear = true;
        QTest::newRow("bound with the session (portals up to 1.16 with KDE Plasma 5.27)")
            << g << "CreateSession" << ninguno << false;
        g = {};
        g.codigoLista = 2;
        QTest::newRow("no list of earlier shortcuts: the desktop is asked")
            << g << todas << ninguno << false;
        g = {};
        g.codigoAtajos = 1;
        QTest::newRow("the user cancels the key: the session goes")
            << g << todas << rechazado << true;
        g = {};
        g.devuelveAtajo = false;
        QTest::newRow("the key left out of what was bound") << g << todas << rechazado << true;
        g = {};
        g.codigoSesion = 2;
        QTest::newRow("no session") << g << "CreateSession" << rechazado << false;
        g = {};
        g.error = QStringLiteral("org.freedesktop.portal.Error.NotAllowed");
        QTest::newRow("a portal that wants an application id")
            << g << "CreateSession" << rechazado << false;
    }
    void registrar() {
        QFETCH(Guion, guion);
        QFETCH(QString, llamadas);
        QFETCH(int, fallo);
        QFETCH(bool, sesionCerrada);

        PortalEnBus portal(m_bus.conectar(), guion);
        QVERIFY(portal.listo);
        auto cliente = std::make_unique<AtajoPortal>(m_bus.conectar());
        int pulsadas = 0;
        const auto resultado = registrar(*cliente, pulsadas);
        QVERIFY2(resultado.has_value(), "an answer, once");
        QVERIFY2(int(resultado->fallo) == fallo, qPrintable(resultado->detalle));
        QCOMPARE(resultado->detalle.isEmpty(), fallo == int(AtajoPortal::Fallo::Ninguno));
        QCOMPARE(portal.falso.llamadas.join(QLatin1Char(' ')), llamadas);
        // One shortcut, with what the user is shown and the key from the settings, with the
        // session and when it is bound.
        auto comprobar = [](const Atajos& atajos) {
            QCOMPARE(atajos.size(), 1);
            const auto& [id, propiedades] = atajos.first();
            QCOMPARE(id, QStringLiteral("dibujar"));
            QCOMPARE(propiedades.value(QStringLiteral("description")).toString(),
                     QStringLiteral("Entrar o salir"));
            QCOMPARE(propiedades.value(QStringLiteral("preferred_trigger")).toString(),
                     QStringLiteral("CTRL+SHIFT+d"));
        };
        if (guion.error.isEmpty()) {
            comprobar(portal.falso.conLaSesion);
        }
        if (llamadas.endsWith(QLatin1String("BindShortcuts"))) {
            comprobar(portal.falso.atados);
            QCOMPARE(portal.falso.ventana, QString());
        }
        if (QTest::currentTestFailed()) {
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(portal.falso.objetoSesion.cerrada, sesionCerrada, 2000);

        // Each press the portal reports for this session and shortcut, and none other.
        const QString sesion = portal.falso.sesion.isEmpty() ? Objeto : portal.falso.sesion;
        portal.falso.activar(sesion, QStringLiteral("dibujar"));
        portal.falso.activar(sesion + QStringLiteral("x"), QStringLiteral("dibujar"));
        portal.falso.activar(sesion, QStringLiteral("otro"));
        portal.falso.activar(sesion, QStringLiteral("dibujar"));
        const int esperadas = fallo == int(AtajoPortal::Fallo::Ninguno) ? 2 : 0;
        QTRY_COMPARE_WITH_TIMEOUT(pulsadas, esperadas, 2000);
        QTest::qWait(100);
        QCOMPARE(pulsadas, esperadas);

        // Gone, it closes the session it was given: the desktop lets go of the key.
        cliente.reset();
        const bool tenia = guion.codigoSesion == 0 && guion.error.isEmpty();
        QTRY_COMPARE_WITH_TIMEOUT(portal.falso.objetoSesion.cerrada, tenia, 2000);
    }

    // The desktop lets go of a bound key: it is said once, and presses count no more.
    void perdido_data() {
        QTest::addColumn<bool>("seVa"); // the portal goes, rather than closing the session
        QTest::newRow("the portal closes the session") << false;
        QTest::newRow("the portal goes") << true;
    }
    void perdido() {
        QFETCH(bool, seVa);
        PortalEnBus portal(m_bus.conectar(), {});
        QVERIFY(portal.listo);
        AtajoPortal cliente(m_bus.conectar());
        QStringList motivos;
        cliente.alPerder([&motivos](const QString& motivo) { motivos << motivo; });
        int pulsadas = 0;
        const auto resultado = registrar(cliente, pulsadas);
        QVERIFY(resultado.has_value());
        QCOMPARE(resultado->fallo, AtajoPortal::Fallo::Ninguno);
        QVERIFY(motivos.isEmpty());
        if (seVa) {
            portal.irse();
        } else {
            portal.falso.cerrar();
        }
        QTRY_COMPARE_WITH_TIMEOUT(motivos.size(), 1, 2000);
        QVERIFY(!motivos.first().isEmpty());
        portal.falso.cerrar();
        portal.falso.activar(portal.falso.sesion, QStringLiteral("dibujar"));
        QTest::qWait(200);
        QCOMPARE(motivos.size(), 1);
        QCOMPARE(pulsadas, 0);
    }

    // No portal, or one without global shortcuts: known without asking the user anything.
    void sinAtajos_data() {
        QTest::addColumn<bool>("portal");
        QTest::newRow("no portal") << false;
        QTest::newRow("a portal with screenshots only") << true;
    }
    void sinAtajos() {
        QFETCH(bool, portal);
        QDBusConnection suya = m_bus.conectar();
        SoloCapturas capturas;
        if (portal) {
            QVERIFY(suya.registerObject(Objeto, &capturas,
                                        QDBusConnection::ExportAllSlots |
                                            QDBusConnection::ExportAllProperties));
            QVERIFY(suya.registerService(Servicio));
        }
        AtajoPortal cliente(m_bus.conectar());
        int pulsadas = 0;
        const auto resultado = registrar(cliente, pulsadas);
        QVERIFY(resultado.has_value());
        QCOMPARE(resultado->fallo, AtajoPortal::Fallo::SinAtajos);
        QDBusConnection::disconnectFromBus(suya.name());
    }

    void sinBus() {
        AtajoPortal cliente(QDBusConnection::connectToBus(
            QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("sinbus")));
        int pulsadas = 0;
        const auto resultado = registrar(cliente, pulsadas);
        QVERIFY(resultado.has_value());
        QCOMPARE(resultado->fallo, AtajoPortal::Fallo::SinAtajos);
    }

    void cancelado() {
        PortalEnBus portal(m_bus.conectar(), {});
        QVERIFY(portal.listo);
        bool llamado = false;
        auto* cliente = new AtajoPortal(m_bus.conectar());
        cliente->registrar(
            QStringLiteral("dibujar"), QStringLiteral("x"), QStringLiteral("F9"), [] {},
            [&llamado](AtajoPortal::Resultado) { llamado = true; });
        delete cliente; // the program let go of the key before the answer
        QTest::qWait(300);
        QVERIFY2(!llamado, "no answer once the request is gone");
    }
};

QTEST_MAIN(TstAtajoPortal)
#include "tst_atajo_portal.moc"
