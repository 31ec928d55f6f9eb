// A screenshot portal that takes every request and never answers it, for the end-to-end tests of
// waiting for the screen: run on the session bus, it holds the portal's name.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QObject>
#include <QVariantMap>
#include <cstdio>

namespace {
class PortalMudo : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")
public slots:
    QDBusObjectPath Screenshot(const QString&, const QVariantMap& opciones,
                               const QDBusMessage& llamada) {
        QString emisor = llamada.service().mid(1);
        emisor.replace(QLatin1Char('.'), QLatin1Char('_'));
        std::printf("pedida\n");
        std::fflush(stdout);
        return QDBusObjectPath(QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                                   .arg(emisor, opciones.value("handle_token").toString()));
    }
};
} // namespace

int main(int argc, char** argv) {
    QCoreApplication aplicacion(argc, argv);
    PortalMudo portal;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop"))) {
        std::fprintf(stderr, "portal_mudo: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    std::printf("listo\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

#include "portal_mudo.moc"
