"""What an installation of Tizo holds, shared by the install test and the package test."""

import os
import struct
import subprocess
import tempfile

ID = "io.github.tizo.Tizo"
TAMANOS = (16, 24, 32, 48, 64, 128, 256)

# Every file under the prefix, and nothing else.
ARCHIVOS = sorted(
    ["bin/tizo",
     f"share/applications/{ID}.desktop",
     f"share/metainfo/{ID}.metainfo.xml",
     f"share/icons/hicolor/scalable/apps/{ID}.svg",
     "share/man/man1/tizo.1.gz",
     "share/doc/tizo/copyright",
     "share/doc/tizo/changelog.gz",
     "share/tizo/translations/tizo_en.qm"]
    + [f"share/icons/hicolor/{n}x{n}/apps/{ID}.png" for n in TAMANOS])


def arbol(raiz):
    """The files under `raiz`, as paths relative to it."""
    return sorted(os.path.relpath(os.path.join(d, f), raiz)
                  for d, _, fs in os.walk(raiz) for f in fs)


def instalar(compilacion, destino, prefijo="/usr"):
    """`cmake --install` of the build folder into DESTDIR=`destino`; returns the prefix's path
    inside it."""
    entorno = dict(os.environ, DESTDIR=destino)
    subprocess.run(["cmake", "--install", compilacion, "--prefix", prefijo], env=entorno,
                   check=True, stdout=subprocess.DEVNULL)
    return destino + prefijo


def tamano_png(ruta):
    with open(ruta, "rb") as f:
        cabecera = f.read(24)
    if cabecera[:8] != b"\x89PNG\r\n\x1a\n" or cabecera[12:16] != b"IHDR":
        raise ValueError(f"{ruta} is not a PNG")
    return struct.unpack(">II", cabecera[16:24])


def carpeta_temporal():
    return tempfile.TemporaryDirectory(prefix="tizo-instalacion-")
