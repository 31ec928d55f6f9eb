#!/bin/sh
# Runs the drawing-mode benchmark on its own Xvfb (1920 x 1080 x 24) with openbox.
#   bench/ejecutar.sh [build dir]      e.g. bench/ejecutar.sh build
# Xvfb takes a display number no other X server holds.
# With TIZO_BENCH_SIN_GESTOR=1 no window manager runs, which shows what it adds; with
# TIZO_BENCH_PICOM=1 the picom compositor runs too (a capture then waits for it to repaint).
set -eu
construccion=${1:-build}
binario="$construccion/bench/bench_dibujo"
[ -x "$binario" ] || { echo "build $binario first" >&2; exit 1; }

temporal=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$temporal/pantalla" >/dev/null 2>&1 &
xvfb=$!
terminar() {
    [ -n "${picom:-}" ] && kill "$picom" 2>/dev/null || true
    [ -n "${openbox:-}" ] && kill "$openbox" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$temporal"
}
trap terminar EXIT INT TERM
for _ in $(seq 50); do
    [ -s "$temporal/pantalla" ] && break
    sleep 0.1
done
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
DISPLAY=$pantalla XDG_RUNTIME_DIR=$temporal XDG_CONFIG_HOME=$temporal QT_QPA_PLATFORM=xcb "$binario"
