"""The language of the user interface follows the messages locale: English for English locales,
Spanish (the program's own) for every other one and for C. Read as a screen reader reads the tray
menu, and from the palette's window title."""

from accesibilidad import Accesibilidad
from harness import comprobar, ejecutar

ESPANOL = [" Tizo", " Dibujar Fondo", " Borrar Todo", None, " Mostrar / Ocultar", None, " Salir"]
INGLES = [" Tizo", " Draw on Screen", " Clear All", None, " Show / Hide", None, " Quit"]

# (what the environment says, the menu it gives, the palette's title)
CASOS = [
    ({"LANG": "en_US.UTF-8"}, INGLES, "Tools"),
    ({"LANG": "es_ES.UTF-8"}, ESPANOL, "Herramientas"),
    ({"LANG": "en_GB.UTF-8", "LC_MESSAGES": "fr_FR.UTF-8"}, ESPANOL, "Herramientas"),
    ({"LANG": "de_DE.UTF-8", "LANGUAGE": "de:en"}, INGLES, "Tools"),
    ({"LANG": "C", "LANGUAGE": "en"}, ESPANOL, "Herramientas"),
]


def prueba_menu_y_paleta_en_cada_idioma(s):
    lector = Accesibilidad(s)
    for entorno, menu, titulo in CASOS:
        for variable in ("LANG", "LC_ALL", "LC_MESSAGES", "LANGUAGE"):
            s.entorno.pop(variable, None)
        s.entorno.update(entorno)
        s.tizo = None
        tizo = s.lanzar_tizo()
        lector.mostrados.clear()
        s.abrir_menu()
        leido = s.esperar(lector.menu_mostrado, 10, f"the menu read aloud under {entorno}")
        s.guardar_captura("menu-" + "-".join(entorno.values()).replace(":", "_"))
        comprobar(leido == menu, f"{entorno}: menu {leido}, expected {menu}")

        s.tecla("Escape")
        s.esperar(lambda: s.menu_abierto() is None, 5, "menu closed")
        s.elegir(" Dibujar Fondo")
        s.esperar(lambda: [v for v in s.ventanas() if v.nombre == "Tizo"], 10, "the canvas")
        s.click(960, 540, 3)
        s.esperar(lambda: [v for v in s.ventanas() if v.nombre == titulo], 10,
                  f"the palette titled {titulo!r} under {entorno}")

        tizo.terminate()
        tizo.wait(10)
        s.esperar(lambda: not s.iconos_bandeja(), 10, "the icon gone")


ejecutar(globals())
