"""Commanding the running Tizo without its tray: the command line (through the local socket) and
the global key F9, on a real X server. Also what the socket must survive, and one instance for
any number of simultaneous starts."""

import os
import socket
import stat
import subprocess
import time

from Xlib import X, XK

from harness import comprobar, ejecutar


def canvas_abierto(s):
    return [v for v in s.ventanas() if v.nombre == "Tizo" and v.rect[2] > 1000]


def orden(s, *argumentos):
    """Gives a command; it must be acknowledged with status 0 within a second."""
    r = s.orden_tizo(*argumentos)
    comprobar(r.returncode == 0, f"tizo {' '.join(argumentos)}: status {r.returncode} {r.stderr}")
    comprobar(r.segundos < 1.0, f"tizo {' '.join(argumentos)} took {r.segundos:.2f}s")
    return r


def prueba_dibujar_y_salir_desde_la_linea(s):
    s.lanzar_tizo()
    orden(s, "--draw")
    v = s.lienzo()
    s.esperar(lambda: s.activa() == v.id, 5, "the canvas active")
    s.arrastrar(300, 300, 700, 300)
    s.forma("1")
    orden(s, "--dibujar")  # the Spanish alias, and a toggle: drawing mode ends
    s.esperar(lambda: not v.existe, 5, "a second --draw leaves drawing mode")
    comprobar(s.pixel(500, 300) == (255, 0, 0), "the shape stays")

    orden(s, "--mostrar-ocultar")
    s.esperar(lambda: s.pixel(500, 300) != (255, 0, 0), 5, "--toggle hides the shapes")
    orden(s, "--toggle")
    s.esperar(lambda: s.pixel(500, 300) == (255, 0, 0), 5, "and shows them")
    orden(s, "--clear")
    s.esperar(lambda: s.pixel(500, 300) != (255, 0, 0), 5, "--clear deletes them")

    orden(s, "--quit")
    comprobar(s.tizo.wait(10) == 0, f"--quit ends Tizo with status 0:\n{s.salida_tizo()}")
    comprobar(s.iconos_bandeja() == [], "the icon is gone")
    comprobar(not os.path.exists(os.path.join(s.tmp, "tizo.sock")), "the socket is gone")

    # With nothing running, these have nothing to act on: they end at once and start nothing.
    for opcion in ("--quit", "--undo", "--redo", "--clear", "--toggle", "--salir"):
        orden(s, opcion)
    time.sleep(0.3)
    comprobar(s.iconos_bandeja() == [], "nothing was started")

    # --draw starts Tizo and opens drawing mode.
    s.tizo = None
    s.lanzar_tizo("--draw")
    v = s.esperar(lambda: canvas_abierto(s), 10, "drawing mode from a cold start")[0]
    s.guardar_captura("arranque-dibujando")
    comprobar(len(s.iconos_bandeja()) == 1, "one icon")


def prueba_ayuda_version_y_errores(s):
    r = s.orden_tizo("--version")
    comprobar((r.returncode, r.stdout) == (0, "tizo 1.0.0\n"), f"--version: {r}")
    r = s.orden_tizo("--help")
    comprobar(r.returncode == 0, f"--help: {r.returncode}")
    for nombre in ("--draw", "--dibujar", "--clear", "--borrar-todo", "--toggle",
                   "--mostrar-ocultar", "--undo", "--deshacer", "--redo", "--rehacer", "--quit",
                   "--salir", "--version", "--help"):
        comprobar(nombre in r.stdout, f"--help lists {nombre}:\n{r.stdout}")
    for malos in (["--nada"], ["-x"], ["--draw", "--clear"], ["algo"], ["--quit=1"]):
        r = s.orden_tizo(*malos)
        comprobar(r.returncode == 2, f"{malos}: status {r.returncode}")
        comprobar(r.stdout == "" and r.stderr.count("\n") == 1 and r.stderr.startswith("tizo: "),
                  f"{malos}: one line on stderr: {r.stderr!r}")
    comprobar(s.iconos_bandeja() == [], "none of them started Tizo")


def prueba_tecla_f9(s):
    s.lanzar_tizo()
    s.tecla("F9")
    v = s.esperar(lambda: canvas_abierto(s), 5, "F9 opens drawing mode")[0]
    s.arrastrar(300, 300, 700, 300)
    s.forma("1")  # the new shape has the keyboard focus: F9 is still the program's
    s.tecla("F9")
    s.esperar(lambda: not v.existe, 5, "F9 leaves drawing mode")
    # Num Lock and Caps Lock do not matter.
    for bloqueo in ("Num_Lock", "Caps_Lock"):
        s.tecla(bloqueo)
        s.tecla("F9")
        v = s.esperar(lambda: canvas_abierto(s), 5, f"F9 with {bloqueo} on")[0]
        s.tecla("F9")
        s.esperar(lambda: not v.existe, 5, f"F9 with {bloqueo} on, again")
        s.tecla(bloqueo)
    # Another modifier makes it another key.
    s.tecla("ctrl+F9")
    time.sleep(0.4)
    comprobar(not canvas_abierto(s), "Ctrl+F9 is not F9")
    # On X11 the key is the program's own: no desktop is asked, nothing is said about it.
    comprobar("F9" not in s.salida_tizo(), f"nothing said about F9: {s.salida_tizo()}")


def prueba_f9_ocupada(s):
    # Another client holds F9 first.
    codigo = s.d.keysym_to_keycode(XK.string_to_keysym("F9"))
    s.root.grab_key(codigo, 0, False, X.GrabModeAsync, X.GrabModeAsync)
    s.d.sync()
    s.lanzar_tizo()
    s.esperar(lambda: "F9" in s.salida_tizo(), 5, "a line on stderr")
    lineas = [l for l in s.salida_tizo().splitlines() if "F9" in l]
    comprobar(len(lineas) == 1 and "otro programa" in lineas[0], f"said once: {lineas}")
    # The tooltip says so too: far wider than "Tizo" alone.
    x, y = s.icono().centro
    s.mover(x - 3, y)
    s.mover(x, y)
    tip = s.esperar(lambda: s.ventanas(tipo="tooltip"), 10, "tooltip")[0]
    s.guardar_captura("f9-ocupada-tip", tip.rect)
    comprobar(tip.rect[2] > 200, f"the tooltip tells why: {tip.rect}")
    # The rest works: the command line, and the key stays the other program's.
    orden(s, "--draw")
    v = s.lienzo()
    s.tecla("F9")
    time.sleep(0.4)
    comprobar(v.mapeada, "F9 is not Tizo's")
    orden(s, "--draw")
    s.esperar(lambda: not v.existe, 5, "--draw still toggles")


def prueba_una_sola_instancia(s):
    procesos = [subprocess.Popen([s.binario_tizo()], env=s.entorno, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL) for _ in range(20)]
    s.procesos += procesos
    s.esperar(lambda: sum(p.poll() is not None for p in procesos) == 19, 20, "19 copies end")
    comprobar(all(p.returncode == 0 for p in procesos if p.poll() is not None), "quietly, status 0")
    s.esperar(lambda: len(s.iconos_bandeja()) == 1, 20, "one icon")
    time.sleep(0.5)
    comprobar(len(s.iconos_bandeja()) == 1, "exactly one icon")
    s.tizo = next(p for p in procesos if p.poll() is None)
    orden(s, "--draw")
    s.esperar(lambda: canvas_abierto(s), 5, "the one running copy takes commands")


def prueba_socket_abandonado(s):
    p = s.lanzar_tizo()
    ruta = os.path.join(s.tmp, "tizo.sock")
    comprobar(os.path.exists(ruta), "listening")
    p.kill()
    p.wait()
    comprobar(os.path.exists(ruta), "a killed Tizo leaves its socket behind")
    s.tizo = None
    s.lanzar_tizo()
    orden(s, "--draw")
    s.esperar(lambda: canvas_abierto(s), 5, "the next start took the socket over")


def prueba_socket_hostil(s):
    s.lanzar_tizo()
    ruta = os.path.join(s.tmp, "tizo.sock")
    modo = os.stat(ruta).st_mode
    comprobar(stat.S_ISSOCK(modo) and stat.S_IMODE(modo) & 0o077 == 0, f"owner only: {oct(modo)}")

    # Another user cannot connect.
    if os.getuid() == 0:
        hijo = os.fork()
        if hijo == 0:
            codigo = 1
            try:
                os.setgid(65534)
                os.setuid(65534)
                c = socket.socket(socket.AF_UNIX)
                c.connect(ruta)
            except PermissionError:
                codigo = 0
            finally:
                os._exit(codigo)
        comprobar(os.waitpid(hijo, 0)[1] == 0, "another user is refused")

    # 100 connections at once: silent, garbage, unknown words, floods.
    conexiones = []
    for i in range(100):
        c = socket.socket(socket.AF_UNIX)
        c.connect(ruta)
        c.setblocking(False)
        try:
            if i % 4 == 1:
                c.send(bytes(range(256)) * 4)
            elif i % 4 == 2:
                c.send(b"rm -rf /\n")
            elif i % 4 == 3:
                c.send(b"draw" * 250000)  # a megabyte without a newline
        except (BlockingIOError, BrokenPipeError, ConnectionResetError):
            pass
        conexiones.append(c)
    # Meanwhile a real command gets through.
    orden(s, "--draw")
    v = s.lienzo()
    comprobar(s.tizo.poll() is None, "Tizo runs on")

    # Nothing but a known word gets an answer; silent ones are dropped after a while.
    def todas_cerradas():
        for c in conexiones:
            if c.fileno() < 0:
                continue
            try:
                datos = c.recv(16)
            except BlockingIOError:
                return False
            except (ConnectionResetError, BrokenPipeError):
                datos = b""
            comprobar(b"ok" not in datos, f"no answer to garbage: {datos!r}")
            c.close()
        return True
    s.esperar(todas_cerradas, 10, "every bad connection dropped")
    orden(s, "--draw")
    s.esperar(lambda: not v.existe, 5, "commands still work")
    comprobar(s.tizo.poll() is None, "Tizo runs on")


ejecutar(globals())
