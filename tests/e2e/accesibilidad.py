"""What the program tells assistive technologies, read the way a screen reader reads it: over
AT-SPI, on a private session bus of the test's own.

Qt leaves popup menus out of the application's tree of accessible objects and announces them with
a "showing" state change instead, so the reader listens for those and reads the menu from the
announcement.
"""

import subprocess

import dbus
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

ACCESIBLE = "org.a11y.atspi.Accessible"


class Accesibilidad:
    def __init__(self, sesion):
        """Starts a session bus for `sesion` and makes programs started afterwards in it speak
        AT-SPI."""
        DBusGMainLoop(set_as_default=True)
        bus = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--print-address=1"],
            env=sesion.entorno, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        sesion.procesos.append(bus)
        direccion = bus.stdout.readline().decode().strip()
        sesion.entorno.update(DBUS_SESSION_BUS_ADDRESS=direccion,
                              QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        sesion_bus = dbus.bus.BusConnection(direccion)
        a11y = sesion_bus.get_object("org.a11y.Bus", "/org/a11y/bus")
        self.bus = dbus.bus.BusConnection(str(a11y.GetAddress(dbus_interface="org.a11y.Bus")))
        self.mostrados = []
        self.bus.add_signal_receiver(
            self._estado, signal_name="StateChanged", dbus_interface="org.a11y.atspi.Event.Object",
            sender_keyword="emisor", path_keyword="ruta")
        # Programs send state changes only while somebody listens for them.
        registro = self.bus.get_object("org.a11y.atspi.Registry", "/org/a11y/atspi/registry")
        registro.RegisterEvent("object:state-changed:showing", dbus.Array([], signature="s"), "",
                               dbus_interface="org.a11y.atspi.Registry")

    def _estado(self, estado, activo, _detalle, _valor, _propiedades, emisor=None, ruta=None):
        if estado == "showing" and activo:
            self.mostrados.append((emisor, ruta))

    def atender(self):
        """Delivers the announcements received so far."""
        contexto = GLib.MainContext.default()
        while contexto.iteration(False):
            pass

    def _objeto(self, emisor, ruta):
        # No introspection: it is one more call, answered late or never once the program ends.
        return self.bus.get_object(emisor, ruta, introspect=False)

    def nombre(self, emisor, ruta):
        return str(self._objeto(emisor, ruta).Get(
            ACCESIBLE, "Name", dbus_interface="org.freedesktop.DBus.Properties"))

    def papel(self, emisor, ruta):
        return str(self._objeto(emisor, ruta).GetRoleName(dbus_interface=ACCESIBLE))

    def hijos(self, emisor, ruta):
        return [(str(b), str(r)) for b, r in
                self._objeto(emisor, ruta).GetChildren(dbus_interface=ACCESIBLE)]

    def menu_mostrado(self):
        """The item texts of the last popup menu shown, separators as None; None if no menu was
        shown."""
        self.atender()
        for emisor, ruta in reversed(self.mostrados):
            try:
                if self.papel(emisor, ruta) != "popup menu":
                    continue
                return [None if self.papel(*h) == "separator" else self.nombre(*h)
                        for h in self.hijos(emisor, ruta)]
            except dbus.DBusException:
                continue  # gone since it was shown
        return None
