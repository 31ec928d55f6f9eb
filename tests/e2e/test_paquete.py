"""The Debian package of this build: made with CPack, its control fields and file list, what
Debian's checker (lintian) says of it, and the program it installs, unpacked into a scratch root, running there until its tray icon docks."""

import glob
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "instalacion"))

from harness import comprobar, ejecutar  # noqa: E402
from instalacion import ARCHIVOS  # noqa: E402

# Warnings of lintian left on purpose (the README says why).
LINTIAN_ACEPTADAS = ()


def campos(paquete):
    salida = subprocess.run(["dpkg-deb", "-f", paquete], capture_output=True, text=True,
                            check=True).stdout
    resultado, clave = {}, None
    for linea in salida.splitlines():
        if linea.startswith(" ") and clave:
            resultado[clave] += "\n" + linea
        else:
            clave, _, valor = linea.partition(": ")
            resultado[clave] = valor
    return resultado


def prueba_paquete(s):
    compilacion = os.environ["TIZO_COMPILACION"]
    version = os.environ["TIZO_VERSION"]
    arquitectura = subprocess.run(["dpkg", "--print-architecture"], capture_output=True,
                                  text=True, check=True).stdout.strip()
    with tempfile.TemporaryDirectory(prefix="tizo-paquete-") as tmp:
        subprocess.run(["cpack", "-G", "DEB", "-B", tmp], cwd=compilacion, check=True,
                       stdout=subprocess.DEVNULL)
        paquetes = glob.glob(os.path.join(tmp, "*.deb"))
        nombre = f"tizo_{version}_{arquitectura}.deb"
        comprobar([os.path.basename(p) for p in paquetes] == [nombre],
                  f"one package named {nombre}: {paquetes}")
        paquete = paquetes[0]

        c = campos(paquete)
        comprobar(c.get("Package") == "tizo" and c.get("Version") == version, f"name and version: {c}")
        comprobar(c.get("Section") == "graphics", f"section: {c.get('Section')}")
        comprobar(c.get("Architecture") == arquitectura, f"architecture: {c.get('Architecture')}")
        comprobar("@" in c.get("Maintainer", ""), f"maintainer: {c.get('Maintainer')}")
        comprobar("\n" in c.get("Description", ""), "a summary and a long description")
        # Computed from the binary, not written by hand.
        # Debian 13 names some libraries anew (libqt6core6t64: the 64-bit time transition).
        dependencias = {d.strip().split(" ")[0].removesuffix("t64")
                        for d in c.get("Depends", "").split(",")}
        for biblioteca in ("libc6", "libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6svg6",
                           "libx11-6"):
            comprobar(biblioteca in dependencias, f"depends on {biblioteca}: {c.get('Depends')}")

        # Debian's checker: no error, and no warning but those the README lists.
        r = subprocess.run(["lintian", "--fail-on", "error,warning", "--display-info",
                            "--suppress-tags", ",".join(LINTIAN_ACEPTADAS), paquete],
                           capture_output=True, text=True)
        print(r.stdout, end="", flush=True)
        comprobar(r.returncode == 0, f"lintian: {r.returncode}\n{r.stdout}{r.stderr}")

        listado = subprocess.run(["dpkg-deb", "-c", paquete], capture_output=True, text=True,
                                 check=True).stdout.splitlines()
        archivos = sorted(l.split()[-1][len("./usr/"):] for l in listado if not l.startswith("d"))
        comprobar(archivos == ARCHIVOS, f"the package's files: {archivos}")

        raiz = os.path.join(tmp, "raiz")
        subprocess.run(["dpkg", "-x", paquete, raiz], check=True)
        os.environ["TIZO_BIN"] = os.path.join(raiz, "usr/bin/tizo")
        tizo = s.lanzar_tizo()  # waits until the icon is docked in the tray
        s.guardar_captura("bandeja")
        s.elegir(" Salir")
        codigo = tizo.wait(15)
        comprobar(codigo == 0, f"the installed program quits with 0, got {codigo}:\n"
                               f"{s.salida_tizo()}")


ejecutar(globals())
