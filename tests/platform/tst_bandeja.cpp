// The tray icon's own pieces: the menu exported over D-Bus (com.canonical.dbusmenu), the
// StatusNotifierItem and its clicks, the desktop's notifications, each against a fake of the
// other side on a private session bus; and the XEmbed icon's window, which reports releases.
#include "AdaptadorSni.h"
#include "BusPrueba.h"
#include "ElementoSni.h"
#include "MenuDBus.h"
#include "Notificaciones.h"
#include "TiposDBusBandeja.h"
#include "VentanaIconoXEmbed.h"

#include <QAction>
#include <QActionGroup>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>
#include <QtEndian>
#include <memory>

Q_DECLARE_METATYPE(Qt::MouseButton)

namespace {

// An item as a tray reads it, in one line: "separator", or "label=<label>", then " icon" for a
// picture that is a PNG of the menu's pictures' size, " disabled", " hidden", " checkmark=<state>"
// or " radio=<state>", " submenu". Any other property shows as " ?<name>".
QString describir(const QVariantMap& p) {
    QString d;
    QStringList vistas;
    if (p.value(QStringLiteral("type")) == QStringLiteral("separator")) {
        d = QStringLiteral("separator");
        vistas << QStringLiteral("type");
    } else {
        d = QStringLiteral("label=") + p.value(QStringLiteral("label")).toString();
        vistas << QStringLiteral("label");
    }
    if (p.contains(QStringLiteral("icon-data"))) {
        const QImage imagen =
            QImage::fromData(p.value(QStringLiteral("icon-data")).toByteArray(), "PNG");
        d += imagen.size() == QSize(13, 13) ? QStringLiteral(" icon") : QStringLiteral(" bad-icon");
        vistas << QStringLiteral("icon-data");
    }
    if (p.contains(QStringLiteral("enabled"))) {
        d += p.value(QStringLiteral("enabled")).toBool() ? QStringLiteral(" enabled")
                                                         : QStringLiteral(" disabled");
        vistas << QStringLiteral("enabled");
    }
    if (p.contains(QStringLiteral("visible"))) {
        d += p.value(QStringLiteral("visible")).toBool() ? QStringLiteral(" visible")
                                                         : QStringLiteral(" hidden");
        vistas << QStringLiteral("visible");
    }
    if (p.contains(QStringLiteral("toggle-type"))) {
        d += QStringLiteral(" %1=%2")
                 .arg(p.value(QStringLiteral("toggle-type")).toString())
                 .arg(p.value(QStringLiteral("toggle-state")).toInt());
        vistas << QStringLiteral("toggle-type") << QStringLiteral("toggle-state");
    }
    if (p.contains(QStringLiteral("children-display"))) {
        d += QStringLiteral(" ") + p.value(QStringLiteral("children-display")).toString();
        vistas << QStringLiteral("children-display");
    }
    for (auto i = p.cbegin(); i != p.cend(); ++i) {
        if (!vistas.contains(i.key())) {
            d += QStringLiteral(" ?") + i.key();
        }
    }
    return d;
}

QPixmap imagen13(QColor color) {
    QPixmap p(13, 13);
    p.fill(color);
    return p;
}

// A menu made from one line per item: "-" a separator, "!" before a caption disabled, "~"
// hidden, "*" with a picture, "[x]" or "[ ]" checkable (checked or not), "(x)" in an exclusive
// group, ">" a submenu holding one item "Sub".
void llenar(QMenu& menu, const QStringList& lineas) {
    auto* grupo = new QActionGroup(&menu);
    for (QString linea : lineas) {
        if (linea == QLatin1String("-")) {
            menu.addSeparator();
            continue;
        }
        bool activa = true, visible = true, imagen = false, submenu = false;
        int marca = -1; // -1: not checkable
        bool radio = false;
        while (!linea.isEmpty()) {
            if (linea.startsWith(QLatin1Char('!'))) {
                activa = false;
            } else if (linea.startsWith(QLatin1Char('~'))) {
                visible = false;
            } else if (linea.startsWith(QLatin1Char('*'))) {
                imagen = true;
            } else if (linea.startsWith(QLatin1Char('>'))) {
                submenu = true;
            } else if (linea.startsWith(QLatin1String("[x]")) ||
                       linea.startsWith(QLatin1String("[ ]")) ||
                       linea.startsWith(QLatin1String("(x)"))) {
                marca = linea.at(1) == QLatin1Char('x') ? 1 : 0;
                radio = linea.startsWith(QLatin1Char('('));
                linea.remove(0, 2);
            } else {
                break;
            }
            linea.remove(0, 1);
        }
        QAction* accion = nullptr;
        if (submenu) {
            QMenu* sub = menu.addMenu(linea);
            sub->addAction(QStringLiteral("Sub"));
            accion = sub->menuAction();
        } else {
            accion = menu.addAction(linea);
        }
        accion->setEnabled(activa);
        accion->setVisible(visible);
        if (imagen) {
            accion->setIcon(imagen13(Qt::red));
        }
        if (marca >= 0) {
            accion->setCheckable(true);
            accion->setChecked(marca == 1);
            if (radio) {
                grupo->addAction(accion);
            }
        }
    }
}

// The reply of a method call, or an invalid message when it failed.
QDBusMessage llamar(QDBusConnection& conexion, const QString& servicio, const QString& ruta,
                    const QString& interfaz, const QString& metodo, const QVariantList& args) {
    QDBusMessage m = QDBusMessage::createMethodCall(servicio, ruta, interfaz, metodo);
    m.setArguments(args);
    // The program's side answers from this thread: the call lets it.
    const QDBusMessage r = conexion.call(m, QDBus::BlockWithGui, 5000);
    if (r.type() != QDBusMessage::ReplyMessage) {
        qWarning("%s: %s", qPrintable(metodo), qPrintable(r.errorMessage()));
    }
    return r;
}

const QString Dbusmenu = QStringLiteral("com.canonical.dbusmenu");
const QString Sni = QStringLiteral("org.kde.StatusNotifierItem");

class VigiaFalso : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
public:
    QStringList registrados;
public slots:
    Q_SCRIPTABLE void RegisterStatusNotifierItem(const QString& servicio) {
        registrados << servicio;
    }
};

class NotificacionesFalsas : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList recibidas; // "icon|summary|body"
public slots:
    Q_SCRIPTABLE uint Notify(const QString&, uint, const QString& icono, const QString& titulo,
                             const QString& texto, const QStringList&, const QVariantMap&, int) {
        recibidas << icono + QLatin1Char('|') + titulo + QLatin1Char('|') + texto;
        return uint(recibidas.size());
    }
};

} // namespace

class TstBandeja : public QObject {
    Q_OBJECT

    BusPrueba m_bus;
    QDBusConnection m_servidor{QString()}; // the program's side
    QDBusConnection m_cliente{QString()};  // the tray's side

    // The menu exported as `lineas` make it, and its layout as a tray reads it.
    ElementoMenuDBus disposicion(uint* revision = nullptr) {
        const QDBusMessage r = llamar(m_cliente, m_servidor.baseService(), MenuDBus::Ruta, Dbusmenu,
                                      QStringLiteral("GetLayout"), {0, -1, QStringList()});
        if (r.arguments().size() != 2) {
            return {};
        }
        if (revision != nullptr) {
            *revision = r.arguments().at(0).toUInt();
        }
        return qdbus_cast<ElementoMenuDBus>(r.arguments().at(1));
    }

private slots:
    void initTestCase() {
        registrarTiposDBusBandeja();
        QVERIFY(m_bus.iniciar());
        m_servidor = m_bus.conectar();
        m_cliente = m_bus.conectar();
        QVERIFY(m_servidor.isConnected() && m_cliente.isConnected());
    }

    // Each action is an item under the menu (item 0), in its order, with what a tray shows.
    void menuExportado_data() {
        QTest::addColumn<QStringList>("lineas");
        QTest::addColumn<QStringList>("esperado");
        QTest::newRow("the tray menu: pictures and two separators")
            << QStringList{"* Tizo", "* Dibujar Fondo", "* Borrar Todo", "-", "* Mostrar / Ocultar",
                           "-",      "* Salir"}
            << QStringList{
                   "label= Tizo icon", "label= Dibujar Fondo icon",     "label= Borrar Todo icon",
                   "separator",        "label= Mostrar / Ocultar icon", "separator",
                   "label= Salir icon"};
        QTest::newRow("disabled and hidden")
            << QStringList{"!Gris", "~Oculta", "!*Gris con imagen"}
            << QStringList{"label=Gris disabled", "label=Oculta hidden",
                           "label=Gris con imagen icon disabled"};
        QTest::newRow("mnemonics: & becomes _, a _ is doubled, && is &")
            << QStringList{"&Archivo", "a_b", "Uno && dos"}
            << QStringList{"label=_Archivo", "label=a__b", "label=Uno & dos"};
        QTest::newRow("checks and radios")
            << QStringList{"[x]Marcada", "[ ]Sin marcar", "(x)Radio"}
            << QStringList{"label=Marcada checkmark=1", "label=Sin marcar checkmark=0",
                           "label=Radio radio=1"};
        QTest::newRow("a submenu") << QStringList{">Más"} << QStringList{"label=Más submenu"};
    }

    void menuExportado() {
        QFETCH(QStringList, lineas);
        QFETCH(QStringList, esperado);
        QMenu menu;
        llenar(menu, lineas);
        MenuDBus exportado(&menu);
        QVERIFY(exportado.exportar(m_servidor));
        const ElementoMenuDBus raiz = disposicion();
        QCOMPARE(raiz.id, 0);
        QCOMPARE(describir(raiz.propiedades), QStringLiteral("label= submenu"));
        QStringList leido;
        QList<int> ids;
        for (const ElementoMenuDBus& hijo : raiz.hijos) {
            leido << describir(hijo.propiedades);
            ids << hijo.id;
            QVERIFY(hijo.id > 0);
        }
        QCOMPARE(leido, esperado);
        QCOMPARE(QSet<int>(ids.cbegin(), ids.cend()).size(), ids.size()); // ids of their own
        for (int i = 0; i < ids.size(); ++i) {
            QCOMPARE(ids[i], exportado.idDe(menu.actions().at(i)));
        }
        // A submenu's item lies under it.
        if (esperado.constLast().endsWith(QLatin1String("submenu"))) {
            QCOMPARE(raiz.hijos.constLast().hijos.size(), 1);
            QCOMPARE(describir(raiz.hijos.constLast().hijos.constFirst().propiedades),
                     QStringLiteral("label=Sub"));
        }
        exportado.retirar();
    }

    // A tray may ask for some properties of some items.
    void propiedadesPedidas() {
        QMenu menu;
        llenar(menu, {"*Uno", "!Dos"});
        MenuDBus exportado(&menu);
        QVERIFY(exportado.exportar(m_servidor));
        const int uno = exportado.idDe(menu.actions().at(0));
        const int dos = exportado.idDe(menu.actions().at(1));
        QDBusMessage r = llamar(
            m_cliente, m_servidor.baseService(), MenuDBus::Ruta, Dbusmenu,
            QStringLiteral("GetGroupProperties"),
            {QVariant::fromValue(QList<int>{uno, dos, 999}), QStringList{QStringLiteral("label")}});
        QCOMPARE(r.arguments().size(), 1);
        const auto lista = qdbus_cast<ListaPropiedadesMenuDBus>(r.arguments().at(0));
        QCOMPARE(lista.size(), 2); // no item 999
        QCOMPARE(lista[0].id, uno);
        QCOMPARE(lista[0].propiedades, (QVariantMap{{"label", "Uno"}}));
        QCOMPARE(lista[1].propiedades, (QVariantMap{{"label", "Dos"}}));
        r = llamar(m_cliente, m_servidor.baseService(), MenuDBus::Ruta, Dbusmenu,
                   QStringLiteral("GetProperty"), {dos, QStringLiteral("enabled")});
        QCOMPARE(r.arguments().size(), 1);
        QCOMPARE(r.arguments().at(0).value<QDBusVariant>().variant(), QVariant(false));
        // The interface's own properties.
        r = llamar(m_cliente, m_servidor.baseService(), MenuDBus::Ruta,
                   QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                   {Dbusmenu, QStringLiteral("Version")});
        QCOMPARE(r.arguments().size(), 1);
        QCOMPARE(r.arguments().at(0).value<QDBusVariant>().variant().toUInt(), 3u);
        exportado.retirar();
    }

    // An item clicked in the tray's copy of the menu triggers its action; anything else, or a
    // disabled item, does nothing.
    void clicEnElMenu_data() {
        QTest::addColumn<int>("cual");
        QTest::addColumn<QString>("evento");
        QTest::addColumn<bool>("agrupado"); // through EventGroup
        QTest::addColumn<bool>("dispara");
        QTest::newRow("clicked") << 0 << "clicked" << false << true;
        QTest::newRow("clicked, in a group") << 0 << "clicked" << true << true;
        QTest::newRow("hovered") << 0 << "hovered" << false << false;
        QTest::newRow("clicked, disabled") << 1 << "clicked" << false << false;
    }

    void clicEnElMenu() {
        QFETCH(int, cual);
        QFETCH(QString, evento);
        QFETCH(bool, agrupado);
        QFETCH(bool, dispara);
        QMenu menu;
        llenar(menu, {"Uno", "!Dos"});
        MenuDBus exportado(&menu);
        QVERIFY(exportado.exportar(m_servidor));
        QAction* accion = menu.actions().at(cual);
        QSignalSpy disparada(accion, &QAction::triggered);
        const int id = exportado.idDe(accion);
        const QDBusVariant datos(QVariant(0));
        if (agrupado) {
            const ListaEventosMenuDBus eventos{{id, evento, datos, 0}};
            llamar(m_cliente, m_servidor.baseService(), MenuDBus::Ruta, Dbusmenu,
                   QStringLiteral("EventGroup"), {QVariant::fromValue(eventos)});
        } else {
            llamar(m_cliente, m_servidor.baseService(), MenuDBus::Ruta, Dbusmenu,
                   QStringLiteral("Event"), {id, evento, QVariant::fromValue(datos), 0u});
        }
        QTest::qWait(50);
        QCOMPARE(disparada.size(), dispara ? 1 : 0);
        exportado.retirar();
    }

    // Items that come or go are announced, once, with a new revision of the layout; an item
    // that changes, with its new properties and those it no longer has.
    void cambioAnunciado() {
        QMenu menu;
        llenar(menu, {"Uno"});
        MenuDBus exportado(&menu);
        QVERIFY(exportado.exportar(m_servidor));
        uint antes = 0;
        QCOMPARE(disposicion(&antes).hijos.size(), 1);
        QSignalSpy disposicionNueva(&exportado, &MenuDBus::LayoutUpdated);
        QSignalSpy propiedadesNuevas(&exportado, &MenuDBus::ItemsPropertiesUpdated);
        menu.addAction(QStringLiteral("Dos"));
        menu.actions().at(0)->setEnabled(false);
        QTRY_COMPARE(disposicionNueva.size(), 1);
        uint despues = 0;
        const ElementoMenuDBus raiz = disposicion(&despues);
        QVERIFY(despues > antes);
        QCOMPARE(disposicionNueva.at(0).at(0).toUInt(), despues);
        QCOMPARE(describir(raiz.hijos.at(0).propiedades), QStringLiteral("label=Uno disabled"));
        QCOMPARE(describir(raiz.hijos.at(1).propiedades), QStringLiteral("label=Dos"));
        QCOMPARE(propiedadesNuevas.size(), 0); // the new layout holds them

        QAction* uno = menu.actions().at(0);
        uno->setEnabled(true);
        uno->setText(QStringLiteral("Uno bis"));
        QTRY_COMPARE(propiedadesNuevas.size(), 1);
        QTest::qWait(20);
        QCOMPARE(disposicionNueva.size(), 1);
        const auto nuevas = propiedadesNuevas.at(0).at(0).value<ListaPropiedadesMenuDBus>();
        const auto quitadas = propiedadesNuevas.at(0).at(1).value<ListaQuitadasMenuDBus>();
        QCOMPARE(nuevas.size(), 1);
        QCOMPARE(nuevas[0].id, exportado.idDe(uno));
        QCOMPARE(describir(nuevas[0].propiedades), QStringLiteral("label=Uno bis"));
        QCOMPARE(quitadas.size(), 1);
        QVERIFY(quitadas[0].nombres.contains(QStringLiteral("enabled")));
        QVERIFY(!quitadas[0].nombres.contains(QStringLiteral("label")));
        exportado.retirar();
    }

    // What a tray reads of the item: who it is, its pictures (ARGB32, big-endian, at several
    // sizes), its tooltip and where its menu is.
    void propiedadesSni() {
        QImage dibujo(48, 48, QImage::Format_ARGB32);
        dibujo.fill(Qt::transparent);
        dibujo.setPixelColor(10, 20, QColor(0x11, 0x22, 0x33, 0xff));
        QMenu menu;
        ElementoSni sni(QIcon(QPixmap::fromImage(dibujo)), &menu, nullptr, m_servidor);
        sni.ponerTip(QStringLiteral("Tizo (F9 no disponible)"));
        sni.mostrar();
        const QDBusMessage r = llamar(m_cliente, sni.servicio(), ElementoSni::Ruta,
                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                      QStringLiteral("GetAll"), {Sni});
        QCOMPARE(r.arguments().size(), 1);
        const QVariantMap p = qdbus_cast<QVariantMap>(r.arguments().at(0));
        QCOMPARE(p.value("Id").toString(), QStringLiteral("tizo"));
        QCOMPARE(p.value("Title").toString(), QStringLiteral("Tizo"));
        QCOMPARE(p.value("Category").toString(), QStringLiteral("ApplicationStatus"));
        QCOMPARE(p.value("Status").toString(), QStringLiteral("Active"));
        QCOMPARE(p.value("ItemIsMenu").toBool(), false);
        QCOMPARE(p.value("Menu").value<QDBusObjectPath>().path(), MenuDBus::Ruta);
        const TipSni tip = qdbus_cast<TipSni>(p.value("ToolTip"));
        QCOMPARE(tip.titulo, QStringLiteral("Tizo (F9 no disponible)"));
        const ListaPixmapsSni pixmaps = qdbus_cast<ListaPixmapsSni>(p.value("IconPixmap"));
        QList<int> lados;
        for (const PixmapSni& pixmap : pixmaps) {
            QCOMPARE(pixmap.alto, pixmap.ancho);
            QCOMPARE(pixmap.datos.size(), pixmap.ancho * pixmap.alto * 4);
            lados << pixmap.ancho;
            if (pixmap.ancho == 48) {
                const auto* bytes =
                    reinterpret_cast<const uchar*>(pixmap.datos.constData()) + (20 * 48 + 10) * 4;
                QCOMPARE(QList<int>({bytes[0], bytes[1], bytes[2], bytes[3]}),
                         QList<int>({0xff, 0x11, 0x22, 0x33})); // A, R, G, B
                QCOMPARE(int(pixmap.datos.at(0)), 0);           // clear elsewhere
            }
        }
        QCOMPARE(lados, QList<int>({16, 22, 24, 32, 48, 64}));
        // Its menu lies beside it, on the same name.
        const QDBusMessage menuR = llamar(m_cliente, sni.servicio(), MenuDBus::Ruta, Dbusmenu,
                                          QStringLiteral("GetLayout"), {0, -1, QStringList()});
        QCOMPARE(menuR.arguments().size(), 2);
        // A new tooltip is announced.
        QSignalSpy tipNuevo(sni.adaptador(), &AdaptadorSni::NewToolTip);
        sni.ponerTip(QStringLiteral("Tizo"));
        QCOMPARE(tipNuevo.size(), 1);
    }

    // The tray says where a click was: Activate is the left button, ContextMenu (a tray with no
    // menu of its own) the right one, SecondaryActivate the middle one.
    void clicsSni_data() {
        QTest::addColumn<QString>("metodo");
        QTest::addColumn<Qt::MouseButton>("boton");
        QTest::newRow("Activate") << "Activate" << Qt::LeftButton;
        QTest::newRow("ContextMenu") << "ContextMenu" << Qt::RightButton;
        QTest::newRow("SecondaryActivate") << "SecondaryActivate" << Qt::MiddleButton;
    }

    void clicsSni() {
        QFETCH(QString, metodo);
        QFETCH(Qt::MouseButton, boton);
        QMenu menu;
        ElementoSni sni(QIcon(), &menu, nullptr, m_servidor);
        sni.mostrar();
        QSignalSpy clic(&sni, &IconoBandeja::clic);
        llamar(m_cliente, sni.servicio(), ElementoSni::Ruta, Sni, metodo, {1234, 567});
        QTRY_COMPARE(clic.size(), 1);
        QCOMPARE(clic.at(0).at(0).value<Qt::MouseButton>(), boton);
        QCOMPARE(clic.at(0).at(1).toPoint(), QPoint(1234, 567));
    }

    // The item is registered with the watcher when it shows, and again when a watcher starts;
    // hidden, its name is gone from the bus (a watcher drops it then).
    void registroEnElVigia() {
        QDBusConnection conexionVigia = m_bus.conectar();
        VigiaFalso vigia;
        QVERIFY(conexionVigia.registerObject(QStringLiteral("/StatusNotifierWatcher"), &vigia,
                                             QDBusConnection::ExportScriptableSlots));
        QVERIFY(conexionVigia.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
        QMenu menu;
        ElementoSni sni(QIcon(), &menu, nullptr, m_servidor);
        QTest::qWait(50);
        QVERIFY(vigia.registrados.isEmpty()); // not before it shows
        sni.mostrar();
        QTRY_COMPARE(vigia.registrados, QStringList{sni.servicio()});
        QVERIFY(m_cliente.interface()->isServiceRegistered(sni.servicio()).value());
        // The panel restarts.
        QVERIFY(conexionVigia.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher")));
        QVERIFY(conexionVigia.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
        QTRY_COMPARE(vigia.registrados, QStringList({sni.servicio(), sni.servicio()}));
        sni.ocultar();
        QTRY_VERIFY(!m_cliente.interface()->isServiceRegistered(sni.servicio()).value());
        conexionVigia.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher"));
        conexionVigia.unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
    }

    // Messages go to the notification service where one runs; without one, nothing is sent.
    void notificaciones() {
        Notificaciones notificaciones(m_servidor);
        QVERIFY(!notificaciones.enviar(QStringLiteral("Tizo"), QStringLiteral("Hola"), false));
        QDBusConnection conexionServicio = m_bus.conectar();
        NotificacionesFalsas servicio;
        QVERIFY(conexionServicio.registerObject(QStringLiteral("/org/freedesktop/Notifications"),
                                                &servicio, QDBusConnection::ExportScriptableSlots));
        QVERIFY(conexionServicio.registerService(QStringLiteral("org.freedesktop.Notifications")));
        QVERIFY(notificaciones.enviar(QStringLiteral("Tizo"),
                                      QStringLiteral("Imagen guardada en /x"), false));
        QVERIFY(notificaciones.enviar(QStringLiteral("Tizo"), QStringLiteral("No se pudo"), true));
        QTRY_COMPARE(servicio.recibidas,
                     QStringList({"dialog-information|Tizo|Imagen guardada en /x",
                                  "dialog-warning|Tizo|No se pudo"}));
        conexionServicio.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
    }

    // The XEmbed icon's window reports a button released over it, where it was released, and
    // never a press; a release elsewhere (the button pressed over the icon) is no click.
    void ventanaXEmbed_data() {
        QTest::addColumn<Qt::MouseButton>("boton");
        QTest::addColumn<QPoint>("donde"); // in the window, 22 x 22
        QTest::addColumn<bool>("informa");
        QTest::newRow("left") << Qt::LeftButton << QPoint(4, 5) << true;
        QTest::newRow("right") << Qt::RightButton << QPoint(20, 20) << true;
        QTest::newRow("middle") << Qt::MiddleButton << QPoint(4, 5) << true;
        QTest::newRow("left, released outside") << Qt::LeftButton << QPoint(30, 5) << false;
    }

    void ventanaXEmbed() {
        QFETCH(Qt::MouseButton, boton);
        QFETCH(QPoint, donde);
        QFETCH(bool, informa);
        VentanaIconoXEmbed ventana(QIcon(), false);
        QCOMPARE(ventana.size(), QSize(22, 22));
        QVERIFY(ventana.testAttribute(Qt::WA_AlwaysShowToolTips));
        QSignalSpy soltado(&ventana, &VentanaIconoXEmbed::soltado);
        const QPointF global = QPointF(donde) + QPointF(1000, 700);
        QMouseEvent pulsar(QEvent::MouseButtonPress, QPointF(4, 5), QPointF(1004, 705), boton,
                           boton, Qt::NoModifier);
        QApplication::sendEvent(&ventana, &pulsar);
        QMouseEvent doble(QEvent::MouseButtonDblClick, QPointF(4, 5), QPointF(1004, 705), boton,
                          boton, Qt::NoModifier);
        QApplication::sendEvent(&ventana, &doble);
        QCOMPARE(soltado.size(), 0);
        QMouseEvent soltar(QEvent::MouseButtonRelease, QPointF(donde), global, boton, Qt::NoButton,
                           Qt::NoModifier);
        QApplication::sendEvent(&ventana, &soltar);
        QCOMPARE(soltado.size(), informa ? 1 : 0);
        if (informa) {
            QCOMPARE(soltado.at(0).at(0).value<Qt::MouseButton>(), boton);
            QCOMPARE(soltado.at(0).at(1).toPoint(), global.toPoint());
        }
    }
};

QTEST_MAIN(TstBandeja)
#include "tst_bandeja.moc"
