"""Shape windows on a real X server, made exactly as the canvas makes them: strokes show, the
key colour never does, the mouse passes through, Delete removes, text is typed into its window."""

import math
import os

from harness import AZUL_TESTIGO, BLANCO, KEY_COLOR, ROJO, color_fondo, comprobar, ejecutar


def lanzar(s, *orden):
    s.lanzar([os.environ.get("TIZO_FORMAS_PRUEBA", "build/tests/e2e/formas_prueba"),
              *map(str, orden)])


def forma(s, nombre):
    """The shape window with this caption ("1", "2", ...)."""
    return s.ventana(lambda v: v.nombre == nombre, f"shape window {nombre}", clase="formas_prueba")


def prueba_rectangulo(s):
    testigo = s.testigo(140, 130, 120, 40)
    # 3000 x 1500 twips from (1500, 1500), pen 10: a 220 x 120 window at (90, 90)
    lanzar(s, "rect", 1500, 1500, 4500, 3000)
    v = forma(s, "1")
    comprobar(v.rect == (90, 90, 220, 120), f"placed around the rectangle: {v.rect}")
    s.esperar(lambda: s.captura((100, 150, 1, 1)).pixel(100, 150) == ROJO, 5, "outline drawn")
    c = s.captura()
    s.guardar_captura("rectangulo")
    comprobar(c.contar(KEY_COLOR, v.rect) == 0, "no key-coloured pixel shows")
    for x, y in ((100, 150), (200, 100), (200, 200), (300, 150), (100, 100)):
        comprobar(c.pixel(x, y) == ROJO, f"outline at {(x, y)}")
    for x, y in ((92, 150), (120, 120), (200, 190), (305, 205)):
        comprobar(c.pixel(x, y) == color_fondo(x, y), f"desktop shows at {(x, y)}: {c.pixel(x, y)}")
    comprobar(c.pixel(200, 150) == AZUL_TESTIGO, "the window beneath shows inside")
    # inside the outline the mouse reaches the window beneath
    s.click(200, 150)
    s.esperar(lambda: (s.leer_eventos(), testigo.pulsaciones)[1], 5, "click reached the window beneath")
    # the outline itself takes the mouse: dragged by it
    s.arrastrar(100, 150, 400, 450)
    s.esperar(lambda: v.rect[:2] == (390, 390), 5, f"dragged by its outline: {v.rect}")


def prueba_supr_borra_la_activa(s):
    lanzar(s, "linea", 1500, 1500, 4500, 1500, "circulo", 6000, 1500, 1500)
    linea, circulo = forma(s, "1"), forma(s, "2")
    s.esperar(lambda: s.activa() == circulo.id, 5, "the newest shape is active")
    s.tecla("Delete")
    s.esperar(lambda: not circulo.existe, 5, "the active shape removed")
    comprobar(linea.mapeada, "the other one stays")
    # a click on its stroke activates the older one, and Delete then removes it
    s.click(*linea.centro)
    s.esperar(lambda: s.activa() == linea.id, 5, "activated by a click on its stroke")
    s.tecla("shift+Delete")
    s.esperar(lambda: not linea.existe, 5, "removed with shift held too")


def prueba_texto(s):
    lanzar(s, "color", 255, "texto", 1500, 6000)
    v = forma(s, "1")
    comprobar(v.rect[:2] == (100, 400), f"at the press point: {v.rect}")
    s.esperar(lambda: s.activa() == v.id, 5, "the text window is active")
    x, y, w, h = v.rect
    s.esperar(lambda: s.captura(v.rect).contar(ROJO) > 50, 5, "placeholder drawn")
    c = s.captura(v.rect)
    comprobar(c.contar(BLANCO) + c.contar(ROJO) == w * h, "red letters on white, no blend")

    s.escribir("Hola")
    s.esperar(lambda: v.rect[2] < w, 5, "the window shrinks to the typed text")
    s.tecla("Return")
    x, y, w, h = v.rect
    s.esperar(lambda: s.captura(v.rect).contar(BLANCO) == 0, 5, "background gone")
    c = s.captura(v.rect)
    s.guardar_captura("texto-terminado", v.rect)
    comprobar(c.contar(KEY_COLOR) == 0, "no key-coloured pixel shows")
    rojos = c.contar(ROJO)
    fondo = sum(1 for yy in range(y, y + h) for xx in range(x, x + w)
                if c.pixel(xx, yy) == color_fondo(xx, yy))
    comprobar(rojos > 50 and rojos + fondo == w * h, f"letters over the desktop: {rojos}, {fondo}")

    # typing still works when finished, and the window follows the text
    s.escribir("!!")
    s.esperar(lambda: v.rect[2] > w, 5, "grows with the text while transparent")
    s.esperar(lambda: s.captura(v.rect).contar(BLANCO) == 0, 5, "and stays transparent")

    # a click on a letter: white again, for editing
    c = s.captura(v.rect)
    x, y, w, h = v.rect
    letra = next((xx, yy) for yy in range(y, y + h) for xx in range(x, x + w)
                 if c.pixel(xx, yy) == ROJO)
    s.click(*letra)
    s.esperar(lambda: s.captura(v.rect).contar(BLANCO) > w * h // 2, 5, "white again")


def prueba_trazo_muy_complejo(s):
    # A dense scribble over most of the screen: its shape needs more rectangles than one X
    # request carries. It must still show, and only where it was drawn.
    puntos = [(int(14400 + 13000 * math.sin(i * 0.05) * math.cos(i * 0.0031)),
               int(8100 + 7500 * math.cos(i * 0.07))) for i in range(3001)]
    lanzar(s, "pincel", *[c for p in puntos for c in p])
    v = forma(s, "1")
    s.esperar(lambda: v.mapeada, 5, "shown")
    muestra = [(x // 15, y // 15) for x, y in puntos[100:3000:250]]
    s.esperar(lambda: all(s.captura((x, y, 1, 1)).pixel(x, y) == ROJO for x, y in muestra),
              10, "the stroke shows")
    c = s.captura()
    s.guardar_captura("trazo")
    comprobar(c.contar(KEY_COLOR) == 0, "no key-coloured pixel shows")
    # the holes between the loops show the desktop
    comprobar(c.pixel(5, 5) == color_fondo(5, 5), "outside the stroke: the desktop")


ejecutar(globals())
