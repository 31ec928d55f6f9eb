#include "LineaOrdenes.h"

#include "Autoarranque.h"
#include "Version.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QProcessEnvironment>
#include <QTextStream>

namespace {

int mostrarVersion(const QString&, QTextStream& salida, QTextStream&) {
    salida << LineaOrdenes::version() << '\n';
    return 0;
}

int mostrarAyuda(const QString&, QTextStream& salida, QTextStream&) {
    salida << LineaOrdenes::ayuda();
    return 0;
}

// The session's autostart entry, pointing at this program; no running Tizo is needed.
int cambiarAutoarranque(const QString& valor, QTextStream& salida, QTextStream& errores) {
    Autoarranque entrada(
        Autoarranque::carpetaConfiguracion(QProcessEnvironment::systemEnvironment()));
    return entrada.orden(valor, QCoreApplication::applicationFilePath(), salida, errores);
}

QString conGuiones(const QString& nombre) {
    return (nombre.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + nombre;
}

} // namespace

const QList<LineaOrdenes::Opcion>& LineaOrdenes::opciones() {
    static const QList<Opcion> tabla{
        {{"draw", "dibujar"},
         tr("Entra en el modo de dibujo, o sale de él si ya está abierto"),
         {},
         Orden::Dibujar,
         {}},
        {{"clear", "borrar-todo"}, tr("Borra todas las formas"), {}, Orden::BorrarTodo, {}},
        {{"toggle", "mostrar-ocultar"},
         tr("Oculta todas las formas, o las muestra si están ocultas"),
         {},
         Orden::MostrarOcultar,
         {}},
        {{"undo", "deshacer"}, tr("Deshace el último paso"), {}, Orden::Deshacer, {}},
        {{"redo", "rehacer"}, tr("Rehace el último paso deshecho"), {}, Orden::Rehacer, {}},
        {{"quit", "salir"}, tr("Cierra Tizo"), {}, Orden::Salir, {}},
        {{"autostart", "inicio-automatico"},
         tr("Inicia Tizo con la sesión del escritorio (on) o deja de hacerlo (off)"),
         QStringLiteral("on|off"),
         std::nullopt,
         cambiarAutoarranque},
        {{"version"}, tr("Muestra la versión"), {}, std::nullopt, mostrarVersion},
        {{"h", "help", "ayuda"}, tr("Muestra esta ayuda"), {}, std::nullopt, mostrarAyuda},
    };
    return tabla;
}

LineaOrdenes::Resultado LineaOrdenes::analizar(const QStringList& argumentos) {
    const QList<Opcion>& tabla = opciones();
    QCommandLineParser analizador;
    // "-draw" is "--draw": never a bundle of one-letter options.
    analizador.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const Opcion& opcion : tabla) {
        analizador.addOption(QCommandLineOption(opcion.nombres, opcion.ayuda, opcion.valor));
    }

    Resultado resultado;
    auto error = [&resultado](const QString& texto) {
        resultado = Resultado();
        resultado.accion = Resultado::Accion::Error;
        resultado.error = QStringLiteral("tizo: ") + texto + QStringLiteral(" (tizo --help)");
        return resultado;
    };
    if (!analizador.parse(argumentos)) {
        const QStringList desconocidas = analizador.unknownOptionNames();
        if (!desconocidas.isEmpty()) {
            return error(tr("opción desconocida: %1").arg(conGuiones(desconocidas.first())));
        }
        return error(tr("opciones no válidas: %1").arg(argumentos.mid(1).join(QLatin1Char(' '))));
    }
    if (!analizador.positionalArguments().isEmpty()) {
        return error(tr("argumento inesperado: %1").arg(analizador.positionalArguments().first()));
    }
    for (const Opcion& opcion : tabla) {
        if (!analizador.isSet(opcion.nombres.first())) {
            continue;
        }
        if (resultado.opcion != nullptr) {
            return error(tr("una sola opción cada vez"));
        }
        resultado.opcion = &opcion;
        resultado.orden = opcion.orden;
        resultado.accion = opcion.orden ? Resultado::Accion::Orden : Resultado::Accion::Local;
        if (!opcion.valor.isEmpty()) {
            resultado.valor = analizador.value(opcion.nombres.first());
        }
    }
    return resultado;
}

QString LineaOrdenes::ayuda() {
    QString texto;
    QTextStream ayuda(&texto);
    ayuda << tr("Uso: tizo [opción]") << "\n\n"
          << tr("Dibuja sobre el escritorio. Sin opciones, inicia Tizo en la bandeja del sistema.")
          << '\n'
          << tr("Las órdenes van al Tizo en marcha; --draw lo inicia si no lo está.") << "\n\n"
          << tr("Opciones:") << '\n';
    QList<QString> nombres;
    qsizetype ancho = 0;
    for (const Opcion& opcion : opciones()) {
        QStringList conGuion;
        for (const QString& nombre : opcion.nombres) {
            conGuion.append(conGuiones(nombre));
        }
        QString columna = conGuion.join(QStringLiteral(", "));
        if (!opcion.valor.isEmpty()) {
            columna += QLatin1Char(' ') + opcion.valor;
        }
        ancho = std::max(ancho, columna.size());
        nombres.append(columna);
    }
    for (qsizetype i = 0; i < nombres.size(); ++i) {
        ayuda << "  " << nombres[i].leftJustified(ancho + 2) << opciones()[i].ayuda << '\n';
    }
    ayuda << '\n'
          << tr("Teclas: F9 entra en el modo de dibujo o sale de él (otra tecla, o ninguna, en")
          << '\n'
          << tr("~/.config/tizo/tizo.conf). Ctrl+Z deshace y Ctrl+Mayús+Z o Ctrl+Y rehacen, en el")
          << '\n'
          << tr("lienzo o en una forma. Al dibujar, Ctrl+S guarda la pantalla anotada en") << '\n'
          << tr("Imágenes/Tizo y Ctrl+C la copia al portapapeles.") << '\n'
          << tr("Al dibujar, 1 a 8 eligen pincel, línea, rectángulo, círculo, texto, flecha,")
          << '\n'
          << tr("resaltador o tinta efímera; R, G, B, Y, O y P el color (rojo, verde, azul,")
          << '\n'
          << tr("amarillo, naranja, rosa); + y - (o la rueda del ratón; con Mayús, de 5 en 5)")
          << '\n'
          << tr("el grosor; F1 o ? muestra las teclas; Esc deja de dibujar desde cualquier") << '\n'
          << tr("ventana de Tizo.") << '\n';
    return texto;
}

QString LineaOrdenes::version() {
    return QStringLiteral("tizo %1.%2.%3")
        .arg(Version::mayor())
        .arg(Version::menor())
        .arg(Version::revision());
}
