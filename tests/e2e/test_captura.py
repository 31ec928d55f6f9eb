"""A capture that comes from elsewhere (a screenshot service's picture) is uploaded once and shown
by the canvas pixel for pixel: a large one, sent through shared memory, and a small one, past
which the canvas is white."""

import os

from harness import BLANCO, comprobar, ejecutar


def mostrar(s, ancho, alto):
    s.lanzar([os.environ.get("TIZO_CAPTURA_PRUEBA", "build/tests/e2e/captura_prueba"),
              str(ancho), str(alto)])
    return s.esperar(lambda: [v for v in s.ventanas("captura_prueba") if v.nombre == "Tizo"],
                     10, "the canvas")[0]


def color(x, y):
    return (x % 256, y % 256, 77)


def comprobar_imagen(s, ancho, alto):
    s.esperar(lambda: s.pixel(300, 200) == color(300, 200), 5, "the picture shown")
    c = s.captura()
    s.guardar_captura(f"{ancho}x{alto}")
    sx, sy, lado, _ = s.imagen_salida()
    for x in range(0, s.ancho, 61):
        for y in range(0, s.alto, 47):
            if sx <= x < sx + lado and y < sy + lado:
                continue  # the exit image
            if x > s.ancho - 200 and y > s.alto - 40:
                continue  # the tray
            esperado = color(x, y) if x < ancho and y < alto else BLANCO
            comprobar(c.pixel(x, y) == esperado, f"at {(x, y)}: {c.pixel(x, y)}, not {esperado}")


def prueba_captura_grande(s):
    mostrar(s, s.ancho, s.alto)
    comprobar_imagen(s, s.ancho, s.alto)


def prueba_captura_pequena(s):
    mostrar(s, 640, 360)
    comprobar_imagen(s, 640, 360)


ejecutar(globals())
