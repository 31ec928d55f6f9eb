"""GNOME on Wayland, headless (gnome-shell with XWayland): the frozen screen comes from the
screenshot portal and shows what XWayland cannot see (a native Wayland window). Where the portal
first asks the user whether Tizo may take screenshots, Tizo waits for the answer however long it
takes, with nothing of its own over the question; after Allow the canvas is frozen. The palette
opens at the pointer; a plain Esc leaves drawing mode."""

import time

from gnome import SesionGnome
from harness import comprobar, ejecutar

TESTIGO = (40, 90, 200)
TAB, RETORNO = "ff09", "ff0d"


def lanzar(s):
    s.lanzar_tizo()
    s.esperar(lambda: "bandeja" in s.salida_tizo(), 20, "how to use Tizo without a tray")


def lienzo(s):
    return [w for w in s.ventanas() if w.nombre == "Tizo" and w.rect[2] == s.ancho]


def congelado(s, x, y, w, h):
    """The canvas shows the Wayland window after it went: the screen is frozen."""
    s.testigo_wl.terminate()
    s.testigo_wl.wait(5)
    time.sleep(0.5)
    c = s.captura()
    for p in ((x + 20, y + 20), (x + w - 20, y + h - 20)):
        comprobar(c.pixel(*p) == TESTIGO, f"the Wayland window, frozen, at {p}: {c.pixel(*p)}")
    comprobar("congelar" not in s.salida_tizo(), f"frozen, nothing said: {s.salida_tizo()}")


def prueba_permitido(s):
    x, y, w, h = s.lanzar_testigo(TESTIGO)
    lanzar(s)
    r = s.orden_tizo("--draw")
    comprobar(r.returncode == 0, f"--draw: {r.returncode} {r.stderr}")
    v = s.esperar(lambda: lienzo(s), 10, "the canvas")[0]
    s.guardar_captura("lienzo")
    # The palette at the pointer.
    s.click(400, 300, 3)
    p = s.ventana(lambda w: w.nombre == "Herramientas", "palette")
    s.esperar(lambda: p.rect[:2] == (400, 300), 5, f"the palette at the pointer: {p.rect}")
    s.click(p.rect[0] + 148, p.rect[1] + 8)
    s.esperar(lambda: not p.existe or not p.mapeada, 5, "palette closed")
    congelado(s, x, y, w, h)
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 10, "Esc leaves drawing mode")


class SinPermiso(SesionGnome):
    permiso = None


def prueba_pregunta(s):
    x, y, w, h = s.lanzar_testigo(TESTIGO)
    lanzar(s)
    r = s.orden_tizo("--draw")
    comprobar(r.returncode == 0, f"--draw: {r.returncode} {r.stderr}")
    # The question stays open past the portal's usual 5 s: Tizo waits, and shows nothing.
    time.sleep(7)
    comprobar(not lienzo(s), "no canvas while the user is being asked")
    s.guardar_captura("pregunta")
    s.tecla_del_escritorio(TAB, RETORNO)  # Allow
    v = s.esperar(lambda: lienzo(s), 15, "the canvas once allowed")[0]
    congelado(s, x, y, w, h)
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 10, "Esc leaves drawing mode")


def sesion(nombre, **argumentos):
    return (SinPermiso if nombre == "pregunta" else SesionGnome)(nombre, **argumentos)


ejecutar(globals(), clase=sesion)
