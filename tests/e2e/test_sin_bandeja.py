"""No notification area when Tizo starts: it runs on, says on stderr how to use it without one,
works from the command line, and its icon docks in a tray started later."""

from harness import Sesion, comprobar, ejecutar


def prueba_bandeja_despues(s):
    s.lanzar_tizo(esperar_icono=False)
    s.esperar(lambda: "no hay bandeja" in s.salida_tizo(), 10, "the hint on stderr")
    aviso = s.salida_tizo()
    comprobar("tizo --draw" in aviso and "F9" in aviso, f"how to draw without a tray: {aviso}")
    comprobar(s.tizo.poll() is None, "Tizo runs on")
    comprobar(s.iconos_bandeja() == [], "no icon anywhere")

    r = s.orden_tizo("--draw")
    comprobar(r.returncode == 0, f"tizo --draw: {r.returncode} {r.stderr}")
    lienzo = s.lienzo()
    s.esperar(lambda: s.activa() == lienzo.id, 5, "the canvas active")
    s.tecla("Escape")
    s.esperar(lambda: not lienzo.existe, 5, "drawing mode left")

    s.iniciar_bandeja("trayer")
    s.esperar(lambda: len(s.iconos_bandeja()) == 1 and s.iconos_bandeja()[0].mapeada, 20,
              "the icon docked in the tray started later")
    s.esperar(s._icono_quieto, 10, "the tray icon in its place")
    s.guardar_captura("icono")
    s.abrir_menu()
    s.tecla("Escape")
    s.esperar(lambda: s.menu_abierto() is None, 5, "menu closed")


def sesion(nombre, **argumentos):
    return Sesion(nombre, escritorio="openbox-sin-bandeja", **argumentos)


ejecutar(globals(), clase=sesion)
