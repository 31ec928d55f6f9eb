#!/usr/bin/python3
"""Takes the README's pictures of Tizo on a virtual X server (Xvfb, openbox, trayer), driving the
real program with real input as the end-to-end tests do.

Usage: capturas.py PROGRAM FOLDER   (make capturas: build/tizo into docs/)

Writes menu.png and menu-en.png (the tray menu in Spanish and English), paleta.png (the tool
palette over the canvas, text options shown) and escritorio.png (a desktop with a compositor,
annotated with every tool that stays: smooth ink).
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

from harness import ALTO, ANCHO, FalloPrueba, Paleta, Sesion  # noqa: E402

# The desktop of the pictures: a calm gradient and a window with a bar chart, the kind of thing
# one points at during a presentation.
CIELO = ((44, 62, 80), (76, 161, 175))
VENTANA = (330, 170, 1000, 600)  # x, y, width, height of its client area
BARRAS = [(0.35, (93, 173, 226)), (0.55, (93, 173, 226)), (0.45, (93, 173, 226)),
          (0.92, (41, 128, 185)), (0.62, (93, 173, 226)), (0.50, (93, 173, 226))]
FILA_COLOR = {"rojo": 0, "naranja": 21, "verde": 86, "azul": 171, "magenta": 213}


def pixel_de(color):
    r, g, b = color
    return (r << 16) | (g << 8) | b


def fondo(s):
    """The gradient on the session's desktop window, where the checkerboard of the tests was."""
    pantalla = s.d.screen()
    pixmap = s.root.create_pixmap(ANCHO, ALTO, pantalla.root_depth)
    (r0, g0, b0), (r1, g1, b1) = CIELO
    for y in range(0, ALTO, 2):
        t = y / ALTO
        color = (int(r0 + (r1 - r0) * t), int(g0 + (g1 - g0) * t), int(b0 + (b1 - b0) * t))
        gc = pixmap.create_gc(foreground=pixel_de(color))
        pixmap.fill_rectangle(gc, 0, y, ANCHO, 2)
        gc.free()
    s.escritorio_win.change_attributes(background_pixmap=pixmap)
    s.escritorio_win.clear_area(0, 0, ANCHO, ALTO)
    s.d.sync()


def ventana_grafico(s):
    """A decorated window whose picture the X server keeps (its background), so it shows the
    same after every expose."""
    x, y, w, h = VENTANA
    pantalla = s.d.screen()
    pixmap = s.root.create_pixmap(w, h, pantalla.root_depth)

    def rect(color, rx, ry, rw, rh):
        gc = pixmap.create_gc(foreground=pixel_de(color))
        pixmap.fill_rectangle(gc, rx, ry, rw, rh)
        gc.free()

    rect((250, 250, 250), 0, 0, w, h)
    rect((52, 73, 94), 60, 50, 420, 26)  # a title bar of text
    rect((189, 195, 199), 60, 90, 260, 12)  # a subtitle
    base, alto_max, ancho_barra, paso = h - 80, h - 230, 90, 140
    for i in range(6):
        rect((230, 230, 230), 60, base - int(alto_max * (i + 1) / 6), w - 120, 1)  # grid
    for i, (parte, color) in enumerate(BARRAS):
        alto = int(alto_max * parte)
        rect(color, 110 + i * paso, base - alto, ancho_barra, alto)
        rect((149, 165, 166), 110 + i * paso + 15, base + 16, 60, 10)  # a label
    rect((120, 120, 120), 60, base, w - 120, 2)  # the axis
    win = s.root.create_window(x, y, w, h, 0, pantalla.root_depth, background_pixmap=pixmap)
    win.set_wm_name("Ventas 2025")
    win.change_property(s.d.intern_atom("_NET_WM_NAME"), s.d.intern_atom("UTF8_STRING"), 8,
                        "Ventas 2025 · presentación".encode())
    win.set_wm_class("grafico", "Grafico")
    win.set_wm_normal_hints(flags=1 | 2, x=x, y=y)  # USPosition | USSize
    win.map()
    s.d.sync()
    s.esperar(lambda: s.ventanas("grafico"), 10, "the chart window")
    return win


def barra(i):
    """Centre and top of bar i of the chart, on the screen."""
    x, y, w, h = VENTANA
    base, alto_max = h - 80, h - 230
    return (x + 110 + i * 140 + 45, y + base - int(alto_max * BARRAS[i][0]))


def recortar(s, ruta, rect):
    x, y, w, h = rect
    x0, y0 = max(0, x), max(0, y)
    x1, y1 = min(ANCHO, x + w), min(ALTO, y + h)
    s.captura((x0, y0, x1 - x0, y1 - y0)).guardar(ruta)
    print("wrote", ruta)


def sesion(idioma="C.UTF-8", escritorio=None):
    s = Sesion("capturas", escritorio=escritorio)
    s.entorno["LANG"] = idioma
    fondo(s)
    return s


def menu(salida, idioma, nombre):
    s = sesion(idioma)
    try:
        ventana_grafico(s)
        s.lanzar_tizo()
        m = s.abrir_menu()
        s.mover(m.rect[0] + 40, m.rect[1] + 38)  # over the second item
        s.pausa(0.3)
        mx, my, mw, mh = m.rect
        x0 = min(mx - 120, ANCHO - 460)
        recortar(s, os.path.join(salida, nombre), (x0, my - 80, ANCHO - x0, ALTO - my + 80))
    finally:
        s.cerrar()


def abrir_paleta(s, x=960, y=540):
    s.click(x, y, 3)
    return s.esperar(lambda: [v for v in s.ventanas() if v.nombre == "Herramientas"], 10,
                     "the palette")[0]


def cerrar_paleta(s, p):
    s.click(p.rect[0] + Paleta.CERRAR[0] + 8, p.rect[1] + Paleta.CERRAR[1] + 8)
    s.esperar(lambda: not p.existe or not p.mapeada, 5, "palette closed")


def herramienta(s, tipo, color=None, grosor=None, x=1700, y=300):
    p = abrir_paleta(s, x, y)
    s.click(*Paleta.opcion(p, tipo))
    if color is not None:
        s.click(p.rect[0] + Paleta.TIRA[0] + 6, p.rect[1] + Paleta.TIRA[1] + FILA_COLOR[color])
    if grosor is not None:
        Paleta.escribir_grosor(s, p, str(grosor))
    return p


def teclear(s, texto, trozo):
    """Types `trozo` into the text shape being edited, until the shape's width changes with it
    (the first letter narrows the empty shape, the others widen it). xdotool maps a spare key for
    each character beyond the keyboard's own; a program that reads the key before the new mapping
    gets nothing, so such a character is typed again rather than left out of the picture."""
    for _ in range(3):
        ancho = texto.rect[2]
        s.escribir(trozo)
        try:
            s.esperar(lambda: texto.rect[2] != ancho, 2, f"{trozo!r} typed")
            return
        except FalloPrueba:
            print(f"typing {trozo!r} again", file=sys.stderr)
    raise FalloPrueba(f"{trozo!r} never reached the text")


def dibujo(s):
    s.elegir(" Dibujar Fondo")
    s.esperar(lambda: [v for v in s.ventanas() if v.nombre == "Tizo" and v.rect[2] == ANCHO], 10,
              "the canvas")
    s.pausa(0.3)


def paleta(salida):
    s = sesion()
    try:
        ventana_grafico(s)
        s.lanzar_tizo()
        dibujo(s)
        p = herramienta(s, Paleta.TEXTO, x=1500, y=400)
        # Over the chart, where it shows what it is opened on; it moves by its background.
        fx, fy = p.rect[0] + Paleta.FONDO[0], p.rect[1] + Paleta.FONDO[1]
        s.arrastrar(fx, fy, fx + 1180 - p.rect[0], fy + 260 - p.rect[1])
        s.esperar(lambda: p.rect[0] == 1180, 5, "the palette moved")
        x, y, w, h = p.rect
        s.mover(x + Paleta.OPCIONES[0] + 50, y + Paleta.OPCIONES[1] + 24 * 4 + 8)
        s.pausa(0.3)
        recortar(s, os.path.join(salida, "paleta.png"), (x - 240, y - 60, w + 300, h + 120))
    finally:
        s.cerrar()


def escritorio(salida):
    # Most desktops composite: ink is smooth there.
    s = sesion(escritorio="openbox-picom")
    try:
        ventana_grafico(s)
        s.lanzar_tizo()
        dibujo(s)
        cx, cy = barra(3)
        # A circle around the tallest bar.
        p = herramienta(s, Paleta.CIRCULO, "rojo", 6)
        cerrar_paleta(s, p)
        s.arrastrar(cx - 85, cy - 40, cx + 85, cy - 40)
        # A line from a note to it, and the note.
        p = herramienta(s, Paleta.LINEA)
        cerrar_paleta(s, p)
        s.arrastrar(cx + 330, cy - 60, cx + 110, cy + 10)
        p = herramienta(s, Paleta.TEXTO)
        x, y = p.rect[:2]
        s.click(x + Paleta.FRTEXTO[0] + 30, y + Paleta.FRTEXTO[1] + 56 + 8)  # bold
        s.click(x + Paleta.FRTEXTO[0] + 50, y + Paleta.FRTEXTO[1] + 6)  # the font list
        s.escribir("Liberation Sans")  # typed quickly, it finds the font by name
        cerrar_paleta(s, p)
        s.click(cx + 345, cy - 100)
        texto = s.esperar(lambda: [v for v in s.ventanas() if v.nombre == "3"], 10,
                          "the text shape")[0]
        # Typed in one go, the letters after a character beyond the keyboard's own may arrive
        # before its spare key's mapping does.
        for trozo in ("¡", "R", "é", "cord!"):
            teclear(s, texto, trozo)
        s.tecla("Return")
        # A rectangle around the first two bars.
        p = herramienta(s, Paleta.RECTANGULO, "azul", 4)
        cerrar_paleta(s, p)
        x0, y0 = barra(0)
        x1, y1 = barra(1)
        s.arrastrar(x0 - 60, y1 - 25, x1 + 60, VENTANA[1] + VENTANA[3] - 40)
        # A brush stroke under the title.
        p = herramienta(s, Paleta.PINCEL, "naranja", 8)
        cerrar_paleta(s, p)
        vx, vy = VENTANA[:2]
        puntos = [(vx + 55 + i * 20, vy + 95 + (6 if i % 2 else -2)) for i in range(23)]
        s.mover(*puntos[0])
        s.pausa()
        s.pulsar()
        for punto in puntos[1:]:
            s.mover(*punto)
            s.pausa(0.02)
        s.soltar()
        s.esperar(lambda: [v for v in s.ventanas() if v.nombre == "5"], 10, "the brush shape")
        # The highlighter over the subtitle (below the window's title bar), picked with its key:
        # the canvas keeps the keys.
        s.tecla("7")
        s.arrastrar(vx + 62, vy + 120, vx + 318, vy + 120)
        s.esperar(lambda: [v for v in s.ventanas() if v.nombre == "6"], 10, "the highlight")
        # An arrow at the last bar, from below its label.
        bx, by = barra(5)
        s.tecla("6")
        s.arrastrar(bx + 170, by + 260, bx + 50, by + 25)
        s.esperar(lambda: [v for v in s.ventanas() if v.nombre == "7"], 10, "the arrow")
        s.tecla("Escape")
        s.esperar(lambda: not [v for v in s.ventanas() if v.nombre == "Tizo"], 10,
                  "drawing mode left")
        s.pausa(0.5)
        recortar(s, os.path.join(salida, "escritorio.png"), (0, 0, ANCHO, ALTO))
    finally:
        s.cerrar()


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    programa, salida = sys.argv[1:]
    os.environ["TIZO_BIN"] = os.path.abspath(programa)
    os.environ.setdefault("TIZO_E2E_OUT", os.path.join(os.path.dirname(programa), "e2e-capturas"))
    os.makedirs(salida, exist_ok=True)
    menu(salida, "C.UTF-8", "menu.png")
    menu(salida, "en_US.UTF-8", "menu-en.png")
    paleta(salida)
    escritorio(salida)


main()
