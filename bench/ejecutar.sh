#!/bin/sh
# Runs the drawing-mode benchmark on its own Xvfb with openbox, then measures " Dibujar Fondo"
# from outside: from the tray menu's Return key, typed with real input, to the canvas on the
# screen (bench/menu_lienzo.py, in an X session of its own with a tray).
#   bench/ejecutar.sh [build dir] [size]      e.g. bench/ejecutar.sh build 3840x2160
# The size is 1920x1080 unless given. Xvfb takes a display number no other X server holds.
# With TIZO_BENCH_SIN_GESTOR=1 no window manager runs, which shows what it adds; with
# TIZO_BENCH_PICOM=1 the picom compositor runs too (a capture then waits for it to repaint), and
# every shape is smooth ink. Without it the benchmark starts picom itself for its last rows, the
# smooth ones, so one run gives both kinds of ink side by side.
set -eu
construccion=${1:-build}
tamano=${2:-1920x1080}
binario="$construccion/bench/bench_dibujo"
[ -x "$binario" ] || { echo "build $binario first" >&2; exit 1; }
case $tamano in
    *x*) ;;
    *) echo "size as WIDTHxHEIGHT, e.g. 3840x2160" >&2; exit 1 ;;
esac

temporal=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 "${tamano}x24" -nolisten tcp 3>"$temporal/pantalla" >/dev/null 2>&1 &
xvfb=$!
terminar() {
    [ -n "${picom:-}" ] && kill "$picom" 2>/dev/null || true
    [ -n "${openbox:-}" ] && kill "$openbox" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    wait 2>/dev/null || true # the display is free again when this script ends
    rm -rf "$temporal"
}
trap terminar EXIT INT TERM
for _ in $(seq 50); do
    [ -s "$temporal/pantalla" ] && break
    sleep 0.1
done
[ -s "$temporal/pantalla" ] || { echo "Xvfb did not start" >&2; exit 1; }
pantalla=":$(cat "$temporal/pantalla")"
if [ -z "${TIZO_BENCH_SIN_GESTOR:-}" ]; then
    DISPLAY=$pantalla openbox --sm-disable >/dev/null 2>&1 &
    openbox=$!
    sleep 0.5
fi
if [ -n "${TIZO_BENCH_PICOM:-}" ]; then
    DISPLAY=$pantalla picom --config /dev/null --backend xrender >/dev/null 2>&1 &
    picom=$!
    sleep 0.5
fi
# The benchmark reads the X server's memory too: smooth shapes keep their pictures there.
DISPLAY=$pantalla XDG_RUNTIME_DIR=$temporal XDG_CONFIG_HOME=$temporal QT_QPA_PLATFORM=xcb \
    TIZO_BENCH_XVFB=$xvfb "$binario"
TIZO_BIN="$construccion/tizo" /usr/bin/python3 "$(dirname "$0")/menu_lienzo.py" "$tamano"
