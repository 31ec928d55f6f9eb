// The screenshot portal's client against a fake portal on a private session bus.
#include "BusPrueba.h"
#include "PermisoCaptura.h"
#include "PortalCaptura.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <optional>

namespace {

const QString Servicio = QStringLiteral("org.freedesktop.portal.Desktop");
const QString Objeto = QStringLiteral("/org/freedesktop/portal/desktop");

// What the fake portal answers to a Screenshot call.
struct Guion {
    int codigo = 0;                  // the Response's code; -1: never answers
    QString uri;                     // the "uri" of the answer
    bool antesDeLaRespuesta = false; // the signal goes out before the call's reply
};

// The request object the fake portal makes for a call it never answers: the client should
// close it when it stops waiting.
class FalsoPedido : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")
public:
    bool cerrado = false;

public slots:
    void Close() { cerrado = true; }
};

class FalsoPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")
public:
    FalsoPortal(QDBusConnection conexion, Guion guion)
        : m_conexion(std::move(conexion)), m_guion(std::move(guion)) {}

    QVariantMap opciones; // as the last call gave them
    FalsoPedido pedido;   // the last request never answered

public slots:
    QDBusObjectPath Screenshot(const QString&, const QVariantMap& opcionesDadas,
                               const QDBusMessage& llamada) {
        opciones = opcionesDadas;
        const QString ruta = PortalCaptura::rutaPedido(
            llamada.service(), opcionesDadas.value(QStringLiteral("handle_token")).toString());
        if (m_guion.codigo >= 0) {
            auto responder = [this, ruta] {
                QDBusMessage senal = QDBusMessage::createSignal(
                    ruta, QStringLiteral("org.freedesktop.portal.Request"),
                    QStringLiteral("Response"));
                senal << uint(m_guion.codigo) << QVariantMap{{QStringLiteral("uri"), m_guion.uri}};
                m_conexion.send(senal);
            };
            if (m_guion.antesDeLaRespuesta) {
                responder();
            } else {
                QTimer::singleShot(20, this, responder);
            }
        } else {
            m_conexion.registerObject(ruta, &pedido, QDBusConnection::ExportAllSlots);
        }
        return QDBusObjectPath(ruta);
    }

private:
    QDBusConnection m_conexion;
    Guion m_guion;
};

// A permission store that knows one table, or none (`tabla` empty: NotFound).
class FalsoAlmacen : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.impl.portal.PermissionStore")
public:
    explicit FalsoAlmacen(QMap<QString, QStringList> tabla) : m_tabla(std::move(tabla)) {}

public slots:
    QMap<QString, QStringList> Lookup(const QString& tabla, const QString& id,
                                      QDBusVariant& datos) {
        datos = QDBusVariant(QVariant(0));
        if (m_tabla.isEmpty() || tabla != QLatin1String("screenshot") ||
            id != QLatin1String("screenshot")) {
            sendErrorReply(QStringLiteral("org.freedesktop.portal.Error.NotFound"),
                           QStringLiteral("No entry"));
            return {};
        }
        return m_tabla;
    }

private:
    QMap<QString, QStringList> m_tabla;
};

// The fake portal on a connection of its own, for as long as it lives.
class PortalEnBus {
public:
    PortalEnBus(const QDBusConnection& conexion, Guion guion)
        : m_conexion(conexion), falso(m_conexion, std::move(guion)) {
        listo = m_conexion.registerObject(Objeto, &falso, QDBusConnection::ExportAllSlots) &&
                m_conexion.registerService(Servicio);
    }
    ~PortalEnBus() {
        m_conexion.unregisterService(Servicio);
        m_conexion.unregisterObject(Objeto);
        QDBusConnection::disconnectFromBus(m_conexion.name());
    }
    PortalEnBus(const PortalEnBus&) = delete;
    PortalEnBus& operator=(const PortalEnBus&) = delete;

private:
    QDBusConnection m_conexion;

public:
    FalsoPortal falso;
    bool listo = false;
};

} // namespace

class TstPortalCaptura : public QObject {
    Q_OBJECT
private:
    BusPrueba m_bus;
    const QTemporaryDir& m_dir = m_bus.carpeta();

    QDBusConnection conectar() { return m_bus.conectar(); }

    static std::optional<PortalCaptura::Resultado> pedir(PortalCaptura& cliente, int esperaMs) {
        return pedirYEsperar(cliente, esperaMs);
    }

private slots:
    void initTestCase() { QVERIFY2(m_bus.iniciar(), "a private session bus"); }

    void archivoDeUri_data() {
        QTest::addColumn<QString>("uri");
        QTest::addColumn<QString>("ruta");
        QTest::newRow("plain") << "file:///tmp/out.png"
                               << "/tmp/out.png";
        QTest::newRow("escaped space, accent, percent sign")
            << "file:///tmp/a%20b%C3%B1%2525.png" << QStringLiteral("/tmp/a bñ%25.png");
        QTest::newRow("localhost") << "file://localhost/tmp/x.png"
                                   << "/tmp/x.png";
        QTest::newRow("another machine") << "file://otra/tmp/x.png"
                                         << "";
        QTest::newRow("not a file") << "https://example.org/x.png"
                                    << "";
        QTest::newRow("a bare path is no URI") << "/tmp/x.png"
                                               << "";
        QTest::newRow("empty") << ""
                               << "";
    }

    void archivoDeUri() {
        QFETCH(QString, uri);
        QFETCH(QString, ruta);
        QCOMPARE(PortalCaptura::archivoDeUri(uri), ruta);
    }

    void rutaPedido() {
        QCOMPARE(PortalCaptura::rutaPedido(QStringLiteral(":1.42"), QStringLiteral("tizo7")),
                 QStringLiteral("/org/freedesktop/portal/desktop/request/1_42/tizo7"));
    }

    // What the portal answers, and what the client makes of it.
    void respuesta_data() {
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("archivo");    // written as the picture the portal saved
        QTest::addColumn<QByteArray>("formato"); // "" for a file that is no picture
        QTest::addColumn<QString>("uri");        // empty: the file's own URI
        QTest::addColumn<bool>("antes");
        QTest::addColumn<int>("fallo");
        QTest::addColumn<bool>("quedaArchivo");

        const int ninguno = int(PortalCaptura::Fallo::Ninguno);
        const int rechazada = int(PortalCaptura::Fallo::Rechazada);
        const int archivo = int(PortalCaptura::Fallo::Archivo);
        QTest::newRow("the picture, and its file gone")
            << 0 << "out.png" << QByteArray("PNG") << "" << false << ninguno << false;
        QTest::newRow("a file name with spaces, accents and percent signs")
            << 0 << "Captura de pantalla ñ 100%.png" << QByteArray("PNG") << "" << false << ninguno
            << false;
        QTest::newRow("the answer comes before the call returns")
            << 0 << "out.png" << QByteArray("PNG") << "" << true << ninguno << false;
        QTest::newRow("refused by the user")
            << 1 << "" << QByteArray() << "" << false << rechazada << false;
        QTest::newRow("failed in the portal")
            << 2 << "" << QByteArray() << "" << false << rechazada << false;
        QTest::newRow("a file that is not there")
            << 0 << "" << QByteArray() << "file:///no/such/dir/out.png" << false << archivo
            << false;
        QTest::newRow("a file that is no picture is deleted all the same")
            << 0 << "out.png" << QByteArray() << "" << false << archivo << false;
        QTest::newRow("not a local file")
            << 0 << "" << QByteArray() << "https://example.org/out.png" << false << archivo
            << false;
    }

    void respuesta() {
        QFETCH(int, codigo);
        QFETCH(QString, archivo);
        QFETCH(QByteArray, formato);
        QFETCH(QString, uri);
        QFETCH(bool, antes);
        QFETCH(int, fallo);
        QFETCH(bool, quedaArchivo);

        QString ruta;
        if (!archivo.isEmpty()) {
            ruta = m_dir.filePath(archivo);
            if (formato.isEmpty()) {
                QFile texto(ruta);
                QVERIFY(texto.open(QIODevice::WriteOnly));
                texto.write("no picture here");
            } else {
                QImage imagen(64, 32, QImage::Format_RGB32);
                imagen.fill(QColor(10, 200, 30));
                QVERIFY(imagen.save(ruta, formato.constData()));
            }
            if (uri.isEmpty()) {
                uri = QUrl::fromLocalFile(ruta).toString(QUrl::FullyEncoded);
            }
        }

        PortalEnBus portalFalso(conectar(), {codigo, uri, antes});
        QVERIFY(portalFalso.listo);

        PortalCaptura portal(conectar(), std::chrono::milliseconds(3000));
        const auto resultado = pedir(portal, 3000);
        QVERIFY2(resultado.has_value(), "an answer, once");
        QCOMPARE(int(resultado->fallo), fallo);
        QCOMPARE(resultado->imagen.isNull(), fallo != int(PortalCaptura::Fallo::Ninguno));
        if (!resultado->imagen.isNull()) {
            QCOMPARE(resultado->imagen.size(), QSize(64, 32));
            QCOMPARE(resultado->imagen.pixel(5, 5), qRgb(10, 200, 30));
        }
        if (!ruta.isEmpty()) {
            QCOMPARE(QFile::exists(ruta), quedaArchivo);
        }
        // Asked without a dialog of its own.
        QCOMPARE(portalFalso.falso.opciones.value(QStringLiteral("interactive")), QVariant(false));
    }

    void sinRespuesta() {
        PortalEnBus portalFalso(conectar(), {-1, {}, false});
        QVERIFY(portalFalso.listo);

        PortalCaptura portal(conectar(), std::chrono::milliseconds(300));
        QElapsedTimer reloj;
        reloj.start();
        const auto resultado = pedir(portal, 3000);
        QVERIFY(resultado.has_value());
        QCOMPARE(resultado->fallo, PortalCaptura::Fallo::Plazo);
        // Qt's timers may fire a few percent early.
        QVERIFY2(reloj.elapsed() >= 250 && reloj.elapsed() < 2000,
                 qPrintable(QString::number(reloj.elapsed())));
        // The portal is told to drop it: no dialog or picture may come later.
        QTRY_VERIFY_WITH_TIMEOUT(portalFalso.falso.pedido.cerrado, 2000);
    }

    void sinPortal() {
        PortalCaptura portal(conectar(), std::chrono::milliseconds(3000));
        QElapsedTimer reloj;
        reloj.start();
        const auto resultado = pedir(portal, 3000);
        QVERIFY(resultado.has_value());
        QCOMPARE(resultado->fallo, PortalCaptura::Fallo::SinPortal);
        QVERIFY2(reloj.elapsed() < 1000, "known at once, without waiting for the deadline");
    }

    void sinBus() {
        PortalCaptura portal(
            QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                          QStringLiteral("sinbus")),
            std::chrono::milliseconds(3000));
        const auto resultado = pedir(portal, 1000);
        QVERIFY(resultado.has_value());
        QCOMPARE(resultado->fallo, PortalCaptura::Fallo::SinPortal);
    }

    // What the store's table says for a program the portal knows by no application id.
    void desdeTabla_data() {
        QTest::addColumn<QVariantMap>("tabla");
        QTest::addColumn<int>("permiso");
        using P = PermisoCaptura::Permiso;
        QTest::newRow("allowed") << QVariantMap{{"", QStringList{"yes"}}} << int(P::Concedido);
        QTest::newRow("refused") << QVariantMap{{"", QStringList{"no"}}} << int(P::Denegado);
        QTest::newRow("asked every time")
            << QVariantMap{{"", QStringList{"ask"}}} << int(P::SinDecidir);
        QTest::newRow("only another program allowed")
            << QVariantMap{{"org.example.Otro", QStringList{"yes"}}} << int(P::SinDecidir);
        QTest::newRow("an empty answer") << QVariantMap{{"", QStringList{}}} << int(P::SinDecidir);
        QTest::newRow("nothing kept") << QVariantMap{} << int(P::SinDecidir);
    }
    void desdeTabla() {
        QFETCH(QVariantMap, tabla);
        QFETCH(int, permiso);
        QMap<QString, QStringList> permisos;
        for (auto it = tabla.cbegin(); it != tabla.cend(); ++it) {
            permisos.insert(it.key(), it.value().toStringList());
        }
        QCOMPARE(int(PermisoCaptura::desdeTabla(permisos)), permiso);
    }

    // Asked of a store on the bus: its answer, the portal's never having asked, or no store.
    void consultar_data() {
        QTest::addColumn<bool>("almacen");
        QTest::addColumn<QVariantMap>("tabla");
        QTest::addColumn<int>("permiso");
        using P = PermisoCaptura::Permiso;
        QTest::newRow("allowed") << true << QVariantMap{{"", QStringList{"yes"}}}
                                 << int(P::Concedido);
        QTest::newRow("refused") << true << QVariantMap{{"", QStringList{"no"}}}
                                 << int(P::Denegado);
        QTest::newRow("never asked: no table") << true << QVariantMap{} << int(P::SinDecidir);
        QTest::newRow("no store") << false << QVariantMap{} << int(P::Desconocido);
    }
    void consultar() {
        QFETCH(bool, almacen);
        QFETCH(QVariantMap, tabla);
        QFETCH(int, permiso);
        QMap<QString, QStringList> permisos;
        for (auto it = tabla.cbegin(); it != tabla.cend(); ++it) {
            permisos.insert(it.key(), it.value().toStringList());
        }
        qDBusRegisterMetaType<QMap<QString, QStringList>>();
        FalsoAlmacen falso(permisos);
        QDBusConnection suya = conectar();
        if (almacen) {
            QVERIFY(
                suya.registerObject(QStringLiteral("/org/freedesktop/impl/portal/PermissionStore"),
                                    &falso, QDBusConnection::ExportAllSlots));
            QVERIFY(suya.registerService(
                QStringLiteral("org.freedesktop.impl.portal.PermissionStore")));
        }
        PermisoCaptura consulta(conectar());
        std::optional<PermisoCaptura::Permiso> dicho;
        consulta.consultar([&dicho](PermisoCaptura::Permiso p) { dicho = p; });
        QVERIFY2(!dicho, "the answer comes later, from the event loop");
        QTRY_VERIFY_WITH_TIMEOUT(dicho.has_value(), 3000);
        QCOMPARE(int(*dicho), permiso);
        QDBusConnection::disconnectFromBus(suya.name());
    }

    // While the portal may be asking the user, no deadline ends the wait.
    void sinPlazo() {
        PortalEnBus portalFalso(conectar(), {-1, {}, false});
        QVERIFY(portalFalso.listo);
        PortalCaptura portal(conectar(), PortalCaptura::SinPlazo);
        const auto resultado = pedir(portal, 1500);
        QVERIFY2(!resultado.has_value(), "still waiting for the user");
        QVERIFY(!portalFalso.falso.pedido.cerrado);
    }

    void cancelada() {
        const QString ruta = m_dir.filePath(QStringLiteral("tarde.png"));
        QImage imagen(8, 8, QImage::Format_RGB32);
        imagen.fill(Qt::black);
        QVERIFY(imagen.save(ruta, "PNG"));
        PortalEnBus portalFalso(conectar(), {0, QUrl::fromLocalFile(ruta).toString(), false});
        QVERIFY(portalFalso.listo);

        bool llamado = false;
        auto* portal = new PortalCaptura(conectar(), std::chrono::milliseconds(3000));
        portal->pedir([&llamado](PortalCaptura::Resultado) { llamado = true; });
        delete portal; // the user gave up before the answer
        QTest::qWait(300);
        QVERIFY2(!llamado, "no answer once the request is gone");
        QFile::remove(ruta);
    }
};

QTEST_MAIN(TstPortalCaptura)
#include "tst_portal_captura.moc"
