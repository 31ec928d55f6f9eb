#include "Idioma.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QProcessEnvironment>
#include <QTranslator>

namespace {

// "en_GB.UTF-8@euro" -> "en"
QString codigoDeIdioma(const QString& nombre) {
    qsizetype fin = 0;
    while (fin < nombre.size() && nombre[fin].isLetter()) {
        ++fin;
    }
    return nombre.left(fin).toLower();
}

const QString Propio = QStringLiteral("es");

} // namespace

Idioma::Idioma() = default;
Idioma::~Idioma() = default;

QString Idioma::elegir(const QProcessEnvironment& entorno, const QStringList& disponibles) {
    QString localizacion;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        localizacion = entorno.value(QString::fromLatin1(variable));
        if (!localizacion.isEmpty()) {
            break;
        }
    }
    // The C locale means untranslated text, whatever LANGUAGE says (as gettext does).
    if (localizacion.isEmpty() || localizacion == QLatin1String("C") ||
        localizacion == QLatin1String("POSIX") || localizacion.startsWith(QLatin1String("C."))) {
        return {};
    }
    QStringList preferidos = entorno.value(QStringLiteral("LANGUAGE")).split(u':');
    preferidos.append(localizacion);
    for (const QString& preferido : preferidos) {
        const QString codigo = codigoDeIdioma(preferido);
        if (codigo == Propio) {
            return {};
        }
        if (!codigo.isEmpty() && disponibles.contains(codigo)) {
            return codigo;
        }
    }
    return {};
}

QStringList Idioma::carpetas(const QString& carpetaPrograma) {
    const QDir programa(carpetaPrograma);
    return {QDir::cleanPath(programa.filePath(QStringLiteral("translations"))),
            QDir::cleanPath(programa.filePath(QStringLiteral(TIZO_TRADUCCIONES_RELATIVAS)))};
}

QStringList Idioma::disponibles(const QString& carpeta) {
    QStringList codigos;
    const QStringList archivos =
        QDir(carpeta).entryList({QStringLiteral("tizo_*.qm")}, QDir::Files, QDir::Name);
    for (const QString& archivo : archivos) {
        codigos.append(archivo.mid(5, archivo.size() - 5 - 3));
    }
    return codigos;
}

QString Idioma::instalar() {
    const QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    QString carpeta;
    QStringList codigos;
    for (const QString& candidata : carpetas(QCoreApplication::applicationDirPath())) {
        codigos = disponibles(candidata);
        if (!codigos.isEmpty()) {
            carpeta = candidata;
            break;
        }
    }
    const QString codigo = elegir(entorno, codigos);
    if (!codigo.isEmpty()) {
        m_programa = std::make_unique<QTranslator>();
        if (m_programa->load(QStringLiteral("tizo_") + codigo, carpeta)) {
            QCoreApplication::installTranslator(m_programa.get());
        } else {
            qWarning("tizo: no se puede cargar la traducción %s de %s", qPrintable(codigo),
                     qPrintable(QDir::toNativeSeparators(carpeta)));
            m_programa.reset();
        }
    }
    // Qt's own words (a text box's context menu) in the same language, when Qt ships them.
    const QString idiomaQt = m_programa ? codigo : Propio;
    m_qt = std::make_unique<QTranslator>();
    if (m_qt->load(QStringLiteral("qtbase_") + idiomaQt,
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(m_qt.get());
    } else {
        m_qt.reset();
    }
    return m_programa ? codigo : QString();
}

void Idioma::reinstalar() const {
    for (QTranslator* traductor : {m_programa.get(), m_qt.get()}) {
        if (traductor != nullptr) {
            QCoreApplication::installTranslator(traductor);
        }
    }
}
