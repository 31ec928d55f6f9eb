"""The key that toggles drawing mode, in a Wayland session (headless sway with XWayland), where
the X server gets a key only while one of the program's windows has the keyboard. Where the
desktop's portal offers global shortcuts (here a portal of the tests', portal_atajos.py), Tizo
binds its key there, with the key from its settings, and each press the portal reports toggles
drawing mode. Where it offers none, or the user cancels, the X key stays, and Tizo says once on
stderr how to bind `tizo --draw` in the desktop's own keyboard settings."""

import os
import signal
import sys

from harness import comprobar, ejecutar
from wayland import SesionWayland

PORTAL = os.path.join(os.path.dirname(os.path.abspath(__file__)), "portal_atajos.py")
DESCRIPCION = "Entrar o salir del modo de dibujo"
AVISO = "en Wayland"  # the hint, which names the command to bind


def lanzar_portal(s, *argumentos):
    p = s._como_usuario([sys.executable, PORTAL, *argumentos], s.entorno_usuario(), "portal")
    s.esperar(lambda: "listo" in s.salida(p), 10, "the tests' portal")
    return p


def poner_tecla(s, tecla):
    """The settings file holds `tecla` as the key to draw with."""
    ruta = s.archivo_ajustes()
    os.makedirs(os.path.dirname(ruta), exist_ok=True)
    with open(ruta, "w") as f:
        f.write(f"[Teclado]\nDibujarFondo={tecla}\n")
    for camino in (os.path.dirname(ruta), ruta):
        os.chown(camino, s.uid, s.gid)


def lienzo(s):
    return s.ventana(lambda v: v.nombre == "Tizo", "the canvas", 15)


def avisos(s):
    return [linea for linea in s.salida_tizo().splitlines() if AVISO in linea]


def prueba_atajo_del_escritorio(s):
    """The portal offers global shortcuts: F9, the key by default, is bound there with what it
    does; each press it reports opens or closes drawing mode, with no X window focused; the X key
    is let go, and nothing is said."""
    portal = lanzar_portal(s)
    s.lanzar_tizo()
    s.esperar(lambda: "atado" in s.salida(portal), 15, "the key bound at the portal")
    atados = [l for l in s.salida(portal).splitlines() if l.startswith("atado")]
    comprobar(atados == [f"atado dibujar F9 | {DESCRIPCION}"], f"one shortcut: {atados}")
    s.esperar(lambda: not s.tiene_la_tecla_x("F9"), 10, "the X key let go once bound")

    s._dbus("org.freedesktop.portal.Desktop", "/prueba", "io.github.tizo.Prueba.Activar")
    v = lienzo(s)
    s._dbus("org.freedesktop.portal.Desktop", "/prueba", "io.github.tizo.Prueba.Activar")
    s.esperar(lambda: not v.existe, 10, "a second press leaves drawing mode")
    s._dbus("org.freedesktop.portal.Desktop", "/prueba", "io.github.tizo.Prueba.Activar")
    v = lienzo(s)
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 10, "Esc leaves it as ever")
    comprobar(not avisos(s), f"nothing said: {avisos(s)}")
    # It ends cleanly with the key bound.
    comprobar(s.orden_tizo("--quit").returncode == 0, "tizo --quit")
    s.esperar(lambda: s.tizo.poll() is not None, 15, "Tizo ended")
    comprobar(s.tizo.returncode == 0 and "Sanitizer" not in s.salida_tizo(),
              f"a clean end: {s.tizo.returncode} {s.salida_tizo()}")

    # Started again, it finds the key bound: the desktop does not ask the user again, and the key
    # works.
    s.tizo = None
    s.lanzar_tizo()
    s.esperar(lambda: s.salida(portal).count("listados") == 2, 15, "the bound keys asked for")
    s.esperar(lambda: not s.tiene_la_tecla_x("F9"), 10, "the X key let go")
    atados = [l for l in s.salida(portal).splitlines() if l.startswith("atado")]
    comprobar(len(atados) == 1, f"bound once, in the first run: {atados}")
    s._dbus("org.freedesktop.portal.Desktop", "/prueba", "io.github.tizo.Prueba.Activar")
    v = lienzo(s)
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 10, "Esc leaves drawing mode")
    comprobar(not avisos(s), f"nothing said: {avisos(s)}")

    # The portal goes (restarted, say): the X key again, and Tizo says so once.
    os.killpg(portal.pid, signal.SIGTERM)
    s.esperar(lambda: avisos(s), 10, "how to bind the command, on stderr")
    comprobar(len(avisos(s)) == 1 and "el portal se cerró" in avisos(s)[0],
              f"said once, with why: {avisos(s)}")
    # (Looked at only once Tizo has said so: a grab of the tests' meanwhile would take it. And
    # not pressed: once drawing mode has been left, no X window has the focus here, and XWayland
    # then gives the key to no one, which is what Tizo says.)
    comprobar(s.tiene_la_tecla_x("F9"), "the X key taken again")


def prueba_atajo_cancelado(s):
    """The user cancels the desktop's confirmation: the key from the settings file was offered,
    the X key stays and works, and Tizo says once, with the reason, how to bind the command."""
    poner_tecla(s, "Ctrl+Alt+D")
    portal = lanzar_portal(s, "cancela")
    s.lanzar_tizo()
    s.esperar(lambda: avisos(s), 15, "how to bind the command, on stderr")
    comprobar("atado dibujar CTRL+ALT+d | " in s.salida(portal),
              f"the settings' key offered: {s.salida(portal)}")
    lineas = avisos(s)
    comprobar(len(lineas) == 1 and "Ctrl+Alt+D" in lineas[0] and "cancelado" in lineas[0],
              f"said once, with the key and why: {lineas}")
    comprobar(s.tiene_la_tecla_x("ctrl+alt+d"), "the X key kept")
    s.tecla("ctrl+alt+d")
    v = lienzo(s)
    # (Once drawing, the canvas holds the keyboard itself on this desktop: the X key no longer
    # reaches the root window, and Esc leaves.)
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 10, "Esc leaves drawing mode")
    comprobar(len(avisos(s)) == 1, f"still said once: {avisos(s)}")


def prueba_sin_atajos(s):
    """No portal at all: the X key stays and works, and Tizo says once how to bind the command;
    with no key in the settings, nothing is said."""
    s.lanzar_tizo()
    s.esperar(lambda: avisos(s), 15, "how to bind the command, on stderr")
    lineas = avisos(s)
    comprobar(len(lineas) == 1 and "F9" in lineas[0] and "«tizo --draw»" in lineas[0],
              f"said once, with the key and the command: {lineas}")
    s.tecla("F9")
    v = lienzo(s)
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 10, "Esc leaves drawing mode")
    comprobar(len(avisos(s)) == 1, f"still said once: {avisos(s)}")


def prueba_sin_tecla(s):
    """No key in the settings: nothing to bind, nothing said."""
    poner_tecla(s, "")
    portal = lanzar_portal(s)
    s.lanzar_tizo()
    s.esperar(lambda: "bandeja" in s.salida_tizo(), 10, "Tizo started")
    r = s.orden_tizo("--draw")
    comprobar(r.returncode == 0, f"tizo --draw: {r.returncode} {r.stderr}")
    v = lienzo(s)
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 10, "Esc leaves drawing mode")
    comprobar("atado" not in s.salida(portal), "no key offered to the desktop")
    comprobar(not avisos(s), f"nothing said: {avisos(s)}")


def sesion(nombre, **argumentos):
    """A session bus that starts no service: the tests' portal, or none."""
    s = SesionWayland(nombre, **argumentos)
    s.portal = False
    return s


ejecutar(globals(), clase=sesion)
