#pragma once

#include "PortalCaptura.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>
#include <chrono>
#include <optional>

class QDBusPendingCallWatcher;
class QSocketNotifier;

// Asks KWin, KDE Plasma's compositor, for a picture of the whole workspace through its own
// screenshot interface (org.kde.KWin.ScreenShot2), without asking the user: KWin grants it to a
// program whose desktop entry, naming the program by its full path, lists that interface in
// X-KDE-DBUS-Restricted-Interfaces. One request per object; it needs no window.
//
// The picture comes as raw pixels through a pipe of ours, after the call's reply has said their
// size and format; it never touches the disk. The reading end is watched, not polled, and the
// request ends when KWin closes its end.
class CapturaKWin : public QObject {
    Q_OBJECT
public:
    using Resultado = PortalCaptura::Resultado;
    using Fallo = PortalCaptura::Fallo;
    using Listo = PortalCaptura::Listo;

    explicit CapturaKWin(QDBusConnection conexion = QDBusConnection::sessionBus(),
                         std::chrono::milliseconds plazo = PortalCaptura::PlazoPorDefecto,
                         QObject* padre = nullptr);
    ~CapturaKWin() override;

    // KWin offers its screenshot interface on this bus.
    static bool disponible(const QDBusConnection& conexion = QDBusConnection::sessionBus());

    // Sends the request. `listo` runs once, later, from the event loop, never inside this call;
    // not at all once the object is gone. It may let go of this object only with deleteLater().
    void pedir(Listo listo);

    // The picture that raw `datos` make as the reply's `atributos` describe them (type "raw",
    // width, height, stride, QImage format); null when they do not add up.
    static QImage imagenCruda(const QByteArray& datos, const QVariantMap& atributos);

private:
    void llamadaHecha(QDBusPendingCallWatcher* llamada);
    void leer();
    void cerrarLectura();
    void quizaTerminar();
    void terminar(Resultado resultado);

    QDBusConnection m_conexion;
    std::chrono::milliseconds m_plazo;
    int m_lectura = -1; // our end of the pipe
    QSocketNotifier* m_aviso = nullptr;
    QByteArray m_datos;
    bool m_leido = false;                   // KWin closed its end
    std::optional<QVariantMap> m_atributos; // the reply
    Listo m_listo;
};
