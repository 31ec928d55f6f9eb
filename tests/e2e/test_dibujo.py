"""Drawing mode from the tray on a real X server: the canvas shows the captured desktop, every
tool makes its shape window where it was drawn, shapes stay above the canvas, the palette changes
the next shape, and the tray commands act on the shapes while drawing."""

import time

from dibujo import CIRCULO, GRIS, LINEA, PINCEL, RECTANGULO, SALIR, TEXTO, editar_otra_vez
from harness import (
    ALTO, ANCHO, AZUL, AZUL_TESTIGO, BLANCO, KEY_COLOR, ROJO, Paleta, comprobar, ejecutar, es_fondo)


def prueba_entrar_y_salir(s):
    s.lanzar_tizo()
    v = s.dibujar_fondo()
    comprobar(v.rect == (0, 0, ANCHO, ALTO), f"covers the screen: {v.rect}")
    comprobar({"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"} <= set(v.estados),
              f"in no taskbar or pager: {v.estados}")

    # The live desktop changes; the canvas keeps showing it as it was, edge to edge.
    s.poner_fondo(GRIS)
    time.sleep(0.2)
    c = s.captura()
    s.guardar_captura("lienzo")
    muestras = [(xx, yy) for xx in range(0, ANCHO, 97) for yy in range(0, ALTO, 89)]
    muestras += [(0, 0), (ANCHO - 1, 0), (0, ALTO - 1), (1000, ALTO - 1)]
    bandeja = lambda xx, yy: xx > ANCHO - 200 and yy > ALTO - 40
    distintos = [(p, c.pixel(*p)) for p in muestras
                 if not bandeja(*p) and not es_fondo(c, *p)
                 and not (SALIR[0] <= p[0] < SALIR[0] + 48 and p[1] < SALIR[1] + 48)]
    comprobar(not distintos, f"the captured desktop, unchanged: {distintos[:5]}")
    comprobar(s.salida_visible(c), "the exit image at the top right")

    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 5, "Esc leaves drawing mode")
    s.esperar(lambda: s.pixel(500, 500) == GRIS, 5, "the live desktop again")

    # A new drawing mode captures anew.
    v = s.dibujar_fondo()
    comprobar(s.pixel(500, 500) == GRIS, "captured again")
    s.tecla("shift+Escape")
    s.esperar(lambda: not v.existe, 5, "shift+Esc leaves too")

    v = s.dibujar_fondo()
    s.click(SALIR[0] + 24, SALIR[1] + 24)
    s.esperar(lambda: not v.existe, 5, "a click on the exit image leaves")

    v = s.dibujar_fondo()
    s.tecla("alt+F4")
    s.esperar(lambda: not v.existe, 5, "a close by the window manager leaves")
    comprobar(s.tizo.poll() is None, "the program goes on")
    v = s.dibujar_fondo()
    comprobar(v.mapeada, "and drawing mode opens again")


def prueba_cada_herramienta(s):
    s.lanzar_tizo()
    s.dibujar_fondo()

    s.arrastrar(200, 200, 500, 260)  # the brush, chosen at start
    s.forma("1")
    s.esperar(lambda: s.pixel(350, 230) == ROJO, 5, "brush stroke")

    s.herramienta(LINEA)
    s.arrastrar(300, 600, 700, 800)
    s.forma("2")
    s.esperar(lambda: s.pixel(500, 700) == ROJO, 5, "line")

    s.herramienta(RECTANGULO)
    s.arrastrar(1100, 400, 800, 200)  # dragged up and to the left
    s.forma("3")
    s.esperar(lambda: s.pixel(950, 200) == ROJO, 5, "rectangle")

    s.herramienta(CIRCULO)
    s.arrastrar(1300, 500, 1500, 650)  # a circle as wide as the horizontal drag
    s.forma("4")
    s.esperar(lambda: s.pixel(1400, 500) == ROJO, 5, "circle")

    def comprobar_formas(c):
        for p in ((350, 230), (500, 700), (950, 200), (950, 400), (800, 300), (1100, 300),
                  (1300, 600), (1500, 600), (1400, 700)):
            comprobar(c.pixel(*p) == ROJO, f"stroke at {p}: {c.pixel(*p)}")
        for p in ((350, 300), (500, 650), (950, 300), (950, 180), (1400, 600), (1400, 720),
                  (1400, 480)):
            comprobar(es_fondo(c, *p), f"desktop around and inside at {p}: {c.pixel(*p)}")
        comprobar(c.contar(KEY_COLOR) == 0, "no key-coloured pixel")

    c = s.captura()
    s.guardar_captura("herramientas")
    comprobar_formas(c)

    s.herramienta(TEXTO)
    s.click(300, 900)
    texto = s.forma("5")
    comprobar(texto.rect[:2] == (300, 900), f"text at the press point: {texto.rect}")
    s.esperar(lambda: s.activa() == texto.id, 5, "the text window active")
    s.escribir("Hola")
    s.tecla("Return")
    s.esperar(lambda: s.captura(texto.rect).contar(BLANCO) == 0, 5, "finished text")
    c = s.captura(texto.rect)
    comprobar(c.contar(ROJO) > 50, "red letters")
    editar_otra_vez(s, texto)
    s.tecla("Return")

    # The finished text gives the keys back: Esc leaves drawing mode.
    s.tecla("Escape")
    s.esperar(lambda: not [v for v in s.ventanas() if v.nombre == "Tizo"], 5, "left drawing mode")
    c = s.captura()
    s.guardar_captura("herramientas-fuera")
    comprobar(len(s.formas()) == 5, f"the shapes stay: {s.formas()}")
    comprobar_formas(c)


def arrastrar_sin_soltar(s, x0, y0, x1, y1, pasos=10):
    s.mover(x0, y0)
    s.pausa()
    s.pulsar()
    s.pausa()
    for i in range(1, pasos + 1):
        s.mover(x0 + (x1 - x0) * i / pasos, y0 + (y1 - y0) * i / pasos)
        s.pausa(0.01)


def prueba_previsualizacion(s):
    """While the button is held the canvas shows the brush's stroke or the tool's outline."""
    s.lanzar_tizo()
    v = s.dibujar_fondo()
    arrastrar_sin_soltar(s, 200, 300, 600, 300)
    s.esperar(lambda: s.pixel(400, 300) == ROJO, 5, "the brush paints while dragging")
    comprobar(not s.formas(), "no shape window before the release")
    s.soltar()
    s.forma("1")

    s.herramienta(RECTANGULO)
    arrastrar_sin_soltar(s, 800, 600, 1200, 400)
    s.esperar(lambda: s.pixel(1000, 400) == ROJO, 5, "rectangle outline while dragging")
    c = s.captura()
    s.guardar_captura("previsualizacion-rectangulo")
    for p in ((1000, 600), (800, 500), (1200, 500)):
        comprobar(c.pixel(*p) == ROJO, f"outline at {p}")
    comprobar(es_fondo(c, 1000, 500), "hollow")
    # over the exit image the drag pushes it to the top-left corner, and back
    s.mover(SALIR[0] + 20, SALIR[1] + 20)
    s.esperar(lambda: s.salida_visible(s.captura((0, 0, 48, 48)), 0, 0), 5, "exit image at (0, 0)")
    s.mover(20, 20)
    s.esperar(lambda: s.salida_visible(s.captura(SALIR)), 5, "exit image back at the top right")
    s.mover(1200, 400)
    s.soltar()
    s.forma("2")
    s.esperar(lambda: es_fondo(s.captura((1000, 500, 1, 1)), 1000, 500), 5, "repainted clean")
    comprobar(v.mapeada, "still drawing")

    # Line and circle outlines follow the pointer and leave no trail where they were.
    s.herramienta(LINEA)
    arrastrar_sin_soltar(s, 300, 700, 900, 1000)
    s.esperar(lambda: s.pixel(600, 850) == ROJO, 5, "line while dragging")
    s.mover(900, 700)
    s.esperar(lambda: s.pixel(600, 700) == ROJO, 5, "line following the pointer")
    s.esperar(lambda: es_fondo(s.captura((600, 850, 1, 1)), 600, 850), 5, "no trail of the line")
    s.soltar()
    s.forma("3")
    s.herramienta(CIRCULO)
    arrastrar_sin_soltar(s, 1300, 500, 1700, 700)
    s.esperar(lambda: s.pixel(1500, 500) == ROJO, 5, "circle while dragging")  # its top
    s.mover(1500, 600)
    s.esperar(lambda: s.pixel(1400, 500) == ROJO, 5, "smaller circle")  # the new top
    c = s.captura()
    s.guardar_captura("previsualizacion-circulo")
    comprobar(es_fondo(c, 1500, 900), "no trail of the larger circle")  # its old bottom
    s.soltar()
    s.forma("4")


def prueba_formas_sobre_el_lienzo(s):
    """Shapes made before and during drawing mode stay visible while the canvas has the focus."""
    s.lanzar_tizo()
    v = s.dibujar_fondo()
    s.arrastrar(200, 300, 600, 300)
    s.forma("1")
    s.click(SALIR[0] + 24, SALIR[1] + 24)
    s.esperar(lambda: not v.existe, 5, "left drawing mode")

    s.poner_fondo(GRIS)
    v = s.dibujar_fondo()
    s.arrastrar(200, 500, 600, 500)
    s.forma("2")
    s.herramienta(PINCEL)  # closing the palette gives the canvas the keys back
    s.esperar(lambda: s.activa() == v.id, 5, "the canvas active")
    time.sleep(0.3)
    c = s.captura()
    s.guardar_captura("formas-sobre-lienzo")
    comprobar(c.pixel(400, 300) == ROJO, "the older shape over the canvas")
    comprobar(c.pixel(400, 500) == ROJO, "the newer shape over the canvas")
    comprobar(c.pixel(400, 400) == GRIS, "the canvas between them")
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 5, "Esc reaches the canvas again")


def prueba_hueco_arrastre_y_supr(s):
    s.lanzar_tizo()
    testigo = s.testigo(700, 400, 200, 100)
    v = s.dibujar_fondo()
    s.herramienta(RECTANGULO)
    s.arrastrar(650, 350, 950, 550)
    r = s.forma("1")
    s.click(SALIR[0] + 24, SALIR[1] + 24)
    s.esperar(lambda: not v.existe, 5, "left drawing mode")

    s.esperar(lambda: s.pixel(800, 450) == AZUL_TESTIGO, 5, "the window beneath shows inside")
    s.click(800, 450)
    s.esperar(lambda: (s.leer_eventos(), testigo.pulsaciones)[1], 5, "a click in the hole passes")
    x0, y0 = r.rect[:2]
    s.arrastrar(650, 450, 750, 550)
    s.esperar(lambda: r.rect[:2] == (x0 + 100, y0 + 100), 5, f"dragged by its edge: {r.rect}")
    s.esperar(lambda: s.activa() == r.id, 5, "the dragged shape active")
    s.tecla("Delete")
    s.esperar(lambda: not r.existe, 5, "Delete removes it")

    # Right after a release the canvas keeps the keys: Delete deletes nothing. A click on a
    # shape gives them to it, and Delete removes exactly that one. The caption is the count of
    # shapes, not a serial number.
    v = s.dibujar_fondo()
    s.arrastrar(100, 700, 400, 700)
    uno = s.forma("1")
    s.arrastrar(100, 800, 400, 800)
    dos = s.forma("2")
    s.esperar(lambda: s.activa() == v.id, 5, "the canvas keeps the keys")
    s.tecla("Delete")
    time.sleep(0.3)
    comprobar(dos.mapeada and uno.mapeada, "Delete on the canvas deletes no shape")
    s.click(250, 800)
    s.esperar(lambda: s.activa() == dos.id, 5, "the clicked shape active")
    s.tecla("Delete")
    s.esperar(lambda: not dos.existe, 5, "Delete removed the newest")
    comprobar(uno.mapeada, "the older one stays")
    s.arrastrar(100, 900, 400, 900)
    s.forma("2")
    comprobar(sorted(f.nombre for f in s.formas()) == ["1", "2"], f"captions {s.formas()}")


def prueba_bandeja_mientras_dibuja(s):
    s.lanzar_tizo()
    v = s.dibujar_fondo()
    s.arrastrar(200, 300, 600, 300)
    s.arrastrar(200, 500, 600, 500)
    uno, dos = s.forma("1"), s.forma("2")

    s.elegir(" Mostrar / Ocultar")
    s.esperar(lambda: not uno.mapeada and not dos.mapeada, 5, "shapes hidden")
    comprobar(v.mapeada, "the canvas stays")
    s.esperar(lambda: es_fondo(s.captura((400, 300, 1, 1)), 400, 300), 5, "canvas where one was")
    s.elegir(" Mostrar / Ocultar")
    s.esperar(lambda: uno.mapeada and dos.mapeada, 5, "shapes shown again")
    s.esperar(lambda: s.pixel(400, 300) == ROJO, 5, "and drawn")

    # " Dibujar Fondo" while drawing only brings the canvas forward: nothing is captured again.
    s.poner_fondo(GRIS)
    s.elegir(" Dibujar Fondo")
    comprobar(s.lienzo().id == v.id, "the same canvas")
    time.sleep(0.2)
    comprobar(es_fondo(s.captura((1000, 700, 1, 1)), 1000, 700), "the first capture still shows")

    s.elegir(" Borrar Todo")
    s.esperar(lambda: not uno.existe and not dos.existe, 5, "shapes deleted")
    comprobar(v.mapeada, "the canvas stays")
    s.arrastrar(200, 700, 600, 700)
    s.forma("1")  # counted from zero again


def prueba_paleta(s):
    s.lanzar_tizo()
    v = s.dibujar_fondo()
    # Esc in the palette closes it and leaves drawing mode, as everywhere while drawing.
    p = s.abrir_paleta()
    comprobar(v.mapeada, "the canvas under the palette")
    s.tecla("Escape")
    s.esperar(lambda: not p.existe or not p.mapeada, 5, "palette closed by Esc")
    s.esperar(lambda: not v.existe, 5, "drawing mode left")
    v = s.dibujar_fondo()

    # Blue, thickness 30, rectangle.
    p = s.abrir_paleta()
    x, y = p.rect[:2]
    s.click(x + Paleta.TIRA[0] + 5, y + Paleta.TIRA[1] + 170)
    Paleta.escribir_grosor(s, p, "30")
    s.click(*Paleta.opcion(p, RECTANGULO))
    s.cerrar_paleta(p)

    s.arrastrar(400, 300, 800, 600)
    s.forma("1")
    s.esperar(lambda: s.pixel(600, 300) == AZUL, 5, "blue rectangle")
    c = s.captura((600, 250, 1, 100))
    grosor = sum(1 for yy in range(250, 350) if c.pixel(600, yy) == AZUL)
    comprobar(29 <= grosor <= 31, f"top edge 30 pixels thick: {grosor}")
    comprobar(es_fondo(s.captura((600, 450, 1, 1)), 600, 450), "hollow")

    # The brush takes the new thickness too.
    s.herramienta(PINCEL)
    s.arrastrar(300, 800, 900, 800)
    s.forma("2")
    s.esperar(lambda: s.pixel(600, 800) == AZUL, 5, "blue stroke")
    c = s.captura((600, 750, 1, 100))
    grosor = sum(1 for yy in range(750, 850) if c.pixel(600, yy) == AZUL)
    comprobar(29 <= grosor <= 31, f"stroke 30 pixels thick: {grosor}")
    s.guardar_captura("paleta-aplicada")


ejecutar(globals())
