"""The shell's own services for the GNOME sessions of the tests, run as the session's user:
  captura_gnome.py captura FILE   prints the screen as the shell shows it: a line
                                  "width height stride", then RGBA pixels (the shell answers
                                  only GNOME's screenshot tool, whose name this takes);
  captura_gnome.py teclas SYM...  presses and releases each X keysym (hexadecimal) through the
                                  shell's remote-desktop interface, for its own dialogs;
  captura_gnome.py clic X Y W H   clicks at (X, Y) of a W x H screen with the shell's pointer,
                                  which reaches Wayland windows too."""

import os
import sys
import time

import dbus
import gi

gi.require_version("GdkPixbuf", "2.0")
from gi.repository import GdkPixbuf  # noqa: E402


def captura(ruta):
    bus = dbus.SessionBus()
    bus.request_name("org.gnome.Screenshot")
    shell = bus.get_object("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot")
    hecho, _ = shell.Screenshot(False, False, ruta, dbus_interface="org.gnome.Shell.Screenshot")
    if not hecho:
        sys.exit("the shell took no screenshot")
    imagen = GdkPixbuf.Pixbuf.new_from_file(ruta)
    os.remove(ruta)
    if not imagen.get_has_alpha():
        imagen = imagen.add_alpha(False, 0, 0, 0)
    salida = sys.stdout.buffer
    salida.write(f"{imagen.get_width()} {imagen.get_height()} {imagen.get_rowstride()}\n"
                 .encode())
    salida.write(imagen.get_pixels())


def sesion_remota():
    bus = dbus.SessionBus()
    remoto = bus.get_object("org.gnome.Mutter.RemoteDesktop", "/org/gnome/Mutter/RemoteDesktop")
    ruta = remoto.CreateSession(dbus_interface="org.gnome.Mutter.RemoteDesktop")
    sesion = dbus.Interface(bus.get_object("org.gnome.Mutter.RemoteDesktop", ruta),
                            "org.gnome.Mutter.RemoteDesktop.Session")
    sesion.Start()
    return sesion


def teclas(simbolos):
    sesion = sesion_remota()
    # The first key of a session is lost: a Shift first.
    for simbolo in ["ffe1", *simbolos]:
        for pulsada in (True, False):
            sesion.NotifyKeyboardKeysym(dbus.UInt32(int(simbolo, 16)), pulsada)
            time.sleep(0.05)
    sesion.Stop()


def clic(x, y, ancho, alto):
    """A click at (x, y) with the shell's own pointer, which moves only relatively without a
    screen cast: from the bottom-right corner, far from the top-left one, which swallows
    motion."""
    sesion = sesion_remota()
    sesion.NotifyPointerMotionRelative(float(2 * ancho), float(2 * alto))
    time.sleep(0.1)
    sesion.NotifyPointerMotionRelative(float(x - (ancho - 1)), float(y - (alto - 1)))
    time.sleep(0.1)
    for pulsado in (True, False):
        sesion.NotifyPointerButton(0x110, pulsado)
        time.sleep(0.05)
    sesion.Stop()


if sys.argv[1] == "captura":
    captura(sys.argv[2])
elif sys.argv[1] == "clic":
    clic(*map(int, sys.argv[2:6]))
else:
    teclas(sys.argv[2:])
