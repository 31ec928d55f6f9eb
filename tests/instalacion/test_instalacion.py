"""The installed tree as a desktop sees it: the file list, the icons, the menu entry, the AppStream
metadata, the manual page, the copyright file and changelog, the translations found from where the program is installed, and the
translation files up to date with the code.

Usage: test_instalacion.py BUILD_DIR SOURCE_DIR VERSION CHECK
"""

import configparser
import gzip
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ET

from instalacion import ARCHIVOS, ID, TAMANOS, arbol, carpeta_temporal, instalar, tamano_png

COMPILACION, FUENTES, VERSION = sys.argv[1:4]


class Fallo(AssertionError):
    pass


def comprobar(condicion, mensaje):
    if not condicion:
        raise Fallo(mensaje)


def herramienta(nombre):
    ruta = shutil.which(nombre)
    comprobar(ruta, f"{nombre} is not installed (scripts/deps.sh installs it)")
    return ruta


def ejecutar(orden, **kw):
    return subprocess.run(orden, capture_output=True, text=True, **kw)


def comprobar_arbol(prefijo):
    hay = arbol(prefijo)
    comprobar(hay == ARCHIVOS,
              f"installed files differ:\n missing {sorted(set(ARCHIVOS) - set(hay))}\n"
              f" unexpected {sorted(set(hay) - set(ARCHIVOS))}")
    comprobar(os.access(os.path.join(prefijo, "bin/tizo"), os.X_OK), "bin/tizo is executable")


def comprobar_iconos(prefijo):
    for n in TAMANOS:
        ruta = os.path.join(prefijo, f"share/icons/hicolor/{n}x{n}/apps/{ID}.png")
        comprobar(tamano_png(ruta) == (n, n), f"{ruta}: {tamano_png(ruta)}, expected {n}x{n}")
    svg = ET.parse(os.path.join(prefijo, f"share/icons/hicolor/scalable/apps/{ID}.svg")).getroot()
    comprobar(svg.tag == "{http://www.w3.org/2000/svg}svg" and svg.get("viewBox"),
              "the scalable icon is an SVG with a viewBox")


def comprobar_escritorio(prefijo):
    ruta = os.path.join(prefijo, f"share/applications/{ID}.desktop")
    r = ejecutar([herramienta("desktop-file-validate"), ruta])
    # Hints are advice (two main categories are asked for); errors and warnings are faults.
    problemas = [l for l in r.stdout.splitlines() if "error:" in l or "warning:" in l]
    comprobar(r.returncode == 0 and not problemas, f"desktop-file-validate:\n{r.stdout}{r.stderr}")
    entrada = configparser.ConfigParser(interpolation=None, strict=True)
    entrada.optionxform = str
    entrada.read(ruta, encoding="utf-8")
    principal = entrada["Desktop Entry"]
    # The program by its full path, where it was installed: KDE Plasma lets it take screenshots
    # by this entry.
    programa = "/usr/bin/tizo"
    esperado = {"Type": "Application", "Name": "Tizo", "Exec": programa, "Icon": ID,
                "Terminal": "false", "Categories": "Utility;Graphics;", "StartupNotify": "false",
                "X-KDE-DBUS-Restricted-Interfaces": "org.kde.KWin.ScreenShot2"}
    for clave, valor in esperado.items():
        comprobar(principal.get(clave) == valor, f"{clave}={principal.get(clave)}, expected {valor}")
    for clave in ("Comment", "GenericName", "Keywords", "Comment[en]", "GenericName[en]"):
        comprobar(principal.get(clave), f"{clave} is set")
    acciones = [a for a in principal["Actions"].split(";") if a]
    ordenes = {entrada[f"Desktop Action {a}"]["Name"]: entrada[f"Desktop Action {a}"]["Exec"]
               for a in acciones}
    comprobar(ordenes == {"Dibujar": programa + " --draw", "Borrar todo": programa + " --clear"},
              f"actions: {ordenes}")
    iconos = [f for f in arbol(prefijo) if os.path.basename(f).startswith(ID + ".")
              and f.startswith("share/icons/")]
    comprobar(len(iconos) == len(TAMANOS) + 1, f"the entry's icon is installed: {iconos}")


def comprobar_metainfo(prefijo):
    ruta = os.path.join(prefijo, f"share/metainfo/{ID}.metainfo.xml")
    r = ejecutar([herramienta("appstreamcli"), "validate", "--no-net", ruta])
    comprobar(r.returncode == 0, f"appstreamcli validate:\n{r.stdout}{r.stderr}")
    raiz = ET.parse(ruta).getroot()
    comprobar(raiz.findtext("id") == ID, "the component's id")
    comprobar(raiz.findtext("metadata_license") == "CC0-1.0", "CC0 metadata")
    comprobar(raiz.findtext("launchable") == ID + ".desktop", "launchable is the desktop entry")
    comprobar(raiz.find("content_rating") is not None, "content rating")
    versiones = [r.get("version") for r in raiz.iter("release")]
    comprobar(versiones and versiones[0] == VERSION,
              f"the newest release is this version ({VERSION}): {versiones}")
    imagenes = [i.text for i in raiz.iter("image")]
    comprobar(imagenes, "screenshots")
    for url in imagenes:
        relativa = re.sub(r"^https://raw\.githubusercontent\.com/[^/]+/[^/]+/[^/]+/", "", url)
        comprobar(os.path.isfile(os.path.join(FUENTES, relativa)),
                  f"screenshot {url} is in the repository as {relativa}")


def comprobar_manual(prefijo):
    ruta = os.path.join(prefijo, "share/man/man1/tizo.1.gz")
    with gzip.open(ruta, "rb") as f:
        fuente = f.read()
    r = subprocess.run([herramienta("groff"), "-man", "-ww", "-z", "-Tutf8"], input=fuente,
                       capture_output=True)
    r.stderr = r.stderr.decode(errors="replace")
    comprobar(r.returncode == 0 and not r.stderr, f"groff warnings:\n{r.stderr}")
    r = ejecutar([herramienta("man"), "--warnings", "-E", "UTF-8", "-l", ruta],
                 env=dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8", MAN_KEEP_STDERR="1"))
    comprobar(r.returncode == 0 and not r.stderr, f"man warnings:\n{r.stderr}")
    texto = r.stdout
    for seccion in ("NAME", "SYNOPSIS", "DESCRIPTION", "TRAY MENU", "DRAWING MODE", "OPTIONS",
                    "EXIT STATUS", "ENVIRONMENT", "FILES"):
        comprobar(re.search(rf"^{seccion}$", texto, re.M), f"section {seccion}")
    for palabra in ("Dibujar Fondo", "Borrar Todo", "Mostrar / Ocultar", "Salir", "Esc", "Delete",
                    f"Tizo {VERSION}", "/share/tizo/translations", "tizo.conf"):
        comprobar(palabra in texto, f"the manual mentions {palabra!r}")
    # Every option the program lists in its help, under every name.
    entorno = dict(os.environ, LANG="C", LC_ALL="C")
    ayuda = ejecutar([os.path.join(prefijo, "bin/tizo"), "--help"], env=entorno).stdout
    opciones = set(re.findall(r"(?<![\w-])--?[a-z][a-z-]*", ayuda.split("\n\n")[2]))
    comprobar(len(opciones) > 10, f"the options in the help: {ayuda}")
    for opcion in sorted(opciones):
        comprobar(re.search(rf"(?<![\w-]){re.escape(opcion)}(?![\w-])", texto),
                  f"the manual documents {opcion}")


def comprobar_documentos(prefijo):
    """The licence as Debian's machine-readable copyright file, and a changelog whose latest
    entry is this version, both as a package carries them."""
    doc = os.path.join(prefijo, "share/doc/tizo")
    with open(os.path.join(doc, "copyright")) as f:
        copyright = f.read()
    comprobar(copyright.startswith(
        "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"),
        "a machine-readable copyright file")
    parrafos = [p for p in copyright.split("\n\n") if p.strip()]
    licencias = {re.search(r"^License: (\S+)", p, re.M).group(1) for p in parrafos[1:]}
    comprobar(licencias == {"Expat"}, f"one licence, named and given: {licencias}")
    with open(os.path.join(FUENTES, "LICENSE")) as f:
        primera = f.read().split("\n\n")[2].split()
    comprobar(" ".join(primera) in " ".join(copyright.split()),
              "the copyright file's licence text is the LICENSE file's")
    with gzip.open(os.path.join(doc, "changelog.gz"), "rt") as f:
        cambios = f.read()
    comprobar(cambios.startswith(f"tizo ({VERSION}) "), f"the latest entry is {VERSION}")
    comprobar(re.search(r"^ -- .+ <.+@.+>  \w{3}, \d\d \w{3} \d{4} ", cambios, re.M),
              "a signed, dated entry")


def comprobar_traducciones(prefijo):
    """The installed program finds its translations from where it is installed, wherever that
    is: here a DESTDIR it was never configured for."""
    programa = os.path.join(prefijo, "bin/tizo")
    with carpeta_temporal() as config:
        for lang, dicho in (("en_US.UTF-8", "Autostart on: "), ("C", "Inicio automático activado: "),
                            ("es_ES.UTF-8", "Inicio automático activado: ")):
            entorno = {k: v for k, v in os.environ.items()
                       if k not in ("LC_ALL", "LC_MESSAGES", "LANGUAGE", "DISPLAY")}
            entorno.update(LANG=lang, XDG_CONFIG_HOME=config)
            r = ejecutar([programa, "--autostart", "on"], env=entorno)
            entrada = os.path.join(config, "autostart", ID + ".desktop")
            comprobar(r.returncode == 0 and r.stdout == f"{dicho}{entrada}\n",
                      f"LANG={lang}: {r.returncode} {r.stdout!r} {r.stderr!r}")
            with open(entrada, encoding="utf-8") as f:
                comprobar(f"\nExec={os.path.realpath(programa)}\n" in f.read(),
                          "the entry runs the installed program")


def comprobar_ts(_prefijo):
    """Every text of the code is in each translation, translated, with the spaces and
    placeholders of the original."""
    lupdate = shutil.which("lupdate", path="/usr/lib/qt6/bin:" + os.environ.get("PATH", ""))
    comprobar(lupdate, "lupdate is not installed (qt6-l10n-tools)")
    carpeta = os.path.join(FUENTES, "translations")
    archivos = [f for f in os.listdir(carpeta) if f.endswith(".ts")]
    comprobar(archivos, "translation files")
    fuentes = [os.path.join(FUENTES, d) for d in
               ("platform", "core", "shapes", "palette", "canvas", "app")]
    with carpeta_temporal() as tmp:
        for nombre in archivos:
            copia = os.path.join(tmp, nombre)
            shutil.copy(os.path.join(carpeta, nombre), copia)
            r = ejecutar([lupdate, "-silent", "-locations", "none", *fuentes, "-ts", copia])
            comprobar(r.returncode == 0, f"lupdate: {r.stderr}")
            for mensaje in ET.parse(copia).getroot().iter("message"):
                original = mensaje.findtext("source")
                traduccion = mensaje.find("translation")
                estado = traduccion.get("type")
                comprobar(estado is None,
                          f"{nombre}: {original!r} is {estado} (run `make traducciones` and "
                          "translate it)")
                texto = traduccion.text or ""
                comprobar(texto.strip(), f"{nombre}: {original!r} has an empty translation")
                for lado, recorte in (("leading", lambda t: t[: len(t) - len(t.lstrip())]),
                                      ("trailing", lambda t: t[len(t.rstrip()):])):
                    comprobar(recorte(texto) == recorte(original),
                              f"{nombre}: {original!r} -> {texto!r} changes the {lado} space")
                comprobar(sorted(re.findall(r"%\d", texto)) == sorted(re.findall(r"%\d", original)),
                          f"{nombre}: {original!r} -> {texto!r} changes the placeholders")
                if "Tizo" in original:
                    comprobar("Tizo" in texto, f"{nombre}: the name stays in {texto!r}")


COMPROBACIONES = {
    "arbol": comprobar_arbol,
    "iconos": comprobar_iconos,
    "escritorio": comprobar_escritorio,
    "metainfo": comprobar_metainfo,
    "manual": comprobar_manual,
    "documentos": comprobar_documentos,
    "traducciones": comprobar_traducciones,
    "ts": comprobar_ts,
}


def main():
    nombre = sys.argv[4]
    with carpeta_temporal() as destino:
        prefijo = instalar(COMPILACION, destino)
        try:
            COMPROBACIONES[nombre](prefijo)
        except Fallo as e:
            print(f"FAIL {nombre}: {e}")
            sys.exit(1)
    print(f"PASS {nombre}")


main()
