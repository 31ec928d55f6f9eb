"""A 3840 x 2160 screen, also with the program scaled twice: the canvas shows the captured
desktop unscaled, and a rectangle and a brush stroke land where they were drawn, with no
key-coloured pixel anywhere."""

from dibujo import GRIS
from harness import KEY_COLOR, ROJO, Paleta, comprobar, ejecutar, es_fondo

ANCHO_4K, ALTO_4K = 3840, 2160


def dibujar(s, escala):
    if escala != 1:
        s.escalar(escala)
    s.lanzar_tizo()
    s.dibujar_fondo()
    # The capture shows pixel for pixel, over the whole screen, though the desktop has changed.
    s.poner_fondo(GRIS)
    c = s.captura()
    sx, sy, lado, _ = s.imagen_salida()
    muestras = [(x, y) for x in range(0, s.ancho, 173) for y in range(0, s.alto, 131)
                if not (sx <= x < sx + lado and y < sy + lado)
                and not (x > s.ancho - 300 and y > s.alto - 50)]  # the tray
    distintos = [(p, c.pixel(*p)) for p in muestras if not es_fondo(c, *p)]
    comprobar(not distintos, f"the captured desktop, unscaled: {distintos[:5]}")

    # A brush stroke from (600, 500) to (3000, 900), screen pixels.
    s.arrastrar(600, 500, 3000, 900, pasos=24)
    pincel = s.forma("1")
    s.esperar(lambda: s.pixel(1800, 700) == ROJO, 5, "the stroke on the screen")

    # A rectangle from (1000, 1200) to (2600, 1900), dragged up from its lower right corner.
    s.herramienta(Paleta.RECTANGULO)
    s.arrastrar(2600, 1900, 1000, 1200, pasos=24)
    rectangulo = s.forma("2")
    s.esperar(lambda: s.pixel(1800, 1200) == ROJO, 5, "the rectangle on the screen")

    s.tecla("Escape")  # the new shape has the keys
    s.click(sx + lado // 2, sy + lado // 2)  # the exit image
    s.esperar(lambda: not [v for v in s.ventanas() if v.nombre == "Tizo"], 5, "left drawing mode")
    c = s.captura()
    s.guardar_captura(f"escala{escala}")
    # Pen 10, in the program's pixels: its margin around each shape.
    margen = 10 * escala
    x, y, w, h = pincel.rect
    comprobar(abs(x - (600 - margen)) <= escala and abs(y - (500 - margen)) <= escala
              and abs(w - (2400 + 2 * margen)) <= 2 * escala
              and abs(h - (400 + 2 * margen)) <= 2 * escala, f"the stroke's window: {pincel.rect}")
    x, y, w, h = rectangulo.rect
    comprobar(abs(x - (1000 - margen)) <= escala and abs(y - (1200 - margen)) <= escala
              and abs(w - (1600 + 2 * margen)) <= 2 * escala
              and abs(h - (700 + 2 * margen)) <= 2 * escala, f"the rectangle's window: {rectangulo.rect}")
    for p in ((1800, 700), (1000, 1500), (2600, 1500), (1800, 1200), (1800, 1900), (1000, 1200)):
        comprobar(c.pixel(*p) == ROJO, f"stroke at {p}: {c.pixel(*p)}")
    for p in ((1800, 1550), (1800, 740), (1800, 660), (990 - margen, 1500), (1800, 1915 + margen)):
        comprobar(c.pixel(*p) == GRIS, f"the live desktop at {p}: {c.pixel(*p)}")
    comprobar(c.contar(KEY_COLOR) == 0, "no key-coloured pixel")


def prueba_formas_en_4k(s):
    dibujar(s, 1)


def prueba_formas_en_4k_a_escala_2(s):
    dibujar(s, 2)


ejecutar(globals(), ANCHO_4K, ALTO_4K)
