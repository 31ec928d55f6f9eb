"""The tool palette on a real X server: where its controls show, picking from the colour strip,
the thickness entry, closing by every way, and dragging it by its background."""

import os
import time

from harness import BLANCO, ROJO, Paleta, comprobar, ejecutar

BORDE = (128, 128, 128)
TIRA, SWATCH, CERRAR, LB0 = Paleta.TIRA, Paleta.SWATCH, Paleta.CERRAR, Paleta.LB0
LBGROSOR, FRTEXTO, FONDO = Paleta.LBGROSOR, Paleta.FRTEXTO, Paleta.FONDO

L = [7, 14, 21, 28, 34, 40, 47, 53, 59, 65, 71, 76, 82, 88, 93, 99, 104, 110, 115, 121, 126, 132,
     137, 142, 148, 153, 159, 165, 170, 176, 182, 187, 193, 199, 205, 211, 218, 224, 231, 237, 244]


def tira():
    """The strip's rows from the top, as (r, g, b)."""
    Li = L[::-1]
    filas = [(255, 0, 0)]
    filas += [(255, v, 0) for v in L] + [(255, 255, 0)] * 2
    filas += [(v, 255, 0) for v in Li] + [(0, 255, 0)] * 2
    filas += [(0, 255, v) for v in L] + [(0, 255, 255)]
    filas += [(0, v, 255) for v in Li] + [(0, 0, 255)] * 2
    filas += [(v, 0, 255) for v in L] + [(255, 0, 255)] * 2
    filas += [(255, 0, v) for v in Li] + [(0, 0, 0)] * 6 + [(255, 255, 255)] * 6
    assert len(filas) == 268
    return filas


def azulado(p):
    """Light blue on white, smoothed edges included: blue full, red and green equal."""
    return p[2] == 255 and p[0] == p[1] and p[0] < 230


def abrir(s):
    binario = os.environ.get("TIZO_MUESTRA_PALETA", "build/tests/palette/muestra_paleta")
    s.proceso = s.lanzar([binario])
    paleta = s.esperar(
        lambda: [v for v in s.ventanas("muestra_paleta") if v.nombre == "Herramientas"], 10,
        "palette window")[0]
    s.esperar(lambda: en(s, paleta, *TIRA) == ROJO, 5, "palette painted")
    return paleta


def en(s, paleta, dx, dy, captura=None):
    x, y, _, _ = paleta.rect
    c = captura or s.captura((x + dx, y + dy, 1, 1))
    return c.pixel(x + dx, y + dy)


def pixeles(captura, paleta, rect):
    x, y, _, _ = paleta.rect
    rx, ry, w, h = rect
    return [captura.pixel(x + rx + i, y + ry + j) for j in range(h) for i in range(w)]


def terminada(s):
    """Waits for the palette's program to end and gives what it printed."""
    s.esperar(lambda: s.proceso.poll() is not None, 5, "the palette to close")
    comprobar(s.proceso.returncode == 0, f"exit status {s.proceso.returncode}")
    return s.salida(s.proceso)


def prueba_aspecto(s):
    paleta = abrir(s)
    x, y, w, h = paleta.rect
    comprobar((w, h) == (159, 368), f"client area {w} x {h}")
    comprobar("_NET_WM_STATE_ABOVE" in paleta.estados, f"topmost: {paleta.estados}")
    comprobar("_NET_WM_STATE_MODAL" in paleta.estados, f"modal: {paleta.estados}")
    comprobar("_NET_WM_WINDOW_TYPE_UTILITY" in paleta.tipos, f"a tool window: {paleta.tipos}")
    pistas = paleta.win.get_wm_normal_hints()
    comprobar(not (pistas.flags & (1 | 4)), "no position of its own: the window manager places it")

    s.guardar_captura("paleta", (x - 10, y - 10, w + 20, h + 20))
    c = s.captura((x, y, w, h))
    for fila, color in enumerate(tira()):
        for columna in (0, 11):
            real = c.pixel(x + TIRA[0] + columna, y + TIRA[1] + fila)
            comprobar(real == color, f"strip row {fila} column {columna}: {real} != {color}")
    for dx, dy in ((1, 16), (14, 100), (8, 285)):
        comprobar(c.pixel(x + dx, y + dy) == BORDE, f"strip border at {dx}, {dy}")

    sx, sy, sw, sh = SWATCH
    relleno = pixeles(c, paleta, (sx + 1, sy + 1, sw - 2, sh - 2))
    comprobar(set(relleno) == {ROJO}, f"swatch red inside its outline: {set(relleno)}")
    comprobar(c.pixel(x + sx, y + sy) == BLANCO, "swatch outline white")
    comprobar(c.pixel(x + sx - 1, y + sy + 4) == BLANCO, "nothing red left of the swatch")
    comprobar(c.pixel(x + sx + sw, y + sy + 4) == BLANCO, "nothing red right of the swatch")

    for nombre, rect in (("close image", CERRAR), ("thickness label", LBGROSOR),
                         ("first label", LB0)):
        azules = sum(1 for p in pixeles(c, paleta, rect) if azulado(p))
        comprobar(azules >= 5, f"{nombre}: light blue shows ({azules} pixels)")
    comprobar(BLANCO in pixeles(c, paleta, CERRAR), "the close image's corners are white")
    comprobar(set(pixeles(c, paleta, FRTEXTO)) == {BLANCO}, "the text frame is hidden")
    comprobar(c.pixel(x + FONDO[0], y + FONDO[1]) == BLANCO, "white background")
    comprobar(c.pixel(x + 100, y + 280) == BLANCO, "white background below")
    # the later tools under the (hidden) text options, each caption showing
    for tipo in (Paleta.FLECHA, Paleta.RESALTADOR, Paleta.LASER):
        ox, oy = Paleta.opcion(paleta, tipo)
        azules = sum(1 for p in pixeles(c, paleta, (ox - x, oy - y - 8, 60, 17)) if azulado(p))
        comprobar(azules >= 5, f"tool {tipo}: its caption shows ({azules} pixels)")
    s.click(x + CERRAR[0] + 8, y + CERRAR[1] + 8)
    salida = terminada(s)
    comprobar("Tipo=0 Color=255 Grosor=10" in salida, salida)


def prueba_elegir_y_cerrar(s):
    paleta = abrir(s)
    x, y, _, _ = paleta.rect
    sx, sy, _, _ = SWATCH
    # a right press on the cyan row picks it at once
    s.mover(x + TIRA[0] + 5, y + TIRA[1] + 128)
    s.pulsar(3)
    s.esperar(lambda: en(s, paleta, sx + 10, sy + 4) == (0, 255, 255), 5, "cyan swatch")
    s.soltar(3)
    # a left press on the white rows, next to black
    s.click(x + TIRA[0] + 5, y + TIRA[1] + 262)
    s.esperar(lambda: en(s, paleta, sx + 10, sy + 4) == BLANCO, 5, "white swatch")

    # the text tool shows the text frame
    s.click(*Paleta.opcion(paleta, Paleta.TEXTO))
    s.esperar(lambda: sum(map(azulado, pixeles(s.captura(), paleta, FRTEXTO))) > 50, 5,
              "text frame shown")

    # thickness: letters and a fourth digit never get in
    Paleta.escribir_grosor(s, paleta, "x0a0-7 9")

    s.click(x + CERRAR[0] + 8, y + CERRAR[1] + 8)
    salida = terminada(s)
    comprobar("Tipo=4 Color=16777215 Grosor=7 " in salida, salida)
    comprobar("TamFuente=40" in salida, salida)


def prueba_cerrar_por_el_gestor(s):
    """Alt+F4 ends the palette as its close image does: the text options are applied."""
    paleta = abrir(s)
    x, y, _, _ = paleta.rect
    s.click(*Paleta.opcion(paleta, Paleta.TEXTO))
    # the size box: Tamaño at (80, 43) inside the text frame
    s.click(x + FRTEXTO[0] + 80 + 20, y + FRTEXTO[1] + 43 + 7)
    s.escribir("120")
    s.esperar(lambda: s.activa() == paleta.id, 5, "palette active")
    s.tecla("alt+F4")
    salida = terminada(s)
    comprobar("Tipo=4" in salida and "TamFuente=120" in salida, salida)


def prueba_arrastrar(s):
    paleta = abrir(s)
    x, y, _, _ = paleta.rect
    fx, fy = x + FONDO[0], y + FONDO[1]
    s.arrastrar(fx, fy, fx + 200, fy + 100, botones=(3,))
    comprobar(paleta.rect[:2] == (x, y), f"right button: not moved {paleta.rect}")
    s.arrastrar(fx, fy, fx + 200, fy + 100, botones=(1, 3))
    comprobar(paleta.rect[:2] == (x, y), f"left and right: not moved {paleta.rect}")
    s.arrastrar(x + LB0[0] + 10, y + LB0[1] + 8, x + LB0[0] + 210, y + LB0[1] + 108)
    comprobar(paleta.rect[:2] == (x, y), f"pressed on a label: not moved {paleta.rect}")

    s.arrastrar(fx, fy, fx - 300, fy + 150)
    s.esperar(lambda: paleta.rect[:2] == (x - 300, y + 150), 5, "moved by the left button")
    s.mover(fx + 400, fy + 400)
    time.sleep(0.2)
    comprobar(paleta.rect[:2] == (x - 300, y + 150), f"not stuck to the pointer {paleta.rect}")
    # it still works where it now is
    nx, ny = x - 300, y + 150
    s.esperar(lambda: en(s, paleta, *TIRA) == ROJO, 5, "repainted where it went")
    s.click(nx + CERRAR[0] + 8, ny + CERRAR[1] + 8)
    terminada(s)


ejecutar(globals())
