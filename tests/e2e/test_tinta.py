"""Ink on real desktops: smooth edges where a compositor blends windows and crisp one-colour ones
where none does, with clicks passing beside the strokes either way; the arrow's head where the
drag ended; the highlighter blended with what lies beneath; ink that lets clicks through, fades
by itself leaving nothing behind and goes at once with drawing mode; and the arrow and the
highlighter undone, redone, dragged and deleted as any other shape; smooth ink turned off in
the settings. Windows of the tests' own
lie beneath the drawing, in colours the checks know."""

import math
import os
import time

from harness import (
    AZUL_TESTIGO, KEY_COLOR, ROJO, FalloPrueba, comprobar, ejecutar, en_escritorio, es_fondo)

NEGRO, BLANCO, AMARILLO = (0, 0, 0), (255, 255, 255), (255, 255, 0)

# A circle dragged 300 px wide over a blue window: its stroke runs 145 to 155 px from the centre.
CIRCULO = (350, 250, 650, 260)
CENTRO, RADIO = (500, 400), 150
TESTIGO_CIRCULO = (300, 200, 400, 400)
# Each arrow from its tail to its tip, pointing every way, over the desktop pattern.
FLECHAS = (((300, 750), (600, 750)), ((1000, 750), (700, 750)),
           ((1200, 650), (1200, 950)), ((1550, 1000), (1550, 700)))
# The highlighter across a black window and a white one side by side.
TESTIGO_NEGRO, TESTIGO_BLANCO = (800, 200, 150, 150), (950, 200, 150, 150)
RESALTADO = (820, 275, 1080, 275)
# Yellow at 40 % over black and over white.
SOBRE_NEGRO, SOBRE_BLANCO = (102, 102, 0), (255, 255, 153)
# The fading stroke, over the desktop pattern.
LASER = (1350, 325, 1650, 325)
ZONA_LASER = (1320, 300, 360, 50)
APARTADO = (1900, 600)  # where the pointer waits while the screen is read


def leer(s, rect=None):
    """A screenshot with the pointer out of the way: a compositor draws it into the picture."""
    s.mover(*APARTADO)
    return s.captura(rect)


def hasta_que(s, comprobacion, que, segundos=5):
    """Polls `comprobacion(captura)` on fresh screenshots until it stops failing (a compositor
    may still be fading a window in); the last failure says what was wrong."""
    ultimo = []

    def intento():
        c = leer(s)
        try:
            comprobacion(c)
            return c
        except FalloPrueba as e:
            ultimo[:] = [e, c]
            return None

    try:
        return s.esperar(intento, segundos, que)
    except FalloPrueba:
        if ultimo:
            ultimo[1].guardar(f"{s.salida_dir}/{s.nombre}-{que.replace(' ', '-')}.png")
            raise FalloPrueba(f"{que}: {ultimo[0]}") from None
        raise


def cerca(a, b, tolerancia=4):
    return all(abs(x - y) <= tolerancia for x, y in zip(a, b))


def entre(c, a, b, tolerancia=12):
    """c is a blend of colours a and b: on the straight line between them, as a partly covered
    pixel is, and not a shadow's darker colour or a fringe of some third colour."""
    i = max(range(3), key=lambda k: abs(a[k] - b[k]))
    t = (c[i] - b[i]) / (a[i] - b[i])
    return -0.02 <= t <= 1.02 and all(
        abs(c[k] - (t * a[k] + (1 - t) * b[k])) <= tolerancia for k in range(3))


def cruces_del_circulo(c):
    """The pixels along each of the circle's four diagonals, from 20 px inside its stroke to 20
    px outside it."""
    desde, hasta = int((RADIO - 25) / math.sqrt(2)), int((RADIO + 25) / math.sqrt(2))
    cx, cy = CENTRO
    return {(dx, dy): [c.pixel(cx + dx * k, cy + dy * k) for k in range(desde, hasta + 1)]
            for dx in (-1, 1) for dy in (-1, 1)}


def bordes_del_circulo(c):
    """7 x 7 pixels around each place where a diagonal crosses the stroke's inner or outer
    edge: a pixel straight on the diagonal may happen to be covered wholly or not at all."""
    cx, cy = CENTRO
    bloques = {}
    for dx in (-1, 1):
        for dy in (-1, 1):
            for r in (RADIO - 5, RADIO + 5):
                x, y = round(cx + dx * r / math.sqrt(2)), round(cy + dy * r / math.sqrt(2))
                bloques[(dx, dy, r)] = [c.pixel(xx, yy) for yy in range(y - 3, y + 4)
                                        for xx in range(x - 3, x + 4)]
    return bloques


def borde_suave(c):
    for direccion, colores in cruces_del_circulo(c).items():
        comprobar(colores[0] == colores[-1] == AZUL_TESTIGO,
                  f"the window beneath on both sides of the stroke {direccion}: {colores}")
        comprobar(ROJO in colores, f"the stroke's own colour across {direccion}: {colores}")
    for donde, colores in bordes_del_circulo(c).items():
        mezclas = [p for p in colores if p not in (ROJO, AZUL_TESTIGO)]
        comprobar(len(mezclas) >= 3, f"blended pixels along the edge at {donde}: {colores}")
        comprobar(all(entre(p, ROJO, AZUL_TESTIGO) for p in mezclas),
                  f"only blends of red and blue at {donde}: {mezclas}")


def borde_nitido(c):
    for direccion, colores in cruces_del_circulo(c).items():
        # Pixels along a diagonal lie 1.4 px apart: 10 px of stroke hold 7 of them.
        comprobar(6 <= colores.count(ROJO) <= 9 and colores[0] == colores[-1] == AZUL_TESTIGO,
                  f"a 10 px stroke across {direccion}: {colores}")
    for donde, colores in bordes_del_circulo(c).items():
        comprobar(set(colores) == {ROJO, AZUL_TESTIGO},
                  f"only red and blue along the edge at {donde}: {set(colores)}")


def sobre_flecha(cola, punta):
    """Points along and across the arrow: punto(atras, lado) lies `atras` px back from the tip
    towards the tail and `lado` px to one side."""
    largo = math.dist(cola, punta)
    ux, uy = (cola[0] - punta[0]) / largo, (cola[1] - punta[1]) / largo

    def punto(atras, lado=0):
        return (round(punta[0] + ux * atras - uy * lado), round(punta[1] + uy * atras + ux * lado))

    return punto, largo


def flechas(c):
    for cola, punta in FLECHAS:
        punto, largo = sobre_flecha(cola, punta)

        def ancho(atras):
            return sum(1 for lado in range(-40, 41) if not es_fondo(c, *punto(atras, lado)))

        que = f"arrow {cola} -> {punta}"
        comprobar(c.pixel(*punto(5)) == ROJO, f"{que}: red just behind the tip: "
                                              f"{c.pixel(*punto(5))}")
        delante = [c.pixel(*punto(-d)) for d in range(2, 12)]
        comprobar(all(es_fondo(c, *punto(-d)) for d in range(2, 12)),
                  f"{que}: nothing beyond the tip: {delante}")
        comprobar(c.pixel(*punto(largo - 3)) == ROJO, f"{que}: the shaft reaches the tail")
        asta, cola_ancho, cabeza = ancho(largo / 2), ancho(largo - 10), ancho(25)
        comprobar(9 <= asta <= 13 and 9 <= cola_ancho <= 13,
                  f"{que}: a 10 px shaft, no head at the tail: {asta}, {cola_ancho}")
        comprobar(cabeza >= asta + 10, f"{que}: the head wider than the shaft: {cabeza}")


def resaltado(c):
    negro, blanco = c.pixel(880, 275), c.pixel(1020, 275)
    comprobar(negro != blanco and AMARILLO not in (negro, blanco),
              f"two blends, not plain yellow: {negro} {blanco}")
    comprobar(cerca(negro, SOBRE_NEGRO) and cerca(blanco, SOBRE_BLANCO),
              f"yellow at 40 % over black and white: {negro} {blanco}")
    # Square ends: the corner a round end would cut off is marked too, and nothing beyond.
    comprobar(cerca(c.pixel(810, 265), SOBRE_NEGRO), f"a square end: {c.pixel(810, 265)}")
    for p, debajo in (((804, 275), NEGRO), ((880, 259), NEGRO), ((1020, 291), BLANCO),
                      ((1096, 275), BLANCO)):
        comprobar(c.pixel(*p) == debajo, f"untouched beside the marker at {p}: {c.pixel(*p)}")


def dibujar(s):
    """Windows of known colours, then drawing mode and the circle (1), four arrows (2-5) and the
    highlighter (6) over them: (the canvas, the window under the circle)."""
    testigo = s.testigo(*TESTIGO_CIRCULO)
    s.testigo(*TESTIGO_NEGRO, color=NEGRO)
    s.testigo(*TESTIGO_BLANCO, color=BLANCO)
    s.lanzar_tizo()
    v = s.dibujar_fondo()
    s.tecla("4")
    s.arrastrar(*CIRCULO)
    s.forma("1")
    s.tecla("6")
    for n, (cola, punta) in enumerate(FLECHAS, 2):
        s.arrastrar(*cola, *punta)
        s.forma(str(n))
    s.tecla("7")
    s.arrastrar(*RESALTADO)
    s.forma("6")
    return v, testigo


def comprobar_dibujo(s, borde):
    def todo(c):
        borde(c)
        flechas(c)
        resaltado(c)
        comprobar(c.contar(KEY_COLOR) == 0, "no key-coloured pixel anywhere")

    hasta_que(s, todo, "the drawing")
    s.guardar_captura("tinta")


def deshacer_y_rehacer(s, v):
    """Ctrl+Z twice takes the highlighter and the last arrow back, Ctrl+Y twice brings them
    again, where they were."""
    resaltador, flecha = s.forma("6"), s.forma("5")
    lugares = resaltador.rect, flecha.rect
    s.esperar(lambda: s.activa() == v.id, 5, "the canvas keeps the keys")
    s.tecla("ctrl+z")
    s.esperar(lambda: not resaltador.mapeada, 5, "Ctrl+Z takes the highlighter back")
    s.tecla("ctrl+z")
    s.esperar(lambda: not flecha.mapeada, 5, "Ctrl+Z takes the arrow back")
    hasta_que(s, lambda c: comprobar(c.pixel(1020, 275) == BLANCO and
                                     es_fondo(c, *FLECHAS[3][1]), "neither shows"),
              "both undone")
    s.esperar(lambda: s.activa() == v.id, 5, "the canvas keeps the keys")
    s.tecla("ctrl+y", "ctrl+y")
    for nombre, lugar in zip(("6", "5"), lugares):
        s.esperar(lambda: s.ventanas_por_nombre(nombre), 5, f"shape {nombre} back")
        de_vuelta = s.ventanas_por_nombre(nombre)[0].rect
        comprobar(de_vuelta == lugar, f"shape {nombre} where it was: {de_vuelta} {lugar}")


def trazar_efimera(s):
    """Fading ink along LASER: (its window, when the button was released)."""
    propias = {w.id for w in s.ventanas()}
    s.tecla("8")
    s.arrastrar(*LASER)
    soltado = time.monotonic()
    tinta = s.esperar(lambda: [w for w in s.ventanas() if w.id not in propias], 5,
                      "the fading ink's window")
    comprobar(len(tinta) == 1, f"one window for the fading ink: {tinta}")
    return tinta[0], soltado


def ni_formas_ni_icono(s):
    """The ids of the program's mapped windows other than its shapes and its tray icon: the
    canvas and what it holds, and fading ink."""
    iconos = {w.id for w in s.iconos_bandeja()}
    return {w.id for w in s.ventanas() if w.id not in iconos and not (w.nombre or "").isdigit()}


def efimera(s):
    """Fading ink: no shape and no step of the undo history, clicks through it reach the canvas
    beneath, shown a second after the release, gone by four leaving the screen as it was, and
    gone at once with drawing mode."""
    v = s.dibujar_con_la_orden()
    n = len(s.formas()) + 1
    s.tecla("1")
    s.arrastrar(300, 950, 700, 950)
    trazo = s.forma(str(n))
    antes = leer(s, ZONA_LASER)
    del_lienzo = ni_formas_ni_icono(s)
    tinta, soltado = trazar_efimera(s)
    comprobar(len(s.formas()) == n, f"not counted as a shape: {s.formas()}")
    # Ctrl+Z passes over it, to the stroke before.
    s.tecla("ctrl+z")
    s.esperar(lambda: not trazo.mapeada, 5, "Ctrl+Z takes the stroke before back")
    comprobar(tinta.mapeada, "the fading ink stays")
    s.esperar(lambda: s.activa() == v.id, 5, "the canvas keeps the keys")
    s.tecla("ctrl+y")
    s.esperar(lambda: s.ventanas_por_nombre(str(n)), 5, "Ctrl+Y brings the stroke again")
    # A click on it with the brush reaches the canvas, which leaves a dot: the next shape.
    s.esperar(lambda: s.activa() == v.id, 5, "the canvas keeps the keys")
    s.tecla("1")
    s.click(*LASER[:2])
    try:
        punto = s.forma(str(n + 1))
    except FalloPrueba:
        raise FalloPrueba("a click on the fading ink reaches the canvas beneath: no dot, "
                          f"shapes {[f.nombre for f in s.formas()]}") from None
    s.tecla("ctrl+z")
    s.esperar(lambda: not punto.mapeada, 5, "Ctrl+Z takes the dot back")

    time.sleep(max(0, soltado + 1 - time.monotonic()))
    comprobar(time.monotonic() - soltado < 2.5, "still before the fading")
    c = leer(s, ZONA_LASER)
    c.guardar(f"{s.salida_dir}/{s.nombre}-efimera.png")
    if c.contar(ROJO) < 2000:
        try:
            encima = s.encima_de(tinta)
        except Exception as e:  # the report must not hide the failure
            encima = repr(e)
        comprobar(False, f"shown a second after the release: {c.contar(ROJO)} red pixels, its "
                         f"window mapped {tinta.mapeada}, above it {encima}")
    time.sleep(max(0, soltado + 4 - time.monotonic()))
    comprobar(not tinta.existe, "its window is gone four seconds after the release")
    quedan = ni_formas_ni_icono(s) - del_lienzo
    comprobar(not quedan, f"no window of the program left for it: {quedan}")
    distintos, caja = leer(s, ZONA_LASER).distintos(antes)
    comprobar(distintos == 0,
              f"the screen as it was beneath: {distintos} pixels differ within {caja}")

    # Leaving drawing mode takes it at once, and the next canvas never shows it.
    tinta, soltado = trazar_efimera(s)
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 5, "Esc leaves drawing mode")
    s.esperar(lambda: not tinta.existe, 1, "the ink gone with drawing mode")
    comprobar(time.monotonic() - soltado < 2.5, "before it would have faded by itself")
    v = s.dibujar_con_la_orden()
    distintos, caja = leer(s, ZONA_LASER).distintos(antes)
    comprobar(distintos == 0, f"the next canvas shows the screen without the ink: {distintos} "
                              f"pixels differ within {caja}")
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 5, "Esc leaves drawing mode")


def clics_junto_al_circulo(s, testigo):
    """Out of drawing mode, 3 px inside the stroke and 3 px outside it (still within the circle's
    window) a click reaches the window beneath."""
    cx, cy = CENTRO
    for y in (cy - (RADIO - 5) + 3, cy - (RADIO + 5) - 3):
        antes = len(testigo.pulsaciones)
        s.click(cx, y)
        s.esperar(lambda: (s.leer_eventos(), len(testigo.pulsaciones) > antes)[1], 5,
                  f"a click at {(cx, y)} beside the circle's stroke reaches the window beneath")


def mover_y_borrar(s):
    """The arrow and the highlighter dragged by their ink, deleted with a click and Delete, and
    brought back by an undo where they were dragged to."""
    for nombre, agarre, destino in (("2", (450, 750), (450, 870)),
                                    ("6", (1020, 275), (1020, 520))):
        forma = s.forma(nombre)
        x, y, w, h = forma.rect
        dx, dy = destino[0] - agarre[0], destino[1] - agarre[1]
        s.arrastrar(*agarre, *destino)
        s.esperar(lambda: forma.rect == (x + dx, y + dy, w, h), 5,
                  f"shape {nombre} dragged by its ink: {forma.rect}")
        hasta_que(s, lambda c: comprobar(not es_fondo(c, *destino), "not the desktop"),
                  f"shape {nombre} shown where it was dragged")
        s.click(*destino)
        s.esperar(lambda: s.activa() == forma.id, 5, f"shape {nombre} clicked takes the keys")
        s.tecla("Delete")
        s.esperar(lambda: not s.ventanas_por_nombre(nombre), 5, f"Delete removes shape {nombre}")
        hasta_que(s, lambda c: comprobar(es_fondo(c, *destino), "the desktop"),
                  f"shape {nombre} gone from the screen")
        r = s.orden_tizo("--undo")
        comprobar(r.returncode == 0, f"--undo: {r.returncode} {r.stderr}")
        s.esperar(lambda: s.ventanas_por_nombre(nombre), 5, f"--undo brings shape {nombre} back")
        comprobar(s.ventanas_por_nombre(nombre)[0].rect == (x + dx, y + dy, w, h),
                  f"shape {nombre} back where it was dragged")
        hasta_que(s, lambda c: comprobar(not es_fondo(c, *destino), "not the desktop"),
                  f"shape {nombre} shown again")


def sesion_completa(s, borde):
    v, testigo = dibujar(s)
    deshacer_y_rehacer(s, v)
    comprobar_dibujo(s, borde)
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 5, "Esc leaves drawing mode")
    clics_junto_al_circulo(s, testigo)
    mover_y_borrar(s)
    efimera(s)


@en_escritorio("openbox")
def prueba_sin_compositor(s):
    sesion_completa(s, borde_nitido)


@en_escritorio("openbox-picom")
def prueba_con_picom(s):
    sesion_completa(s, borde_suave)


@en_escritorio("openbox-picom")
def prueba_con_picom_sin_suavizar(s):
    """Smooth ink turned off in the settings: crisp one-colour shapes under the compositor too,
    and the highlighter blended with the frozen screen as where none runs."""
    os.makedirs(os.path.dirname(s.archivo_ajustes()))
    with open(s.archivo_ajustes(), "w") as f:
        f.write("[Dibujo]\nSuave=false\n")
    v, _ = dibujar(s)
    comprobar_dibujo(s, borde_nitido)
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 5, "Esc leaves drawing mode")


@en_escritorio("kwin")
def prueba_con_kwin(s):
    v, testigo = dibujar(s)
    comprobar_dibujo(s, borde_suave)
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 5, "Esc leaves drawing mode")
    clics_junto_al_circulo(s, testigo)
    efimera(s)


ejecutar(globals())
