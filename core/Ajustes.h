#pragma once

#include <QString>
#include <QStringList>

// The drawing settings kept between runs, and the global key that toggles drawing mode. They are
// read from and written to one INI file; what they hold is applied to modGeneral at start and
// taken back from it before each save.
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

    // modGeneral takes these settings / these settings take modGeneral's.
    void aplicar() const;
    void tomarDe();

    bool operator==(const Ajustes&) const = default;

    int tipo = 0;
    int color = 255;
    int grosor = 10;
    QString fuente = QStringLiteral("Arial");
    int tamFuente = 40;
    bool negrita = false;
    bool cursiva = false;
    bool subrayado = false;
    bool tachado = false;
    QString tecla = TeclaPorDefecto; // QKeySequence text (PortableText); empty: no global key
};
