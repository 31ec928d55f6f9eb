#!/usr/bin/env bash
# Installs the Debian packages Tizo needs to build, run and test, skipping those already there.
set -euo pipefail

paquetes=(
  cmake make g++ pkg-config clang-format
  qt6-base-dev qt6-svg-dev libgl-dev libx11-dev libxext-dev libxcb1-dev libxdamage-dev libxrender-dev
  # translations: the CMake functions and lrelease / lupdate
  qt6-tools-dev qt6-l10n-tools
  xvfb openbox trayer xdotool x11-utils x11-xserver-utils
  python3 python3-xlib
  # the desktops the end-to-end tests run on, and their session bus
  kwin-x11 mutter metacity xfwm4 xfce4-panel icewm fluxbox picom dbus-daemon dbus-bin
  # a headless Wayland session: compositor, XWayland, screenshots, the desktop portal with its
  # wlroots and GTK backends (the screenshot portal needs both, and PipeWire), Qt's Wayland
  # platform for a native window; xhost lets the tests' X connection in when they run as root
  sway grim xwayland xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk pipewire
  qt6-wayland passwd
  # KDE Plasma on Wayland (the compositor, and the shell with its panel and tray) and GNOME's
  # shell with its portal, headless
  kwin-wayland plasma-workspace plasma-desktop qtwayland5
  gnome-shell xdg-desktop-portal-gnome gir1.2-gdkpixbuf-2.0
  fonts-liberation fonts-dejavu-core
  # the Debian package (cpack -G DEB computes its dependencies with dpkg-shlibdeps), and
  # Debian's checker of packages
  dpkg-dev file binutils lintian
  # the desktop's validators for the installed files
  desktop-file-utils appstream groff-base man-db
  # reading the interface as a screen reader does, on a private session bus
  at-spi2-core python3-dbus python3-gi
)

faltan=()
for p in "${paquetes[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    faltan+=("$p")
  fi
done
[ ${#faltan[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "Missing packages, and sudo is not installed to get them as a non-root user." >&2
    echo "As root, run: apt-get install ${faltan[*]}" >&2
    exit 1
  fi
  sudo="sudo"
fi
echo "Installing: ${faltan[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${faltan[@]}"
