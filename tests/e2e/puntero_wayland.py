"""A pointer for a headless Wayland compositor, which has none until a client makes one.

A minimal client of the Wayland wire protocol (no library): it binds the compositor's
virtual-pointer manager (wlroots' zwlr_virtual_pointer_manager_v1), creates one pointer on the
default seat and sends absolute motion and button events through it. Every event reaches Wayland
and X clients alike, as a real mouse would.
"""

import os
import socket
import struct
import time

# Request opcodes, in the order the protocols declare them.
_DISPLAY_SYNC, _DISPLAY_GET_REGISTRY = 0, 1
_REGISTRY_BIND = 0
_MANAGER_CREATE_POINTER = 0
_POINTER_MOTION_ABSOLUTE, _POINTER_BUTTON, _POINTER_FRAME = 1, 2, 4
# Event opcodes.
_DISPLAY_ERROR = 0
_REGISTRY_GLOBAL = 0
_CALLBACK_DONE = 0

MANAGER = "zwlr_virtual_pointer_manager_v1"
# Linux input codes of the buttons, by X button number.
BOTONES = {1: 0x110, 2: 0x112, 3: 0x111}


class ErrorWayland(RuntimeError):
    pass


def _cadena(texto):
    datos = texto.encode() + b"\0"
    return struct.pack("<I", len(datos)) + datos + b"\0" * (-len(datos) % 4)


class PunteroWayland:
    """The pointer of the compositor listening on `ruta` (its socket), covering a layout of
    `ancho` x `alto` pixels."""

    def __init__(self, ruta, ancho, alto):
        self.ancho, self.alto = ancho, alto
        self._s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self._s.connect(ruta)
        self._recibido = b""
        self._siguiente = 2  # object 1 is the display
        self._globales = {}
        registro = self._nuevo()
        self._enviar(1, _DISPLAY_GET_REGISTRY, struct.pack("<I", registro))
        self._ida_y_vuelta(registro)
        if MANAGER not in self._globales:
            raise ErrorWayland(f"the compositor offers no {MANAGER}")
        nombre, _ = self._globales[MANAGER]
        gestor = self._nuevo()
        self._enviar(registro, _REGISTRY_BIND,
                     struct.pack("<I", nombre) + _cadena(MANAGER) + struct.pack("<II", 1, gestor))
        self._puntero = self._nuevo()
        # A null seat: the compositor's default one.
        self._enviar(gestor, _MANAGER_CREATE_POINTER, struct.pack("<II", 0, self._puntero))
        self._ida_y_vuelta(registro)

    def mover(self, x, y):
        self._enviar(self._puntero, _POINTER_MOTION_ABSOLUTE,
                     struct.pack("<IIIII", self._tiempo(), int(round(x)), int(round(y)),
                                 self.ancho, self.alto))
        self._marco()

    def pulsar(self, boton=1):
        self._boton(boton, 1)

    def soltar(self, boton=1):
        self._boton(boton, 0)

    def sincronizar(self):
        """Returns once the compositor has handled everything sent so far."""
        self._ida_y_vuelta(None)

    def cerrar(self):
        self._s.close()

    # the wire

    def _boton(self, boton, estado):
        self._enviar(self._puntero, _POINTER_BUTTON,
                     struct.pack("<III", self._tiempo(), BOTONES[boton], estado))
        self._marco()

    def _marco(self):
        self._enviar(self._puntero, _POINTER_FRAME, b"")
        self.sincronizar()

    @staticmethod
    def _tiempo():
        return int(time.monotonic() * 1000) & 0xFFFFFFFF

    def _nuevo(self):
        objeto, self._siguiente = self._siguiente, self._siguiente + 1
        return objeto

    def _enviar(self, objeto, opcode, argumentos):
        tamano = 8 + len(argumentos)
        self._s.sendall(struct.pack("<II", objeto, (tamano << 16) | opcode) + argumentos)

    def _ida_y_vuelta(self, registro):
        """Sends a sync and reads events until its callback is done; globals announced on the
        registry meanwhile are kept."""
        llamada = self._nuevo()
        self._enviar(1, _DISPLAY_SYNC, struct.pack("<I", llamada))
        while True:
            objeto, opcode, datos = self._leer()
            if objeto == 1 and opcode == _DISPLAY_ERROR:
                _, codigo, largo = struct.unpack_from("<III", datos)
                mensaje = datos[12:12 + largo - 1].decode(errors="replace")
                raise ErrorWayland(f"protocol error {codigo}: {mensaje}")
            if objeto == registro and opcode == _REGISTRY_GLOBAL:
                nombre, largo = struct.unpack_from("<II", datos)
                interfaz = datos[8:8 + largo - 1].decode()
                version = struct.unpack_from("<I", datos, 8 + largo + (-largo % 4))[0]
                self._globales[interfaz] = (nombre, version)
            elif objeto == llamada and opcode == _CALLBACK_DONE:
                return

    def _leer(self):
        while True:
            if len(self._recibido) >= 8:
                objeto, palabra = struct.unpack_from("<II", self._recibido)
                tamano = palabra >> 16
                if len(self._recibido) >= tamano:
                    datos = self._recibido[8:tamano]
                    self._recibido = self._recibido[tamano:]
                    return objeto, palabra & 0xFFFF, datos
            trozo = self._s.recv(65536)
            if not trozo:
                raise ErrorWayland("the compositor closed the connection")
            self._recibido += trozo


def ruta_socket(dir_ejecucion, nombre):
    return nombre if os.path.isabs(nombre) else os.path.join(dir_ejecucion, nombre)


class PunteroKWin(PunteroWayland):
    """The same through KWin's fake-input protocol (org_kde_kwin_fake_input), which KWin lets a
    client use when it runs with KWIN_WAYLAND_NO_PERMISSION_CHECKS=1."""

    # Request opcodes of org_kde_kwin_fake_input, in the order its protocol declares them.
    _AUTENTICAR, _BOTON, _MOVER_ABSOLUTO = 0, 2, 9
    INTERFAZ = "org_kde_kwin_fake_input"

    def __init__(self, ruta, ancho, alto):
        self.ancho, self.alto = ancho, alto
        self._s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self._s.connect(ruta)
        self._recibido = b""
        self._siguiente = 2
        self._globales = {}
        registro = self._nuevo()
        self._enviar(1, _DISPLAY_GET_REGISTRY, struct.pack("<I", registro))
        self._ida_y_vuelta(registro)
        if self.INTERFAZ not in self._globales:
            raise ErrorWayland(f"the compositor offers no {self.INTERFAZ}")
        nombre, version = self._globales[self.INTERFAZ]
        if version < 3:
            raise ErrorWayland(f"{self.INTERFAZ} {version} has no absolute motion")
        self._puntero = self._nuevo()
        self._enviar(registro, _REGISTRY_BIND,
                     struct.pack("<I", nombre) + _cadena(self.INTERFAZ)
                     + struct.pack("<II", 3, self._puntero))
        self._enviar(self._puntero, self._AUTENTICAR, _cadena("tizo-e2e") + _cadena("tests"))
        self._ida_y_vuelta(registro)

    def mover(self, x, y):
        self._enviar(self._puntero, self._MOVER_ABSOLUTO,
                     struct.pack("<ii", int(round(x * 256)), int(round(y * 256))))
        self.sincronizar()

    def _boton(self, boton, estado):
        self._enviar(self._puntero, self._BOTON, struct.pack("<II", BOTONES[boton], estado))
        self.sincronizar()

