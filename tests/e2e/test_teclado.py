"""The keyboard in drawing mode, as a presenter drives it: digits pick the tool, letters the
colour, + and - (and the wheel) the thickness, F1 the list of keys, and Esc leaves from whatever
window of the program holds the keys. What the keys choose is what the palette would have chosen:
kept in the settings file, shown by the palette, drawn by the next shape. A black screen is
frozen at once, like any other, and nothing asks a screenshot service on a real X server."""

import os
import time

from dibujo import GRIS, escribir_y_salir
from harness import (
    AZUL, BLANCO, ROJO, Paleta, comprobar, ejecutar, en_escritorio, es_fondo,
    leer_png, pantalla)

AMARILLO, VERDE, NEGRO = (255, 255, 0), (0, 255, 0), (0, 0, 0)
CENTRO = (960, 540)


def ajustes(s):
    """The settings file as {key: value} (sections left out)."""
    try:
        with open(s.archivo_ajustes()) as f:
            return dict(linea.strip().split("=", 1) for linea in f if "=" in linea)
    except FileNotFoundError:
        return {}


def esperar_ajustes(s, **valores):
    s.esperar(lambda: all(ajustes(s).get(k) == str(v) for k, v in valores.items()), 5,
              f"the settings file with {valores}: {ajustes(s)}")


def grosor_vertical(s, x, y0, y1, color):
    c = s.captura((x, y0, 1, y1 - y0))
    return sum(1 for yy in range(y0, y1) if c.pixel(x, yy) == color)


def ayuda_visible(s):
    """The list of keys covers the middle of the canvas."""
    c = s.captura((CENTRO[0] - 60, CENTRO[1] - 20, 120, 40))
    return sum(1 for yy in range(CENTRO[1] - 20, CENTRO[1] + 20)
               for xx in range(CENTRO[0] - 60, CENTRO[0] + 60) if not es_fondo(c, xx, yy)) > 2000


def sin_ayuda(s):
    c = s.captura((CENTRO[0] - 60, CENTRO[1] - 20, 120, 40))
    return all(es_fondo(c, xx, yy) for yy in range(CENTRO[1] - 20, CENTRO[1] + 20, 5)
               for xx in range(CENTRO[0] - 60, CENTRO[0] + 60, 5))


def prueba_teclas_como_la_paleta(s):
    s.lanzar_tizo()
    v = s.dibujar_fondo()
    # 3: rectangle; B: blue; + five times: 10 -> 15 pixels. Kept as the palette keeps them.
    s.tecla("3", "b", *["plus"] * 5)
    esperar_ajustes(s, Herramienta=2, Color=0xFF0000, Grosor=15)
    # The pointer shows the tool in its colour.
    ancho, alto, hx, hy, pixeles = s.imagen_puntero()
    comprobar((hx, hy) == (15, 15), f"the pointer's hot spot in its middle: {(hx, hy)}")
    comprobar(sum(1 for p in pixeles if p == (0, 0, 255, 255)) > 20,
              "the pointer drawn in blue")
    s.arrastrar(400, 300, 800, 600)
    s.forma("1")
    s.esperar(lambda: s.pixel(600, 300) == AZUL, 5, "a blue rectangle")
    grosor = grosor_vertical(s, 600, 270, 330, AZUL)
    comprobar(14 <= grosor <= 16, f"its edge 15 pixels thick: {grosor}")
    comprobar(es_fondo(s.captura((600, 450, 1, 1)), 600, 450), "hollow")
    s.guardar_captura("rectangulo-azul")

    # The palette opened afterwards shows what the keys chose.
    p = s.abrir_paleta(1400, 700)
    x, y = p.rect[:2]
    sx, sy, sw, sh = Paleta.SWATCH
    comprobar(s.pixel(x + sx + sw // 2, y + sy + sh // 2) == AZUL, "the palette shows blue")
    etiqueta = (x + Paleta.LBGROSOR[0], y + Paleta.LBGROSOR[1], Paleta.LBGROSOR[2],
                Paleta.LBGROSOR[3])
    opciones = (x + Paleta.OPCIONES[0], y + Paleta.OPCIONES[1], 129, 5 * 24)
    antes = s.captura(etiqueta).datos, s.captura(opciones).datos
    s.guardar_captura("paleta-tras-teclas", p.rect)
    # Choosing there what is already chosen changes nothing on it.
    Paleta.escribir_grosor(s, p, "15")
    s.click(*Paleta.opcion(p, Paleta.RECTANGULO))
    time.sleep(0.3)
    comprobar(s.captura(etiqueta).datos == antes[0], "the palette showed the thickness 15")
    comprobar(s.captura(opciones).datos == antes[1], "the palette showed the rectangle chosen")
    s.cerrar_paleta(p)

    # The wheel: up thicker, down thinner, 5 at a time with Shift; - thinner; the keypad's +.
    s.rueda(*CENTRO, arriba=True, veces=3)
    esperar_ajustes(s, Grosor=18)
    s.rueda(*CENTRO, arriba=False, mayus=True)
    esperar_ajustes(s, Grosor=13)
    s.tecla("minus", "minus", "KP_Add", "equal")
    esperar_ajustes(s, Grosor=13)
    s.rueda(*CENTRO, arriba=False, veces=40, mayus=True)
    esperar_ajustes(s, Grosor=1)  # never below the palette's limit
    s.tecla("1")
    s.arrastrar(300, 900, 900, 900)
    s.forma("2")
    s.esperar(lambda: s.pixel(600, 900) == AZUL, 5, "a blue stroke")
    comprobar(grosor_vertical(s, 600, 880, 920, AZUL) <= 2, "one pixel thick")

    # Letters with Caps Lock or Shift are the same letters.
    s.tecla("Caps_Lock", "y", "Caps_Lock")
    esperar_ajustes(s, Color=0x00FFFF)
    s.tecla("shift+g")
    esperar_ajustes(s, Color=0x00FF00, Herramienta=0)
    # Held with Ctrl, a letter is another command's: Ctrl+B changes nothing.
    s.tecla("ctrl+b")
    time.sleep(0.3)
    esperar_ajustes(s, Color=0x00FF00)
    comprobar(v.mapeada, "still drawing")


def prueba_lista_de_teclas(s):
    s.lanzar_tizo()
    v = s.dibujar_fondo()
    s.tecla("F1")
    s.esperar(lambda: ayuda_visible(s), 5, "the list of keys")
    s.guardar_captura("ayuda")
    # Not in the saved picture.
    s.tecla("ctrl+s")
    carpeta = os.path.join(s.imagenes, "Tizo")
    s.esperar(lambda: os.path.isdir(carpeta) and os.listdir(carpeta), 5, "the picture saved")
    guardada = leer_png(os.path.join(carpeta, os.listdir(carpeta)[0]))
    comprobar(all(es_fondo(guardada, xx, yy) for yy in range(CENTRO[1] - 20, CENTRO[1] + 20, 4)
                  for xx in range(CENTRO[0] - 60, CENTRO[0] + 60, 4)),
              "the saved picture shows the desktop where the list is")
    # Any key puts it away, and does what it does: Y is yellow.
    s.esperar(lambda: ayuda_visible(s), 5, "the list still shown after Ctrl+S")
    s.tecla("y")
    s.esperar(lambda: sin_ayuda(s), 5, "the list put away by a key")
    esperar_ajustes(s, Color=0x00FFFF)
    # ? shows it too; a click puts it away and draws nothing.
    s.tecla("question")
    s.esperar(lambda: ayuda_visible(s), 5, "the list of keys, from ?")
    s.click(*CENTRO)
    s.esperar(lambda: sin_ayuda(s), 5, "the list put away by a click")
    time.sleep(0.3)
    comprobar(not s.formas(), f"the click drew nothing: {s.formas()}")
    # F1 twice: shown, then put away.
    s.tecla("F1")
    s.esperar(lambda: ayuda_visible(s), 5, "the list again")
    s.tecla("F1")
    s.esperar(lambda: sin_ayuda(s), 5, "F1 puts it away")
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 5, "Esc leaves drawing mode")


def prueba_esc_desde_cualquier_ventana(s):
    s.lanzar_tizo()
    # After a click that leaves a dot, with the palette open, and on a shape clicked.
    v = s.dibujar_fondo()
    s.click(500, 500)
    s.forma("1")
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 5, "Esc after a click on the canvas")

    v = s.dibujar_fondo()
    p = s.abrir_paleta()
    s.tecla("Escape")
    s.esperar(lambda: not v.existe and (not p.existe or not p.mapeada), 5,
              "Esc on the palette closes it and leaves")

    v = s.dibujar_fondo()
    s.click(500, 500)
    uno = s.forma("1")
    s.esperar(lambda: s.activa() == uno.id, 5, "the clicked shape has the keys")
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 5, "Esc on a shape")
    comprobar(uno.mapeada, "the shape stays")

    # Ctrl+Z right after a stroke undoes it.
    v = s.dibujar_fondo()
    s.arrastrar(200, 700, 700, 700)
    dos = s.forma("2")
    s.tecla("ctrl+z")
    s.esperar(lambda: not dos.mapeada, 5, "Ctrl+Z undid the stroke")
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 5, "Esc after an undo")

    # A text being typed: a click elsewhere finishes it, and Esc finishes it and leaves.
    v = s.dibujar_fondo()
    s.tecla("5")
    s.click(300, 300)
    texto = s.forma("2")
    s.esperar(lambda: s.activa() == texto.id, 5, "the text has the keys")
    s.escribir("uno")
    s.tecla("1")  # a digit is typed into the text, not a tool
    s.click(900, 300)  # a click elsewhere: the first text is finished, a second one begins
    otro = s.forma("3")
    s.esperar(lambda: s.captura(texto.rect).contar(BLANCO) == 0, 5, "the first text finished")
    s.esperar(lambda: s.activa() == otro.id, 5, "the second text has the keys")
    escribir_y_salir(s, v, otro, "dos")
    comprobar(texto.rect[2] > 30, f"the digit went into the first text: {texto.rect}")
    s.guardar_captura("textos")


M = 1920, 1080


@pantalla(2 * M[0], M[1], [("L", 0, 0, *M), ("R", M[0], 0, *M)])
def prueba_esc_en_el_segundo_monitor(s):
    s.lanzar_tizo()
    s.orden_tizo("--draw")
    lienzos = s.esperar(lambda: (lambda l: l if len(l) == 2 else None)(
        [w for w in s.ventanas() if w.nombre == "Tizo"]), 10, "two canvases")
    s.esperar(lambda: s.activa() in [w.id for w in lienzos], 5, "a canvas has the keys")
    # A stroke on the right monitor, then Esc there: both close.
    s.tecla("4")
    s.arrastrar(2400, 400, 2800, 400)
    s.forma("1")
    s.tecla("Escape")
    s.esperar(lambda: not any(w.existe for w in lienzos), 5, "both canvases closed")


def abrir_sobre_negro(s):
    """Tizo over an all-black screen, with a screenshot portal on the session bus that records
    every request and never answers: the canvas comes at once, frozen, and nothing is asked."""
    portal = s.lanzar([os.environ.get("TIZO_PORTAL_MUDO", "build/tests/e2e/portal_mudo")])
    s.esperar(lambda: "listo" in s.salida(portal), 10, "the silent portal")
    s.lanzar_tizo(esperar_icono=False)
    # Started before `--draw` comes: else the command may take the single instance's place, and
    # the program started first leave as a second copy.
    s.esperar(lambda: "no hay bandeja" in s.salida_tizo(), 10, "Tizo started")
    s.poner_fondo(NEGRO)
    s.esperar(lambda: s.captura().contar(NEGRO) == s.ancho * s.alto, 5, "an all-black screen")
    inicio = time.monotonic()
    r = s.orden_tizo("--draw")
    comprobar(r.returncode == 0, f"--draw: {r.returncode} {r.stderr}")
    v = s.lienzo()
    s.esperar(lambda: s.activa() == v.id, 5, "the canvas active")
    tardo = time.monotonic() - inicio
    # Frozen: the live desktop turns grey, the canvas goes on showing black.
    s.poner_fondo(GRIS)
    time.sleep(0.3)
    c = s.captura((400, 400, 1, 1))
    s.guardar_captura("sobre-negro")
    comprobar(c.pixel(400, 400) == NEGRO,
              f"a frozen canvas, not the live desktop: {c.pixel(400, 400)}")
    comprobar("pedida" not in s.salida(portal), "no request to the screenshot portal")
    comprobar(tardo < 3, f"the canvas at once: {tardo:.2f} s")
    comprobar("congelar" not in s.salida_tizo(), f"no live canvas said: {s.salida_tizo()}")
    s.arrastrar(300, 300, 700, 300)
    s.forma("1")
    s.esperar(lambda: s.pixel(500, 300) == ROJO, 5, "a stroke over black")
    s.tecla("Escape")
    s.esperar(lambda: not v.existe, 5, "Esc leaves")


@en_escritorio("openbox-bus-sin-bandeja")
def prueba_pantalla_negra(s):
    abrir_sobre_negro(s)


@en_escritorio("openbox-picom-bus-sin-bandeja")
def prueba_pantalla_negra_con_compositor(s):
    abrir_sobre_negro(s)


ejecutar(globals())
