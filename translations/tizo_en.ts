<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="es">
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
</context>
</TS>
