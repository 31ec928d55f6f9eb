"""KDE Plasma on Wayland, headless (KWin with XWayland): the frozen screen comes from KWin's own
screenshot interface, which Tizo's desktop entry lets it use, and shows what XWayland cannot see
(a native Wayland window); without the entry KWin refuses, the canvas is the live desktop and Tizo
says why. The keys reach Tizo's windows: Esc leaves drawing mode."""

import time

from harness import comprobar, ejecutar
from kde import SesionKWin

TESTIGO = (200, 40, 40)


def lanzar(s):
    """Tizo, up: no tray here, so it says how to use it."""
    s.lanzar_tizo()
    s.esperar(lambda: "bandeja" in s.salida_tizo(), 20, "how to use Tizo without a tray")


def abrir(s):
    """`tizo --draw` to its canvas, which has the keys."""
    r = s.orden_tizo("--draw")
    comprobar(r.returncode == 0, f"--draw: {r.returncode} {r.stderr}")
    v = s.ventana(lambda w: w.nombre == "Tizo" and w.rect[2] == s.ancho, "the canvas", 15)
    s.esperar(lambda: s.activa() == v.id, 10, "the canvas has the keys")
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
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 10, "Esc leaves drawing mode")


class ConCapturas(SesionKWin):
    capturas = True


class SinEntrada(SesionKWin):
    entrada_tizo = False


def sesion(nombre, **argumentos):
    clase = {"congelado": ConCapturas, "sin_entrada": SinEntrada}.get(nombre, SesionKWin)
    return clase(nombre, **argumentos)


ejecutar(globals(), clase=sesion)
