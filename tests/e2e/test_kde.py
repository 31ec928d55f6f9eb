"""KDE Plasma on Wayland, headless (KWin with XWayland): the frozen screen comes from KWin's own
screenshot interface, which Tizo's desktop entry lets it use, and shows what XWayland cannot see
(a native Wayland window); without the entry KWin refuses, the canvas is the live desktop and Tizo
says why. Shapes show only their strokes or letters, whatever lay over them; the palette opens at
the pointer; a plain Esc leaves drawing mode after a stroke and after a text. With the desktop
portal's KDE backend, the drawing key is bound among KWin's shortcuts."""

import time

from harness import comprobar, ejecutar
from kde import SesionKWin
from wayland import formas_sobre_wayland, texto_y_esc

TESTIGO = (40, 90, 200)


def lanzar(s):
    """Tizo, up: no tray here, so it says how to use it."""
    s.lanzar_tizo()
    s.esperar(lambda: "bandeja" in s.salida_tizo(), 20, "how to use Tizo without a tray")


def abrir(s):
    """`tizo --draw` to its canvas, which has the keys."""
    r = s.orden_tizo("--draw")
    comprobar(r.returncode == 0, f"--draw: {r.returncode} {r.stderr}")
    v = s.ventana(lambda w: w.nombre == "Tizo" and w.rect[2] == s.ancho, "the canvas", 15)
    s.esperar(lambda: s.tiene_el_teclado(v.id), 10, "the canvas has the keys")
    return v


def prueba_congelado(s):
    x, y, w, h = s.lanzar_testigo(TESTIGO)
    lanzar(s)
    v = abrir(s)
    s.guardar_captura("lienzo")
    # The Wayland window goes: the frozen canvas still shows it where it was.
    s.testigo_wl.terminate()
    s.testigo_wl.wait(5)
    time.sleep(0.5)
    c = s.captura()
    s.guardar_captura("congelado")
    for p in ((x + 20, y + 20), (x + w - 20, y + h - 20)):
        comprobar(c.pixel(*p) == TESTIGO, f"the Wayland window, frozen, at {p}: {c.pixel(*p)}")
    comprobar("congelar" not in s.salida_tizo(), f"frozen, nothing said: {s.salida_tizo()}")
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 10, "Esc leaves drawing mode")
    s.esperar(lambda: s.captura().pixel(x + 20, y + 20) != TESTIGO, 10, "the live desktop again")


def prueba_formas(s):
    """Shapes show their strokes and nothing else of their box, where the palette lay over them
    and after a drag: what lies beneath shows through."""
    testigo = s.lanzar_testigo(TESTIGO)
    lanzar(s)
    formas_sobre_wayland(s, testigo, abrir(s))


def prueba_teclado(s):
    """A plain Esc after a stroke and after a finished text; a text typed there shows only its
    letters; Delete removes a shape clicked."""
    lanzar(s)
    v = abrir(s)
    s.tecla("1")
    s.arrastrar(300, 300, 700, 320)
    trazo = s.forma("1")
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 10, "Esc after a stroke leaves drawing mode")
    v = abrir(s)
    texto_y_esc(s, v, 900, 600, "2")
    s.guardar_captura("texto-y-trazo")
    x, y, w, h = trazo.rect
    s.click(x + w // 2, y + h // 2)
    s.esperar(lambda: s.activa() == trazo.id, 10, "the clicked stroke has the keys")
    s.tecla("Delete")
    s.esperar(lambda: not trazo.existe or not trazo.mapeada, 10, "Delete removes it")


def prueba_plasma(s):
    """With Plasma's panel, Tizo's icon goes to its tray (nothing said about a missing tray), and
    drawing mode freezes Plasma's desktop."""
    s.lanzar_tizo(esperar_icono=True)
    time.sleep(0.5)
    comprobar("bandeja" not in s.salida_tizo(), f"a tray is there: {s.salida_tizo()}")
    antes = s.captura()
    s.guardar_captura("panel")
    v = abrir(s)
    comprobar(v.win.get_geometry().depth == 24, "an opaque canvas: the captured screen")
    comprobar("congelar" not in s.salida_tizo(), f"frozen, nothing said: {s.salida_tizo()}")
    # Plasma's wallpaper and panel, frozen (the clock at the panel's end may have moved on).
    puntos = [(x, y) for x in range(100, s.ancho - 400, 97)
              for y in (200, s.alto // 2, s.alto - 20)]
    s.esperar(lambda: (lambda c: all(c.pixel(*p) == antes.pixel(*p) for p in puntos))(
        s.captura()), 10, "the canvas showing Plasma's desktop as it was")
    s.guardar_captura("lienzo-plasma")
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 10, "Esc leaves drawing mode")


def prueba_entrada(s):
    """Nothing but the entry lets Tizo in: the canvas is the frozen, opaque one."""
    lanzar(s)
    v = abrir(s)
    comprobar(v.win.get_geometry().depth == 24, "an opaque canvas: the captured screen")
    time.sleep(0.5)
    comprobar("congelar" not in s.salida_tizo(), f"frozen, nothing said: {s.salida_tizo()}")
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 10, "Esc leaves drawing mode")


def prueba_sin_entrada(s):
    lanzar(s)
    v = abrir(s)
    s.esperar(lambda: "no se pudo congelar la pantalla" in s.salida_tizo(), 10,
              "the screen could not be frozen, said on stderr")
    comprobar("KWin" in s.salida_tizo(), f"and why: {s.salida_tizo()}")
    comprobar(v.win.get_geometry().depth == 32, "a see-through canvas over the live desktop")
    s.esperar(lambda: s.tiene_el_teclado(v.id), 10,
              f"the see-through canvas still has the keys (active {s.activa()}, focus {s.foco()})")
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 10, "Esc leaves drawing mode")


def prueba_atajo(s):
    """With the desktop portal and its KDE backend (xdg-desktop-portal 1.16, Plasma 5.27): F9 is
    bound in KWin's shortcuts under Tizo's name with what it does, and each press of it there
    opens or closes drawing mode; the X key is let go, and nothing is said about the key."""
    s.iniciar_portal()
    lanzar(s)
    componente = "/component/tizo"
    s.esperar(lambda: "dibujar" in (s._dbus("org.kde.kglobalaccel", componente,
                                            "org.kde.kglobalaccel.Component.shortcutNames")
                                    or ""), 20, "the key among KWin's shortcuts")
    info = s._dbus("org.kde.kglobalaccel", componente,
                   "org.kde.kglobalaccel.Component.allShortcutInfos") or ""
    comprobar("Entrar o salir del modo de dibujo" in info, f"what it does: {info}")
    comprobar(f"int32 {0x01000038}" in info, f"on F9 (Qt's code): {info}")
    s.esperar(lambda: not s.tiene_la_tecla_x("F9"), 10, "the X key let go")
    for abierto in (True, False):
        s._dbus("org.kde.kglobalaccel", componente,
                "org.kde.kglobalaccel.Component.invokeShortcut", "string:dibujar")
        s.esperar(lambda: bool(s.ventanas_por_nombre("Tizo")) == abierto, 15,
                  "drawing mode " + ("opened" if abierto else "closed") + " by the key")
    comprobar("Wayland" not in s.salida_tizo(), f"nothing said: {s.salida_tizo()}")


class ConCapturas(SesionKWin):
    capturas = True


class SinEntrada(SesionKWin):
    entrada_tizo = False


class ConPlasma(SesionKWin):
    capturas = True
    plasma = True


def sesion(nombre, **argumentos):
    clase = {"congelado": ConCapturas, "formas": ConCapturas, "teclado": ConCapturas,
             "sin_entrada": SinEntrada, "plasma": ConPlasma}.get(nombre, SesionKWin)
    return clase(nombre, **argumentos)


ejecutar(globals(), clase=sesion)
