<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="es">
<context>
    <name>Ajustes</name>
    <message>
        <source>no se puede leer (%1)</source>
        <translation>cannot be read (%1)</translation>
    </message>
    <message>
        <source>demasiado grande para ser un archivo de ajustes</source>
        <translation>too large to be a settings file</translation>
    </message>
    <message>
        <source>no es texto</source>
        <translation>is not text</translation>
    </message>
    <message>
        <source>no es texto UTF-8</source>
        <translation>is not UTF-8 text</translation>
    </message>
    <message>
        <source>un número entero de %1 a %2</source>
        <translation>a whole number from %1 to %2</translation>
    </message>
    <message>
        <source>true o false</source>
        <translation>true or false</translation>
    </message>
    <message>
        <source>un texto válido</source>
        <translation>a valid text</translation>
    </message>
    <message>
        <source>%1 no es %2; se usa el valor por defecto</source>
        <translation>%1 is not %2; the default value is used</translation>
    </message>
    <message>
        <source>no se puede leer</source>
        <translation>cannot be read</translation>
    </message>
    <message>
        <source>no tiene el formato INI</source>
        <translation>is not in INI format</translation>
    </message>
    <message>
        <source>%1: %2; se usan los ajustes por defecto</source>
        <translation>%1: %2; the default settings are used</translation>
    </message>
    <message>
        <source>no se pueden guardar los ajustes: no se puede crear %1</source>
        <translation>cannot save the settings: cannot create %1</translation>
    </message>
    <message>
        <source>no se pueden guardar los ajustes en %1</source>
        <translation>cannot save the settings in %1</translation>
    </message>
</context>
<context>
    <name>Autoarranque</name>
    <message>
        <source>no se puede crear la carpeta %1</source>
        <translation>cannot create the folder %1</translation>
    </message>
    <message>
        <source>tizo: no se puede escribir %1: %2</source>
        <translation>tizo: cannot write %1: %2</translation>
    </message>
    <message>
        <source>Inicio automático activado: %1</source>
        <translation>Autostart on: %1</translation>
    </message>
    <message>
        <source>tizo: no se puede borrar %1: %2</source>
        <translation>tizo: cannot remove %1: %2</translation>
    </message>
    <message>
        <source>Inicio automático desactivado: borrado %1</source>
        <translation>Autostart off: removed %1</translation>
    </message>
    <message>
        <source>El inicio automático ya estaba desactivado: %1 no existe</source>
        <translation>Autostart was already off: %1 does not exist</translation>
    </message>
    <message>
        <source>tizo: --autostart admite on u off, no «%1»</source>
        <translation>tizo: --autostart takes on or off, not “%1”</translation>
    </message>
    <message>
        <source>tizo: --autostart necesita on u off</source>
        <translation>tizo: --autostart needs on or off</translation>
    </message>
</context>
<context>
    <name>AyudaTeclas</name>
    <message>
        <source>Teclas para dibujar</source>
        <translation>Drawing keys</translation>
    </message>
</context>
<context>
    <name>ClienteOrdenes</name>
    <message>
        <source>no hay una carpeta privada donde hablar con Tizo</source>
        <translation>there is no private folder to talk to Tizo in</translation>
    </message>
    <message>
        <source>Tizo está en marcha pero no responde</source>
        <translation>Tizo is running but does not answer</translation>
    </message>
    <message>
        <source>%1 no es de este usuario</source>
        <translation>%1 does not belong to this user</translation>
    </message>
</context>
<context>
    <name>Dibujos</name>
    <message>
        <source>Dibuja sobre tu escritorio</source>
        <translation>Draw on your desktop</translation>
    </message>
</context>
<context>
    <name>EdicionTexto</name>
    <message>
        <source>Escribe aquí el texto ...</source>
        <translation>Type your text here ...</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source> Dibujar Fondo</source>
        <translation> Draw on Screen</translation>
    </message>
    <message>
        <source> Borrar Todo</source>
        <translation> Clear All</translation>
    </message>
    <message>
        <source> Mostrar / Ocultar</source>
        <translation> Show / Hide</translation>
    </message>
    <message>
        <source> Salir</source>
        <translation> Quit</translation>
    </message>
    <message>
        <source>tizo: la tecla %1 no está disponible en este sistema; el menú y tizo --draw siguen funcionando</source>
        <translation>tizo: the key %1 is not available on this system; the menu and tizo --draw still work</translation>
    </message>
    <message>
        <source>tizo: la tecla %1 la usa otro programa; el menú y tizo --draw siguen funcionando</source>
        <translation>tizo: another program uses the key %1; the menu and tizo --draw still work</translation>
    </message>
    <message>
        <source>Tizo (%1 no disponible: la usa otro programa)</source>
        <translation>Tizo (%1 not available: another program uses it)</translation>
    </message>
    <message>
        <source>Imagen guardada en %1</source>
        <translation>Picture saved in %1</translation>
    </message>
    <message>
        <source>tizo: no se pudo guardar la imagen: %1</source>
        <translation>tizo: the picture could not be saved: %1</translation>
    </message>
    <message>
        <source>No se pudo guardar la imagen: %1</source>
        <translation>The picture could not be saved: %1</translation>
    </message>
    <message>
        <source>Imagen copiada al portapapeles</source>
        <translation>Picture copied to the clipboard</translation>
    </message>
    <message>
        <source>tizo: no se pudo congelar la pantalla (%1); se dibuja sobre el escritorio en vivo</source>
        <translation>tizo: the screen could not be frozen (%1); drawing over the live desktop</translation>
    </message>
    <message>
        <source>No se pudo congelar la pantalla: se dibuja sobre el escritorio en vivo.</source>
        <translation>The screen could not be frozen: drawing over the live desktop.</translation>
    </message>
    <message>
        <source>, la tecla %1</source>
        <translation>, the %1 key</translation>
    </message>
    <message>
        <source>tizo: no hay bandeja del sistema donde poner el icono; Tizo sigue en marcha. Para dibujar: tizo --draw%1 o la acción «Dibujar» de Tizo en el menú de aplicaciones (tizo --help da las demás órdenes). El icono aparecerá en cuanto haya una bandeja.</source>
        <translation>tizo: there is no system tray to put the icon in; Tizo keeps running. To draw: tizo --draw%1 or the “Draw” action of Tizo in the applications menu (tizo --help gives the other commands). The icon will appear as soon as there is a tray.</translation>
    </message>
    <message>
        <source>tizo: en Wayland, la tecla %1 solo llega a Tizo cuando una de sus ventanas tiene el foco%2; para usarla en todo el escritorio, asígnela a la orden «tizo --draw» en los atajos de teclado del escritorio</source>
        <translation>tizo: on Wayland, the key %1 reaches Tizo only while one of its windows has the focus%2; to use it across the desktop, bind it to the command “tizo --draw” in the desktop’s keyboard shortcuts</translation>
    </message>
    <message>
        <source>Entrar o salir del modo de dibujo</source>
        <translation>Enter or leave drawing mode</translation>
    </message>
    <message>
        <source> (atajo del escritorio: %1)</source>
        <translation> (desktop shortcut: %1)</translation>
    </message>
</context>
<context>
    <name>FormFondo</name>
    <message>
        <source>Dejar de dibujar</source>
        <translation>Stop drawing</translation>
    </message>
</context>
<context>
    <name>FormTools</name>
    <message>
        <source>Herramientas</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>Cerrar</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Color de fondo</source>
        <translation>Background color</translation>
    </message>
    <message>
        <source>Grosor de líneas</source>
        <translation>Line thickness</translation>
    </message>
    <message>
        <source>Doble click para editar</source>
        <translation>Double-click to edit</translation>
    </message>
    <message>
        <source>Color de líneas</source>
        <translation>Line color</translation>
    </message>
    <message>
        <source>Pincel</source>
        <translation>Brush</translation>
    </message>
    <message>
        <source>Línea</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>Rectángulo</source>
        <translation>Rectangle</translation>
    </message>
    <message>
        <source>Círculo</source>
        <translation>Circle</translation>
    </message>
    <message>
        <source>Texto</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Tamaño</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>Negrita</source>
        <translation>Bold</translation>
    </message>
    <message>
        <source>Cursiva</source>
        <translation>Italic</translation>
    </message>
    <message>
        <source>Subrayado</source>
        <translation>Underline</translation>
    </message>
    <message>
        <source>Tachado</source>
        <translation>Strikeout</translation>
    </message>
    <message>
        <source>Flecha</source>
        <translation>Arrow</translation>
    </message>
    <message>
        <source>Resaltador</source>
        <translation>Highlighter</translation>
    </message>
    <message>
        <source>Tinta efímera</source>
        <translation>Fading ink</translation>
    </message>
</context>
<context>
    <name>GuardarImagen</name>
    <message>
        <source>no queda espacio en el disco</source>
        <translation>no space left on the disk</translation>
    </message>
    <message>
        <source>no se puede escribir en %1</source>
        <translation>cannot write in %1</translation>
    </message>
    <message>
        <source>error al escribir en %1</source>
        <translation>error writing in %1</translation>
    </message>
    <message>
        <source>no hay imagen</source>
        <translation>there is no picture</translation>
    </message>
    <message>
        <source>no se puede crear %1</source>
        <translation>cannot create %1</translation>
    </message>
    <message>
        <source>no se puede codificar la imagen</source>
        <translation>cannot encode the picture</translation>
    </message>
    <message>
        <source>demasiadas imágenes con el mismo nombre en %1</source>
        <translation>too many pictures with the same name in %1</translation>
    </message>
</context>
<context>
    <name>InstanciaUnica</name>
    <message>
        <source>tizo: no se puede usar el cerrojo %1 (error %2 de QLockFile); Tizo arranca igual</source>
        <translation>tizo: cannot use the lock file %1 (QLockFile error %2); Tizo starts anyway</translation>
    </message>
</context>
<context>
    <name>LineaOrdenes</name>
    <message>
        <source>Entra en el modo de dibujo, o sale de él si ya está abierto</source>
        <translation>Enters drawing mode, or leaves it when it is open</translation>
    </message>
    <message>
        <source>Borra todas las formas</source>
        <translation>Deletes every shape</translation>
    </message>
    <message>
        <source>Oculta todas las formas, o las muestra si están ocultas</source>
        <translation>Hides every shape, or shows them when they are hidden</translation>
    </message>
    <message>
        <source>Deshace el último paso</source>
        <translation>Undoes the last step</translation>
    </message>
    <message>
        <source>Rehace el último paso deshecho</source>
        <translation>Redoes the last step undone</translation>
    </message>
    <message>
        <source>Cierra Tizo</source>
        <translation>Quits Tizo</translation>
    </message>
    <message>
        <source>Inicia Tizo con la sesión del escritorio (on) o deja de hacerlo (off)</source>
        <translation>Starts Tizo with the desktop session (on) or stops doing so (off)</translation>
    </message>
    <message>
        <source>Muestra la versión</source>
        <translation>Shows the version</translation>
    </message>
    <message>
        <source>Muestra esta ayuda</source>
        <translation>Shows this help</translation>
    </message>
    <message>
        <source>opción desconocida: %1</source>
        <translation>unknown option: %1</translation>
    </message>
    <message>
        <source>opciones no válidas: %1</source>
        <translation>invalid options: %1</translation>
    </message>
    <message>
        <source>argumento inesperado: %1</source>
        <translation>unexpected argument: %1</translation>
    </message>
    <message>
        <source>una sola opción cada vez</source>
        <translation>one option at a time</translation>
    </message>
    <message>
        <source>Uso: tizo [opción]</source>
        <translation>Usage: tizo [option]</translation>
    </message>
    <message>
        <source>Dibuja sobre el escritorio. Sin opciones, inicia Tizo en la bandeja del sistema.</source>
        <translation>Draws on the desktop. Without options, starts Tizo in the system tray.</translation>
    </message>
    <message>
        <source>Las órdenes van al Tizo en marcha; --draw lo inicia si no lo está.</source>
        <translation>Commands go to the running Tizo; --draw starts it when it is not running.</translation>
    </message>
    <message>
        <source>Opciones:</source>
        <translation>Options:</translation>
    </message>
    <message>
        <source>Teclas: F9 entra en el modo de dibujo o sale de él (otra tecla, o ninguna, en</source>
        <translation>Keys: F9 enters drawing mode or leaves it (another key, or none, in</translation>
    </message>
    <message>
        <source>~/.config/tizo/tizo.conf). Ctrl+Z deshace y Ctrl+Mayús+Z o Ctrl+Y rehacen, en el</source>
        <translation>~/.config/tizo/tizo.conf). Ctrl+Z undoes and Ctrl+Shift+Z or Ctrl+Y redo, on the</translation>
    </message>
    <message>
        <source>lienzo o en una forma. Al dibujar, Ctrl+S guarda la pantalla anotada en</source>
        <translation>canvas or on a shape. While drawing, Ctrl+S saves the annotated screen in</translation>
    </message>
    <message>
        <source>Imágenes/Tizo y Ctrl+C la copia al portapapeles.</source>
        <translation>Pictures/Tizo and Ctrl+C copies it to the clipboard.</translation>
    </message>
    <message>
        <source>Al dibujar, 1 a 8 eligen pincel, línea, rectángulo, círculo, texto, flecha,</source>
        <translation>While drawing, 1 to 8 pick the brush, line, rectangle, circle, text, arrow,</translation>
    </message>
    <message>
        <source>resaltador o tinta efímera; R, G, B, Y, O y P el color (rojo, verde, azul,</source>
        <translation>highlighter or fading ink; R, G, B, Y, O and P the colour (red, green, blue,</translation>
    </message>
    <message>
        <source>amarillo, naranja, rosa); + y - (o la rueda del ratón; con Mayús, de 5 en 5)</source>
        <translation>yellow, orange, pink); + and - (or the mouse wheel; with Shift, 5 at a time)</translation>
    </message>
    <message>
        <source>el grosor; F1 o ? muestra las teclas; Esc deja de dibujar desde cualquier</source>
        <translation>the thickness; F1 or ? shows the keys; Esc stops drawing from any of</translation>
    </message>
    <message>
        <source>ventana de Tizo.</source>
        <translation>Tizo's windows.</translation>
    </message>
</context>
<context>
    <name>ServidorOrdenes</name>
    <message>
        <source>tizo: no hay una carpeta privada para recibir órdenes; tizo --draw y las demás no llegarán</source>
        <translation>tizo: there is no private folder to receive commands in; tizo --draw and the others will not arrive</translation>
    </message>
    <message>
        <source>tizo: otro programa recibe ya las órdenes en %1</source>
        <translation>tizo: another program already receives the commands in %1</translation>
    </message>
    <message>
        <source>tizo: no se pueden recibir órdenes en %1 (%2)</source>
        <translation>tizo: cannot receive commands in %1 (%2)</translation>
    </message>
</context>
<context>
    <name>TeclasDibujo</name>
    <message>
        <source>rojo</source>
        <translation>red</translation>
    </message>
    <message>
        <source>verde</source>
        <translation>green</translation>
    </message>
    <message>
        <source>azul</source>
        <translation>blue</translation>
    </message>
    <message>
        <source>amarillo</source>
        <translation>yellow</translation>
    </message>
    <message>
        <source>naranja</source>
        <translation>orange</translation>
    </message>
    <message>
        <source>rosa</source>
        <translation>pink</translation>
    </message>
    <message>
        <source>+  −  rueda</source>
        <translation>+  −  wheel</translation>
    </message>
    <message>
        <source>más grueso, más fino (Mayús + rueda: de 5 en 5)</source>
        <translation>thicker, thinner (Shift + wheel: 5 at a time)</translation>
    </message>
    <message>
        <source>Ctrl+Z  Ctrl+Y</source>
        <translation>Ctrl+Z  Ctrl+Y</translation>
    </message>
    <message>
        <source>deshacer, rehacer</source>
        <translation>undo, redo</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <source>guardar la pantalla en Imágenes</source>
        <translation>save the screen in Pictures</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>copiar la pantalla</source>
        <translation>copy the screen</translation>
    </message>
    <message>
        <source>Supr</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>borrar la forma pulsada</source>
        <translation>delete the shape clicked</translation>
    </message>
    <message>
        <source>F1  ?</source>
        <translation>F1  ?</translation>
    </message>
    <message>
        <source>esta ayuda</source>
        <translation>this help</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>dejar de dibujar</source>
        <translation>stop drawing</translation>
    </message>
</context>
</TS>
