"""End-to-end sessions on GNOME, headless: gnome-shell as a Wayland compositor with a virtual
monitor and XWayland, run as the Wayland sessions run (an unprivileged user when the tests run as
root), on a session bus of its own that starts the desktop's services (the portal with its GNOME
backend, the permission store) and a private system bus (without one the shell stops at start).

What the screen shows is read through the shell's own screenshot interface, which it answers only
under the name of GNOME's screenshot tool (captura_gnome.py takes that name). Keys and the mouse
go to X windows through XTest; the shell's own dialogs get keys from its remote-desktop
interface.
"""

import glob
import os
import re
import subprocess
import sys
import time

from harness import Captura, FalloPrueba, Sesion, comprobar
from wayland import SesionWayland

AYUDANTE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "captura_gnome.py")


class SesionGnome(SesionWayland):
    """A Sesion whose desktop is GNOME Shell on Wayland. `permiso`: what the permission store
    holds for screenshots without a dialog ("yes", "no", or None: nothing, so the portal asks)."""

    permiso = "yes"

    def iniciar(self):
        casa = self._casa_de_la_sesion()
        self._dar_al_usuario()
        base = {"PATH": "/usr/bin:/bin", "HOME": casa, "XDG_RUNTIME_DIR": self.rt,
                "XDG_CONFIG_HOME": self.config, "XDG_DATA_HOME": self.datos,
                "XDG_CURRENT_DESKTOP": "GNOME", "XDG_SESSION_TYPE": "wayland",
                "LANG": "C.UTF-8"}
        sistema = self._como_usuario(
            ["dbus-daemon", "--session", "--nofork", "--print-address=1",
             f"--address=unix:path={self.rt}/sistema"], base, "bus-sistema")
        self.esperar(lambda: "unix:" in self.salida(sistema), 10, "the system bus")
        sesion = self._como_usuario(
            ["dbus-daemon", "--session", "--nofork", "--print-address=1",
             f"--address=unix:path={self.rt}/bus"], base, "bus-sesion")
        self.esperar(lambda: "unix:" in self.salida(sesion), 10, "the session bus")
        self.bus = self.salida(sesion).split()[0]
        entorno = dict(base, DBUS_SESSION_BUS_ADDRESS=self.bus,
                       DBUS_SYSTEM_BUS_ADDRESS=f"unix:path={self.rt}/sistema")
        nombre = f"gnome-{os.getpid()}-{id(self) % 100000}"
        self.shell = self._como_usuario(
            ["gnome-shell", "--headless", "--wayland", "--wayland-display", nombre,
             "--virtual-monitor", f"{self.ancho}x{self.alto}"], entorno, "gnome-shell")
        self.wayland = os.path.join(self.rt, nombre)
        self.pantalla = self.esperar(self._pantalla_x, 30, "the shell's X display")
        autorizacion = self.esperar(
            lambda: glob.glob(os.path.join(self.rt, ".mutter-Xwaylandauth.*")), 20,
            "XWayland's authority file")[0]
        self.entorno = dict(os.environ)
        for var in ("QT_QPA_PLATFORM", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION",
                    "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID"):
            self.entorno.pop(var, None)
        self.entorno.update(entorno, DISPLAY=self.pantalla, WAYLAND_DISPLAY=self.wayland,
                            XAUTHORITY=autorizacion)
        self.entorno_escritorio = self.entorno
        self._como_usuario(["dbus-update-activation-environment", "DISPLAY", "WAYLAND_DISPLAY",
                            "XAUTHORITY", "XDG_CURRENT_DESKTOP"], self.entorno_usuario(),
                           "activacion").wait(10)
        if os.getuid() == 0:
            self.esperar(self._dejar_entrar, 90, "the tests let into XWayland")
        self.d = self.esperar(self._abrir_x, 30, "the X server of XWayland, and access to it")
        self.root = self.d.screen().root
        # The shell starts in its overview, which hides every window.
        self.esperar(self._sin_vista_general, 20, "the overview closed")
        if self.permiso is not None:
            comprobar(self._dbus(
                "org.freedesktop.impl.portal.PermissionStore",
                "/org/freedesktop/impl/portal/PermissionStore",
                "org.freedesktop.impl.portal.PermissionStore.SetPermission", "string:screenshot",
                "boolean:true", "string:screenshot", "string:", f"array:string:{self.permiso}",
                segundos=20) is not None, "the screenshot permission set")

    def _pantalla_x(self):
        if self.shell.poll() is not None:
            raise FalloPrueba(f"gnome-shell ended: {self.salida(self.shell)[-2000:]}")
        hallado = re.search(r"Using public X11 display (:\d+)", self.salida(self.shell))
        return hallado.group(1) if hallado else None

    def entorno_usuario(self, **mas):
        entorno = super().entorno_usuario(**mas)
        for var in ("XAUTHORITY", "DBUS_SYSTEM_BUS_ADDRESS"):
            if var in self.entorno:
                entorno[var] = self.entorno[var]
        return entorno

    def _sin_vista_general(self):
        self._dbus("org.gnome.Shell", "/org/gnome/Shell", "org.freedesktop.DBus.Properties.Set",
                   "string:org.gnome.Shell", "string:OverviewActive", "variant:boolean:false")
        dicho = self._dbus("org.gnome.Shell", "/org/gnome/Shell",
                           "org.freedesktop.DBus.Properties.Get", "string:org.gnome.Shell",
                           "string:OverviewActive")
        return dicho is not None and "false" in dicho

    # The compositor places a new window where they choose.
    lanzar_testigo = SesionWayland.lanzar_testigo_donde_caiga

    # The mouse through XTest, as on X11: XWayland hands its events to the program's X windows.
    mover = Sesion.mover
    pulsar = Sesion.pulsar
    soltar = Sesion.soltar
    pausa = Sesion.pausa

    def _ayudante(self, *argumentos):
        prefijo = ["runuser", "-u", self.usuario, "--"] if os.getuid() == 0 else []
        r = subprocess.run(prefijo + ["env", "-i"]
                           + [f"{k}={v}" for k, v in self.entorno_usuario().items()]
                           + [sys.executable, AYUDANTE, *argumentos],
                           capture_output=True, timeout=30)
        comprobar(r.returncode == 0, f"{argumentos[0]}: {r.stderr.decode(errors='replace')}")
        return r.stdout

    def tecla_del_escritorio(self, *simbolos):
        """Keys for the shell's own windows (its dialogs), as X keysyms, through its
        remote-desktop interface."""
        self._ayudante("teclas", *simbolos)

    def clic_en_wayland(self, x, y):
        """A click with the shell's own pointer, which reaches Wayland windows too (the pointer
        through XTest reaches only X windows)."""
        self._ayudante("clic", str(x), str(y), str(self.ancho), str(self.alto))
        time.sleep(0.3)

    def captura(self, rect=None):
        """The screen as the shell shows it, Wayland windows included."""
        x, y, w, h = rect or (0, 0, self.ancho, self.alto)
        ruta = os.path.join(self.rt, f"captura-{time.monotonic_ns()}.png")
        cabecera, datos = self._ayudante("captura", ruta).split(b"\n", 1)
        ancho, alto, paso = map(int, cabecera.split())
        h = min(h, alto - y)
        rgba = b"".join(datos[(y + j) * paso + x * 4:(y + j) * paso + (x + w) * 4]
                        for j in range(h))
        bgrx = bytearray(len(rgba))
        bgrx[0::4], bgrx[1::4], bgrx[2::4] = rgba[2::4], rgba[1::4], rgba[0::4]
        return Captura(bytes(bgrx), w, h, x, y)
