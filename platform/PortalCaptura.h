#pragma once

#include "EscuchaPedido.h"

#include <QDBusConnection>
#include <QImage>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <chrono>
#include <functional>

class QDBusPendingCallWatcher;
class QTimer;

// Asks the desktop's screenshot service (the portal's org.freedesktop.portal.Screenshot) for a
// picture of the whole screen, without a dialog of its own. One request per object; it needs no
// window.
//
// The answer comes as a Response signal on a request object whose path the portal derives from
// this connection's name and a token of ours: the signal is listened for before the call, so an
// answer can never come before anyone listens. The picture arrives as a file, which is read into
// memory and deleted at once: the capture must not stay on disk.
class PortalCaptura : public QObject {
    Q_OBJECT
public:
    enum class Fallo {
        Ninguno,
        SinPortal, // no service answers, or it has no screenshots
        Rechazada, // the user or the service said no
        Plazo,     // no answer in time
        Archivo,   // the answer names no picture that can be read
    };
    struct Resultado {
        QImage imagen; // null unless fallo is Ninguno
        Fallo fallo = Fallo::Ninguno;
        QString detalle; // what went wrong, for the log
    };
    using Listo = std::function<void(Resultado)>;

    static constexpr std::chrono::milliseconds PlazoPorDefecto{5000};
    // No deadline: the portal may be asking the user, who takes the time they take.
    static constexpr std::chrono::milliseconds SinPlazo{0};

    explicit PortalCaptura(QDBusConnection conexion = QDBusConnection::sessionBus(),
                           std::chrono::milliseconds plazo = PlazoPorDefecto,
                           QObject* padre = nullptr);
    ~PortalCaptura() override;

    // Sends the request. `listo` runs once, later, from the event loop, never inside this call;
    // not at all once the object is gone. It may let go of this object only with deleteLater().
    void pedir(Listo listo);

    // The path of the request object the portal makes for `token` on a connection named
    // `nombreUnico` (":1.42" gives "/org/freedesktop/portal/desktop/request/1_42/<token>").
    static QString rutaPedido(const QString& nombreUnico, const QString& token);

    // The local file a `file://` URI names, percent-escapes decoded; empty for anything else.
    static QString archivoDeUri(const QString& uri);

private slots:
    void respuesta(uint codigo, const QVariantMap& resultados);

private:
    void llamadaHecha(QDBusPendingCallWatcher* llamada);
    void terminar(Resultado resultado);

    QDBusConnection m_conexion;
    std::chrono::milliseconds m_plazo;
    QTimer* m_reloj;
    EscuchaPedido m_pedido;
    Listo m_listo;
};
