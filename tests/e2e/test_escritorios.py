"""Drawing mode on the desktop TIZO_E2E_ESCRITORIO names (see harness.ESCRITORIOS), as a user
goes through it: the tray menu, a clean capture on a canvas that covers the whole screen, shapes
that stay above the canvas (palette open too) and above other programs' windows, typing, dragging,
Delete, Esc, and no window of the program in a taskbar or pager. Checked on screenshots, on the
window properties the window manager set and on the X server's stacking order."""

import time

from dibujo import (
    GRIS, PINCEL, RECTANGULO, SALIR, TEXTO, editar_otra_vez, escribir_y_salir)
from harness import (
    ALTO, ANCHO, AZUL_TESTIGO, BLANCO, KEY_COLOR, ROJO, color_fondo, comprobar, ejecutar,
    es_fondo)

FUERA_DE_BARRAS = {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}
# A drag from corner to corner, away from the screen's centre, where window managers put the
# palette.
RECTANGULO_ZONA = (200, 250, 500, 450)


def sin_barras_y_visible(v):
    """The window is in no taskbar or pager, and the window manager shows it."""
    estados = set(v.estados)
    comprobar(FUERA_DE_BARRAS <= estados, f"{v.nombre!r} in no taskbar or pager: {v.estados}")
    comprobar("_NET_WM_STATE_HIDDEN" not in estados, f"{v.nombre!r} not hidden: {v.estados}")
    comprobar(v.estado_wm == 1, f"{v.nombre!r} in the normal state, WM_STATE {v.estado_wm}")
    comprobar(v.mapeada, f"{v.nombre!r} mapped")


def nada_ajeno_encima(s, v):
    """No window of another program is stacked above v anywhere on the screen."""
    ajenas = [c for c in s.encima_de(v) if (c.clase or "").lower() != "tizo"]
    comprobar(not ajenas, f"nothing of another program above {v.nombre!r}: {ajenas}")


def rectangulo_visible(c, debajo=color_fondo):
    """The rectangle of RECTANGULO_ZONA shows on the screenshot c: its four edges red, and what
    lies beneath (`debajo(x, y)` gives its colour) inside it and just outside it, where a shadow
    would fall."""
    x0, y0, x1, y1 = RECTANGULO_ZONA
    xm, ym = (x0 + x1) // 2, (y0 + y1) // 2
    for p in ((xm, y0), (xm, y1), (x0, ym), (x1, ym)):
        comprobar(c.pixel(*p) == ROJO, f"rectangle edge at {p}: {c.pixel(*p)}")
    for p in ((xm, y0 - 12), (xm, y1 + 12), (x0 - 12, ym), (x1 + 12, ym), (x1 + 12, y1 + 12),
              (x0 + 12, ym), (xm, y0 + 12), (xm, y1 - 12), (x0 + 40, y0 + 40),
              (x1 - 40, y1 - 40)):
        comprobar(c.pixel(*p) == debajo(*p),
                  f"what lies beneath, near the rectangle at {p}: {c.pixel(*p)}")


def abrir_menu_derecho(s):
    """The right button opens the menu too. On an XEmbed tray it is the program's own, on the
    release only; where the icon goes over D-Bus, the panel shows the menu the program exports."""
    x, y = s.icono().centro
    if s.bandeja_por_bus():
        s.click(x, y, 3)
        menu = s.esperar(s.menu_de_la_bandeja, 5, "the tray's copy of the menu")
        s.guardar_captura("menu-derecho", menu.rect)
        comprobar(menu.rect[3] > 5 * 16, f"five items fit: {menu.rect}")
        s.cerrar_menu(s.menu_de_la_bandeja, "the tray's menu")
        return

    def clic(icono):
        s.mover(*icono.centro)
        s.pulsar(3)
        time.sleep(0.4)
        comprobar(s.menu_abierto() is None, "no menu on the press of the right button")
        s.soltar(3)

    menu = s.sobre_el_icono(clic, s.menu_abierto, "the menu on the release of the right button")
    s.guardar_captura("menu-derecho", menu.rect)
    s.cerrar_menu(s.menu_abierto, "the menu")


def prueba_menu_captura_y_lienzo(s):
    s.lanzar_tizo()
    abrir_menu_derecho(s)

    s.elegir(" Tizo")
    caja = s.ventana(lambda v: v.rect[2:] == (283, 170), "the about box")
    sin_barras_y_visible(caja)
    bx, by, bw, bh = caja.rect
    s.click(bx + 40, by + 40)
    s.esperar(lambda: not caja.existe or not caja.mapeada, 5, "the about box closed")
    # A compositor under load may show a closed window a while longer: the desktop to compare
    # with is the one without it (read below where the pointer clicked).
    s.esperar(lambda: (lambda c: all(es_fondo(c, x, y) for y in range(by + 80, by + bh, 17)
                                     for x in range(bx, bx + bw, 17)))(s.captura()), 5,
              "the desktop where the about box was")

    ix, iy, iw, ih = s.icono().rect
    excluir = [SALIR, (ix - 8, iy - 8, iw + 16, ih + 16)]  # the exit image; the icon's highlight
    antes = s.captura()
    # A compositor repaints at its own pace: the capture must wait for it every time.
    for vez in range(3):
        s.abrir_menu()
        menu = s.menu_abierto().rect
        s.tecla("Down", "Down", "Return")
        s.esperar(lambda: s.menu_abierto() is None, 5, "menu closed")
        v = s.lienzo()
        s.esperar(lambda: s.activa() == v.id, 5, "the canvas active")
        comprobar(v.rect == (0, 0, ANCHO, ALTO), f"the canvas covers the screen exactly: {v.rect}")
        sin_barras_y_visible(v)
        # The live desktop turns grey; only the canvas can still show the pattern.
        s.poner_fondo(GRIS)
        try:
            s.esperar(lambda: s.captura().distintos(antes, excluir)[0] == 0, 3,
                      "the canvas showing the screen as it was")
        except Exception:
            c = s.captura()
            s.guardar_captura(f"lienzo-{vez}")
            n, caja = c.distintos(antes, excluir)
            comprobar(False, f"opening {vez + 1}: {n} pixels differ from the desktop before, "
                             f"within {caja}; the menu was at {menu}")
        nada_ajeno_encima(s, v)
        if vez < 2:
            s.tecla("Escape")
            s.esperar(lambda: not v.existe, 5, "Esc leaves drawing mode")
            # gone from the screen too: a compositor may fade it out
            s.esperar(lambda: s.pixel(700, 500) == GRIS, 5, "the live desktop, grey")
            s.poner_fondo()
            s.esperar(s.se_ve_el_patron, 5, "the live desktop again")
    s.guardar_captura("lienzo")

    # The canvas takes the mouse along the screen's edges too, where panels are (the presses
    # fall on them), and a stroke there shows where it was drawn, above everything (or beside
    # the panels, where the window manager keeps every window out of their strips). Checked near
    # the end of each stroke: a busy program may merge the first moves into later ones.
    s.arrastrar(40, 4, 1800, 4)
    arriba = s.forma("1")
    s.arrastrar(40, ALTO - 5, ANCHO - 10, ALTO - 5)
    abajo = s.forma("2")

    def trazos_en_los_bordes():
        if s.desk.fuera_de_paneles:
            return all(s.captura(f.rect).contar(ROJO) > 1000 for f in (arriba, abajo))
        return s.pixel(1700, 4) == ROJO and s.pixel(1700, ALTO - 5) == ROJO

    s.esperar(trazos_en_los_bordes, 5, "strokes along the top and bottom edges")
    s.guardar_captura("bordes")
    for f in (arriba, abajo):
        sin_barras_y_visible(f)
        nada_ajeno_encima(s, f)
    s.herramienta(PINCEL)  # a press on the canvas gives it the keys back
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 5, "Esc leaves drawing mode")
    s.esperar(trazos_en_los_bordes, 5, "the strokes stay")


def dibujar_rectangulo(s):
    """Drawing mode from the tray, and the rectangle of RECTANGULO_ZONA: (canvas, shape)."""
    s.lanzar_tizo()
    v = s.dibujar_fondo()
    s.herramienta(RECTANGULO)
    s.arrastrar(*RECTANGULO_ZONA)
    return v, s.forma("1")


def prueba_formas_y_paleta(s):
    v, rect = dibujar_rectangulo(s)
    x0, y0, x1, y1 = RECTANGULO_ZONA
    s.herramienta(PINCEL)
    s.arrastrar(300, 800, 900, 800)
    trazo = s.forma("2")
    s.esperar(lambda: s.pixel(600, 800) == ROJO and s.pixel(x0, y1 - 50) == ROJO, 5,
              "both shapes")
    c = s.captura()
    s.guardar_captura("formas")
    rectangulo_visible(c)
    comprobar(es_fondo(c, 600, 812) and es_fondo(c, 600, 788), "the stroke, no shadow beside it")
    comprobar(c.contar(KEY_COLOR) == 0, "no key-coloured pixel")

    # The palette opens modally over the canvas, its corner at the pointer; the shapes stay
    # above the canvas meanwhile.
    p = s.abrir_paleta(1400, 300)
    s.esperar(lambda: p.rect[:2] == (1400, 300), 5, f"the palette at the pointer: {p.rect}")
    time.sleep(0.3)
    c = s.captura()
    s.guardar_captura("paleta-abierta")
    rectangulo_visible(c)
    comprobar(c.pixel(600, 800) == ROJO, "the stroke above the canvas while the palette is open")
    apilados = [cliente.id for _, cliente in s.apilados()]
    for f in (rect, trazo, p):
        comprobar(apilados.index(f.id) > apilados.index(v.id), f"{f.nombre!r} above the canvas")
    for w in (v, rect, trazo, p):
        sin_barras_y_visible(w)
    nada_ajeno_encima(s, p)
    s.cerrar_paleta(p)
    # Clicked near the screen's corner, it opens as near as it shows whole (above a panel there,
    # where the window manager keeps windows off the panels).
    p = s.abrir_paleta(ANCHO - 20, ALTO - 40)

    def en_la_esquina():
        x, y, w, h = p.rect
        return x + w == ANCHO and ALTO - 40 <= y + h <= ALTO

    s.esperar(en_la_esquina, 5, f"the palette whole in the corner: {p.rect}")
    s.cerrar_paleta(p)
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 5, "Esc leaves drawing mode once the palette closed")

    # Out of drawing mode the shapes stay shown, the newest one active or not.
    time.sleep(0.5)
    for f in (rect, trazo):
        sin_barras_y_visible(f)
    c = s.captura()
    rectangulo_visible(c)
    comprobar(c.pixel(600, 800) == ROJO, "the stroke stays")

    # A press on a shape's edge grabs it: it moves with the mouse, and Delete removes it.
    s.arrastrar(x0, y1 - 50, x0 + 100, y1 + 50)
    s.esperar(lambda: rect.rect[:2] == (x0 - 10 + 100, y0 - 10 + 100), 5,
              f"dragged by its edge: {rect.rect}")
    sin_barras_y_visible(rect)
    sin_barras_y_visible(trazo)
    s.esperar(lambda: s.pixel(x1 + 100, y1 + 50) == ROJO, 5, "shown where it was dragged")
    s.esperar(lambda: s.activa() == rect.id, 5, "the dragged shape active")
    s.tecla("Delete")
    s.esperar(lambda: not rect.existe, 5, "Delete removes it")
    sin_barras_y_visible(trazo)
    comprobar(s.pixel(600, 800) == ROJO, "the other shape stays")


def prueba_encima_de_otra_ventana(s):
    testigo = s.testigo(250, 300, 300, 200)
    v, rect = dibujar_rectangulo(s)
    x0, y0, x1, y1 = RECTANGULO_ZONA
    s.herramienta(TEXTO)
    s.click(1200, 700)
    texto = s.forma("2")
    s.esperar(lambda: s.activa() == texto.id, 5, "the text window active")
    s.escribir("Hola")
    s.tecla("Return")
    s.esperar(lambda: s.captura(texto.rect).contar(BLANCO) == 0, 5, "finished text")
    s.click(SALIR[0] + 24, SALIR[1] + 24)
    s.esperar(lambda: not v.existe, 5, "the exit image leaves drawing mode")

    def debajo(x, y):
        return AZUL_TESTIGO if 250 <= x < 550 and 300 <= y < 500 else color_fondo(x, y)

    # A click through the rectangle's hole reaches the window beneath, which the window manager
    # then activates and raises: the shapes stay above it.
    s.click(350, 350)
    s.esperar(lambda: (s.leer_eventos(), testigo.pulsaciones)[1], 5, "a click in the hole passes")
    time.sleep(0.5)
    c = s.captura()
    s.guardar_captura("encima-de-otra")
    rectangulo_visible(c, debajo)
    comprobar(c.contar(ROJO, texto.rect) > 50, "the text stays above")
    def encima_del_testigo():
        apilados = [cliente.id for _, cliente in s.apilados()]
        for f in (rect, texto):
            sin_barras_y_visible(f)
            comprobar(apilados.index(f.id) > apilados.index(testigo.id),
                      f"{f.nombre!r} stacked above the window beneath")

    encima_del_testigo()
    # Hidden and shown again from the tray while the other window is active: the same.
    s.elegir(" Mostrar / Ocultar")
    s.esperar(lambda: not rect.mapeada and not texto.mapeada, 5, "the shapes hidden")
    s.elegir(" Mostrar / Ocultar")
    s.esperar(lambda: rect.mapeada and texto.mapeada, 5, "the shapes shown again")
    time.sleep(0.5)
    c = s.captura()
    s.guardar_captura("mostradas-otra-vez")
    rectangulo_visible(c, debajo)
    encima_del_testigo()

    # Typing still works: a click on the letters edits the text again.
    editar_otra_vez(s, texto)
    s.tecla("Return")
    s.esperar(lambda: s.captura(texto.rect).contar(BLANCO) == 0, 5, "finished again")

    # Dragged over the other window by its edge, then deleted.
    s.arrastrar(x0, y0 + 50, x0 + 100, y0 + 70)
    s.esperar(lambda: rect.rect[:2] == (x0 - 10 + 100, y0 - 10 + 20), 5,
              f"dragged by its edge: {rect.rect}")
    s.esperar(lambda: s.pixel(x0 + 100, y1) == ROJO, 5, "its left edge over the other window")
    s.esperar(lambda: s.activa() == rect.id, 5, "the dragged shape active")
    s.tecla("Delete")
    s.esperar(lambda: not rect.existe, 5, "Delete removes it")
    sin_barras_y_visible(texto)


def prueba_esc_tras_cada_herramienta(s):
    """After a shape of each tool (picked with its key) and after a finished text, a plain Esc
    leaves drawing mode; Esc while a text is typed finishes it and leaves."""
    s.lanzar_tizo()
    gestos = (("1", (300, 300, 700, 320)), ("2", (300, 400, 700, 500)),
              ("3", (300, 550, 700, 750)), ("4", (900, 300, 1200, 500)), ("5", (900, 700)),
              ("6", (300, 800, 700, 950)), ("7", (1300, 300, 1700, 320)),
              ("8", (1300, 500, 1700, 600)))
    contadas = 0
    for n, (tecla, gesto) in enumerate(gestos, 1):
        v = s.dibujar_fondo() if n == 1 else s.dibujar_con_la_orden()
        s.tecla(tecla)
        if len(gesto) == 4:
            s.arrastrar(*gesto)
            if tecla != "8":  # fading ink is never one of the shapes
                contadas += 1
                s.forma(str(contadas))
        else:
            s.click(*gesto)
            contadas += 1
            texto = s.forma(str(contadas))
            s.esperar(lambda: s.activa() == texto.id, 5, "the text window active")
            s.escribir("Hola")
            s.tecla("Return")
            s.esperar(lambda: s.captura(texto.rect).contar(BLANCO) == 0, 5, "finished text")
        s.tecla("Escape")
        s.esperar(lambda: not v.existe, 5, f"Esc leaves drawing mode after tool {tecla}")
    s.guardar_captura("esc-tras-cada-herramienta")

    v = s.dibujar_con_la_orden()
    s.tecla("5")
    s.click(900, 850)
    texto = s.forma(str(contadas + 1))
    s.esperar(lambda: s.activa() == texto.id, 5, "the text window active")
    escribir_y_salir(s, v, texto, "Adios")
    comprobar(len(s.formas()) == contadas + 1, f"every shape stays: {s.formas()}")


ejecutar(globals())
