"""End-to-end sessions on a headless Wayland desktop: sway (wlroots' headless backend, pixman
renderer, XWayland forced), PipeWire, and the desktop portal with its wlroots and GTK backends.

The program runs on XWayland as in any Wayland session. What the screen shows is read with grim
(the X server sees no Wayland window), the mouse is a virtual pointer of the compositor's
(puntero_wayland), keys go to X windows through XTest. sway refuses to run as root: when the
tests run as root, the whole session runs as an unprivileged user, TIZO_E2E_USUARIO_WAYLAND or
"tizo-wl", made if it does not exist; the tests' own X connection is let in with xhost.

The portal writes every screenshot to one fixed file, so two such sessions must not run at once
(the CTest tests share a lock).
"""

import os
import pwd
import shutil
import signal
import subprocess
import time

from harness import BLANCO, ROJO, Captura, FalloPrueba, Paleta, Sesion, comprobar
from puntero_wayland import PunteroWayland
from Xlib import X, XK, display, error

FONDO_WAYLAND = (46, 139, 87)  # the compositor's own background
TESTIGO = (200, 40, 40)  # the native Wayland window's colour
TESTIGO_RECT = (300, 200, 600, 400)  # where the compositor is told to put it
USUARIO = os.environ.get("TIZO_E2E_USUARIO_WAYLAND", "tizo-wl")


def hex_color(c):
    return "#%02x%02x%02x" % c


def usuario_de_la_sesion():
    """(name, uid, gid) of who runs the compositor: the tests' own user, or an unprivileged one
    when they run as root."""
    if os.getuid() != 0:
        p = pwd.getpwuid(os.getuid())
        return p.pw_name, p.pw_uid, p.pw_gid
    try:
        p = pwd.getpwnam(USUARIO)
    except KeyError:
        subprocess.run(["useradd", "--system", "--user-group", "--no-create-home",
                        "--home-dir", "/nonexistent", "--shell", "/usr/sbin/nologin", USUARIO],
                       check=True)
        p = pwd.getpwnam(USUARIO)
    return p.pw_name, p.pw_uid, p.pw_gid


def leer_entorno(ruta, necesarias):
    """The variables a session's start-up script wrote to `ruta` (`env` output), once it holds
    every one of `necesarias`; None before."""
    if not os.path.exists(ruta):
        return None
    with open(ruta) as f:
        valores = dict(linea.rstrip("\n").split("=", 1) for linea in f if "=" in linea)
    return valores if set(necesarias) <= set(valores) else None


def formas_sobre_wayland(s, testigo, lienzo):
    """On the frozen `lienzo` showing the Wayland window `testigo` (x, y, w, h, in its colour
    s.color_testigo): a rectangle half over it shows only its strokes, drawn and after the palette
    (open at the pointer) lay over it; drawing mode left, the Wayland window clicked comes forward
    and the shape stays above it; dragged, it leaves no trail; Delete removes it."""
    x, y, w, h = testigo
    # The frozen canvas, once painted: what lies beneath the shape.
    antes = s.esperar(lambda: (lambda c: c if c.pixel(x + w // 2, y + h // 2) == s.color_testigo
                               and c.pixel(s.ancho - 30, 25) != c.pixel(s.ancho - 200, 25)
                               else None)(s.captura()), 10, "the frozen canvas painted")
    x0, y0, x1, y1 = x + w // 2, y + 60, x + w + 200, y + h - 40
    s.tecla("3")
    s.arrastrar(x0, y0, x1, y1)
    forma = s.forma("1")
    s.esperar(lambda: s.captura().pixel(x0 + 100, y0) == ROJO, 10, "the rectangle")

    def limpio(que):
        c = s.captura()
        ajenos = [(xx, yy) for yy in range(y0 + 30, y1 - 30, 7) for xx in range(x0 + 30, x1 - 30, 7)
                  if c.pixel(xx, yy) != antes.pixel(xx, yy)]
        comprobar(not ajenos, f"{que}: what lies beneath inside the rectangle, not "
                              f"{len(ajenos)} pixels such as {ajenos[:1]}")

    limpio("drawn")
    p = s.abrir_paleta(x0 + 60, y0 + 40)
    comprobar(p.rect[:2] == (x0 + 60, y0 + 40), f"the palette at the pointer: {p.rect}")
    s.cerrar_paleta(p)
    time.sleep(0.5)
    s.guardar_captura("tras-paleta")
    limpio("after the palette lay over it")
    s.tecla("Escape")
    s.esperar(lambda: not lienzo.existe, 10, "Esc leaves drawing mode")
    s.clic_en_wayland(x + 20, y + h // 2)
    s.esperar(lambda: "pulsado" in s.salida(s.testigo_wl), 10, "the Wayland window clicked")
    s.esperar(lambda: s.captura().pixel(x0 + 40, y0) == ROJO, 10,
              "the rectangle above the Wayland window clicked")
    # Dragged down by its left edge: nothing stays where it was.
    s.arrastrar(x0, (y0 + y1) // 2, x0, (y0 + y1) // 2 + 60)
    s.esperar(lambda: forma.rect[1] >= y0 + 40, 10, f"dragged: {forma.rect}")
    time.sleep(0.5)
    c = s.captura()
    s.guardar_captura("tras-arrastre")
    rastro = [(xx, y0) for xx in range(x0 + 20, x1 - 20, 9) if c.pixel(xx, y0) == ROJO]
    comprobar(not rastro, f"no trail where its top edge was: {rastro[:3]}")
    comprobar(c.pixel(x0 + 100, y0 + 60) == ROJO, "its top edge where it went")
    s.esperar(lambda: s.tiene_el_teclado(forma.id), 10, "the dragged shape has the keys")
    s.tecla("Delete")
    s.esperar(lambda: not forma.existe or not forma.mapeada, 10, "Delete removes it")


def rectangulo_de_color(c, color, ancho, alto, paso=8):
    """The rectangle (x, y, w, h) that pixels of `color` fill on the screenshot `c` (sampled
    every `paso` pixels), or None when too few show."""
    puntos = [(x, y) for y in range(0, alto, paso) for x in range(0, ancho, paso)
              if c.pixel(x, y) == color]
    if len(puntos) < 100:
        return None
    xs, ys = [p[0] for p in puntos], [p[1] for p in puntos]
    return (min(xs), min(ys), max(xs) - min(xs), max(ys) - min(ys))


class SesionWayland(Sesion):
    """A Sesion whose desktop is sway. `bandeja`: swaybar runs, and takes tray icons over D-Bus;
    `portal`: the screenshot portal can be started on the session bus."""

    bandeja = False
    portal = True

    def _casa_de_la_sesion(self, *carpetas):
        """The session's user, and a private runtime folder holding its home (configuration,
        cache and data folders, and `carpetas` inside the data one). Gives the home."""
        self.usuario, self.uid, self.gid = usuario_de_la_sesion()
        os.chmod(self.tmp, 0o711)  # the session's user reaches its own directory inside
        self.rt = os.path.join(self.tmp, "rt")
        os.makedirs(self.rt, mode=0o700)
        casa = os.path.join(self.rt, "casa")
        self.config = os.path.join(casa, ".config")
        self.datos = os.path.join(casa, ".local", "share")
        for sub in (casa, self.config, os.path.join(casa, ".cache"), self.datos,
                    *(os.path.join(self.datos, c) for c in carpetas)):
            os.makedirs(sub, mode=0o700, exist_ok=True)
        return casa

    def _dar_al_usuario(self):
        """Everything in the runtime folder, made by the tests, goes to the session's user."""
        for raiz, dirs, archivos in os.walk(self.rt):
            for n in [raiz] + [os.path.join(raiz, a) for a in archivos]:
                os.chown(n, self.uid, self.gid)

    def iniciar(self):
        casa = self._casa_de_la_sesion()
        self._dar_al_usuario()
        self._escribir_configuracion()
        entorno = {
            "PATH": "/usr/bin:/bin", "HOME": casa, "XDG_RUNTIME_DIR": self.rt,
            "WLR_BACKENDS": "headless", "WLR_LIBINPUT_NO_DEVICES": "1", "WLR_RENDERER": "pixman",
            "WLR_HEADLESS_OUTPUTS": "1", "XDG_CURRENT_DESKTOP": "sway",
            "XDG_SESSION_TYPE": "wayland", "LANG": "C.UTF-8"}
        orden = ["dbus-run-session"]
        if not self.portal:
            orden.append(f"--config-file={self._bus_sin_servicios()}")
        orden += ["--", "sway", "-c", os.path.join(self.rt, "sway.conf")]
        self.sway = self._como_usuario(orden, entorno, "sway")
        self._leer_entorno_de_sway()
        self.entorno = dict(os.environ)
        for var in ("QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS", "XDG_SESSION_DESKTOP",
                    "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID"):
            self.entorno.pop(var, None)
        self.entorno.update(
            DISPLAY=self.pantalla, WAYLAND_DISPLAY=self.wayland, XDG_RUNTIME_DIR=self.rt,
            XDG_SESSION_TYPE="wayland", XDG_CURRENT_DESKTOP="sway", HOME=casa,
            XDG_CONFIG_HOME=self.config, XDG_CACHE_HOME=os.path.join(casa, ".cache"),
            XDG_DATA_HOME=os.path.join(casa, ".local", "share"),
            DBUS_SESSION_BUS_ADDRESS=self.bus, SWAYSOCK=self.swaysock)
        self.entorno_escritorio = self.entorno
        # What the desktop's services need before the first one starts: the portal finds the
        # compositor through the bus's activation environment, and its wlroots backend does not
        # start without PipeWire.
        self._como_usuario(["dbus-update-activation-environment", "WAYLAND_DISPLAY", "DISPLAY",
                            "SWAYSOCK", "XDG_CURRENT_DESKTOP"], self.entorno_usuario(),
                           "activacion").wait(10)
        self._como_usuario(["pipewire"], self.entorno_usuario(), "pipewire")
        self.esperar(lambda: os.path.exists(os.path.join(self.rt, "pipewire-0")), 10, "PipeWire")
        if os.getuid() == 0:
            self.esperar(self._dejar_entrar, 90, "the tests let into XWayland")
        if self.portal:
            self._iniciar_portal()
        self.d = self.esperar(self._abrir_x, 20, "the X server of XWayland, and access to it")
        self.root = self.d.screen().root
        self.puntero = self.esperar(self._crear_puntero, 10, "the virtual pointer")
        self.mover(self.ancho - 60, self.alto - 60)  # out of the way, and known
        self.esperar(lambda: self.pixel(5, 5) == FONDO_WAYLAND, 10, "the desktop on screen")

    # set-up

    def _escribir_configuracion(self):
        x, y, w, h = TESTIGO_RECT
        lineas = [
            "xwayland force",
            f"output HEADLESS-1 mode {self.ancho}x{self.alto} position 0 0 "
            f"bg {hex_color(FONDO_WAYLAND)} solid_color",
            "default_border none",
            "default_floating_border none",
            "focus_follows_mouse no",
            f'for_window [app_id="testigo_wayland"] floating enable, resize set {w} {h}, '
            f"move position {x} {y}",
        ]
        if self.bandeja:
            lineas += ["bar {", "  position bottom", "  tray_output *", "}"]
        lineas.append("exec env > $XDG_RUNTIME_DIR/entorno-sway")
        ruta = os.path.join(self.rt, "sway.conf")
        with open(ruta, "w") as f:
            f.write("\n".join(lineas) + "\n")
        os.chown(ruta, self.uid, self.gid)

    def _iniciar_portal(self):
        """The desktop portal, up before the program asks, as in a session that has run for a
        while. Its backends first, each until it answers: the portal asks each one as soon as its
        name appears, and a backend that is not yet answering then holds it up for the bus's
        25 s timeout (seen with the wlroots backend one time in ten)."""
        for servicio, interfaz in (("gtk", "Access"), ("wlr", "Screenshot")):
            nombre = f"org.freedesktop.impl.portal.desktop.{servicio}"
            comprobar(self._dbus("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                 "org.freedesktop.DBus.StartServiceByName", f"string:{nombre}",
                                 "uint32:0", segundos=30) is not None, f"{nombre} starts")
            self.esperar(lambda: self._dbus(
                nombre, "/org/freedesktop/portal/desktop", "org.freedesktop.DBus.Properties.GetAll",
                f"string:org.freedesktop.impl.portal.{interfaz}", segundos=1) is not None, 20,
                f"{nombre} answering")
        comprobar(self._dbus("org.freedesktop.DBus", "/org/freedesktop/DBus",
                             "org.freedesktop.DBus.StartServiceByName",
                             "string:org.freedesktop.portal.Desktop", "uint32:0",
                             segundos=30) is not None, "the desktop portal starts")

    def poner_bandeja(self):
        """swaybar, and with it a tray over D-Bus, from now on."""
        self.bandeja = True
        self._escribir_configuracion()
        self.swaymsg("reload")
        self.esperar(lambda: "true" in (self._dbus(
            "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
            "string:org.kde.StatusNotifierWatcher") or ""), 20, "swaybar's tray")

    def icono_en_la_barra(self):
        """Where swaybar shows the program's icon (x, y, w, h): the last thing at the right end
        of the bar along the bottom of the screen, or None."""
        c = self.captura((self.ancho - 200, self.alto - 30, 200, 30))
        fondo = c.pixel(self.ancho - 1, self.alto - 1)
        puntos = [(x, y) for y in range(self.alto - 30, self.alto)
                  for x in range(self.ancho - 40, self.ancho) if c.pixel(x, y) != fondo]
        if not puntos:
            return None
        xs, ys = [p[0] for p in puntos], [p[1] for p in puntos]
        return (min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1)

    def _bus_sin_servicios(self):
        """A session bus that starts no service: no portal is reachable."""
        ruta = os.path.join(self.rt, "bus.conf")
        with open(ruta, "w") as f:
            f.write(
                '<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"'
                ' "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">\n'
                "<busconfig><type>session</type><keep_umask/>"
                f"<listen>unix:dir={self.rt}</listen><auth>EXTERNAL</auth>"
                '<policy context="default"><allow send_destination="*" eavesdrop="true"/>'
                '<allow eavesdrop="true"/><allow own="*"/></policy></busconfig>\n')
        os.chown(ruta, self.uid, self.gid)
        return ruta

    def _como_usuario(self, orden, entorno, registro):
        """Starts `orden` as the session's user with exactly `entorno`, in a process group of its
        own, its output in a log of the session."""
        prefijo = []
        if os.getuid() == 0:
            prefijo = ["runuser", "-u", self.usuario, "--"]
        salida = self._registro(registro)
        p = subprocess.Popen(prefijo + ["env", "-i"] + [f"{k}={v}" for k, v in entorno.items()]
                             + orden, stdout=salida, stderr=subprocess.STDOUT,
                             start_new_session=True)
        p.registro = salida
        self.procesos.append(p)
        return p

    def _leer_entorno_de_sway(self):
        ruta = os.path.join(self.rt, "entorno-sway")

        def leido():
            if self.sway.poll() is not None:
                raise FalloPrueba(f"sway ended: {self.salida(self.sway)[-2000:]}")
            return leer_entorno(ruta, ("DISPLAY", "SWAYSOCK"))

        valores = self.esperar(leido, 20, "sway's environment")
        self.pantalla = valores["DISPLAY"]
        self.wayland = os.path.join(self.rt, valores["WAYLAND_DISPLAY"])
        self.swaysock = valores["SWAYSOCK"]
        self.bus = valores["DBUS_SESSION_BUS_ADDRESS"]

    def _dejar_entrar(self):
        """Lets the tests' own X connection (root's) into XWayland: True once done. XWayland may
        start only with its first client, in its own time on a busy machine."""
        p = self._como_usuario(["xhost", "+si:localuser:root"], self.entorno_usuario(), "xhost")
        try:
            return p.wait(30) == 0
        except subprocess.TimeoutExpired:
            p.kill()
            p.wait()
            return False

    def _abrir_x(self):
        try:
            return display.Display(self.pantalla)
        except (error.DisplayError, error.ConnectionClosedError, OSError):
            return None

    def _crear_puntero(self):
        try:
            return PunteroWayland(self.wayland, self.ancho, self.alto)
        except OSError:
            return None

    # the programs

    def entorno_usuario(self, **mas):
        """What a program of the session's user gets: the session's variables, and the tests'
        sanitizer settings."""
        entorno = {k: v for k, v in self.entorno.items()
                   if k in ("DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR", "XDG_SESSION_TYPE",
                            "XDG_CURRENT_DESKTOP", "HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME",
                            "XDG_DATA_HOME", "DBUS_SESSION_BUS_ADDRESS", "SWAYSOCK", "LANG",
                            "QT_LOGGING_RULES")
                   or k.endswith("SAN_OPTIONS")}
        entorno["PATH"] = "/usr/bin:/bin"
        entorno.update(mas)
        return entorno

    def lanzar_tizo(self, *argumentos, esperar_icono=False):
        p = self._como_usuario([self.binario_tizo(), *argumentos], self.entorno_usuario(),
                               f"tizo-{len(self.procesos)}")
        self.registro_tizo = p.registro
        if self.tizo is None:
            self.tizo = p
        if esperar_icono:
            self.esperar(lambda: len(self.elementos_sni()) == 1, 20, "the tray icon")
        return p

    def orden_tizo(self, *argumentos, segundos=10):
        prefijo = ["runuser", "-u", self.usuario, "--"] if os.getuid() == 0 else []
        entorno = self.entorno_usuario()
        inicio = time.monotonic()
        r = subprocess.run(prefijo + ["env", "-i"] + [f"{k}={v}" for k, v in entorno.items()]
                           + [self.binario_tizo(), *argumentos], capture_output=True, text=True,
                           timeout=segundos)
        r.segundos = time.monotonic() - inicio
        return r

    def _arrancar_testigo(self, color):
        binario = os.environ.get("TIZO_TESTIGO_WAYLAND", "build/tests/e2e/testigo_wayland")
        self.color_testigo = color
        self.testigo_wl = self._como_usuario(
            [binario, *map(str, color)], self.entorno_usuario(QT_QPA_PLATFORM="wayland"),
            "testigo")
        return self.testigo_wl

    def lanzar_testigo_donde_caiga(self, color):
        """The native Wayland window, wherever the compositor puts it: its rectangle on the
        screen."""
        self._arrancar_testigo(color)
        return self.esperar(
            lambda: rectangulo_de_color(self.captura(), color, self.ancho, self.alto), 20,
            "the Wayland window")

    def lanzar_testigo(self, color=TESTIGO):
        """The native Wayland window, at TESTIGO_RECT once the compositor has placed it."""
        p = self._arrancar_testigo(color)
        x, y, w, h = TESTIGO_RECT
        self.esperar(lambda: self.pixel(x + 5, y + 5) == color
                     and self.pixel(x + w - 5, y + h - 5) == color, 15, "the Wayland window")
        return p

    def lanzar_portal_mudo(self):
        """A screenshot portal of the tests' that never answers (on a bus without the real one)."""
        binario = os.environ.get("TIZO_PORTAL_MUDO", "build/tests/e2e/portal_mudo")
        p = self._como_usuario([binario], self.entorno_usuario(), "portal-mudo")
        self.esperar(lambda: "listo" in self.salida(p), 10, "the silent portal")
        return p

    def _dbus(self, destino, ruta, metodo, *argumentos, segundos=10):
        prefijo = ["runuser", "-u", self.usuario, "--"] if os.getuid() == 0 else []
        r = subprocess.run(prefijo + ["env", f"DBUS_SESSION_BUS_ADDRESS={self.bus}", "dbus-send",
                                      "--session", f"--reply-timeout={segundos * 1000}",
                                      "--print-reply", f"--dest={destino}", ruta, metodo,
                                      *argumentos],
                           capture_output=True, text=True, timeout=segundos + 5)
        return r.stdout if r.returncode == 0 else None

    def tiene_la_tecla_x(self, teclas):
        """Whether a client holds the X key `teclas` ("F9", "ctrl+alt+d") on the root window:
        the tests' own grab of it then fails. (XWayland gives such a key to its holder only while
        an X window has the focus.)"""
        *mods, nombre = teclas.split("+")
        codigo = self.d.keysym_to_keycode(XK.string_to_keysym(nombre))
        mascara = sum({"ctrl": X.ControlMask, "alt": X.Mod1Mask, "shift": X.ShiftMask}[m]
                      for m in mods)
        atrapado = error.CatchError(error.BadAccess)
        self.root.grab_key(codigo, mascara, False, X.GrabModeAsync, X.GrabModeAsync,
                           onerror=atrapado)
        self.d.sync()
        self.root.ungrab_key(codigo, mascara)
        self.d.sync()
        return atrapado.get_error() is not None

    def swaymsg(self, *argumentos):
        return subprocess.run(["swaymsg", "-s", self.swaysock, *argumentos], capture_output=True,
                              text=True, timeout=10).stdout

    def poner_fondo(self, color=None):
        """The compositor's background in one colour (its own again with None)."""
        self.swaymsg("output", "HEADLESS-1", "bg", hex_color(color or FONDO_WAYLAND),
                     "solid_color")

    # input: the compositor's pointer, so that Wayland windows get it too

    def mover(self, x, y):
        # Along the way, as a real mouse goes: XWayland places the first motion over a window it
        # has just entered wrongly (at the position within that window), and a press that came
        # right after it would fall elsewhere.
        # The last step is a pixel long: a motion to where the pointer is already sends nothing.
        x0, y0 = getattr(self, "en", (x + 1, y))
        pasos = max(1, min(8, int(max(abs(x - 1 - x0), abs(y - y0)) // 40)))
        for i in range(1, pasos + 1):
            self.puntero.mover(x0 + (x - 1 - x0) * i / pasos, y0 + (y - y0) * i / pasos)
        self.puntero.mover(x, y)
        self.en = (int(x), int(y))

    def zona_cursor(self):
        """Where the compositor draws the mouse pointer, which its screenshots show."""
        x, y = getattr(self, "en", (0, 0))
        return (x - 16, y - 16, 56, 56)

    def pulsar(self, boton=1):
        self.puntero.pulsar(boton)

    def soltar(self, boton=1):
        self.puntero.soltar(boton)

    def pausa(self, segundos=0.05):
        # XWayland takes the compositor's input in its own time: a press must not overtake the
        # motion before it.
        self.d.sync()
        time.sleep(max(segundos, 0.15))

    # what the screen shows

    def captura(self, rect=None):
        """The screen as the compositor shows it, Wayland windows included."""
        x, y, w, h = rect or (0, 0, self.ancho, self.alto)
        x0, y0 = max(x, 0), max(y, 0)
        x, y, w, h = x0, y0, min(x + w, self.ancho) - x0, min(y + h, self.alto) - y0
        r = subprocess.run(["grim", "-t", "ppm", "-g", f"{x},{y} {w}x{h}", "-"],
                           env=dict(os.environ, WAYLAND_DISPLAY=self.wayland),
                           capture_output=True, timeout=20)
        comprobar(r.returncode == 0, f"grim: {r.stderr.decode(errors='replace')}")
        datos = r.stdout
        # P6, width, height, maximum, one whitespace, then RGB triplets
        campos, inicio = [], 0
        while len(campos) < 4:
            while datos[inicio:inicio + 1].isspace():
                inicio += 1
            fin = inicio
            while not datos[fin:fin + 1].isspace():
                fin += 1
            campos.append(datos[inicio:fin])
            inicio = fin
        rgb = datos[inicio + 1:]
        ancho, alto = int(campos[1]), int(campos[2])
        bgrx = bytearray(ancho * alto * 4)
        bgrx[0::4], bgrx[1::4], bgrx[2::4] = rgb[2::3], rgb[1::3], rgb[0::3]
        return Captura(bytes(bgrx), ancho, alto, x, y)

    # the tray: swaybar takes icons over D-Bus

    def bandeja_por_bus(self):
        return self.bandeja

    def cerrar_paleta(self, p):
        """Closes the palette with its close image. The canvas then holds the keyboard itself,
        which nothing outside shows: the scenarios check it with the keys themselves."""
        self.click(p.rect[0] + Paleta.CERRAR[0] + 8, p.rect[1] + Paleta.CERRAR[1] + 8)
        self.esperar(lambda: not p.existe or not p.mapeada, 5, "palette closed")

    def iconos_bandeja(self, clase="tizo"):
        """The icon is no X window here: swaybar draws it (see icono_en_la_barra)."""
        return []

    # teardown

    def cerrar(self):
        if getattr(self, "puntero", None) is not None:
            self.puntero.cerrar()
        if self.d is not None:
            try:
                self.d.close()
            except Exception:
                pass
            self.d = None
        for p in reversed(self.procesos):
            try:
                os.killpg(p.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
        for p in reversed(self.procesos):
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                os.killpg(p.pid, signal.SIGKILL)
                p.wait()
        # What the bus started lives on in the same process groups until the bus goes.
        for p in self.procesos:
            try:
                os.killpg(p.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        shutil.rmtree(self.tmp, ignore_errors=True)


def texto_y_esc(s, lienzo, x, y, nombre):
    """With the text tool picked by its key, a click at (x, y) opens the text shape `nombre`,
    which takes the keys; "Hola" and Enter finish it (its letters on nothing white), and Esc then
    leaves drawing mode. Gives the shape."""
    s.tecla("5")
    s.click(x, y)
    texto = s.forma(nombre)
    s.esperar(lambda: s.tiene_el_teclado(texto.id), 10, "the text has the keys")
    s.escribir("Hola")
    s.tecla("Return")
    s.esperar(lambda: s.captura(texto.rect).contar(BLANCO) == 0, 10, "the text finished")
    comprobar(s.captura(texto.rect).contar(ROJO) > 30, "its letters")
    s.tecla("Escape")
    s.esperar(lambda: not lienzo.existe, 10, "Esc after a text leaves drawing mode")
    return texto
