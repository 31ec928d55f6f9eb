"""The tray icon, its menu, the about box, a second copy and Salir, on a real X server."""

import subprocess
import time

from harness import comprobar, ejecutar


def prueba_icono_y_tip(s):
    s.lanzar_tizo()
    icono = s.icono()
    comprobar(icono.mapeada, "the icon is docked in the tray")
    x, y = icono.centro
    s.mover(x - 3, y)
    s.mover(x, y)
    tip = s.esperar(lambda: s.ventanas(tipo="tooltip"), 10, "tooltip")[0]
    comprobar(tip.mapeada, "tooltip shown")
    s.guardar_captura("tip")
    # the program shows no window of its own at start: only the icon (and the tooltip now)
    iconos = {v.id for v in s.iconos_bandeja()}
    visibles = [v for v in s.ventanas() if v.id not in iconos and v.rect[2] > 1]
    comprobar([v.id for v in visibles] == [tip.id], f"nothing else is shown at start: {visibles}")


def separadores(captura, rect):
    """Rows of the menu crossed edge to edge by one colour that is not the menu's background."""
    x, y, w, h = rect
    fondo = captura.pixel(x + w // 2, y + 2)
    filas = []
    for yy in range(y + 1, y + h - 1):
        colores = {captura.pixel(xx, yy) for xx in range(x + w // 4, x + 3 * w // 4)}
        if len(colores) == 1 and fondo not in colores:
            filas.append(yy)
    grupos = [f for i, f in enumerate(filas) if i == 0 or filas[i - 1] != f - 1]
    return grupos


def prueba_menu_al_soltar(s):
    s.lanzar_tizo()
    x, y = s.icono().centro
    for boton in (1, 3):
        # a press held without release opens nothing
        s.mover(x, y)
        s.pulsar(boton)
        time.sleep(0.4)
        s.leer_eventos()
        comprobar(s.menu_abierto() is None, f"no menu on press of button {boton}")
        s.soltar(boton)
        menu = s.esperar(s.menu_abierto, 5, f"menu on release of button {boton}")
        # The menu is mapped before it is painted: wait for its picture, not only its window.
        s.esperar(lambda: len(separadores(s.captura(), menu.rect)) == 2, 5, "two separators")
        s.guardar_captura(f"menu-{boton}")
        mx, my, mw, mh = menu.rect
        comprobar(mh > 5 * 16, f"five items fit: height {mh}")
        s.tecla("Escape")
        s.esperar(lambda: s.menu_abierto() is None, 5, "menu closed")
    # the middle button and plain moves do nothing
    s.click(x, y, 2)
    s.mover(x + 2, y + 2)
    time.sleep(0.4)
    comprobar(s.menu_abierto() is None, "no menu for the middle button")


def prueba_acerca_de(s):
    s.lanzar_tizo()
    s.elegir(" Tizo")
    caja = s.ventana(lambda v: v.rect[2:] == (283, 170), "about box", 5)
    x, y, w, h = caja.rect
    comprobar((x, y) == ((1920 - 283) // 2, (1080 - 170) // 2), f"centred: {caja.rect}")
    captura = s.captura(caja.rect)
    s.guardar_captura("acerca", caja.rect)
    # black picture, with the grey version text in its lower right corner
    comprobar(captura.pixel(x + 5, y + 5) == (0, 0, 0), "black background")
    version = (x + 192, y + 152, 73, 17)
    grises = sum(1 for yy in range(version[1], version[1] + 17)
                 for xx in range(version[0], version[0] + 73)
                 if captura.pixel(xx, yy) != (0, 0, 0))
    comprobar(grises > 20, "the version is written in the lower right corner")
    # a click on the version text keeps it; on the picture it closes
    s.click(x + 192 + 60, y + 152 + 8)
    time.sleep(0.3)
    comprobar(caja.mapeada, "a click on the version text keeps the box")
    s.click(x + 40, y + 40)
    s.esperar(lambda: not caja.existe or not caja.mapeada, 5, "about box closed")


def prueba_segunda_copia(s):
    primera = s.lanzar_tizo()
    inicio = time.monotonic()
    segunda = subprocess.run([s.entorno.get("TIZO_BIN", "build/tizo")], env=s.entorno,
                             capture_output=True, timeout=10)
    comprobar(segunda.returncode == 0, f"second copy exits 0, got {segunda.returncode}")
    comprobar(time.monotonic() - inicio < 1.0, "second copy leaves within a second")
    time.sleep(0.3)
    comprobar(len(s.iconos_bandeja()) == 1, "still exactly one tray icon")
    comprobar(primera.poll() is None, "the first copy runs on")


def prueba_salir(s):
    p = s.lanzar_tizo()
    s.elegir(" Salir")
    codigo = p.wait(15)
    comprobar(codigo == 0, f"exit status 0, got {codigo}:\n{s.salida_tizo()}")
    comprobar(s.iconos_bandeja() == [], "the icon is gone")
    # the lock went with it: a new copy starts
    s.tizo = None
    s.lanzar_tizo()


ejecutar(globals())
