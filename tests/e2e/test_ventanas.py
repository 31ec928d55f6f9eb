"""The window helpers on a real X server: colour key, click-through, topmost and dragging."""

import os
import time

from harness import AZUL_TESTIGO, KEY_COLOR, ROJO, color_fondo, comprobar, ejecutar


def abrir(s):
    testigo = s.testigo(500, 360, 140, 80)
    s.lanzar([os.environ.get("TIZO_VENTANA_PRUEBA", "build/tests/e2e/ventana_prueba")])
    marco = s.ventana(lambda v: v.rect[2:] == (300, 200), "test window", clase="ventana_prueba")
    s.esperar(lambda: s.captura((400, 300, 1, 1)).pixel(400, 300) == ROJO, 5, "frame painted")
    return testigo, marco


def prueba_transparente_y_encima(s):
    testigo, marco = abrir(s)
    x, y, w, h = marco.rect
    captura = s.captura()
    s.guardar_captura("marco")
    comprobar(captura.pixel(x + 5, y + 5) == ROJO, "the frame shows")
    # inside the hole: the witness window beneath; beside the witness: the desktop
    comprobar(captura.pixel(x + 150, y + 100) == AZUL_TESTIGO, "the hole shows the window beneath")
    comprobar(captura.pixel(x + 25, y + 25) == color_fondo(x + 25, y + 25), "and the desktop")
    comprobar(captura.contar(KEY_COLOR, marco.rect) == 0, "no key-coloured pixel shows")

    # a click in the hole reaches the window beneath, which then is activated and raised...
    s.click(x + 150, y + 100)
    s.esperar(lambda: (s.leer_eventos(), testigo.pulsaciones)[1], 5, "click reached the witness")
    time.sleep(0.3)
    # ...and the topmost frame still covers it
    comprobar(s.captura((x + 5, y + 5, 1, 1)).pixel(x + 5, y + 5) == ROJO, "frame stays on top")


def prueba_arrastrar(s):
    _, marco = abrir(s)
    x, y, _, _ = marco.rect
    # the right button does not drag, nor left and right together
    s.arrastrar(x + 10, y + 10, x + 210, y + 110, botones=(3,))
    comprobar(marco.rect[:2] == (x, y), f"right button: not moved {marco.rect}")
    s.arrastrar(x + 10, y + 10, x + 210, y + 110, botones=(1, 3))
    comprobar(marco.rect[:2] == (x, y), f"left and right: not moved {marco.rect}")
    # moving over it with no button does nothing
    s.mover(x + 10, y + 10)
    s.mover(x + 100, y + 10)
    comprobar(marco.rect[:2] == (x, y), "no button: not moved")
    s.arrastrar(x + 10, y + 10, x + 210, y + 110)
    s.esperar(lambda: marco.rect[:2] == (x + 200, y + 100), 5, "moved by the left button")
    # released: further moves leave it where it is
    s.mover(x + 600, y + 400)
    time.sleep(0.2)
    comprobar(marco.rect[:2] == (x + 200, y + 100), f"not stuck to the pointer {marco.rect}")


ejecutar(globals())
