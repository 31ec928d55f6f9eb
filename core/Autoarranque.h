#pragma once

#include <QCoreApplication>
#include <QString>

class QProcessEnvironment;
class QTextStream;

// Starting Tizo with the desktop session: a desktop entry in the user's autostart folder
// ($XDG_CONFIG_HOME/autostart) that runs this program, written or removed on request.
class Autoarranque {
    Q_DECLARE_TR_FUNCTIONS(Autoarranque)
public:
    // `carpetaConfiguracion` is the user's configuration folder (see carpetaConfiguracion()).
    explicit Autoarranque(const QString& carpetaConfiguracion);

    // The entry's path: <configuration folder>/autostart/<application id>.desktop.
    QString ruta() const { return m_ruta; }

    // Writes the entry, replacing one that is there, so that it runs `programa` (an absolute
    // path). The file is replaced whole or not at all. On failure, says why in `error`.
    bool activar(const QString& programa, QString* error);

    // Removes the entry. `estaba` tells whether there was one.
    bool desactivar(bool* estaba, QString* error);

    // The command-line option: "on" writes the entry, "off" removes it; anything else is refused.
    // Says what it did on `salida`, or what went wrong on `errores`, and returns the exit status:
    // 0 done, 1 the file could not be written or removed, 2 a value other than on or off.
    int orden(const QString& valor, const QString& programa, QTextStream& salida,
              QTextStream& errores);

    // The user's configuration folder by the XDG base directory rules: $XDG_CONFIG_HOME when it
    // is an absolute path, otherwise ~/.config.
    static QString carpetaConfiguracion(const QProcessEnvironment& entorno);

    // The text of the entry that runs `programa`.
    static QString entrada(const QString& programa);

    // `programa` as the Exec key of a desktop entry wants it: quoted when it holds a reserved
    // character, with the escapes of the quoting and of the key's value.
    static QString comoExec(const QString& programa);

private:
    QString m_ruta;
};
