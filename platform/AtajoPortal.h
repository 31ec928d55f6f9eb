#pragma once

#include "EscuchaPedido.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>

class QDBusMessage;
class QDBusObjectPath;
class QDBusPendingCallWatcher;

// A key the desktop itself takes for the program, through the portal's global shortcuts
// (org.freedesktop.portal.GlobalShortcuts): under Wayland the only way a key reaches a program
// whichever window has the focus. The desktop asks the user once to confirm it, or to choose
// another key; from then on it tells the program each time it is pressed. One key per object,
// needing no window.
//
// Every step is a call whose answer comes later from the event loop: whether the portal has
// global shortcuts at all (its `version`), a session, the shortcuts bound in an earlier run, and
// only when the key is not among them, the key bound (which is when the desktop asks the user).
// The requests' answers come as Response signals on objects whose paths the portal derives from
// this connection's name and a token of ours: each is listened for before its call is sent.
class AtajoPortal : public QObject {
    Q_OBJECT
public:
    enum class Fallo {
        Ninguno,
        SinAtajos, // no portal answers, or it offers no global shortcuts
        Rechazado, // the portal or the user refused, or the key was left out
    };
    struct Resultado {
        Fallo fallo = Fallo::Ninguno;
        QString detalle; // what went wrong, for the log
    };
    using Listo = std::function<void(Resultado)>;

    explicit AtajoPortal(QDBusConnection conexion = QDBusConnection::sessionBus(),
                         QObject* padre = nullptr);
    // Closes the session: the desktop lets go of the key.
    ~AtajoPortal() override;

    // Asks for the shortcut `id`, described to the user as `descripcion`, on the key `disparador`
    // if the desktop agrees (in the format of TeclasX11::disparadorXdg; empty: the desktop or the
    // user chooses). `listo` runs once, later, from the event loop, never inside this call; not
    // at all once the object is gone. From then on, if it was bound, `alPulsar` runs at each
    // press.
    void registrar(const QString& id, const QString& descripcion, const QString& disparador,
                   std::function<void()> alPulsar, Listo listo);
    // Once bound, `perdido` runs (once, with why, for the log) if the desktop lets go of the key
    // later: the portal closes the session, or goes (it is restarted, say). The presses stop.
    using Perdido = std::function<void(const QString& motivo)>;
    void alPerder(Perdido perdido) { m_alPerder = std::move(perdido); }

private slots:
    void respuesta(uint codigo, const QVariantMap& resultados);
    void activado(const QDBusObjectPath& sesion, const QString& id, qulonglong momento,
                  const QVariantMap& opciones);
    void sesionCerrada(const QVariantMap& detalles);

private:
    enum class Paso { Nada, Version, Sesion, Lista, Atajos, Hecho };

    void versionLeida(QDBusPendingCallWatcher* llamada);
    void crearSesion();
    void listar();
    void atar();
    void escucharActivado(); // bound: from now on each press counts
    QVariant atajos() const; // the shortcut asked for, as the portal takes it: a(sa{sv})
    // Sends `llamada`, whose answer comes on the request object of `token`.
    void pedir(QDBusMessage llamada, const QString& token);
    void pedidoHecho(QDBusPendingCallWatcher* llamada);
    void cerrarSesion();
    void dejarDeEscucharActivado();
    void perder(const QString& motivo);
    void terminar(Resultado resultado);

    QDBusConnection m_conexion;
    EscuchaPedido m_pedido;
    Paso m_paso = Paso::Nada;
    QString m_id;
    QString m_descripcion;
    QString m_disparador;
    QDBusPendingCallWatcher* m_llamada = nullptr; // the request whose reply is awaited
    QString m_sesion;                             // the session's object, once made
    bool m_escuchaActivado = false;
    std::function<void()> m_alPulsar;
    Listo m_listo;
    Perdido m_alPerder;
};
