#!/bin/sh
# Runs the drawing-mode benchmark on its own Xvfb with openbox, then measures " Dibujar Fondo"
# from outside: from the tray menu's Return key, typed with real input, to the canvas on the
# screen (bench/menu_lienzo.py, in an X session of its own with a tray).
#   bench/ejecutar.sh [build dir] [size] [display]     e.g. bench/ejecutar.sh build 3840x2160
# The size is 1920x1080 unless given. With TIZO_BENCH_SIN_GESTOR=1 no window manager runs, which
# shows what it adds.
set -eu
construccion=${1:-build}
tamano=${2:-1920x1080}
pantalla=${3:-:91}
binario="$construccion/bench/bench_dibujo"
[ -x "$binario" ] || { echo "build $binario first" >&2; exit 1; }
case $tamano in
    *x*) ;;
    *) echo "size as WIDTHxHEIGHT, e.g. 3840x2160" >&2; exit 1 ;;
esac

temporal=$(mktemp -d)
Xvfb "$pantalla" -screen 0 "${tamano}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
terminar() {
    [ -n "${openbox:-}" ] && kill "$openbox" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    wait 2>/dev/null || true # the display is free again when this script ends
    rm -rf "$temporal"
}
trap terminar EXIT INT TERM
for _ in $(seq 50); do
    DISPLAY=$pantalla xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done
kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb did not start on $pantalla" >&2; exit 1; }
if [ -z "${TIZO_BENCH_SIN_GESTOR:-}" ]; then
    DISPLAY=$pantalla openbox --sm-disable >/dev/null 2>&1 &
    openbox=$!
    sleep 0.5
fi
DISPLAY=$pantalla XDG_RUNTIME_DIR=$temporal XDG_CONFIG_HOME=$temporal QT_QPA_PLATFORM=xcb "$binario"
TIZO_BIN="$construccion/tizo" /usr/bin/python3 "$(dirname "$0")/menu_lienzo.py" "$tamano"
