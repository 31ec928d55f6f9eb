"""What a presenter does without the tray, on a real X server: undo and redo of shapes, settings
kept between runs, the annotated screen saved as a PNG, and brush strokes that keep every segment
the canvas showed."""

import glob
import os
import re
import time

from dibujo import RECTANGULO, SALIR
from harness import (
    AZUL, KEY_COLOR, ROJO, Paleta, color_fondo, comprobar, ejecutar, es_fondo, leer_png)


def prueba_deshacer_y_rehacer(s):
    s.lanzar_tizo()
    v = s.dibujar_fondo()
    s.herramienta(RECTANGULO)
    s.arrastrar(200, 200, 500, 400)
    uno = s.forma("1")
    s.arrastrar(700, 200, 1000, 400)
    dos = s.forma("2")
    lugar_uno, lugar_dos = uno.rect, dos.rect

    # The canvas keeps the keys after a release: Ctrl+Z takes the stroke just drawn back.
    s.esperar(lambda: s.activa() == v.id, 5, "the canvas keeps the keys")
    s.tecla("ctrl+z")
    s.esperar(lambda: not dos.mapeada, 5, "Ctrl+Z takes the last shape back")
    s.esperar(lambda: es_fondo(s.captura((850, 200, 1, 1)), 850, 200), 5, "the canvas shows")
    comprobar(uno.mapeada, "the first one stays")
    s.esperar(lambda: s.activa() in (v.id, uno.id), 5, "a window of Tizo active")
    s.tecla("ctrl+shift+z")
    s.esperar(lambda: s.pixel(850, 200) == ROJO, 5, "Ctrl+Shift+Z brings it back")
    s.esperar(lambda: s.ventanas_por_nombre("2"), 5, "shape 2 back")
    dos = s.ventanas_por_nombre("2")[0]
    comprobar(dos.rect == lugar_dos, f"where it was: {dos.rect} {lugar_dos}")

    # Delete, then Ctrl+Z restores it at its place.
    s.click(200, 300)  # on the first one's left edge: it takes the keys
    s.esperar(lambda: s.activa() == uno.id, 5, "the first shape active")
    s.tecla("Delete")
    s.esperar(lambda: not s.ventanas_por_nombre("1"), 5, "Delete removes it")
    s.esperar(lambda: es_fondo(s.captura((200, 300, 1, 1)), 200, 300), 5, "gone from the screen")
    s.click(1000, 300)  # the other one takes the keys
    s.tecla("ctrl+z")
    s.esperar(lambda: s.pixel(200, 300) == ROJO, 5, "Ctrl+Z restores the deleted shape")
    comprobar(s.ventanas_por_nombre("1")[0].rect == lugar_uno, "at its place")
    s.guardar_captura("deshacer-supr")

    # " Borrar Todo", then tizo --undo brings them all back.
    s.elegir(" Borrar Todo")
    s.esperar(lambda: not s.ventanas_por_nombre("1") and not s.ventanas_por_nombre("2"), 5,
              "all deleted")
    r = s.orden_tizo("--undo")
    comprobar(r.returncode == 0, f"--undo: {r.returncode} {r.stderr}")
    s.esperar(lambda: s.pixel(200, 300) == ROJO and s.pixel(850, 200) == ROJO, 5,
              "--undo brings all back")
    comprobar(s.ventanas_por_nombre("1")[0].rect == lugar_uno, "the first at its place")
    comprobar(s.ventanas_por_nombre("2")[0].rect == lugar_dos, "the second at its place")
    r = s.orden_tizo("--redo")
    s.esperar(lambda: not s.ventanas_por_nombre("1") and not s.ventanas_por_nombre("2"), 5,
              "--redo clears them again")

    # Outside drawing mode too, and a drag is a step.
    s.orden_tizo("--deshacer")
    s.esperar(lambda: s.ventanas_por_nombre("2"), 5, "back again")
    s.orden_tizo("--draw")
    s.esperar(lambda: not v.existe, 5, "drawing mode left")
    dos = s.ventanas_por_nombre("2")[0]
    s.arrastrar(700, 300, 800, 500)
    s.esperar(lambda: dos.rect[:2] == (lugar_dos[0] + 100, lugar_dos[1] + 200), 5, "dragged")
    s.esperar(lambda: s.activa() == dos.id, 5, "the dragged shape active")
    s.tecla("ctrl+z")
    s.esperar(lambda: dos.rect == lugar_dos, 5, "Ctrl+Z puts it back")
    s.tecla("ctrl+y")
    s.esperar(lambda: dos.rect[:2] == (lugar_dos[0] + 100, lugar_dos[1] + 200), 5,
              "Ctrl+Y moves it again")


def prueba_ajustes_entre_sesiones(s):
    s.lanzar_tizo()
    comprobar(not os.path.exists(s.archivo_ajustes()), "no settings file before the first run")
    s.dibujar_fondo()
    p = s.abrir_paleta()
    x, y = p.rect[:2]
    s.click(x + Paleta.TIRA[0] + 5, y + Paleta.TIRA[1] + 170)  # blue
    Paleta.escribir_grosor(s, p, "25")
    etiqueta = (x + Paleta.LBGROSOR[0], y + Paleta.LBGROSOR[1], Paleta.LBGROSOR[2],
                Paleta.LBGROSOR[3])
    s.esperar(lambda: s.captura(etiqueta).contar((255, 255, 255)) < 25 * 17, 5, "25 shown")
    veinticinco = s.captura(etiqueta).datos
    s.cerrar_paleta(p)
    # Written as the palette closes.
    s.esperar(lambda: os.path.exists(s.archivo_ajustes()), 5, "settings written")
    with open(s.archivo_ajustes()) as f:
        texto = f.read()
    comprobar("Color=16711680" in texto and "Grosor=25" in texto, f"in the file:\n{texto}")

    r = s.orden_tizo("--quit")
    comprobar(r.returncode == 0 and s.tizo.wait(10) == 0, "quit")
    s.tizo = None
    s.lanzar_tizo()
    s.dibujar_fondo()
    p = s.abrir_paleta()
    x, y = p.rect[:2]
    sx, sy, sw, sh = Paleta.SWATCH
    s.guardar_captura("ajustes-paleta", p.rect)
    comprobar(s.pixel(x + sx + sw // 2, y + sy + sh // 2) == AZUL, "the palette shows blue")
    etiqueta = (x + Paleta.LBGROSOR[0], y + Paleta.LBGROSOR[1], Paleta.LBGROSOR[2],
                Paleta.LBGROSOR[3])
    comprobar(s.captura(etiqueta).datos == veinticinco, "and the thickness 25")
    s.cerrar_paleta(p)
    s.arrastrar(300, 800, 900, 800)
    s.forma("1")
    s.esperar(lambda: s.pixel(600, 800) == AZUL, 5, "blue stroke")
    c = s.captura((600, 750, 1, 100))
    grosor = sum(1 for yy in range(750, 850) if c.pixel(600, yy) == AZUL)
    comprobar(24 <= grosor <= 26, f"25 pixels thick: {grosor}")


def prueba_ajustes_estropeados(s):
    os.makedirs(os.path.dirname(s.archivo_ajustes()))
    with open(s.archivo_ajustes(), "wb") as f:
        f.write(b"[Dibujo]\nColor=65280\nGrosor=9999\nHerramienta=uno\n")
    s.lanzar_tizo()
    s.esperar(lambda: "Grosor" in s.salida_tizo() and "Herramienta" in s.salida_tizo(), 5,
              "the dropped values said on stderr")
    s.dibujar_fondo()
    s.arrastrar(300, 800, 900, 800)  # the default brush, 10 pixels, in the colour that loaded
    s.forma("1")
    s.esperar(lambda: s.pixel(600, 800) == (0, 255, 0), 5, "green stroke")
    c = s.captura((600, 750, 1, 100))
    grosor = sum(1 for yy in range(750, 850) if c.pixel(600, yy) == (0, 255, 0))
    comprobar(9 <= grosor <= 11, f"the default thickness: {grosor}")


def prueba_guardar_pantalla(s):
    s.lanzar_tizo()
    s.dibujar_fondo()
    s.herramienta(RECTANGULO)
    s.arrastrar(400, 300, 800, 600)
    s.forma("1")
    s.tecla("ctrl+s")
    carpeta = os.path.join(s.imagenes, "Tizo")
    archivos = s.esperar(lambda: glob.glob(os.path.join(carpeta, "*.png")), 10, "a PNG")
    comprobar(len(archivos) == 1, f"one file: {archivos}")
    nombre = os.path.basename(archivos[0])
    # Where it went is said: by the desktop's notifications where a service shows them, and on
    # stderr here, where none runs.
    s.esperar(lambda: "Imagen guardada en" in s.salida_tizo() and nombre in s.salida_tizo(), 5,
              "where it went, said")
    comprobar(re.fullmatch(r"tizo-\d{8}-\d{6}\.png", nombre), f"named by the time: {nombre}")
    comprobar(not glob.glob(os.path.join(carpeta, ".*")), "no temporary file left")
    imagen = leer_png(archivos[0])
    comprobar((imagen.ancho, imagen.alto) == (1920, 1080), "the whole screen")
    for p in ((600, 300), (400, 450), (800, 450), (600, 600)):
        comprobar(imagen.pixel(*p) == ROJO, f"the rectangle at {p}: {imagen.pixel(*p)}")
    for p in ((600, 450), (100, 100), (1500, 900), (SALIR[0] + 24, SALIR[1] + 24)):
        comprobar(imagen.pixel(*p) == color_fondo(*p), f"the desktop at {p}: {imagen.pixel(*p)}")
    comprobar(imagen.contar(KEY_COLOR) == 0, "no key colour")

    # A second save never overwrites the first.
    s.tecla("ctrl+s")
    s.esperar(lambda: len(glob.glob(os.path.join(carpeta, "*.png"))) == 2, 10, "a second PNG")

    # A folder that cannot be made: said, and nothing written.
    os.rename(carpeta, carpeta + ".antes")
    with open(carpeta, "w") as f:
        f.write("not a folder")
    s.tecla("ctrl+s")
    s.esperar(lambda: "no se pudo guardar" in s.salida_tizo(), 5, "the failure said")
    time.sleep(0.3)
    comprobar(s.salida_tizo().lower().count("no se pudo guardar") == 1,
              f"said once: {s.salida_tizo()}")
    comprobar(len(glob.glob(os.path.join(s.imagenes, "**", "*.png"), recursive=True)) == 2,
              "nothing more written, the earlier files stay")


def prueba_guardar_como_se_ve(s):
    """Shapes that cross are saved stacked as the screen shows them, not in drawing order."""
    s.lanzar_tizo()
    s.dibujar_fondo()
    s.arrastrar(300, 500, 900, 500)  # red
    s.forma("1")
    p = s.abrir_paleta()
    s.click(p.rect[0] + Paleta.TIRA[0] + 5, p.rect[1] + Paleta.TIRA[1] + 170)  # blue
    s.cerrar_paleta(p)
    s.arrastrar(600, 300, 600, 700)
    s.forma("2")
    s.esperar(lambda: s.pixel(600, 500) == AZUL, 5, "the newer shape on top")
    s.click(400, 500)  # the older one is raised
    s.esperar(lambda: s.pixel(600, 500) == ROJO, 5, "the older shape raised")
    s.tecla("ctrl+s")
    archivos = s.esperar(lambda: glob.glob(os.path.join(s.imagenes, "Tizo", "*.png")), 10, "PNG")
    imagen = leer_png(archivos[0])
    comprobar(imagen.pixel(600, 500) == ROJO, f"saved as seen: {imagen.pixel(600, 500)}")
    comprobar(imagen.pixel(600, 400) == AZUL and imagen.pixel(400, 500) == ROJO, "both shapes")


def prueba_trazo_completo(s):
    """Press at (300, 300), move to (600, 300), (600, 600), (900, 600), release: the canvas shows
    all three segments while drawing, and the shape holds exactly what the canvas showed."""
    s.lanzar_tizo()
    s.dibujar_fondo()
    s.mover(300, 300)
    s.pausa()
    s.pulsar()
    for x, y in ((600, 300), (600, 600), (900, 600)):
        s.pausa(0.15)
        s.mover(x, y)
    s.esperar(lambda: s.pixel(750, 600) == ROJO, 5, "the last segment painted")
    zona = (280, 280, 640, 340)
    antes = s.captura(zona)
    s.guardar_captura("trazo-lienzo", zona)
    for p in ((300, 300), (450, 300), (600, 450), (750, 600), (900, 600)):
        comprobar(antes.pixel(*p) == ROJO, f"the canvas shows {p}")
    s.soltar()
    v = s.forma("1")
    s.esperar(lambda: v.mapeada, 5, "the shape shown")
    time.sleep(0.3)
    despues = s.captura(zona)
    s.guardar_captura("trazo-forma", zona)
    rojos = lambda c: {(x, y) for y in range(c.y0, c.y0 + c.alto)
                       for x in range(c.x0, c.x0 + c.ancho) if c.pixel(x, y) == ROJO}
    antes_rojos, despues_rojos = rojos(antes), rojos(despues)
    comprobar(antes_rojos == despues_rojos,
              f"the shape is the stroke: {len(antes_rojos - despues_rojos)} pixels lost, "
              f"{len(despues_rojos - antes_rojos)} added")


ejecutar(globals())
