"""Memory over a drawing session on a real X server: screen-wide strokes cost the program little
memory each, and " Borrar Todo" gives it back."""

import os
import time

from harness import comprobar, ejecutar

TRAZOS = 20
MB = 1024  # kB


def trazo(s, n):
    """The n-th brush stroke, with real input: from its own point on the left edge, where no
    other stroke passes (a press on a shape would drag it), zigzagging across the screen, clear
    of the tray icon and the exit image on the right. The first move only starts a stroke."""
    vueltas = 12
    recorrido = [(10, 30 + 45 * n), (11, 30 + 45 * n)]
    recorrido += [(10 + (s.ancho - 170) * i / vueltas, 20 if i % 2 else s.alto - 60)
                  for i in range(1, vueltas + 1)]
    s.mover(*recorrido[0])
    s.pausa()
    s.pulsar()
    for punto in recorrido:
        s.mover(*punto)
        s.pausa(0.005)
    s.soltar()
    s.pausa()


def memoria_estable(s):
    """The program's resident memory once it stops changing (it gives memory back when idle)."""
    anterior = [s.memoria_tizo()]

    def quieta():
        time.sleep(0.2)
        actual = s.memoria_tizo()
        igual = abs(actual - anterior[0]) < 64
        anterior[0] = actual
        return igual

    s.esperar(quieta, 10, "the program's memory to settle")
    return anterior[0]


def prueba_trazos_grandes(s):
    # The sanitizer's allocator keeps freed blocks in quarantine: with it, every block the program
    # frees would still count as resident here.
    s.entorno["ASAN_OPTIONS"] = os.environ.get("ASAN_OPTIONS", "") + ":quarantine_size_mb=0"
    s.lanzar_tizo()
    s.dibujar_fondo()
    # What the first shape loads for good (code, fonts, caches) is not what the test measures.
    trazo(s, 0)
    # Every shape shows the program's icon, one shared picture.
    comprobar(s.forma("1")._prop("_NET_WM_ICON"), "the shape window has the program's icon")
    s.elegir(" Borrar Todo")
    s.esperar(lambda: not s.formas(), 5, "no shapes")
    antes = memoria_estable(s)

    for i in range(TRAZOS):
        trazo(s, i)
        s.forma(str(i + 1))
    x, y, w, h = s.forma(str(TRAZOS)).rect
    comprobar(w > s.ancho * 0.8 and h > s.alto * 0.8, f"screen-wide shapes: {w} x {h}")
    con_formas = memoria_estable(s)
    comprobar(con_formas - antes < 20 * MB,
              f"{TRAZOS} shapes hold little: {antes} kB before, {con_formas} kB after")

    s.elegir(" Borrar Todo")
    s.esperar(lambda: not s.formas(), 10, "the shapes deleted")
    despues = memoria_estable(s)
    print(f"resident: {antes} kB before drawing, {con_formas} kB with {TRAZOS} shapes, "
          f"{despues} kB after Borrar Todo", flush=True)
    comprobar(despues <= antes * 1.10,
              f"memory given back: {antes} kB before drawing, {despues} kB after Borrar Todo")


ejecutar(globals())
