"""A desktop portal of the tests' that offers global shortcuts (org.freedesktop.portal.
GlobalShortcuts, version 1, as xdg-desktop-portal 1.16 to 1.20 give it), on the session bus in
place of the real one. It prints what happens on stdout, one line each: "listo", then
"listados" when a program asks for the shortcuts bound earlier (those bound since the portal
started), "atado <id> <preferred trigger> | <description>" for each shortcut a program binds,
"cerrada" when a session is closed. `Activar` of the interface io.github.tizo.Prueba, on /prueba, reports a
press of every bound shortcut.

    portal_atajos.py [acepta|cancela]

`cancela`: the user cancels the confirmation of the shortcuts (Response code 1)."""

import sys

import dbus
import dbus.lowlevel
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

SERVICIO = "org.freedesktop.portal.Desktop"
OBJETO = "/org/freedesktop/portal/desktop"
ATAJOS = "org.freedesktop.portal.GlobalShortcuts"
PROPIEDADES = "org.freedesktop.DBus.Properties"


def decir(linea):
    print(linea, flush=True)


def ruta(tipo, emisor, token):
    return f"{OBJETO}/{tipo}/{emisor[1:].replace('.', '_')}/{token}"


def atajos_de(ids):
    return dbus.Array([dbus.Struct((i, {"trigger_description": "F9"}), signature="sa{sv}")
                       for i in ids], signature="(sa{sv})")


class Sesion(dbus.service.Object):
    def __init__(self, bus, camino, portal):
        super().__init__(bus, camino)
        self.camino, self.portal, self.atajos = camino, portal, []

    @dbus.service.method("org.freedesktop.portal.Session")
    def Close(self):
        decir("cerrada")
        self.portal.sesiones.pop(self.camino, None)
        self.remove_from_connection()


class Portal(dbus.service.Object):
    def __init__(self, bus, cancela):
        super().__init__(bus, OBJETO)
        self.bus, self.cancela, self.sesiones = bus, cancela, {}
        self.recordados = []  # the shortcuts bound so far, which later sessions list

    def responder(self, camino, destino, codigo, resultados):
        """The Response of the request at `camino`, after the call's reply, as the portal does
        once the desktop has answered."""
        def enviar():
            senal = dbus.lowlevel.SignalMessage(camino, "org.freedesktop.portal.Request",
                                                "Response")
            senal.set_destination(destino)
            senal.append(dbus.UInt32(codigo), dbus.Dictionary(resultados, signature="sv"))
            self.bus.send_message(senal)
            return False
        GLib.timeout_add(50, enviar)

    @dbus.service.method(PROPIEDADES, in_signature="ss", out_signature="v")
    def Get(self, interfaz, nombre):
        if interfaz == ATAJOS and nombre == "version":
            return dbus.UInt32(1)
        raise dbus.exceptions.DBusException(f"no property {interfaz}.{nombre}",
                                            name="org.freedesktop.DBus.Error.InvalidArgs")

    @dbus.service.method(PROPIEDADES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interfaz):
        return {"version": dbus.UInt32(1)} if interfaz == ATAJOS else {}

    @dbus.service.method(ATAJOS, in_signature="a{sv}", out_signature="o", sender_keyword="emisor")
    def CreateSession(self, opciones, emisor):
        pedido = ruta("request", emisor, opciones["handle_token"])
        camino = ruta("session", emisor, opciones["session_handle_token"])
        self.sesiones[camino] = Sesion(self.bus, camino, self)
        self.responder(pedido, emisor, 0, {"session_handle": dbus.String(camino)})
        return pedido

    @dbus.service.method(ATAJOS, in_signature="oa{sv}", out_signature="o",
                         sender_keyword="emisor")
    def ListShortcuts(self, sesion, opciones, emisor):
        pedido = ruta("request", emisor, opciones["handle_token"])
        decir("listados")
        if sesion in self.sesiones:
            self.sesiones[sesion].atajos = list(self.recordados)
        self.responder(pedido, emisor, 0, {"shortcuts": atajos_de(self.recordados)})
        return pedido

    @dbus.service.method(ATAJOS, in_signature="oa(sa{sv})sa{sv}", out_signature="o",
                         sender_keyword="emisor")
    def BindShortcuts(self, sesion, atajos, ventana, opciones, emisor):
        pedido = ruta("request", emisor, opciones["handle_token"])
        for ident, propiedades in atajos:
            decir(f"atado {ident} {propiedades.get('preferred_trigger', '')} | "
                  f"{propiedades.get('description', '')}")
        if self.cancela or sesion not in self.sesiones:
            self.responder(pedido, emisor, 1, {})
            return pedido
        self.sesiones[sesion].atajos = [str(ident) for ident, _ in atajos]
        self.recordados = self.sesiones[sesion].atajos
        self.responder(pedido, emisor, 0, {"shortcuts": atajos_de(self.recordados)})
        return pedido

    @dbus.service.signal(ATAJOS, signature="osta{sv}")
    def Activated(self, sesion, ident, momento, opciones):
        pass


class Prueba(dbus.service.Object):
    def __init__(self, bus, portal):
        super().__init__(bus, "/prueba")
        self.portal = portal

    @dbus.service.method("io.github.tizo.Prueba")
    def Activar(self):
        for camino, sesion in list(self.portal.sesiones.items()):
            for ident in sesion.atajos:
                self.portal.Activated(dbus.ObjectPath(camino), ident, dbus.UInt64(0),
                                      dbus.Dictionary({}, signature="sv"))
        decir("activado")


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    portal = Portal(bus, cancela="cancela" in sys.argv[1:])
    Prueba(bus, portal)
    nombre = dbus.service.BusName(SERVICIO, bus, do_not_queue=True)
    decir("listo")
    GLib.MainLoop().run()
    del nombre


if __name__ == "__main__":
    main()
