"""Names the drawing-mode scenarios share; the drawing itself is driven through harness.Sesion."""

from harness import BLANCO, ROJO, Paleta, comprobar

GRIS = (90, 90, 90)  # a live desktop unlike the captured pattern
SALIR = (1871, 3, 48, 48)  # the exit image on a 1920 x 1080 screen: 40 twips down, 20 from the right
PINCEL, LINEA, RECTANGULO, CIRCULO, TEXTO = (
    Paleta.PINCEL, Paleta.LINEA, Paleta.RECTANGULO, Paleta.CIRCULO, Paleta.TEXTO)


def editar_otra_vez(s, texto):
    """A click on the letters of the finished text `texto` edits it again: it turns white
    behind its letters, and "!" typed makes it grow. Return is left to the caller."""
    x, y, w, h = texto.rect
    # The pointer away first: drawn in the text's colour, it would pass for a letter where the
    # screenshot shows it.
    s.mover(s.ancho - 5, s.alto // 2)
    c = s.captura(texto.rect)
    letra = next((xx, yy) for yy in range(y, y + h) for xx in range(x, x + w)
                 if c.pixel(xx, yy) == ROJO)
    s.click(*letra)
    s.esperar(lambda: s.captura(texto.rect).contar(BLANCO) > w * h // 2, 5, "editing again")
    s.escribir("!")
    s.esperar(lambda: texto.rect[2] > w, 5, "the text grows")


def escribir_y_salir(s, lienzo, texto, palabra):
    """Types `palabra` into the text shape `texto` being typed, then Esc: the text is finished
    (nothing white around its letters, which stay) and drawing mode is left."""
    s.escribir(palabra)
    s.tecla("Escape")
    s.esperar(lambda: not lienzo.existe, 5, "Esc while typing leaves drawing mode")
    s.esperar(lambda: s.captura(texto.rect).contar(BLANCO) == 0, 5, "Esc finished the text")
    comprobar(s.captura(texto.rect).contar(ROJO) > 30, "its letters stay")
