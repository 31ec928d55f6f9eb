"""Names the drawing-mode scenarios share; the drawing itself is driven through harness.Sesion."""

from harness import Paleta

GRIS = (90, 90, 90)  # a live desktop unlike the captured pattern
SALIR = (1871, 3, 48, 48)  # the exit image on a 1920 x 1080 screen: 40 twips down, 20 from the right
PINCEL, LINEA, RECTANGULO, CIRCULO, TEXTO = (
    Paleta.PINCEL, Paleta.LINEA, Paleta.RECTANGULO, Paleta.CIRCULO, Paleta.TEXTO)
