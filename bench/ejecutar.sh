#!/bin/sh
# Runs the drawing-mode benchmark on its own Xvfb (1920 x 1080 x 24) with openbox.
#   bench/ejecutar.sh [build dir] [display]      e.g. bench/ejecutar.sh build :91
# With TIZO_BENCH_SIN_GESTOR=1 no window manager runs, which shows what it adds.
set -eu
construccion=${1:-build}
pantalla=${2:-:91}
binario="$construccion/bench/bench_dibujo"
[ -x "$binario" ] || { echo "build $binario first" >&2; exit 1; }

temporal=$(mktemp -d)
Xvfb "$pantalla" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
terminar() {
    [ -n "${openbox:-}" ] && kill "$openbox" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$temporal"
}
trap terminar EXIT INT TERM
for _ in $(seq 50); do
    DISPLAY=$pantalla xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done
if [ -z "${TIZO_BENCH_SIN_GESTOR:-}" ]; then
    DISPLAY=$pantalla openbox --sm-disable >/dev/null 2>&1 &
    openbox=$!
    sleep 0.5
fi
DISPLAY=$pantalla XDG_RUNTIME_DIR=$temporal XDG_CONFIG_HOME=$temporal QT_QPA_PLATFORM=xcb "$binario"
