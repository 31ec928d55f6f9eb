"""End-to-end harness: the real program on a virtual X server, driven with real input.

Each scenario gets a fresh session: Xvfb (1920 x 1080 x 24), a desktop (window manager, maybe a
compositor, a tray, maybe a session bus; openbox and trayer unless TIZO_E2E_ESCRITORIO names
another of ESCRITORIOS), a desktop window with a known pattern, and a private home and runtime
directory (the program's single-instance lock lives there). Input goes through XTest; checks read
root-window screenshots and window properties. Nothing sleeps for a fixed time: `esperar` polls a
condition until a deadline.

A scenario file defines functions named `prueba_*(s)` taking a `Sesion` and ends with
`ejecutar(globals())`, or `ejecutar(globals(), ancho, alto)` for another screen size.

Several monitors: the screen split into RandR monitors (`monitores`), set before the desktop
starts; the session's own connection to the X server keeps it from resetting, which would drop
them.
"""

import fcntl
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import traceback
import zlib

from Xlib import X, Xatom, display, error
from Xlib.protocol import event
from Xlib.ext import xtest

ANCHO, ALTO = 1920, 1080
# Display numbers of the tests' own X servers, and where the sessions hold them.
PRIMERA_PANTALLA = 100
DIR_PANTALLAS = os.path.join(tempfile.gettempdir(), "tizo-e2e-pantallas")
CASILLA = 64  # side of the desktop pattern's squares
PATRON = ((46, 139, 87), (238, 232, 170))  # sea green, pale goldenrod

KEY_COLOR = (123, 22, 153)
ROJO = (255, 0, 0)
AZUL = (0, 0, 255)
BLANCO = (255, 255, 255)
AZUL_TESTIGO = (30, 30, 200)  # the witness window's colour


# --- desktops ----------------------------------------------------------------------------------


class Escritorio:
    """How a desktop starts: its window manager, a separate compositor if any, where tray icons go
    and whether a session bus runs.

    bandeja: "trayer" (an XEmbed tray beside the window manager), "propia" (the window manager's
        own XEmbed tray), "xfce4-panel" (its tray takes the icon over D-Bus when the program
        reaches the panel's bus, and over XEmbed otherwise) or None (no tray until a scenario
        starts one with `iniciar_bandeja`).
    bus: None (no session bus), "escritorio" (only the desktop's own programs reach one) or
        "todos" (the program too).
    compuesto: the window manager composites by itself (the session waits until it does).
    fuera_de_paneles: the window manager keeps every window but its panels and full-screen ones
        out of the panels' strips (xfwm4), so a shape drawn over a panel shows beside it.
    entorno: variables for the desktop's programs only.
    archivos: files to put in the session's private home, {path under it: text}."""

    def __init__(self, gestor, bandeja="trayer", compositor=None, compuesto=False, bus=None,
                 fuera_de_paneles=False, entorno=None, archivos=None):
        self.gestor, self.bandeja, self.compositor = gestor, bandeja, compositor
        self.compuesto, self.bus, self.fuera_de_paneles = compuesto, bus, fuera_de_paneles
        self.entorno, self.archivos = entorno or {}, archivos or {}


def _panel_xfce(tray_size=32):
    """Two panels as a new Xfce user has them, trimmed: a task list along the top, and the tray
    alone in a small panel at the bottom right, so that its one icon lies at that panel's centre."""
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <value type="int" value="2"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="26"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
    <property name="panel-2" type="empty">
      <property name="position" type="string" value="p=4;x=0;y=0"/>
      <property name="length" type="uint" value="1"/>
      <property name="length-adjust" type="bool" value="true"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="{tray_size}"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="2"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="tasklist"/>
    <property name="plugin-2" type="string" value="systray">
      <property name="square-icons" type="bool" value="true"/>
    </property>
  </property>
</channel>
"""


_XFCE = {".config/xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml": _panel_xfce()}
_OPENBOX = ["openbox", "--sm-disable"]

# Every desktop the tests know, by the name TIZO_E2E_ESCRITORIO takes.
ESCRITORIOS = {
    "openbox": Escritorio(_OPENBOX),
    "openbox-sin-bandeja": Escritorio(_OPENBOX, bandeja=None),
    # Nothing on the screen but the desktop window, and a session bus the program reaches.
    "openbox-bus-sin-bandeja": Escritorio(_OPENBOX, bandeja=None, bus="todos"),
    # picom with its shadows on and no configuration file: what it does by default.
    "openbox-picom": Escritorio(
        _OPENBOX, compositor=["picom", "-c", "--config", "/dev/null", "--backend", "xrender"]),
    "openbox-picom-bus-sin-bandeja": Escritorio(
        _OPENBOX, compositor=["picom", "-c", "--config", "/dev/null", "--backend", "xrender"],
        bandeja=None, bus="todos"),
    "xfce": Escritorio(["xfwm4", "--compositor=on", "--sm-client-disable"],
                       bandeja="xfce4-panel", compuesto=True, bus="todos", fuera_de_paneles=True,
                       archivos=_XFCE),
    "xfce-xembed": Escritorio(["xfwm4", "--compositor=on", "--sm-client-disable"],
                              bandeja="xfce4-panel", compuesto=True, bus="escritorio",
                              fuera_de_paneles=True, archivos=_XFCE),
    "kwin": Escritorio(["kwin_x11", "--replace"], compuesto=True, entorno={"KWIN_COMPOSE": "O2"}),
    "kwin-sin-composicion": Escritorio(["kwin_x11", "--replace"], entorno={"KWIN_COMPOSE": "N"}),
    "mutter": Escritorio(["mutter", "--x11", "--replace", "--sm-disable"], compuesto=True,
                         bus="escritorio"),
    "metacity": Escritorio(["metacity", "--sm-disable"], compuesto=True, bus="escritorio"),
    # Clock and load meters off: a screen that changes by itself would hide what the program
    # changed.
    "icewm": Escritorio(["icewm"], bandeja="propia", archivos={".icewm/preferences": (
        "TaskBarShowClock=0\nTaskBarShowCPUStatus=0\nTaskBarShowMEMStatus=0\n"
        "TaskBarShowNetStatus=0\n")}),
    # Debian's first configuration without the clock, and an overlay that keeps fluxbox from
    # setting a wallpaper: it would run a helper that is not installed, which says so in a window.
    "fluxbox": Escritorio(["fluxbox"], bandeja="propia", archivos={
        ".fluxbox/init": (
            "session.menuFile: ~/.fluxbox/menu\n"
            "session.keyFile: ~/.fluxbox/keys\n"
            "session.styleFile: /usr/share/fluxbox/styles//Squared_for_Debian\n"
            "session.configVersion: 13\n"
            "session.screen0.toolbar.widthPercent: 100\n"
            "session.screen0.toolbar.tools: prevworkspace, workspacename, nextworkspace, "
            "prevwindow, nextwindow, iconbar, systemtray\n"),
        ".fluxbox/overlay": "background: unset\n"}),
}


class Paleta:
    """Where the tool palette's controls sit, in pixels from its client area's corner (twips / 15
    at 96 DPI)."""

    TIRA = (2, 17)  # first pixel of the colour strip, inside its one-pixel border
    SWATCH = (128, 35, 25, 9)  # ShColor, white outline
    CERRAR = (140, 0, 17, 17)  # ImCerrar
    LB0 = (24, 16, 97, 17)  # "Grosor de líneas"
    LBGROSOR = (128, 16, 25, 17)
    OPCIONES = (24, 48)  # Opcion(i) at (0, 24 i, 129, 17) from here, the first five
    DEBAJO = 248  # and the rest at (0, 248 + 24 (i - 5), 129, 17), under the text frame
    FRTEXTO = (24, 160, 129, 129)
    FONDO = (100, 5)  # a point of the palette's own background
    PINCEL, LINEA, RECTANGULO, CIRCULO, TEXTO, FLECHA, RESALTADOR, LASER = range(8)

    @staticmethod
    def opcion(ventana, tipo, escala=1):
        """Where to click to choose a tool on the palette window (`escala`: the program's
        device pixels per logical one)."""
        x, y = ventana.rect[:2]
        arriba = 24 * tipo if tipo < 5 else Paleta.DEBAJO + 24 * (tipo - 5)
        return (x + (Paleta.OPCIONES[0] + 40) * escala,
                y + (Paleta.OPCIONES[1] + arriba + 8) * escala)

    @staticmethod
    def escribir_grosor(s, ventana, texto):
        """Double-clicks the thickness, types `texto` and Enter."""
        x, y = ventana.rect[:2]
        cx, cy = x + Paleta.LBGROSOR[0] + 12, y + Paleta.LBGROSOR[1] + 8
        s.click(cx, cy)
        s.click(cx, cy)
        time.sleep(0.2)
        s.escribir(texto)
        s.tecla("Return")


class FalloPrueba(AssertionError):
    pass


def comprobar(condicion, mensaje):
    if not condicion:
        raise FalloPrueba(mensaje)


# --- images ------------------------------------------------------------------------------------


class Captura:
    """A screenshot of the root window; pixel(x, y) gives (r, g, b)."""

    def __init__(self, datos, ancho, alto, x0=0, y0=0):
        self.datos, self.ancho, self.alto, self.x0, self.y0 = datos, ancho, alto, x0, y0

    def pixel(self, x, y):
        i = ((y - self.y0) * self.ancho + (x - self.x0)) * 4
        b, g, r = self.datos[i], self.datos[i + 1], self.datos[i + 2]
        return (r, g, b)

    def contar(self, color, rect=None):
        """How many pixels of `color` lie in rect (x, y, w, h), whole capture by default."""
        x, y, w, h = rect or (self.x0, self.y0, self.ancho, self.alto)
        # Row by row, each channel turned into one byte per pixel, 1 where it matches: a
        # pixel matches where all three do. Fast enough for a whole 4K screen.
        tablas = [bytes(1 if v == c else 0 for v in range(256)) for c in reversed(color)]
        total = 0
        for yy in range(y, y + h):
            i = ((yy - self.y0) * self.ancho + (x - self.x0)) * 4
            fila = self.datos[i : i + w * 4]
            coinciden = -1
            for canal, tabla in enumerate(tablas):  # blue, green, red
                coinciden &= int.from_bytes(fila[canal::4].translate(tabla), "big")
            total += coinciden.bit_count()
        return total

    def distintos(self, otra, excluir=()):
        """Pixels that differ from another screenshot of the same area, outside the rectangles
        `excluir`: (how many, their bounding box (x, y, w, h) or None)."""
        comprobar((self.ancho, self.alto, self.x0, self.y0) == (otra.ancho, otra.alto, otra.x0,
                                                                 otra.y0), "the same area")
        cuantos, caja = 0, None
        fila = self.ancho * 4
        for y in range(self.alto):
            a = self.datos[y * fila:(y + 1) * fila]
            b = otra.datos[y * fila:(y + 1) * fila]
            if a == b:
                continue
            for x in range(self.ancho):
                if a[x * 4:x * 4 + 3] == b[x * 4:x * 4 + 3]:
                    continue
                px, py = x + self.x0, y + self.y0
                if any(ex <= px < ex + ew and ey <= py < ey + eh for ex, ey, ew, eh in excluir):
                    continue
                cuantos += 1
                if caja is None:
                    caja = [px, py, px, py]
                else:
                    caja = [min(caja[0], px), min(caja[1], py), max(caja[2], px), max(caja[3], py)]
        if caja is not None:
            caja = (caja[0], caja[1], caja[2] - caja[0] + 1, caja[3] - caja[1] + 1)
        return cuantos, caja

    def guardar(self, ruta):
        filas = bytearray()
        for y in range(self.alto):
            filas.append(0)
            inicio = y * self.ancho * 4
            fila = self.datos[inicio : inicio + self.ancho * 4]
            for x in range(self.ancho):
                filas += bytes((fila[x * 4 + 2], fila[x * 4 + 1], fila[x * 4]))

        def trozo(tipo, datos):
            c = struct.pack(">I", len(datos)) + tipo + datos
            return c + struct.pack(">I", zlib.crc32(tipo + datos) & 0xFFFFFFFF)

        with open(ruta, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n")
            f.write(trozo(b"IHDR", struct.pack(">IIBBBBB", self.ancho, self.alto, 8, 2, 0, 0, 0)))
            f.write(trozo(b"IDAT", zlib.compress(bytes(filas), 6)))
            f.write(trozo(b"IEND", b""))
        return ruta


def leer_png(ruta):
    """A PNG as written by Qt (8-bit RGB or RGBA, not interlaced) as a Captura."""
    with open(ruta, "rb") as f:
        datos = f.read()
    comprobar(datos[:8] == b"\x89PNG\r\n\x1a\n", f"{ruta} is no PNG")
    i, idat = 8, b""
    while i < len(datos):
        largo, tipo = struct.unpack(">I4s", datos[i:i + 8])
        trozo = datos[i + 8:i + 8 + largo]
        if tipo == b"IHDR":
            ancho, alto, bits, clase, _, _, entrelazado = struct.unpack(">IIBBBBB", trozo)
        elif tipo == b"IDAT":
            idat += trozo
        i += 12 + largo
    comprobar(bits == 8 and clase in (2, 6) and not entrelazado, f"unexpected PNG kind {clase}")
    por_pixel = 3 if clase == 2 else 4
    crudo = zlib.decompress(idat)
    fila = ancho * por_pixel
    previa = bytearray(fila)
    salida = bytearray()
    for y in range(alto):
        filtro = crudo[y * (fila + 1)]
        actual = bytearray(crudo[y * (fila + 1) + 1:(y + 1) * (fila + 1)])
        for x in range(fila):
            a = actual[x - por_pixel] if x >= por_pixel else 0
            b = previa[x]
            c = previa[x - por_pixel] if x >= por_pixel else 0
            if filtro == 1:
                actual[x] = (actual[x] + a) & 0xFF
            elif filtro == 2:
                actual[x] = (actual[x] + b) & 0xFF
            elif filtro == 3:
                actual[x] = (actual[x] + (a + b) // 2) & 0xFF
            elif filtro == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                actual[x] = (actual[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        for x in range(ancho):
            r, g, b = actual[x * por_pixel:x * por_pixel + 3]
            salida += bytes((b, g, r, 255))  # as X gives pixels: BGRx
        previa = actual
    return Captura(bytes(salida), ancho, alto)


def color_fondo(x, y):
    """The colour the desktop pattern has at (x, y)."""
    return PATRON[((x // CASILLA) + (y // CASILLA)) % 2]


def es_fondo(c, x, y):
    """The screenshot c shows the desktop pattern at (x, y)."""
    return c.pixel(x, y) == color_fondo(x, y)


# --- windows -----------------------------------------------------------------------------------


class Ventana:
    """A client window. One found with `Sesion.ventana` knows how it was found: a program may
    replace a window by a new one (Qt does when some window flags change), and then the next
    read follows the live window that meets the same condition instead of failing on the old id."""

    def __init__(self, sesion, win, buscar=None):
        self.s, self.win, self.id = sesion, win, win.id
        self.buscar = buscar

    def _leer(self, leer):
        fin = time.monotonic() + 5
        while True:
            try:
                return leer(self.win)
            except (error.BadWindow, error.BadDrawable):
                if self.buscar is None or time.monotonic() > fin:
                    raise
            time.sleep(0.02)
            try:
                nuevas = self.buscar()
            except error.XError:
                nuevas = []
            if len(nuevas) == 1:
                self.win, self.id = nuevas[0].win, nuevas[0].id

    def _prop(self, nombre, tipo=X.AnyPropertyType):
        try:
            p = self._leer(lambda w: w.get_full_property(self.s.d.intern_atom(nombre), tipo))
        except error.XError:
            return None
        return p.value if p else None

    @property
    def clase(self):
        try:
            c = self._leer(lambda w: w.get_wm_class())
        except error.XError:
            return None
        return c[1] if c else None

    @property
    def nombre(self):
        v = self._prop("_NET_WM_NAME")
        if v is None:
            v = self._prop("WM_NAME")
        if v is None:
            return None
        return v.decode("utf-8", "replace") if isinstance(v, bytes) else str(v)

    @property
    def tipos(self):
        v = self._prop("_NET_WM_WINDOW_TYPE", Xatom.ATOM)
        return [self.s.d.get_atom_name(a) for a in v] if v is not None else []

    @property
    def estados(self):
        v = self._prop("_NET_WM_STATE", Xatom.ATOM)
        return [self.s.d.get_atom_name(a) for a in v] if v is not None else []

    @property
    def estado_wm(self):
        """ICCCM's WM_STATE as the window manager set it: 1 normal, 3 iconic, None if unset."""
        v = self._prop("WM_STATE")
        return v[0] if v is not None and len(v) else None

    @property
    def mapeada(self):
        """This very window is mapped and viewable: a window that went is not followed here, so
        that waiting for a window to close never waits for a replacement."""
        try:
            return self.win.get_attributes().map_state == X.IsViewable
        except error.XError:
            return False

    @property
    def existe(self):
        """This very window is still there (a closed window is never looked for again)."""
        try:
            self.win.get_geometry()
            return True
        except error.XError:
            return False

    @property
    def rect(self):
        """(x, y, w, h) in root coordinates."""

        def leer(w):
            g = w.get_geometry()
            t = self.s.root.translate_coords(w, 0, 0)
            return (t.x, t.y, g.width, g.height)

        return self._leer(leer)

    @property
    def centro(self):
        x, y, w, h = self.rect
        return (x + w // 2, y + h // 2)

    def __repr__(self):
        try:
            return f"<Ventana {self.id:#x} {self.clase} {self.nombre!r} {self.rect} {self.tipos}>"
        except error.XError:
            return f"<Ventana {self.id:#x} (gone)>"


# --- the session -------------------------------------------------------------------------------


class Sesion:
    def __init__(self, nombre="e2e", iniciar=True, escritorio=None, ancho=ANCHO, alto=ALTO,
                 monitores=None):
        self.escritorio = escritorio or os.environ.get("TIZO_E2E_ESCRITORIO", "openbox")
        # Screenshots and logs say on which desktop they were taken.
        self.nombre = nombre if self.escritorio == "openbox" else f"{self.escritorio}-{nombre}"
        self.desk = ESCRITORIOS[self.escritorio]
        self.ancho, self.alto = ancho, alto
        # [(name, x, y, w, h)], the primary first; None: the screen is one monitor
        self.monitores = monitores
        self.escala = 1  # the program's device pixels per logical pixel
        self.procesos = []
        self.tizo = None
        self.d = None
        self.tmp = tempfile.mkdtemp(prefix="tizo-e2e-")
        os.chmod(self.tmp, 0o700)
        self.salida_dir = os.environ.get("TIZO_E2E_OUT", os.path.join(os.getcwd(), "e2e-capturas"))
        os.makedirs(self.salida_dir, exist_ok=True)
        if iniciar:
            self.iniciar()

    def iniciar(self):
        """The X server, the desktop's session bus, window manager, compositor and tray, and the
        desktop window, each ready before the next starts."""
        self._iniciar_x()

    # set-up

    def _iniciar_x(self):
        self._iniciar_xvfb()
        casa = os.path.join(self.tmp, "casa")
        self.entorno = dict(os.environ)
        # Nothing of the desktop the tests were started from leaks in.
        for var in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS",
                    "XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION",
                    "XDG_SESSION_TYPE", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID"):
            self.entorno.pop(var, None)
        # The program's own language, whatever the machine's locale: the checks read its texts.
        for var in ("LC_ALL", "LC_MESSAGES", "LANGUAGE"):
            self.entorno.pop(var, None)
        self.entorno["LANG"] = "C.UTF-8"
        # Settings and pictures of the session's own: a run never reads or writes the user's.
        self.config = os.path.join(casa, ".config")
        self.imagenes = os.path.join(self.tmp, "imagenes")
        self.entorno.update(
            DISPLAY=self.pantalla, XDG_RUNTIME_DIR=self.tmp, HOME=casa,
            XDG_CONFIG_HOME=self.config,
            XDG_CACHE_HOME=os.path.join(casa, ".cache"),
            XDG_DATA_HOME=os.path.join(casa, ".local", "share"),
            # No bus unless the desktop has one: an unset address would make each program start
            # a bus of its own, which outlives the session.
            DBUS_SESSION_BUS_ADDRESS=f"unix:path={self.tmp}/sin-bus")
        for sub in (".config", ".cache", os.path.join(".local", "share")):
            os.makedirs(os.path.join(casa, sub), mode=0o700, exist_ok=True)
        with open(os.path.join(self.config, "user-dirs.dirs"), "w") as f:
            f.write(f'XDG_PICTURES_DIR="{self.imagenes}"\n')
        for ruta, texto in self.desk.archivos.items():
            os.makedirs(os.path.dirname(os.path.join(casa, ruta)), exist_ok=True)
            with open(os.path.join(casa, ruta), "w") as f:
                f.write(texto)
        self.d = display.Display(self.pantalla)
        self.root = self.d.screen().root
        if self.monitores:
            self._poner_monitores()
        self._poner_patron_raiz()

        self.entorno_escritorio = dict(self.entorno, **self.desk.entorno)
        if self.desk.bus:
            self._iniciar_bus()
        self.gestor = self._lanzar(self.desk.gestor, registro=os.path.basename(self.desk.gestor[0]),
                                   env=self.entorno_escritorio)
        self._esperar_gestor()
        if self.desk.compositor:
            self._lanzar(self.desk.compositor, registro=self.desk.compositor[0],
                         env=self.entorno_escritorio)
        if self.desk.compositor or self.desk.compuesto:
            cm = self.d.intern_atom("_NET_WM_CM_S0")
            self.esperar(lambda: self.d.get_selection_owner(cm) != X.NONE, 20, "the compositor")
        self._iniciar_bandeja()
        self._poner_escritorio()

    def _poner_monitores(self):
        """The screen's one output off and RandR monitors in its place, the first one primary."""
        self.xrandr("--output", "screen", "--off", comprobar_estado=False)  # X answers an error
        for i, (nombre, x, y, w, h) in enumerate(self.monitores):
            self.poner_monitor(nombre, x, y, w, h, primario=i == 0)
        self.esperar(lambda: len(self._lista_monitores()) == len(self.monitores), 5,
                     "the monitors")

    def xrandr(self, *argumentos, comprobar_estado=True):
        r = subprocess.run(["xrandr", *argumentos], env=self.entorno, capture_output=True,
                           text=True, timeout=10)
        if comprobar_estado and r.returncode != 0:
            raise FalloPrueba(f"xrandr {' '.join(argumentos)}: {r.stderr}")
        return r.stdout

    def _lista_monitores(self):
        return [linea for linea in self.xrandr("--listmonitors").splitlines()[1:] if linea.strip()]

    def poner_monitor(self, nombre, x, y, w, h, primario=False):
        """A monitor of w x h pixels at (x, y), at 96 DPI."""
        mm = lambda pixeles: round(pixeles * 25.4 / 96)
        self.xrandr("--setmonitor", ("*" if primario else "") + nombre,
                    f"{w}/{mm(w)}x{h}/{mm(h)}+{x}+{y}", "none")

    def quitar_monitor(self, nombre):
        self.xrandr("--delmonitor", nombre)

    def _iniciar_bus(self):
        """A private session bus for the desktop (and the program too, if the desktop says)."""
        ruta = os.path.join(self.tmp, "bus-escritorio")
        direccion = f"unix:path={ruta}"
        self._lanzar(["dbus-daemon", "--session", "--nofork", "--nopidfile", "--address",
                      direccion], registro="dbus", env=self.entorno_escritorio)
        self.esperar(lambda: os.path.exists(ruta), 10, "the session bus")
        self.entorno_escritorio["DBUS_SESSION_BUS_ADDRESS"] = direccion
        if self.desk.bus == "todos":
            self.entorno["DBUS_SESSION_BUS_ADDRESS"] = direccion

    def _iniciar_bandeja(self):
        if self.desk.bandeja is not None:
            self.iniciar_bandeja(self.desk.bandeja)

    def iniciar_bandeja(self, bandeja="trayer"):
        """Starts the tray and waits until it holds the tray's selection (and, for a tray over
        D-Bus, its watcher is up)."""
        if bandeja == "trayer":
            self._lanzar(
                ["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "request",
                 "--height", "32", "--SetDockType", "true", "--transparent", "false",
                 "--tint", "0x000000"],
                registro="trayer", env=self.entorno_escritorio)
        elif bandeja == "xfce4-panel":
            self._lanzar(["xfce4-panel", "--disable-wm-check"], registro="xfce4-panel",
                         env=self.entorno_escritorio)
        seleccion = self.d.intern_atom("_NET_SYSTEM_TRAY_S0")
        self.esperar(lambda: self.d.get_selection_owner(seleccion) != X.NONE, 20, "the tray")
        if self.bandeja_por_bus():
            self.esperar(lambda: "true" in (self._dbus(
                "org.freedesktop.DBus", "/org/freedesktop/DBus",
                "org.freedesktop.DBus.NameHasOwner", "string:org.kde.StatusNotifierWatcher") or ""),
                20, "the tray's StatusNotifierItem watcher")

    def bandeja_por_bus(self):
        """The program's tray icon goes to the panel over D-Bus (StatusNotifierItem)."""
        return self.desk.bandeja == "xfce4-panel" and self.desk.bus == "todos"

    def _dbus(self, destino, ruta, metodo, *argumentos):
        """A method call on the desktop's session bus: the reply as dbus-send prints it, or None."""
        r = subprocess.run(["dbus-send", "--session", "--print-reply", f"--dest={destino}", ruta,
                            metodo, *argumentos],
                           env=self.entorno_escritorio, capture_output=True, text=True, timeout=10)
        return r.stdout if r.returncode == 0 else None

    def elementos_sni(self):
        """The StatusNotifierItems the panel's watcher holds."""
        r = self._dbus("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                       "org.freedesktop.DBus.Properties.Get", "string:org.kde.StatusNotifierWatcher",
                       "string:RegisteredStatusNotifierItems") or ""
        return [linea.split('"')[1] for linea in r.splitlines() if '"' in linea]

    def _iniciar_xvfb(self):
        """Starts Xvfb on a display number no other session of these tests holds. A number is
        held from before its server starts until that server has fully exited (see `cerrar`),
        so a new session never meets a server that is still going away, nor its clients."""
        os.makedirs(DIR_PANTALLAS, exist_ok=True)
        primero = PRIMERA_PANTALLA + (os.getpid() * 7) % 300  # spread parallel suites apart
        for i in range(300):
            numero = PRIMERA_PANTALLA + (primero - PRIMERA_PANTALLA + i) % 300
            cerrojo = open(os.path.join(DIR_PANTALLAS, f"{numero}.lock"), "w")
            try:
                fcntl.flock(cerrojo, fcntl.LOCK_EX | fcntl.LOCK_NB)
            except OSError:
                cerrojo.close()
                continue
            if os.path.exists(f"/tmp/.X{numero}-lock"):  # a server the tests did not start
                cerrojo.close()
                continue
            if self._arrancar_xvfb(numero):
                self._cerrojo_pantalla = cerrojo
                return
            cerrojo.close()
        raise FalloPrueba("no display number free for Xvfb")

    def _arrancar_xvfb(self, numero):
        r, w = os.pipe()
        xvfb = subprocess.Popen(
            ["Xvfb", f":{numero}", "-displayfd", str(w), "-screen", "0", f"{self.ancho}x{self.alto}x24",
             "-nolisten", "tcp"],
            pass_fds=(w,),
            stdout=subprocess.DEVNULL,
            stderr=self._registro("xvfb"),
        )
        os.close(w)
        listo = b""
        fin = time.monotonic() + 20
        while not listo.endswith(b"\n") and time.monotonic() < fin:
            trozo = os.read(r, 16)  # ends when the server writes its number, or exits
            if not trozo:
                break
            listo += trozo
        os.close(r)
        if listo.strip() != str(numero).encode():
            xvfb.kill()
            xvfb.wait()
            return False
        self.xvfb = xvfb
        self.procesos.append(xvfb)
        self.pantalla = f":{numero}"
        return True

    def _esperar_gestor(self, segundos=20):
        """The session is ready only once the window manager manages new windows. A window manager
        may announce itself (_NET_SUPPORTING_WM_CHECK) before its event loop runs, and openbox
        loses a map request that comes in between: the window then stays unmapped for good. So a
        probe window is mapped, and mapped again while it is not managed, until the window
        manager reparents it into a frame or gives it frame extents."""
        self.esperar(lambda: self._prop_root("_NET_SUPPORTING_WM_CHECK") is not None, segundos,
                     "the window manager's check window")
        pantalla = self.d.screen()
        sonda = self.root.create_window(0, 0, 10, 10, 0, pantalla.root_depth, X.InputOutput,
                                        X.CopyFromParent)
        sonda.set_wm_name("sonda")
        extensiones = self.d.intern_atom("_NET_FRAME_EXTENTS")

        def gestionada():
            return (sonda.query_tree().parent.id != self.root.id
                    or sonda.get_full_property(extensiones, X.AnyPropertyType) is not None)

        fin = time.monotonic() + segundos
        while True:
            sonda.unmap()
            sonda.map()
            self.d.sync()
            try:
                self.esperar(gestionada, 0.5, "the window manager to manage a window")
                break
            except FalloPrueba:
                if time.monotonic() > fin:
                    raise
        sonda.destroy()
        self.d.sync()

    def _registro(self, nombre):
        """A log file of this session for a program's output, kept when a scenario fails."""
        return open(os.path.join(self.tmp, f"{nombre}.log"), "w+")

    def _lanzar(self, orden, registro=None, env=None, **kw):
        salida = self._registro(registro) if registro else subprocess.DEVNULL
        p = subprocess.Popen(orden, env=env or self.entorno, stdout=salida, stderr=salida, **kw)
        self.procesos.append(p)
        return p

    def estado(self):
        """What the session looked like, for a failure report."""
        lineas = []
        for p in self.procesos:
            lineas.append(f"{p.args[0]} pid {p.pid}: "
                          + ("running" if p.poll() is None else f"exited {p.returncode}"))
        try:
            v = self._prop_root("_NET_SUPPORTING_WM_CHECK")
            if v is None:
                lineas.append("_NET_SUPPORTING_WM_CHECK: not set")
            else:
                comprobante = Ventana(self, self.d.create_resource_object("window", v[0]))
                lineas.append(f"_NET_SUPPORTING_WM_CHECK: {v[0]:#x}, exists "
                              f"{comprobante.existe}, name {comprobante.nombre!r}")
        except Exception as e:  # the report must not hide the failure
            lineas.append(f"window manager state unreadable: {e!r}")
        try:
            lineas.append(self._bajo_el_puntero())
        except Exception as e:
            lineas.append(f"pointer state unreadable: {e!r}")
        return "\n".join(lineas)

    def _bajo_el_puntero(self):
        """Where the pointer is, the windows under it from the root down, and whether another
        client holds the pointer grabbed: what a lost click needs explained."""
        p = self.root.query_pointer()
        cadena, w = [], p.child
        x, y = p.root_x, p.root_y
        while w:
            cadena.append(f"{w.id:#x} ({Ventana(self, w).clase})")
            hijo = w.query_pointer().child
            w = hijo if hijo and hijo.id != w.id else None
        r = self.root.grab_pointer(False, 0, X.GrabModeAsync, X.GrabModeAsync, X.NONE, X.NONE,
                                   X.CurrentTime)
        if r == X.GrabSuccess:
            self.d.ungrab_pointer(X.CurrentTime)
        self.d.sync()
        agarre = {X.GrabSuccess: "free", X.AlreadyGrabbed: "grabbed by another client",
                  X.GrabFrozen: "frozen"}.get(r, str(r))
        return (f"pointer at ({x}, {y}), buttons {p.mask:#x}, under it: "
                f"{' > '.join(cadena) or 'the root'}; the pointer is {agarre}")

    def guardar_registros(self):
        """Keeps this session's logs next to its failure screenshot."""
        destino = os.path.join(self.salida_dir, f"{self.nombre}-registros")
        shutil.rmtree(destino, ignore_errors=True)
        os.makedirs(destino)
        for nombre in os.listdir(self.tmp):
            if nombre.endswith(".log"):
                shutil.copy(os.path.join(self.tmp, nombre), destino)
        with open(os.path.join(destino, "estado.txt"), "w") as f:
            f.write(self.estado() + "\n")
        return destino

    def _prop_root(self, nombre):
        p = self.root.get_full_property(self.d.intern_atom(nombre), X.AnyPropertyType)
        return p.value if p else None

    def _patron(self):
        """A pixmap of the checkerboard that tiles the desktop."""
        pantalla = self.d.screen()
        pixmap = self.root.create_pixmap(2 * CASILLA, 2 * CASILLA, pantalla.root_depth)
        mapa = pantalla.default_colormap
        for i, (r, g, b) in enumerate(PATRON):
            gc = pixmap.create_gc(foreground=mapa.alloc_color(r * 257, g * 257, b * 257).pixel)
            for cx, cy in ((0, 0), (1, 1)) if i == 0 else ((1, 0), (0, 1)):
                pixmap.fill_rectangle(gc, cx * CASILLA, cy * CASILLA, CASILLA, CASILLA)
        return pixmap

    def _poner_patron_raiz(self):
        """The pattern on the root window too, for the moments before the desktop window shows."""
        self.root.change_attributes(background_pixmap=self._patron())
        self.root.clear_area(0, 0, self.ancho, self.alto)
        self.d.sync()

    def _poner_escritorio(self):
        """Checkerboard desktop: known colours under and around whatever the program shows. It is
        a desktop window, as a desktop's file manager shows one: every window manager keeps it
        beneath all other windows and every compositor paints it, which not all do with the root
        window's own background."""
        pantalla = self.d.screen()
        self.escritorio_win = self.root.create_window(
            0, 0, self.ancho, self.alto, 0, pantalla.root_depth, X.InputOutput, X.CopyFromParent,
            background_pixmap=self._patron())
        w = self.escritorio_win
        w.set_wm_name("escritorio")
        w.set_wm_class("escritorio", "Escritorio")
        w.set_wm_normal_hints(flags=1 | 2, x=0, y=0, width=self.ancho, height=self.alto)
        tipo = self.d.intern_atom("_NET_WM_WINDOW_TYPE")
        w.change_property(tipo, Xatom.ATOM, 32, [self.d.intern_atom("_NET_WM_WINDOW_TYPE_DESKTOP")])
        w.map()
        self.d.sync()
        self.esperar(lambda: Ventana(self, w).mapeada, 15, "the desktop window")
        self.esperar(self.se_ve_el_patron, 15, "the desktop pattern on screen")

    def se_ve_el_patron(self):
        """The screen shows the desktop pattern in the middle."""
        puntos = ((700, 500), (770, 500), (1200, 700), (1270, 700))
        c = self.captura((700, 500, 571, 201))
        return all(c.pixel(x, y) == color_fondo(x, y) for x, y in puntos)

    def poner_fondo(self, color=None):
        """Turns the live desktop into one colour (the pattern again with None); a capture taken
        before still shows what it showed."""
        w = self.escritorio_win
        if color is None:
            w.change_attributes(background_pixmap=self._patron())
        else:
            mapa = self.d.screen().default_colormap
            w.change_attributes(background_pixel=mapa.alloc_color(*(c * 257 for c in color)).pixel)
        w.clear_area(0, 0, self.ancho, self.alto)
        self.d.sync()

    # the program

    @staticmethod
    def binario_tizo():
        return os.environ.get("TIZO_BIN", "build/tizo")

    def lanzar_tizo(self, *argumentos, esperar_icono=True):
        self.registro_tizo = open(os.path.join(self.tmp, f"tizo-{len(self.procesos)}.log"), "w+")
        p = subprocess.Popen([self.binario_tizo(), *argumentos], env=self.entorno,
                             stdout=self.registro_tizo, stderr=subprocess.STDOUT)
        self.procesos.append(p)
        if self.tizo is None:
            self.tizo = p
        if esperar_icono:
            self.esperar(lambda: len(self.iconos_bandeja()) == 1, 20, "tray icon")
            # docked means mapped inside the tray
            self.esperar(lambda: self.iconos_bandeja()[0].mapeada, 10, "tray icon mapped")
            self.esperar(self._icono_quieto, 10, "the tray icon in its place")
        return p

    def orden_tizo(self, *argumentos, segundos=10):
        """Runs `tizo` with these arguments to its end, as a desktop shortcut or a terminal in
        this session would; gives the CompletedProcess (text output) with `.segundos` taken."""
        inicio = time.monotonic()
        r = subprocess.run([self.binario_tizo(), *argumentos], env=self.entorno,
                           capture_output=True, text=True, timeout=segundos)
        r.segundos = time.monotonic() - inicio
        return r

    def archivo_ajustes(self):
        return os.path.join(self.config, "tizo", "tizo.conf")

    def escalar(self, factor):
        """The program started from now on scales its windows by `factor` (QT_SCALE_FACTOR)."""
        self.escala = factor
        self.entorno["QT_SCALE_FACTOR"] = str(factor)

    def memoria_tizo(self):
        """The program's resident memory, kB."""
        with open(f"/proc/{self.tizo.pid}/status") as estado:
            for linea in estado:
                if linea.startswith("VmRSS:"):
                    return int(linea.split()[1])
        raise FalloPrueba("no resident size for the program")

    def _icono_quieto(self):
        """The tray icon lies on the screen where it lay at the last look: a tray that grows
        with its icons moves them while it settles, and a click must find the icon."""
        x, y, w, h = self.iconos_bandeja()[0].rect
        anterior, self._ultimo_icono = getattr(self, "_ultimo_icono", None), (x, y, w, h)
        time.sleep(0.05)
        return anterior == (x, y, w, h) and x >= 0 and y >= 0 and x + w <= self.ancho and y + h <= self.alto

    def lanzar(self, orden):
        """Starts a helper program of the tests on this display; `salida(p)` gives what it
        printed."""
        registro = open(os.path.join(self.tmp, f"salida-{len(self.procesos)}.log"), "w+")
        p = subprocess.Popen(orden, env=self.entorno, stdout=registro, stderr=subprocess.STDOUT)
        p.registro = registro
        self.procesos.append(p)
        return p

    @staticmethod
    def salida(p):
        p.registro.flush()
        p.registro.seek(0)
        return p.registro.read()

    def salida_tizo(self):
        self.registro_tizo.flush()
        self.registro_tizo.seek(0)
        return self.registro_tizo.read()

    # windows

    def todas(self, desde=None):
        pila, lista = [desde or self.root], []
        while pila:
            w = pila.pop()
            try:
                hijos = w.query_tree().children
            except error.XError:
                continue
            for h in hijos:
                lista.append(Ventana(self, h))
                pila.append(h)
        return lista

    def apilados(self):
        """The mapped top-level windows, bottom to top as the X server stacks them: each is
        (the window the window manager stacks, which may be its frame; the client inside it, or
        the window itself when it has none)."""
        lista = []
        for w in self.root.query_tree().children:
            marco = Ventana(self, w)
            if not marco.mapeada:
                continue
            cliente = marco
            if marco.clase is None:
                dentro = [v for v in self.todas(w) if v.estado_wm is not None]
                cliente = dentro[0] if dentro else marco
            lista.append((marco, cliente))
        return lista

    def encima_de(self, ventana):
        """The clients stacked above `ventana` that overlap it."""
        clientes = [c for _, c in self.apilados()]
        ids = [c.id for c in clientes]
        comprobar(ventana.id in ids, f"{ventana} is stacked on the screen")
        superpuesta = self._superpuesta()
        vx, vy, vw, vh = ventana.rect
        encima = []
        for c in clientes[ids.index(ventana.id) + 1:]:
            if c.id == superpuesta:
                continue
            try:
                x, y, w, h = c.rect
                clase = c.win.get_attributes().win_class
            except error.XError:
                continue
            if clase == X.InputOnly or x >= vx + vw or y >= vy + vh or x + w <= vx or y + h <= vy:
                continue
            encima.append(c)
        return encima

    def ventanas(self, clase="tizo", mapeadas=True, tipo=None):
        """Client windows of a program (by WM_CLASS class), top-level ones in stacking order."""
        res = []
        for v in self.todas():
            try:
                if v.clase is None or v.clase.lower() != clase.lower():
                    continue
                if mapeadas and not v.mapeada:
                    continue
                if tipo is not None and ("_NET_WM_WINDOW_TYPE_" + tipo.upper()) not in v.tipos:
                    continue
            except error.XError:
                continue
            res.append(v)
        return res

    def ventana(self, condicion, que, segundos=10, clase="tizo"):
        """Waits until exactly one mapped window of the program meets `condicion` and returns it;
        later reads of it follow a replacement that meets the same condition."""

        def buscar():
            return [v for v in self.ventanas(clase) if condicion(v)]

        def una():
            halladas = buscar()
            return halladas[0] if len(halladas) == 1 else None

        v = self.esperar(una, segundos, que)
        v.buscar = buscar
        return v

    def ventanas_por_nombre(self, nombre, clase="tizo"):
        """The program's mapped windows with this caption."""
        return [v for v in self.ventanas(clase) if v.nombre == nombre]

    def iconos_bandeja(self, clase="tizo"):
        """The program's tray icons. On an XEmbed tray, its windows docked there (they bypass the
        window manager and live inside the tray's window); where the icon goes over D-Bus, the
        panel that shows it, once the panel's watcher holds an item (its only one)."""
        if self.bandeja_por_bus():
            panel = self.panel_bandeja() if self.elementos_sni() else None
            return [panel] if panel is not None else []  # the panel may not be in place yet
        iconos = []
        for v in self.ventanas(clase, mapeadas=False):
            try:
                if (v.win.get_attributes().override_redirect
                        and v.win.query_tree().parent.id != self.root.id):
                    iconos.append(v)
            except error.XError:
                continue
        return iconos

    def panel_bandeja(self):
        """The Xfce panel that holds the tray alone, at the bottom right of the screen."""
        for v in self.ventanas("xfce4-panel"):
            x, y, w, h = v.rect
            if x + w == self.ancho and y + h == self.alto:
                return v
        return None

    def icono(self):
        iconos = self.iconos_bandeja()
        comprobar(len(iconos) == 1, f"expected one tray icon, found {iconos}")
        return iconos[0]

    def menu_abierto(self, clase="tizo"):
        """An open popup menu of the program (or of another, by class): its mapped
        override-redirect window that is neither the tray icon nor a tooltip."""
        iconos = {v.id for v in self.iconos_bandeja()}
        for v in self.ventanas(clase):
            try:
                if (v.win.get_attributes().override_redirect and v.id not in iconos
                        and "_NET_WM_WINDOW_TYPE_TOOLTIP" not in v.tipos):
                    return v
            except error.XError:
                continue
        return None

    def menu_de_la_bandeja(self):
        """The menu a tray that takes the icon over D-Bus shows for it: a popup menu of another
        program's."""
        for v in self.todas():
            try:
                if (v.mapeada and v.win.get_attributes().override_redirect
                        and "_NET_WM_WINDOW_TYPE_POPUP_MENU" in v.tipos
                        and (v.clase or "").lower() != "tizo"):
                    return v
            except error.XError:
                continue
        return None

    def activa(self):
        v = self._prop_root("_NET_ACTIVE_WINDOW")
        return v[0] if v is not None and len(v) else None

    def foco(self):
        """The window the X server sends keys to (a window manager may say a window is active
        before it has given it the focus)."""
        f = self.d.get_input_focus().focus
        return f if isinstance(f, int) else f.id

    def tiene_el_teclado(self, id_):
        return self.activa() == id_ and self.foco() == id_

    # input

    def mover(self, x, y):
        xtest.fake_input(self.d, X.MotionNotify, x=int(x), y=int(y))
        self.d.sync()

    def pulsar(self, boton=1):
        xtest.fake_input(self.d, X.ButtonPress, boton)
        self.d.sync()

    def soltar(self, boton=1):
        xtest.fake_input(self.d, X.ButtonRelease, boton)
        self.d.sync()

    def click(self, x, y, boton=1):
        self.mover(x, y)
        self.pausa()
        self.pulsar(boton)
        self.pausa()
        self.soltar(boton)
        self.pausa()

    def arrastrar(self, x0, y0, x1, y1, botones=(1,), pasos=12):
        self.mover(x0, y0)
        self.pausa()
        for b in botones:
            self.pulsar(b)
        self.pausa()
        for i in range(1, pasos + 1):
            self.mover(x0 + (x1 - x0) * i / pasos, y0 + (y1 - y0) * i / pasos)
            self.pausa(0.01)
        self.pausa()
        for b in reversed(botones):
            self.soltar(b)
        self.pausa()

    def tecla(self, *teclas):
        """Keys as xdotool names them: "Escape", "Delete", "shift+Escape", "Return"."""
        subprocess.run(["xdotool", "key", "--delay", "20", *teclas], env=self.entorno, check=True)
        self.pausa()

    def rueda(self, x, y, arriba=True, veces=1, mayus=False):
        """Turns the mouse wheel at (x, y), `veces` notches up or down, with Shift held if
        `mayus`."""
        self.mover(x, y)
        self.pausa()
        if mayus:
            subprocess.run(["xdotool", "keydown", "shift"], env=self.entorno, check=True)
        for _ in range(veces):
            self.pulsar(4 if arriba else 5)
            self.soltar(4 if arriba else 5)
        self.pausa()
        if mayus:
            subprocess.run(["xdotool", "keyup", "shift"], env=self.entorno, check=True)
        self.pausa()

    def imagen_puntero(self):
        """The pointer's picture as the X server shows it now: (width, height, hot spot x,
        hot spot y, [(r, g, b, a)] row by row)."""
        self.d.xfixes_query_version()
        c = self.d.xfixes_get_cursor_image(self.root)
        pixeles = [((p >> 16) & 255, (p >> 8) & 255, p & 255, (p >> 24) & 255)
                   for p in c.cursor_image]
        return c.width, c.height, c.xhot, c.yhot, pixeles

    def escribir(self, texto):
        subprocess.run(["xdotool", "type", "--delay", "30", texto], env=self.entorno, check=True)
        self.pausa()

    def pausa(self, segundos=0.05):
        """Lets the X server deliver what was just sent. Checks use `esperar`, never this."""
        self.d.sync()
        time.sleep(segundos)

    # tray menu

    def cerrar_menu(self, abierto, que):
        """Closes an open menu with Esc, until `abierto()` says it is gone. A menu takes the
        keyboard with a grab as it shows, which fails while the window manager holds one for a
        moment (mutter may, after a click on a panel): the key then goes elsewhere, and a user
        presses Esc again."""
        self.tecla("Escape")
        try:
            return self.esperar(lambda: abierto() is None, 2, que)
        except FalloPrueba:
            print(f"Esc did not close {que!r} at once: pressed again", flush=True)
        self.tecla("Escape")
        return self.esperar(lambda: abierto() is None, 5, que)

    def abrir_menu(self, boton=1):
        def clic(icono):
            if self.cubierta(icono):
                self.click_directo(icono, boton)
            else:
                self.click(*icono.centro, boton)

        return self.sobre_el_icono(clic, self.menu_abierto, "tray menu")

    def sobre_el_icono(self, accion, resultado, que, segundos=15):
        """Does `accion(icon)` and waits for `resultado()`. Qt replaces its XEmbed tray icon
        when the tray announces itself again, and a window manager may still move the tray
        after it docked the icon: if the icon was replaced or moved meanwhile, the action fell
        on the old one and is done again. The wait is long: a program's first menu, built
        under the sanitizers while other sessions share the machine, can take seconds to show,
        and a click that was lost fails all the same, but on mutter (see below)."""
        icono = self.icono()
        lugar = icono.rect
        accion(icono)
        try:
            return self.esperar(resultado, segundos, que)
        except FalloPrueba:
            iconos = self.iconos_bandeja()
            if len(iconos) == 1 and (iconos[0].id, iconos[0].rect) != (icono.id, lugar):
                print(f"the tray icon changed under the action ({icono} at {lugar}, now "
                      f"{iconos[0]}): done again", flush=True)
            elif self.escritorio == "mutter" and len(iconos) == 1:
                # Now and then, on a loaded machine, a click on trayer's icon under mutter never
                # reaches the icon's window: the program's event loop idle, no press or release
                # delivered, the pointer over the icon and free (seen with Qt's XEmbed icon and
                # with the program's own alike). A user clicks again; so does this, once, saying so.
                print(f"the click on the tray icon under mutter went nowhere "
                      f"({self._bajo_el_puntero()}): done again", flush=True)
            else:
                raise
        accion(self.icono())
        return self.esperar(resultado, segundos, que)

    def cubierta(self, ventana):
        """Another top-level window lies over the middle of `ventana` (the canvas covers the
        tray while drawing)."""
        x, y = ventana.centro
        w = ventana.win
        while True:
            padre = w.query_tree().parent
            if padre.id == self.root.id:
                break
            w = padre
        arriba, superpuesta = False, self._superpuesta()
        for marco, _ in self.apilados():
            if arriba and marco.id != superpuesta:
                mx, my, mw, mh = marco.rect
                if mx <= x < mx + mw and my <= y < my + mh:
                    return True
            arriba = arriba or marco.id == w.id
        return False

    def _superpuesta(self):
        """The compositor's overlay window, above all others, through which it shows them."""
        if self.d.get_selection_owner(self.d.intern_atom("_NET_WM_CM_S0")) == X.NONE:
            return None
        return self.root.composite_get_overlay_window().overlay_window.id

    def click_directo(self, ventana, boton=1):
        """A click sent to the window itself, as a user reaches a covered tray by other means
        than the mouse."""
        x, y = ventana.centro
        rx, ry = ventana.rect[:2]
        for tipo, clase in ((X.ButtonPress, event.ButtonPress),
                            (X.ButtonRelease, event.ButtonRelease)):
            ev = clase(time=X.CurrentTime, root=self.root, window=ventana.win, same_screen=1,
                       child=X.NONE, root_x=x, root_y=y, event_x=x - rx, event_y=y - ry,
                       state=0 if tipo == X.ButtonPress else X.Button1Mask << (boton - 1),
                       detail=boton)
            ventana.win.send_event(ev, event_mask=X.ButtonPressMask | X.ButtonReleaseMask)
            self.d.sync()
            self.pausa()

    def elegir(self, texto):
        """Opens the tray menu and chooses an item by its caption, with the keyboard."""
        orden = [" Tizo", " Dibujar Fondo", " Borrar Todo", " Mostrar / Ocultar", " Salir"]
        self.abrir_menu()
        self.tecla(*(["Down"] * (orden.index(texto) + 1)), "Return")
        self.esperar(lambda: self.menu_abierto() is None, 5, "menu closed")

    # drawing mode

    def imagen_salida(self):
        """Where the canvas's exit image shows (x, y, w, h): 40 twips below the top and 20 twips
        left of the right edge, 48 logical pixels square."""
        e, ancho = self.escala, self.ancho // self.escala
        x, y = round((ancho * 15 - 48 * 15 - 20) / 15), round(40 / 15)
        return (x * e, y * e, 48 * e, 48 * e)

    def salida_visible(self, c, x=None, y=None):
        """The exit image shows at (x, y) of the screenshot c, at its place by default."""
        sx, sy, lado, _ = self.imagen_salida()
        x, y = sx if x is None else x, sy if y is None else y
        distintos = sum(1 for yy in range(y, y + lado) for xx in range(x, x + lado)
                        if not es_fondo(c, xx, yy))
        return distintos > 300 * self.escala * self.escala

    def lienzo(self):
        return self.ventana(lambda v: v.nombre == "Tizo" and v.rect[2] == self.ancho, "the canvas")

    def dibujar_con_la_orden(self):
        """Drawing mode from `tizo --draw`: the canvas, active."""
        r = self.orden_tizo("--draw")
        comprobar(r.returncode == 0, f"--draw: {r.returncode} {r.stderr}")
        v = self.lienzo()
        self.esperar(lambda: self.activa() == v.id, 5, "the canvas active")
        return v

    def dibujar_fondo(self):
        """Drawing mode from the tray menu: the canvas, active, its exit image painted."""
        self.elegir(" Dibujar Fondo")
        v = self.lienzo()
        self.esperar(lambda: self.activa() == v.id, 5, "the canvas active")
        self.esperar(lambda: self.salida_visible(self.captura(self.imagen_salida())), 5,
                     "the exit image painted")
        return v

    def formas(self):
        """The shape windows, captioned with their count."""
        return [v for v in self.ventanas() if v.nombre and v.nombre.isdigit()]

    def forma(self, nombre):
        return self.esperar(lambda: [v for v in self.formas() if v.nombre == nombre], 10,
                            f"shape {nombre}")[0]

    def abrir_paleta(self, x=None, y=None):
        """The tool palette, opened with the right button on the canvas."""
        x = self.ancho // 2 if x is None else x
        y = self.alto // 2 if y is None else y
        self.click(x, y, 3)
        p = self.ventana(lambda v: v.nombre == "Herramientas", "palette")
        # The palette opens at the pointer: a compositor's screenshot would show the pointer over
        # its corner, where it is checked.
        px, py, pw, ph = p.rect
        self.mover(min(px + pw + 20, self.ancho - 1), min(py + ph + 20, self.alto - 1))
        tx, ty = (c * self.escala for c in Paleta.TIRA)
        # Scaled, the strip's first row blends into its border.
        rojo = (lambda c: c == ROJO) if self.escala == 1 else (lambda c: c[0] > 200 > 80 > c[1])
        d = self.escala // 2
        self.esperar(lambda: rojo(self.pixel(p.rect[0] + tx + d, p.rect[1] + ty + d)), 5,
                     "palette painted")
        return p

    def cerrar_paleta(self, p):
        """Closes the palette with its close image. The canvas beneath, while drawing mode
        lasts, takes the keys back through the window manager: a key typed before that would
        reach nothing, so the next step waits for it, as a user's next key does."""
        e = self.escala
        self.click(p.rect[0] + (Paleta.CERRAR[0] + 8) * e, p.rect[1] + (Paleta.CERRAR[1] + 8) * e)
        self.esperar(lambda: not p.existe or not p.mapeada, 5, "palette closed")
        for v in self.ventanas():
            try:
                lienzo = v.nombre == "Tizo" and v.rect[2] == self.ancho
            except error.XError:
                continue  # gone meanwhile
            if lienzo:
                self.esperar(lambda: not v.existe or self.activa() == v.id, 5,
                             "the canvas takes the keys back from the palette")

    def herramienta(self, tipo):
        """Chooses a tool (Paleta.PINCEL ... Paleta.TEXTO) on the palette."""
        p = self.abrir_paleta()
        self.click(*Paleta.opcion(p, tipo, self.escala))
        self.cerrar_paleta(p)

    # screenshots

    def captura(self, rect=None):
        """The screen's pixels in rect (x, y, w, h), the whole screen by default; a rect reaching
        beyond the screen is cut to it."""
        x, y, w, h = rect or (0, 0, self.ancho, self.alto)
        x0, y0 = max(x, 0), max(y, 0)
        x, y, w, h = x0, y0, min(x + w, self.ancho) - x0, min(y + h, self.alto) - y0
        img = self.root.get_image(x, y, w, h, X.ZPixmap, 0xFFFFFFFF)
        return Captura(bytes(img.data), w, h, x, y)

    def guardar_captura(self, nombre, rect=None):
        ruta = os.path.join(self.salida_dir, f"{self.nombre}-{nombre}.png")
        return self.captura(rect).guardar(ruta)

    # a window of the tests' own, beneath the program's windows

    def pixel(self, x, y):
        return self.captura((x, y, 1, 1)).pixel(x, y)

    def testigo(self, x, y, w, h, color=AZUL_TESTIGO):
        """An ordinary window that records the button presses it receives."""
        pantalla = self.d.screen()
        pixel = pantalla.default_colormap.alloc_color(*(c * 257 for c in color)).pixel
        win = self.root.create_window(
            x, y, w, h, 0, pantalla.root_depth, X.InputOutput, X.CopyFromParent,
            background_pixel=pixel,
            event_mask=X.ButtonPressMask | X.StructureNotifyMask,
        )
        win.set_wm_name("testigo")
        win.set_wm_class("testigo", "Testigo")
        win.set_wm_normal_hints(flags=1 | 2, x=x, y=y)  # USPosition | USSize
        motif = self.d.intern_atom("_MOTIF_WM_HINTS")
        win.change_property(motif, motif, 32, [2, 0, 0, 0, 0])  # no decorations
        # and no compositor's shadow (picom, mutter): the colours around it stay exact
        win.change_property(self.d.intern_atom("_COMPTON_SHADOW"), Xatom.CARDINAL, 32, [0])
        win.change_property(self.d.intern_atom("_GTK_FRAME_EXTENTS"), Xatom.CARDINAL, 32,
                            [0, 0, 0, 0])
        win.map()
        self.d.sync()
        self.esperar(lambda: Ventana(self, win).mapeada, 15, "witness window")
        testigo = Ventana(self, win)
        testigo.pulsaciones = []
        self._testigos = getattr(self, "_testigos", []) + [testigo]
        return testigo

    def leer_eventos(self):
        while self.d.pending_events():
            ev = self.d.next_event()
            for t in getattr(self, "_testigos", []):
                if ev.type == X.ButtonPress and ev.window.id == t.id:
                    t.pulsaciones.append((ev.detail, ev.root_x, ev.root_y))

    # waiting

    def esperar(self, condicion, segundos=5, que="condition"):
        fin = time.monotonic() + segundos
        while True:
            try:
                valor = condicion()
            except error.XError:
                valor = None
            if valor:
                return valor
            if time.monotonic() > fin:
                raise FalloPrueba(f"timed out after {segundos}s waiting for {que}")
            time.sleep(0.02)

    # teardown

    def cerrar(self):
        for p in reversed(self.procesos):
            if p.poll() is None:
                p.terminate()
        for p in reversed(self.procesos):
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()
        if self.d is not None:
            try:
                self.d.close()
            except Exception:
                pass
        # Only now, with the server gone, may another session take its number.
        if getattr(self, "_cerrojo_pantalla", None) is not None:
            self._cerrojo_pantalla.close()
        shutil.rmtree(self.tmp, ignore_errors=True)


def pantalla(ancho, alto, monitores=None):
    """A scenario's own screen: its size, and the monitors it is split into, [(name, x, y, w, h)]
    with the primary first."""
    def poner(prueba):
        prueba.pantalla = dict(ancho=ancho, alto=alto, monitores=monitores)
        return prueba
    return poner


def en_escritorio(nombre):
    """A scenario that runs on the desktop `nombre` of ESCRITORIOS, whatever
    TIZO_E2E_ESCRITORIO says."""
    def poner(prueba):
        prueba.escritorio = nombre
        return prueba
    return poner


def ejecutar(espacio, ancho=ANCHO, alto=ALTO, monitores=None, clase=None):
    """Runs every prueba_* of a scenario file, each in a fresh session of a screen `ancho` x
    `alto` (split into `monitores`, if given) unless the scenario says otherwise with
    `@pantalla`, a session of `clase` (a Sesion by default, or a function of the scenario's name
    and the session's arguments that makes one); filter with argv[1:]."""
    pruebas = sorted(n for n in espacio if n.startswith("prueba_") and callable(espacio[n]))
    if len(sys.argv) > 1:
        pruebas = [n for n in pruebas if any(f in n for f in sys.argv[1:])]
    fallos = 0
    for n in pruebas:
        propia = getattr(espacio[n], "pantalla", dict(ancho=ancho, alto=alto, monitores=monitores))
        escritorio = getattr(espacio[n], "escritorio", None)
        if escritorio is not None:
            propia = dict(propia, escritorio=escritorio)
        s = (clase or Sesion)(n[len("prueba_"):], iniciar=False, **propia)
        inicio = time.monotonic()
        try:
            s.iniciar()  # a session that fails to start is reported like a failed scenario
            espacio[n](s)
            print(f"PASS {n} ({time.monotonic() - inicio:.1f}s)", flush=True)
        except Exception:
            fallos += 1
            print(f"FAIL {n}", flush=True)
            traceback.print_exc()
            try:
                print("screenshot:", s.guardar_captura("fallo"))
            except Exception:
                traceback.print_exc()
            try:
                print("session:\n" + s.estado())
                print("logs:", s.guardar_registros())
                if s.tizo is not None:
                    print("program output:\n" + s.salida_tizo())
            except Exception:
                traceback.print_exc()
        finally:
            s.cerrar()
    print(f"{len(pruebas) - fallos} passed, {fallos} failed")
    sys.exit(1 if fallos or not pruebas else 0)
