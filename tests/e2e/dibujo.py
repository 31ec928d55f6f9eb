"""Drawing mode as the scenarios drive it: the canvas, its exit image, the palette, the shapes."""

from harness import ANCHO, ROJO, Paleta, color_fondo

GRIS = (90, 90, 90)
SALIR = (1871, 3, 48, 48)  # the exit image: 40 twips down, 20 from the right edge
PINCEL, LINEA, RECTANGULO, CIRCULO, TEXTO = range(5)


def es_fondo(c, x, y):
    """The screenshot c shows the desktop pattern at (x, y)."""
    return c.pixel(x, y) == color_fondo(x, y)


def lienzo(s):
    return s.ventana(lambda v: v.nombre == "Tizo" and v.rect[2] == ANCHO, "the canvas")


def dibujar_fondo(s):
    """" Dibujar Fondo" from the tray menu, until the canvas is active and painted."""
    s.elegir(" Dibujar Fondo")
    v = lienzo(s)
    s.esperar(lambda: s.activa() == v.id, 5, "the canvas active")
    s.esperar(lambda: salida_visible(s.captura(SALIR)), 5, "the exit image painted")
    return v


def salida_visible(c, x=SALIR[0], y=SALIR[1]):
    """The exit image shows at (x, y) of the screenshot c."""
    return sum(1 for yy in range(y, y + 48) for xx in range(x, x + 48) if not es_fondo(c, xx, yy)) > 300


def formas(s):
    return [v for v in s.ventanas() if v.nombre and v.nombre.isdigit()]


def forma(s, nombre):
    return s.esperar(lambda: [v for v in formas(s) if v.nombre == nombre], 10, f"shape {nombre}")[0]


def abrir_paleta(s, x=960, y=540):
    s.click(x, y, 3)
    p = s.ventana(lambda v: v.nombre == "Herramientas", "palette")
    tx, ty = Paleta.TIRA
    s.esperar(lambda: s.pixel(p.rect[0] + tx, p.rect[1] + ty) == ROJO, 5, "palette painted")
    return p


def cerrar_paleta(s, p):
    s.click(p.rect[0] + Paleta.CERRAR[0] + 8, p.rect[1] + Paleta.CERRAR[1] + 8)
    s.esperar(lambda: not p.existe or not p.mapeada, 5, "palette closed")


def herramienta(s, tipo):
    p = abrir_paleta(s)
    s.click(*Paleta.opcion(p, tipo))
    cerrar_paleta(s, p)
