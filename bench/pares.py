"""Tizo beside two peer programs, measured the same way on the same kind of session: gromit-mpx
(draws on the screen) and flameshot (a full-screen capture window to draw on). Each program runs
in a session of the end-to-end harness of its own (Xvfb, openbox, trayer and a session bus the
programs reach, no compositor), driven with XTest and read back from the root window.

Rows, medians over the rounds:
  - command -> drawing surface on screen: `tizo --draw` to a running Tizo until the canvas's exit
    image shows; `flameshot gui` to a running flameshot until its capture window darkens the
    screen.
  - command -> probe stroke visible: `tizo --draw` and `gromit-mpx --toggle` (gromit-mpx's
    surface is transparent), then short strokes drawn with XTest, again and again, until one of
    them shows.
  - release -> stroke shown for good: a 200-point drag, then the release; the time from the
    release until the stroke's row of pixels reaches what it shows for good (the last change
    read over a second; 0 when it never changed after the release), the readings where the
    stroke was missing meanwhile, and the time between readings (the figure's resolution).
  - idle resident memory and CPU ticks (utime + stime) over 10 s, soon after start.
  - resident memory per screen-wide stroke, over a number of strokes.

Not part of `make test`. Installs the peers from Debian's packages when missing (as root).

    TIZO_BIN=/tmp/build-bench/tizo /usr/bin/python3 bench/pares.py [WIDTHxHEIGHT] [rounds]
"""

import os
import shutil
import statistics
import subprocess
import sys
import time
import traceback

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

import harness  # noqa: E402
from harness import Escritorio, Sesion, color_fondo  # noqa: E402

ROJO_SALIDA = (215, 40, 40)  # inside the exit image's disc
PARES = ("gromit-mpx", "flameshot")
TRAZOS_MEMORIA = 10
REPOSO = 10  # seconds of idle CPU measured
MUESTREO = 1.0  # seconds read after each release
SIN_DATO = "–"

# Openbox with trayer and a session bus every program reaches: flameshot wants the bus, and every
# program gets the same desktop.
harness.ESCRITORIOS["openbox-bandeja-bus"] = Escritorio(["openbox", "--sm-disable"], bus="todos")
ESCRITORIO = "openbox-bandeja-bus"

# gromit-mpx's own settings: no hot keys (the session's keys stay free), no introduction window,
# the red pen of its default configuration.
GROMIT_CFG = """"red Pen" = PEN (size=5 color="red");
"Eraser" = ERASER (size = 75);
"default" = "red Pen";
"default"[Button3] = "Eraser";
"""
GROMIT_INI = "[General]\nShowIntroOnStartup=false\n"


def aviso(texto):
    print(texto, file=sys.stderr, flush=True)


# --- peers -------------------------------------------------------------------------------------


def instalar_pares():
    """apt-get install the peers that are missing (as root), with an apt-get update first if the
    install fails."""
    faltan = [p for p in PARES if shutil.which(p) is None]
    if not faltan:
        return
    if os.geteuid() != 0:
        aviso(f"missing {', '.join(faltan)} and not root: their cells stay empty")
        return
    entorno = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    orden = ["apt-get", "install", "-y", *faltan]
    if subprocess.run(orden, env=entorno, capture_output=True).returncode != 0:
        subprocess.run(["apt-get", "update"], env=entorno, capture_output=True)
        r = subprocess.run(orden, env=entorno, capture_output=True, text=True)
        if r.returncode != 0:
            aviso(f"apt-get install {' '.join(faltan)} failed:\n{r.stderr[-2000:]}")


# --- process figures -----------------------------------------------------------------------------


def rss(pid):
    """Resident memory of a process, kB."""
    with open(f"/proc/{pid}/status") as f:
        for linea in f:
            if linea.startswith("VmRSS:"):
                return int(linea.split()[1])
    raise RuntimeError(f"no VmRSS for {pid}")


def ticks(pid):
    """CPU clock ticks a process has used (utime + stime)."""
    with open(f"/proc/{pid}/stat") as f:
        campos = f.read().rsplit(")", 1)[1].split()
    return int(campos[11]) + int(campos[12])  # fields 14 and 15, counted from the state (3)


def reposo(pid):
    """Idle resident memory (kB) and CPU ticks over REPOSO seconds."""
    time.sleep(2)  # whatever start-up finishes late
    antes = ticks(pid)
    time.sleep(REPOSO)
    return rss(pid), ticks(pid) - antes


def memoria_estable(pid):
    """Resident memory once it stops changing."""
    anterior = rss(pid)
    fin = time.monotonic() + 10
    while time.monotonic() < fin:
        time.sleep(0.25)
        actual = rss(pid)
        if abs(actual - anterior) < 64:
            return actual
        anterior = actual
    return anterior


# --- screen reading ------------------------------------------------------------------------------


def cubiertos(s, x0, x1, y):
    """Pixels of the row y, x0 <= x < x1, that are not the desktop pattern."""
    c = s.captura((x0, y, x1 - x0, 1))
    return sum(c.pixel(x, y) != color_fondo(x, y) for x in range(x0, x1))


def trazo_corto(s, x0, x1, y, puntos=8):
    """A short stroke with XTest: press, a few moves, release."""
    s.mover(x0, y)
    s.pulsar()
    for i in range(1, puntos + 1):
        s.mover(x0 + (x1 - x0) * i / puntos, y)
    s.soltar()


def orden_a_trazo(s, lanzar, y):
    """From the command to a probe stroke on the screen, ms: the command started, then short
    strokes along the row y until one of them shows (each looked for 30 ms)."""
    x0, x1 = s.ancho // 6, s.ancho // 6 + 400
    inicio = time.monotonic()
    p = lanzar()
    while True:
        trazo_corto(s, x0, x1, y)
        hasta = time.monotonic() + 0.03
        while time.monotonic() < hasta:
            if cubiertos(s, x0 + 20, x1 - 20, y) > (x1 - x0 - 40) // 2:
                ms = (time.monotonic() - inicio) * 1000
                p.wait(10)
                return ms
        if time.monotonic() - inicio > 10:
            p.wait(10)
            raise RuntimeError("no probe stroke showed within 10 s")


def soltar_a_trazo(s, y):
    """A 200-point drag along the row y, then the release: ms from the release until the row
    shows what it shows for good, and the readings meanwhile without the stroke."""
    x0, x1 = s.ancho // 10, s.ancho * 8 // 10
    franja = (x0 + 20, y - 3, x1 - x0 - 40, 7)
    vacia = s.captura(franja).datos
    s.mover(x0, y)
    s.pausa()
    s.pulsar()
    for i in range(1, 201):
        s.mover(x0 + (x1 - x0) * i / 200, y + (i % 2))
    s.esperar(lambda: cubiertos(s, x0 + 20, x1 - 20, y) > (x1 - x0 - 40) // 2, 5,
              "the stroke while the button is held")
    s.soltar()
    inicio = time.monotonic()
    muestras = []
    while time.monotonic() - inicio < MUESTREO:
        muestras.append((time.monotonic() - inicio, s.captura(franja).datos))
    final = muestras[-1][1]
    if final == vacia:
        raise RuntimeError("the stroke did not stay")
    # Shown for good at the release itself (0) when no reading differs from the last one.
    desde = 0.0
    for t, datos in muestras:
        if datos != final:
            desde = None
        elif desde is None:
            desde = t
    huecos = sum(1 for _, datos in muestras if datos == vacia)
    intervalo = statistics.median(b[0] - a[0] for a, b in zip(muestras, muestras[1:]))
    return desde * 1000, huecos, intervalo * 1000


def trazo_ancho(s, n):
    """The n-th screen-wide stroke: from its own point on the left edge, zigzagging across the
    screen, clear of the tray and the exit image on the right."""
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


def intentar(resultados, clave, funcion):
    """resultados[clave] = funcion(), or None, said on stderr, when it fails."""
    try:
        resultados[clave] = funcion()
    except Exception:
        aviso(f"{clave} failed:\n{traceback.format_exc()}")
        resultados[clave] = None


def mediana(valores):
    return statistics.median(valores) if valores else None


def filas(y0, alto, n):
    """n rows for n rounds' strokes, apart from each other, clear of the top and the tray."""
    paso = (alto - 120 - y0) // max(n, 1)
    return [y0 + paso * i for i in range(n)]


# --- the programs ----------------------------------------------------------------------------------


def medir_tizo(ancho, alto, rondas):
    r = {}
    s = Sesion("pares-tizo", ancho=ancho, alto=alto, escritorio=ESCRITORIO)
    try:
        p = s.lanzar_tizo()
        pid = p.pid
        intentar(r, "reposo", lambda: reposo(pid))
        x, y, _, _ = s.imagen_salida()
        punto = (x + 8, y + 24)

        def orden():
            return subprocess.Popen([s.binario_tizo(), "--draw"], env=s.entorno,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def salir():
            s.orden_tizo("--draw")
            s.esperar(lambda: s.pixel(*punto) != ROJO_SALIDA, 5, "drawing mode left")

        def superficie():
            tiempos = []
            for ronda in range(rondas + 1):
                inicio = time.monotonic()
                p = orden()
                while s.pixel(*punto) != ROJO_SALIDA:
                    if time.monotonic() - inicio > 10:
                        raise RuntimeError("the canvas did not show")
                if ronda >= 1:  # the first round warms caches up
                    tiempos.append((time.monotonic() - inicio) * 1000)
                p.wait(10)
                salir()
                time.sleep(0.3)
            return mediana(tiempos)

        def sonda():
            tiempos = []
            for ronda, y in enumerate(filas(150, s.alto, rondas + 1)):
                ms = orden_a_trazo(s, orden, y)
                if ronda >= 1:
                    tiempos.append(ms)
                salir()
                s.orden_tizo("--clear")
                time.sleep(0.3)
            return mediana(tiempos)

        def soltar():
            s.orden_tizo("--draw")
            s.esperar(lambda: s.pixel(*punto) == ROJO_SALIDA, 10, "the canvas")
            tiempos, huecos, intervalos = [], 0, []
            for y in filas(150, s.alto, rondas):
                ms, h, intervalo = soltar_a_trazo(s, y)
                tiempos.append(ms)
                huecos += h
                intervalos.append(intervalo)
            s.orden_tizo("--clear")
            salir()
            return mediana(tiempos), huecos, mediana(intervalos)

        def por_trazo():
            s.orden_tizo("--draw")
            s.esperar(lambda: s.pixel(*punto) == ROJO_SALIDA, 10, "the canvas")
            trazo_ancho(s, 0)  # what the first shape loads for good is not measured
            s.forma("1")
            s.orden_tizo("--clear")
            s.esperar(lambda: not s.formas(), 5, "no shapes")
            antes = memoria_estable(pid)
            for i in range(TRAZOS_MEMORIA):
                trazo_ancho(s, i)
                s.forma(str(i + 1))
            despues = memoria_estable(pid)
            s.orden_tizo("--clear")
            salir()
            return (despues - antes) / TRAZOS_MEMORIA

        intentar(r, "superficie", superficie)
        intentar(r, "sonda", sonda)
        intentar(r, "soltar", soltar)
        intentar(r, "por_trazo", por_trazo)
    except Exception:
        aviso(f"Tizo: {traceback.format_exc()}")
    finally:
        s.cerrar()
    return r


def medir_gromit(ancho, alto, rondas):
    r = {}
    if shutil.which("gromit-mpx") is None:
        return r
    s = Sesion("pares-gromit", ancho=ancho, alto=alto, escritorio=ESCRITORIO)
    try:
        for nombre, texto in (("gromit-mpx.cfg", GROMIT_CFG), ("gromit-mpx.ini", GROMIT_INI)):
            with open(os.path.join(s.config, nombre), "w") as f:
                f.write(texto)
        p = s.lanzar(["gromit-mpx", "--key", "none", "--undo-key", "none"])
        pid = p.pid
        s.esperar(lambda: [v for v in s.ventanas("gromit-mpx", mapeadas=False)
                           if v.rect[2] == s.ancho], 20, "gromit-mpx's window")
        time.sleep(1)  # its tray icon and the rest of its start

        def mando(*argumentos):
            return subprocess.Popen(["gromit-mpx", *argumentos], env=s.entorno,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def orden(*argumentos):
            mando(*argumentos).wait(10)

        intentar(r, "reposo", lambda: reposo(pid))

        def sonda():
            tiempos = []
            for ronda, y in enumerate(filas(150, s.alto, rondas + 1)):
                ms = orden_a_trazo(s, lambda: mando("--toggle"), y)
                if ronda >= 1:
                    tiempos.append(ms)
                orden("--toggle")
                orden("--clear")
                x0 = s.ancho // 6
                s.esperar(lambda: cubiertos(s, x0 + 20, x0 + 380, y) == 0, 5, "the probe cleared")
                time.sleep(0.3)
            return mediana(tiempos)

        def soltar():
            tiempos, huecos, intervalos = [], 0, []
            for y in filas(150, s.alto, rondas):
                orden("--toggle")
                time.sleep(0.5)
                ms, h, intervalo = soltar_a_trazo(s, y)
                tiempos.append(ms)
                huecos += h
                intervalos.append(intervalo)
                orden("--toggle")
            orden("--clear")
            return mediana(tiempos), huecos, mediana(intervalos)

        def por_trazo():
            orden("--toggle")
            time.sleep(0.5)
            trazo_ancho(s, 0)
            time.sleep(0.5)
            orden("--clear")
            antes = memoria_estable(pid)
            for i in range(TRAZOS_MEMORIA):
                trazo_ancho(s, i)
            time.sleep(0.5)
            despues = memoria_estable(pid)
            orden("--toggle")
            orden("--clear")
            return (despues - antes) / TRAZOS_MEMORIA

        intentar(r, "sonda", sonda)
        intentar(r, "soltar", soltar)
        intentar(r, "por_trazo", por_trazo)
        orden("--quit")
    except Exception:
        aviso(f"gromit-mpx: {traceback.format_exc()}")
    finally:
        s.cerrar()
    return r


def medir_flameshot(ancho, alto, rondas):
    r = {}
    if shutil.which("flameshot") is None:
        return r
    s = Sesion("pares-flameshot", ancho=ancho, alto=alto, escritorio=ESCRITORIO)
    try:
        p = s.lanzar(["flameshot"])
        pid = p.pid
        s.esperar(lambda: s.iconos_bandeja("flameshot"), 20, "flameshot's tray icon")
        intentar(r, "reposo", lambda: reposo(pid))
        # Points of the desktop pattern spread over the screen, away from the tray: the capture
        # window covers them all with its darkened screenshot.
        puntos = [(s.ancho * i // 5 + 7, s.alto * j // 5 + 7) for i in (1, 2, 3) for j in (1, 3)]

        def libres():
            return all(s.pixel(x, y) == color_fondo(x, y) for x, y in puntos)

        def superficie():
            tiempos = []
            for ronda in range(rondas + 1):
                inicio = time.monotonic()
                gui = subprocess.Popen(["flameshot", "gui"], env=s.entorno,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                while not all(s.pixel(x, y) != color_fondo(x, y) for x, y in puntos):
                    if time.monotonic() - inicio > 10:
                        raise RuntimeError("the capture window did not show")
                if ronda >= 1:
                    tiempos.append((time.monotonic() - inicio) * 1000)
                s.tecla("Escape")
                s.esperar(libres, 5, "the capture window closed")
                try:
                    gui.wait(10)
                except subprocess.TimeoutExpired:
                    gui.kill()
                    gui.wait()
                time.sleep(0.3)
            return mediana(tiempos)

        intentar(r, "superficie", superficie)
    except Exception:
        aviso(f"flameshot: {traceback.format_exc()}")
    finally:
        s.cerrar()
    return r


# --- the table -----------------------------------------------------------------------------------


def cifra(v, decimales=1):
    return SIN_DATO if v is None else f"{v:.{decimales}f}"


def razon(a, b):
    if a is None or b is None or b == 0:
        return SIN_DATO
    return f"{a / b:.2f}"


def tabla(t, g, f):
    """[(row, Tizo, gromit-mpx, flameshot)] with numbers or None, and notes."""
    def de(r, clave, i=None):
        v = r.get(clave)
        if v is None:
            return None
        return v if i is None else v[i]

    return [
        ("command -> drawing surface on screen, ms", de(t, "superficie"), None,
         de(f, "superficie"), 1),
        ("command -> probe stroke visible, ms", de(t, "sonda"), de(g, "sonda"), None, 1),
        ("release -> stroke shown for good, ms", de(t, "soltar", 0), de(g, "soltar", 0), None, 1),
        ("  readings without the stroke after release", de(t, "soltar", 1), de(g, "soltar", 1),
         None, 0),
        ("  time between readings, ms", de(t, "soltar", 2), de(g, "soltar", 2), None, 2),
        ("idle RSS, MB", *(None if de(r, "reposo") is None else de(r, "reposo", 0) / 1024
                           for r in (t, g, f)), 1),
        ("idle CPU ticks per 10 s", *(de(r, "reposo", 1) for r in (t, g, f)), 0),
        ("RSS per screen-wide stroke, kB", de(t, "por_trazo"), de(g, "por_trazo"), None, 1),
    ]


def texto_tabla(lineas, titulo):
    cab = ("", "Tizo", "gromit-mpx", "flameshot", "Tizo/gromit", "Tizo/flameshot")
    cuerpo = [(n, cifra(a, d), cifra(b, d), cifra(c, d), razon(a, b), razon(a, c))
              for n, a, b, c, d in lineas]
    anchos = [max(len(fila[i]) for fila in [cab, *cuerpo]) for i in range(len(cab))]
    salida = [titulo]
    for fila in [cab, *cuerpo]:
        salida.append("  ".join(fila[0].ljust(anchos[0]) if i == 0 else fila[i].rjust(anchos[i])
                                for i in range(len(cab))))
    return "\n".join(salida)


def markdown(lineas, titulo):
    salida = [f"**{titulo}**", "",
              "| | Tizo | gromit-mpx | flameshot | Tizo/gromit-mpx | Tizo/flameshot |",
              "|---|---:|---:|---:|---:|---:|"]
    for n, a, b, c, d in lineas:
        salida.append(f"| {n.strip()} | {cifra(a, d)} | {cifra(b, d)} | {cifra(c, d)} | "
                      f"{razon(a, b)} | {razon(a, c)} |")
    return "\n".join(salida)


def main():
    ancho, alto = map(int, (sys.argv[1] if len(sys.argv) > 1 else "1920x1080").split("x"))
    rondas = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    instalar_pares()
    t = medir_tizo(ancho, alto, rondas)
    g = medir_gromit(ancho, alto, rondas)
    f = medir_flameshot(ancho, alto, rondas)
    lineas = tabla(t, g, f)
    titulo = (f"{ancho}x{alto}, openbox + trayer + session bus, no compositor; medians of "
              f"{rondas} rounds; {TRAZOS_MEMORIA} strokes for memory")
    print(texto_tabla(lineas, titulo))
    destino = os.environ.get("TIZO_PARES_MD")
    if destino:
        with open(destino, "w") as f_md:
            f_md.write(markdown(lineas, titulo) + "\n")


if __name__ == "__main__":
    main()
