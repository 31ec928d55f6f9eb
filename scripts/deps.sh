#!/usr/bin/env bash
# Installs the Debian packages Tizo needs to build, run and test, skipping those already there.
set -euo pipefail

paquetes=(
  cmake make g++ pkg-config clang-format
  qt6-base-dev libgl-dev libx11-dev libxext-dev
  xvfb openbox trayer xdotool x11-utils
  python3 python3-xlib
  fonts-liberation fonts-dejavu-core
)

faltan=()
for p in "${paquetes[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    faltan+=("$p")
  fi
done
[ ${#faltan[@]} -eq 0 ] && exit 0

echo "Installing: ${faltan[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${faltan[@]}"
