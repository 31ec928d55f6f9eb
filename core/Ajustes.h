#pragma once

#include "Estilo.h"

#include <QString>
#include <QStringList>

// The drawing style kept between runs, and the global key that toggles drawing mode, read from
// and written to one INI file. This object owns the style in use while the program runs.
class Ajustes {
public:
    // The file every run uses: $XDG_CONFIG_HOME/tizo/tizo.conf.
    static QString rutaPorDefecto();

    inline static const QString TeclaPorDefecto = QStringLiteral("F9");

    // What was loaded, with one line per problem (for stderr): a value out of range or of the
    // wrong type falls back to its default and the rest still load; an unreadable or corrupt
    // file gives every default. A missing file is no problem.
    struct Carga {
        QStringList avisos;
    };
    // Reads `ruta` into the settings, replacing what they held.
    Carga cargar(const QString& ruta);

    // Writes the settings to `ruta` in one atomic step, creating its folder. Empty on success,
    // otherwise one line saying why not.
    QString guardar(const QString& ruta) const;

    bool operator==(const Ajustes&) const = default;

    Estilo estilo;
    QString tecla = TeclaPorDefecto; // QKeySequence text (PortableText); empty: no global key
};
