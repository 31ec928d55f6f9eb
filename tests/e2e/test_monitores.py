"""Drawing mode over several monitors: one Xvfb screen split into RandR monitors side by side
(the primary on the right, then on the left), one above the other, at different scale factors,
and a monitor that goes while drawing. Each monitor gets a canvas that shows it as it was, a shape
lands where it was drawn on either monitor, the palette opens on the monitor clicked, and Esc on
any canvas leaves drawing mode on all of them."""

import time

from dibujo import GRIS, RECTANGULO
from harness import (
    KEY_COLOR, ROJO, Paleta, color_fondo, comprobar, ejecutar, es_fondo, pantalla)

M = 1920, 1080  # each monitor's size
IZQUIERDA, DERECHA = ("L", 0, 0, *M), ("R", M[0], 0, *M)
ARRIBA, ABAJO = ("A", 0, 0, *M), ("B", 0, M[1], *M)


# --- the canvases ------------------------------------------------------------------------------


def lienzos(s):
    """The canvases on the screen."""
    return [v for v in s.ventanas() if v.nombre == "Tizo"]


def monitor(s, nombre):
    return next(m for m in s.monitores if m[0] == nombre)


def salida(s, nombre):
    """Where the exit image of a monitor's canvas shows (x, y, side), device pixels: 40 twips below
    its top, 20 twips left of its right edge, 48 of its logical pixels square."""
    _, x, y, w, _ = monitor(s, nombre)
    e = s.escalas.get(nombre, 1)
    return (x + round(((w // e) * 15 - 48 * 15 - 20) / 15) * e, y + round(40 / 15) * e, 48 * e)


def salida_visible(s, nombre):
    x, y, lado = salida(s, nombre)
    c = s.captura((x, y, lado, lado))
    distintos = sum(1 for yy in range(y, y + lado) for xx in range(x, x + lado)
                    if not es_fondo(c, xx, yy))
    return distintos > lado * lado // 8


def entrar(s):
    """Drawing mode from the tray menu: a canvas over each monitor, each with its exit image
    painted."""
    s.elegir(" Dibujar Fondo")
    s.esperar(lambda: len(lienzos(s)) == len(s.monitores), 5, "a canvas per monitor")
    for m in s.monitores:
        s.esperar(lambda: salida_visible(s, m[0]), 5, f"the exit image of {m[0]}")
    return lienzos(s)


def lienzo_de(s, nombre):
    _, x, y, w, h = monitor(s, nombre)
    return s.esperar(lambda: next((v for v in lienzos(s) if v.rect == (x, y, w, h)), None), 5,
                     f"the canvas over {nombre}")


def fuera(s):
    s.esperar(lambda: not lienzos(s), 5, "drawing mode left on every monitor")


# --- what shows --------------------------------------------------------------------------------


def muestra_lo_capturado(s):
    """With the live desktop turned grey, every monitor still shows the pattern it showed."""
    s.poner_fondo(GRIS)
    time.sleep(0.2)
    c = s.captura()
    s.poner_fondo()
    excluidas = [(x, y, lado, lado) for x, y, lado in (salida(s, m[0]) for m in s.monitores)]
    # Each monitor's bottom, where a panel or the tray may have been captured as it was.
    excluidas += [(x, y + h - 48, w, 48) for _, x, y, w, h in s.monitores]
    fuera_de = lambda x, y: not any(ex <= x < ex + ew and ey <= y < ey + eh
                                     for ex, ey, ew, eh in excluidas)
    muestras = [(x, y) for x in range(0, s.ancho, 83) for y in range(0, s.alto, 71)
                if fuera_de(x, y)]
    muestras += [(m[1], m[2]) for m in s.monitores]  # each monitor's first pixel
    distintos = [(p, c.pixel(*p)) for p in muestras if not es_fondo(c, *p)]
    comprobar(not distintos, f"every monitor shows what it showed: {distintos[:5]}")
    return c


def rectangulo(s, x0, y0, x1, y1, grosor=10):
    """A rectangle drawn from (x0, y0) to (x1, y1) shows its four edges there, `grosor` device
    pixels thick, and nothing inside."""
    def visto():
        c = s.captura()
        bordes = [((x0 + x1) // 2, y0), ((x0 + x1) // 2, y1), (x0, (y0 + y1) // 2),
                  (x1, (y0 + y1) // 2)]
        if not all(c.pixel(*p) == ROJO for p in bordes):
            return None
        return c
    c = s.esperar(visto, 5, f"the rectangle {x0, y0, x1, y1}")
    mx = (x0 + x1) // 2
    grueso = sum(1 for y in range(y0 - grosor, y0 + grosor) if c.pixel(mx, y) == ROJO)
    comprobar(abs(grueso - grosor) <= 1, f"the edge at y={y0} is {grueso} pixels thick, not {grosor}")
    comprobar(es_fondo(c, mx, (y0 + y1) // 2), "nothing inside the rectangle")
    return c


def paleta_en(s, x, y, nombre):
    """The palette, opened with the right button at (x, y), lies on monitor `nombre`."""
    s.click(x, y, 3)
    p = s.ventana(lambda v: v.nombre == "Herramientas", "the palette")
    _, mx, my, mw, mh = monitor(s, nombre)
    e = s.escalas.get(nombre, 1)
    px, py, pw, ph = p.rect
    comprobar(mx <= px and px + pw <= mx + mw and my <= py and py + ph <= my + mh,
              f"the palette {p.rect} on {nombre}")
    comprobar((pw, ph) == (159 * e, 368 * e), f"the palette at {nombre}'s scale: {p.rect}")
    tx, ty = Paleta.TIRA
    rojo = lambda c: c[0] > 200 and c[1] < 80 and c[2] < 80  # scaled, it blends into its border
    s.esperar(lambda: rojo(s.pixel(px + tx * e + e // 2, py + ty * e + e // 2)), 5,
              "palette painted")
    return p


def cerrar_paleta(s, p, e=1):
    s.click(p.rect[0] + (Paleta.CERRAR[0] + 8) * e, p.rect[1] + (Paleta.CERRAR[1] + 8) * e)
    s.esperar(lambda: not p.existe or not p.mapeada, 5, "palette closed")


def teclas_a(s, x, y, nombre):
    """Gives the keys to the canvas over `nombre` (a new shape holds them): a right click there
    opens the palette, and once it closes, the canvas takes them."""
    cerrar_paleta(s, paleta_en(s, x, y, nombre), s.escalas.get(nombre, 1))
    v = lienzo_de(s, nombre)
    s.esperar(lambda: s.activa() == v.id, 5, f"the canvas over {nombre} has the keys")


def elegir_rectangulo(s, x, y, nombre):
    e = s.escalas.get(nombre, 1)
    p = paleta_en(s, x, y, nombre)
    s.click(*Paleta.opcion(p, RECTANGULO, e))
    cerrar_paleta(s, p, e)


# --- scenarios ---------------------------------------------------------------------------------


def lado_a_lado(s):
    s.escalas = {}
    s.lanzar_tizo()
    entrar(s)
    for nombre in ("L", "R"):
        _, x, y, w, h = monitor(s, nombre)
        v = lienzo_de(s, nombre)
        comprobar("_NET_WM_STATE_FULLSCREEN" in v.estados, f"{nombre}'s canvas full-screen")
    c = muestra_lo_capturado(s)
    s.guardar_captura("lienzos")
    comprobar(c.contar(KEY_COLOR) == 0, "no key-coloured pixel")

    # The palette opens on the monitor clicked; a tool chosen on one holds on both.
    elegir_rectangulo(s, 500, 600, "L")
    p = paleta_en(s, 2500, 600, "R")
    cerrar_paleta(s, p)
    s.arrastrar(200, 200, 600, 500)
    s.forma("1")
    s.arrastrar(2100, 300, 2700, 700)
    s.forma("2")
    # Off one monitor onto the other, the gesture stays on its own: it ends at the edge.
    s.arrastrar(1500, 800, 2300, 950)
    tres = s.forma("3")
    x, y, w, h = tres.rect
    comprobar(x + w <= 1920 + 10, f"a drag off the left monitor stays on it: {tres.rect}")
    rectangulo(s, 200, 200, 600, 500)
    rectangulo(s, 2100, 300, 2700, 700)
    s.guardar_captura("rectangulos")

    # Esc on the monitor that is not the primary leaves drawing mode on both.
    secundario = s.monitores[1]
    teclas_a(s, secundario[1] + 900, 400, secundario[0])
    # A full-screen canvas holding the keys is one that window managers lift: every shape still
    # shows above every canvas.
    rectangulo(s, 200, 200, 600, 500)
    rectangulo(s, 2100, 300, 2700, 700)
    s.tecla("Escape")
    fuera(s)
    comprobar(len(s.formas()) == 3, f"the shapes stay: {s.formas()}")
    rectangulo(s, 2100, 300, 2700, 700)
    comprobar(s.tizo.poll() is None, "the program goes on")


@pantalla(2 * M[0], M[1], [DERECHA, IZQUIERDA])
def prueba_primario_a_la_derecha(s):
    lado_a_lado(s)


@pantalla(2 * M[0], M[1], [IZQUIERDA, DERECHA])
def prueba_primario_a_la_izquierda(s):
    lado_a_lado(s)


@pantalla(M[0], 2 * M[1], [ARRIBA, ABAJO])
def prueba_uno_debajo_del_otro(s):
    s.escalas = {}
    s.lanzar_tizo()
    entrar(s)
    for nombre in ("A", "B"):
        v = lienzo_de(s, nombre)
        comprobar(v.rect == monitor(s, nombre)[1:], f"{nombre}'s canvas covers it: {v.rect}")
    muestra_lo_capturado(s)
    # The lower monitor's first rows show the lower monitor: the upper canvas does not reach
    # onto it. (The tray sits at the upper monitor's bottom; a compositor's shadow of it may
    # have fallen on the lower one as it was captured.)
    c = s.captura((0, M[1], M[0], 4))
    bandeja = s.icono().rect[0] - 200
    fila = [(x, y, c.pixel(x, y)) for y in range(M[1], M[1] + 4) for x in range(0, M[0], 7)
            if not es_fondo(c, x, y) and x < bandeja]
    comprobar(not fila, f"no line where the monitors meet: {fila[:5]}")
    s.guardar_captura("apilados")

    elegir_rectangulo(s, 900, 1500, "B")
    s.arrastrar(300, 1300, 900, 1700)
    s.forma("1")
    rectangulo(s, 300, 1300, 900, 1700)
    teclas_a(s, 900, 500, "A")
    s.tecla("Escape")
    fuera(s)


@pantalla(2 * M[0], M[1], [IZQUIERDA, DERECHA])
def prueba_escalas_distintas(s):
    s.escalas = {"L": 1, "R": 2}
    s.entorno["QT_SCREEN_SCALE_FACTORS"] = "L=1;R=2"
    s.lanzar_tizo()
    entrar(s)
    comprobar(lienzo_de(s, "R").rect == DERECHA[1:], "the scaled canvas covers its monitor")
    # Unscaled: the pattern's squares keep their sharp edges at every multiple of 64 pixels.
    c = muestra_lo_capturado(s)
    bordes = [(x + d, 500) for x in range(1920 + 64, 3840 - 64, 64) for d in (-1, 0)]
    borrosos = [p for p in bordes if c.pixel(*p) != color_fondo(*p)]
    comprobar(not borrosos, f"the scaled monitor's capture is sharp: {borrosos[:5]}")
    s.guardar_captura("escalas")

    elegir_rectangulo(s, 2500, 600, "R")
    # Odd device pixels: halves of the scaled monitor's pixels. While the button is held, the
    # preview's edges run through the pointer, where the shape will be.
    s.mover(2101, 301)
    s.pausa()
    s.pulsar()
    for i in range(1, 13):
        s.mover(2101 + 50 * i, 301 + 400 * i // 12)
        s.pausa(0.01)
    rectangulo(s, 2101, 301, 2701, 701, grosor=20)
    s.soltar()
    s.forma("1")
    s.arrastrar(200, 200, 600, 500)
    s.forma("2")
    # Each lands where drawn, the pen 10 logical pixels of its monitor thick.
    rectangulo(s, 2101, 301, 2701, 701, grosor=20)
    # Nothing in the scaled shape's size hints lets a window manager make it larger (fluxbox
    # takes a negative base size for a huge one).
    pistas = s.forma("1").win.get_wm_normal_hints()
    comprobar(pistas.base_width >= 0 and pistas.base_height >= 0,
              f"no negative base size: {pistas.base_width} x {pistas.base_height}")
    rectangulo(s, 200, 200, 600, 500)
    s.guardar_captura("escalas-rectangulos")
    teclas_a(s, 3000, 500, "R")
    s.tecla("Escape")
    fuera(s)
    rectangulo(s, 2101, 301, 2701, 701, grosor=20)


@pantalla(2 * M[0], M[1], [IZQUIERDA, DERECHA])
def prueba_monitor_que_se_va(s):
    s.escalas = {}
    s.lanzar_tizo()
    entrar(s)
    s.arrastrar(2200, 300, 2600, 600)  # the brush, on the monitor that goes
    s.forma("1")
    s.arrastrar(3500, 900, 3830, 1070)
    s.forma("2")
    s.arrastrar(300, 300, 700, 600)
    s.forma("3")
    antes = s.forma("3").rect
    s.quitar_monitor("R")
    fuera(s)
    s.esperar(lambda: all(f.rect[0] + f.rect[2] <= 1920 for f in s.formas()), 5,
              "the shapes of the monitor that went brought onto the other one")
    comprobar(s.forma("3").rect == antes, f"a shape on the monitor that stays stays: {antes}")
    comprobar(s.tizo.poll() is None, "the program goes on")
    s.guardar_captura("rescatadas")

    # A shape brought back can be dragged and deleted.
    uno = s.forma("1")
    x, y, w, h = uno.rect
    comprobar(x + w == 1920, f"moved the least: to the remaining monitor's edge, {uno.rect}")
    c = s.captura(uno.rect)
    trazo = next((xx, yy) for yy in range(y, y + h) for xx in range(x, x + w)
                 if c.pixel(xx, yy) == ROJO)
    s.arrastrar(*trazo, trazo[0] - 700, trazo[1] + 100)
    s.esperar(lambda: s.forma("1").rect[:2] == (x - 700, y + 100), 5, "the shape dragged")
    s.tecla("Delete")
    s.esperar(lambda: len(s.formas()) == 2, 5, "the shape deleted")

    # Drawing mode now covers the monitor that is left, and closes when one comes.
    s.monitores = [IZQUIERDA]
    entrar(s)
    s.poner_monitor("R", *DERECHA[1:])
    fuera(s)
    s.monitores = [IZQUIERDA, DERECHA]
    entrar(s)
    s.tecla("Escape")
    fuera(s)


ejecutar(globals())
