#pragma once

#include "Orden.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QTextStream;

// What the command line asks for. Each option has an English long name, as Linux tools spell
// them, and Spanish aliases matching the tray menu; an option either gives a command to the
// running Tizo or is done at once by this process (version, help).
class LineaOrdenes {
    Q_DECLARE_TR_FUNCTIONS(LineaOrdenes)

public:
    // Done here and now: writes to `salida` (or `errores`) and gives the exit status.
    using Local =
        std::function<int(const QString& valor, QTextStream& salida, QTextStream& errores)>;

    struct Opcion {
        QStringList nombres; // without dashes, the English name first; one letter: -x
        QString ayuda;       // one line, in the program's language
        QString valor;       // the name of its value; empty when it takes none
        std::optional<Orden> orden;
        Local local;
    };
    // Every option, in the order the help lists them.
    static const QList<Opcion>& opciones();

    struct Resultado {
        enum class Accion {
            Iniciar, // no option: start Tizo (or leave quietly when one runs)
            Orden,   // give `orden` to the running Tizo
            Local,   // run `opcion->local` with `valor`
            Error,   // say `error` (one line) and end with status 2
        };
        Accion accion = Accion::Iniciar;
        std::optional<::Orden> orden;
        const Opcion* opcion = nullptr;
        QString valor;
        QString error;
    };
    // `argumentos` as main receives them, the program's name first.
    static Resultado analizar(const QStringList& argumentos);

    static QString ayuda();
    static QString version(); // "tizo 1.0.0"

    static constexpr int EstadoError = 2;
};
