#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QProcessEnvironment;
class QTranslator;

// The language of the user interface. Spanish is the program's own language; a translation is
// used only when the user's messages locale asks for its language, the way gettext programs
// choose: LC_ALL, then LC_MESSAGES, then LANG name the locale; "C" and "POSIX" keep the program's
// own text; LANGUAGE, when set, lists the preferred languages in order.
class Idioma {
public:
    Idioma();
    ~Idioma();
    Idioma(const Idioma&) = delete;
    Idioma& operator=(const Idioma&) = delete;

    // The language code of the translation the environment asks for among `disponibles` (such as
    // "en"), or an empty string for Spanish.
    static QString elegir(const QProcessEnvironment& entorno, const QStringList& disponibles);

    // Where the program's translations are looked for, first match wins: next to the program in
    // the build tree, then in the installed data folder relative to the program, so that an
    // installation moved to another prefix still finds them.
    static QStringList carpetas(const QString& carpetaPrograma);

    // The languages that have a translation file in `carpeta` (tizo_<code>.qm).
    static QStringList disponibles(const QString& carpeta);

    // Chooses the language for this process's environment and installs its translators on the
    // application (the program's own and Qt's, when they exist). Returns the code chosen, empty
    // for Spanish. The translators live as long as this object.
    QString instalar();
    // Installs the translators chosen before on the application that replaced the one they were
    // installed on.
    void reinstalar() const;

private:
    std::unique_ptr<QTranslator> m_programa;
    std::unique_ptr<QTranslator> m_qt;
};
