"""End-to-end sessions on KDE Plasma's compositor, headless: kwin_wayland with a virtual output
and XWayland, on a session bus of its own that starts no service (no desktop portal), run as the
Wayland sessions run (an unprivileged user when the tests run as root).

KWin lets a program use its screenshot interface when a desktop entry names the program by its
full path (Tizo's, installed in the user's applications folder as `make install PREFIX=~/.local`
puts it). The tests' own screenshots go through that interface too, in the sessions where KWin
lets every program in (KWIN_SCREENSHOT_NO_PERMISSION_CHECKS, which Tizo never relies on). A click
on a Wayland window goes through KWin's fake-input protocol, from the session's user
(KWIN_WAYLAND_NO_PERMISSION_CHECKS lets the tests use it); keys and the mouse go to X windows
through XTest.

Debian's kwin_wayland carries a file capability that a container cannot grant (its start fails
with "Operation not permitted"): the session runs a copy without it.
"""

import os
import shutil
import subprocess
import sys
import time

from harness import Captura, FalloPrueba, Sesion, comprobar
from wayland import SesionWayland, leer_entorno

AYUDANTE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "captura_kwin.py")


def entrada_de_escritorio(nombre, programa, interfaces="org.kde.KWin.ScreenShot2"):
    """A desktop entry as an installed program has, naming `programa` by its full path."""
    return (f"[Desktop Entry]\nType=Application\nName={nombre}\nExec={programa}\n"
            f"X-KDE-DBUS-Restricted-Interfaces={interfaces}\n")


class SesionKWin(SesionWayland):
    """A Sesion whose desktop is KWin on Wayland. `entrada_tizo`: Tizo's desktop entry is
    installed; `capturas`: KWin lets every program take screenshots, the tests included."""

    entrada_tizo = True
    capturas = False
    plasma = False  # Plasma's shell, with its panel and tray, runs on KWin

    def iniciar(self):
        casa = self._casa_de_la_sesion("applications")
        aplicaciones = os.path.join(self.datos, "applications")
        if self.entrada_tizo:
            with open(os.path.join(aplicaciones, "io.github.tizo.Tizo.desktop"), "w") as f:
                f.write(entrada_de_escritorio("Tizo", os.path.realpath(self.binario_tizo())))
        kwin = os.path.join(self.tmp, "kwin_wayland")
        shutil.copy("/usr/bin/kwin_wayland", kwin)
        os.chmod(kwin, 0o755)
        guion = os.path.join(self.tmp, "dentro.sh")
        with open(guion, "w") as f:
            f.write("#!/bin/sh\nenv > \"$XDG_RUNTIME_DIR/entorno-kwin\"\nexec sleep 100000\n")
        os.chmod(guion, 0o755)
        self._dar_al_usuario()
        entorno = {
            "PATH": "/usr/bin:/bin", "HOME": casa, "XDG_RUNTIME_DIR": self.rt,
            "XDG_CONFIG_HOME": self.config, "XDG_DATA_HOME": self.datos,
            "XDG_CURRENT_DESKTOP": "KDE", "KDE_FULL_SESSION": "true", "KDE_SESSION_VERSION": "5",
            "XDG_SESSION_TYPE": "wayland", "LANG": "C.UTF-8", "QT_QPA_PLATFORM": "offscreen"}
        if self.capturas:
            entorno["KWIN_SCREENSHOT_NO_PERMISSION_CHECKS"] = "1"
        # The tests' own pointer, for Wayland windows (Tizo is an X client and needs nothing).
        entorno["KWIN_WAYLAND_NO_PERMISSION_CHECKS"] = "1"
        nombre = f"kwin-{os.getpid()}-{id(self)}"
        self.kwin = self._como_usuario(
            # A bus that starts no service: the desktop portal stays out of the way.
            ["dbus-run-session", f"--config-file={self._bus_sin_servicios()}", "--", kwin,
             "--virtual", "--xwayland", "--width",
             str(self.ancho), "--height", str(self.alto), "-s", nombre, "--no-lockscreen",
             f"--exit-with-session={guion}"], entorno, "kwin")
        valores = self.esperar(self._entorno_de_kwin, 30, "KWin's environment")
        self.pantalla = valores["DISPLAY"]
        self.wayland = os.path.join(self.rt, valores["WAYLAND_DISPLAY"])
        self.bus = valores["DBUS_SESSION_BUS_ADDRESS"]
        self.entorno = dict(os.environ)
        for var in ("QT_QPA_PLATFORM", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION",
                    "GNOME_DESKTOP_SESSION_ID"):
            self.entorno.pop(var, None)
        self.entorno.update(
            DISPLAY=self.pantalla, WAYLAND_DISPLAY=self.wayland, XDG_RUNTIME_DIR=self.rt,
            XDG_SESSION_TYPE="wayland", XDG_CURRENT_DESKTOP="KDE", KDE_FULL_SESSION="true",
            KDE_SESSION_VERSION="5", HOME=casa, XDG_CONFIG_HOME=self.config,
            XDG_CACHE_HOME=os.path.join(casa, ".cache"), XDG_DATA_HOME=self.datos,
            DBUS_SESSION_BUS_ADDRESS=self.bus)
        self.entorno_escritorio = self.entorno
        if os.getuid() == 0:
            self.esperar(self._dejar_entrar, 90, "the tests let into XWayland")
        self.d = self.esperar(self._abrir_x, 30, "the X server of XWayland, and access to it")
        self.root = self.d.screen().root
        if self.plasma:
            self._iniciar_plasma()

    def _iniciar_plasma(self):
        """Plasma's shell and the daemons it needs (the bus starts none): its panel's tray
        takes icons over D-Bus."""
        entorno = self.entorno_usuario(QT_QPA_PLATFORM="wayland")
        self._como_usuario(["kded5"], entorno, "kded5")
        self._como_usuario(["/usr/lib/x86_64-linux-gnu/libexec/kactivitymanagerd"], entorno,
                           "kactivitymanagerd")
        self.esperar(lambda: "true" in (self._dbus(
            "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
            "string:org.kde.ActivityManager") or ""), 20, "the activity manager")
        self._como_usuario(["plasmashell", "--no-respawn"], entorno, "plasmashell")
        self.esperar(lambda: "true" in (self._dbus(
            "org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
            "org.freedesktop.DBus.Properties.Get", "string:org.kde.StatusNotifierWatcher",
            "string:IsStatusNotifierHostRegistered") or ""), 60, "Plasma's tray")
        if self.capturas:
            negro = (0, 0, 0)
            self.esperar(lambda: self.captura((0, self.alto - 40, self.ancho, 40)).pixel(
                self.ancho // 2, self.alto - 20) != negro and self.captura(
                (self.ancho // 2, self.alto // 2, 1, 1)).pixel(self.ancho // 2, self.alto // 2)
                != negro, 60, "Plasma's panel and wallpaper on screen")

    def iniciar_portal(self):
        """The desktop portal with its KDE backend, which binds global shortcuts in KWin's
        kglobalaccel (the bus starts neither)."""
        entorno = self.entorno_usuario(QT_QPA_PLATFORM="wayland")
        for orden, nombre in (
                (["/usr/lib/x86_64-linux-gnu/libexec/xdg-desktop-portal-kde"],
                 "org.freedesktop.impl.portal.desktop.kde"),
                (["/usr/libexec/xdg-desktop-portal"], "org.freedesktop.portal.Desktop")):
            self._como_usuario(orden, entorno, os.path.basename(orden[0]))
            self.esperar(lambda: "true" in (self._dbus(
                "org.freedesktop.DBus", "/org/freedesktop/DBus",
                "org.freedesktop.DBus.NameHasOwner", f"string:{nombre}") or ""), 30, nombre)

    def elementos_sni(self):
        r = self._dbus("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                       "org.freedesktop.DBus.Properties.Get",
                       "string:org.kde.StatusNotifierWatcher",
                       "string:RegisteredStatusNotifierItems") or ""
        return [linea.split('"')[1] for linea in r.splitlines() if '"' in linea]


    def _entorno_de_kwin(self):
        if self.kwin.poll() is not None:
            raise FalloPrueba(f"KWin ended: {self.salida(self.kwin)[-2000:]}")
        return leer_entorno(os.path.join(self.rt, "entorno-kwin"), ("DISPLAY", "WAYLAND_DISPLAY"))

    def entorno_usuario(self, **mas):
        entorno = super().entorno_usuario(**mas)
        for var in ("KDE_FULL_SESSION", "KDE_SESSION_VERSION"):
            entorno[var] = self.entorno[var]
        return entorno

    # The compositor places a new window where they choose.
    lanzar_testigo = SesionWayland.lanzar_testigo_donde_caiga

    def poner_fondo(self, color=None):
        raise FalloPrueba("KWin's background stays its own here")

    def clic_en_wayland(self, x, y):
        """A click with KWin's own pointer, which reaches Wayland windows too (the pointer
        through XTest reaches only X windows). KWin offers it only to the session's user."""
        codigo = ("import sys, time\n"
                  f"sys.path.insert(0, {os.path.dirname(os.path.abspath(__file__))!r})\n"
                  "from puntero_wayland import PunteroKWin\n"
                  f"p = PunteroKWin({self.wayland!r}, {self.ancho}, {self.alto})\n"
                  f"p.mover({x}, {y})\ntime.sleep(0.1)\np.pulsar()\np.soltar()\n")
        prefijo = ["runuser", "-u", self.usuario, "--"] if os.getuid() == 0 else []
        r = subprocess.run(prefijo + ["env", "-i", "PATH=/usr/bin:/bin", sys.executable, "-c",
                                      codigo], capture_output=True, text=True, timeout=20)
        comprobar(r.returncode == 0, f"KWin's pointer: {r.stderr[-500:]}")
        time.sleep(0.3)

    # The mouse through XTest, as on X11: XWayland hands its events to the program's X windows
    # (the compositor's own pointer does not move).
    mover = Sesion.mover
    pulsar = Sesion.pulsar
    soltar = Sesion.soltar
    pausa = Sesion.pausa

    def captura(self, rect=None):
        """The screen as KWin shows it, Wayland windows included."""
        comprobar(self.capturas, "KWin lets no test take screenshots in this session")
        x, y, w, h = rect or (0, 0, self.ancho, self.alto)
        prefijo = ["runuser", "-u", self.usuario, "--"] if os.getuid() == 0 else []
        entorno = {"DBUS_SESSION_BUS_ADDRESS": self.bus, "PATH": "/usr/bin:/bin"}
        r = subprocess.run(prefijo + ["env", "-i"] + [f"{k}={v}" for k, v in entorno.items()]
                           + [sys.executable, AYUDANTE], capture_output=True, timeout=20)
        comprobar(r.returncode == 0, f"KWin's screenshot: {r.stderr.decode(errors='replace')}")
        cabecera, datos = r.stdout.split(b"\n", 1)
        ancho, alto, paso = map(int, cabecera.split())
        filas = b"".join(datos[(y + j) * paso + x * 4:(y + j) * paso + (x + w) * 4]
                         for j in range(min(h, alto - y)))
        return Captura(filas, w, min(h, alto - y), x, y)
