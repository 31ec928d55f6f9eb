#include "Autoarranque.h"

#include "Version.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>

namespace {

// The escapes of a desktop entry's string values.
QString escaparValor(QString texto) {
    texto.replace(u'\\', QLatin1String("\\\\"));
    texto.replace(u'\n', QLatin1String("\\n"));
    texto.replace(u'\t', QLatin1String("\\t"));
    texto.replace(u'\r', QLatin1String("\\r"));
    return texto;
}

} // namespace

Autoarranque::Autoarranque(const QString& carpetaConfiguracion)
    : m_ruta(QDir(carpetaConfiguracion)
                 .filePath(QStringLiteral("autostart/") + Version::identificador() +
                           QStringLiteral(".desktop"))) {}

QString Autoarranque::carpetaConfiguracion(const QProcessEnvironment& entorno) {
    const QString xdg = entorno.value(QStringLiteral("XDG_CONFIG_HOME"));
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) {
        return QDir::cleanPath(xdg);
    }
    const QString casa = entorno.value(QStringLiteral("HOME"));
    return QDir::cleanPath((casa.isEmpty() ? QDir::homePath() : casa) + QStringLiteral("/.config"));
}

QString Autoarranque::comoExec(const QString& programa) {
    static const QString reservados = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString argumento = programa;
    argumento.replace(u'%', QLatin1String("%%")); // a lone % would start a field code
    const bool citar = std::any_of(argumento.cbegin(), argumento.cend(),
                                   [](QChar c) { return reservados.contains(c); });
    if (citar) {
        QString citado;
        for (const QChar c : std::as_const(argumento)) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
                citado += u'\\';
            }
            citado += c;
        }
        argumento = u'"' + citado + u'"';
    }
    return escaparValor(argumento);
}

QString Autoarranque::entrada(const QString& programa) {
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Tizo\n"
                          "TryExec=%1\n"
                          "Exec=%2\n"
                          "Icon=%3\n"
                          "Terminal=false\n"
                          "StartupNotify=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(escaparValor(programa), comoExec(programa), Version::identificador());
}

bool Autoarranque::activar(const QString& programa, QString* error) {
    const QFileInfo destino(m_ruta);
    if (!QDir().mkpath(destino.absolutePath())) {
        *error = tr("no se puede crear la carpeta %1").arg(destino.absolutePath());
        return false;
    }
    QSaveFile archivo(m_ruta);
    if (!archivo.open(QIODevice::WriteOnly)) {
        *error = archivo.errorString();
        return false;
    }
    archivo.write(entrada(programa).toUtf8());
    if (!archivo.commit()) {
        *error = archivo.errorString();
        return false;
    }
    return true;
}

bool Autoarranque::desactivar(bool* estaba, QString* error) {
    QFile archivo(m_ruta);
    // A dangling link is an entry too: exists() follows links, so ask about the path itself.
    *estaba = QFileInfo(m_ruta).exists() || QFileInfo(m_ruta).isSymLink();
    if (!*estaba) {
        return true;
    }
    if (!archivo.remove()) {
        *error = archivo.errorString();
        return false;
    }
    return true;
}

int Autoarranque::orden(const QString& valor, const QString& programa, QTextStream& salida,
                        QTextStream& errores) {
    QString error;
    if (valor == QLatin1String("on")) {
        if (!activar(programa, &error)) {
            errores << tr("tizo: no se puede escribir %1: %2").arg(m_ruta, error) << Qt::endl;
            return 1;
        }
        salida << tr("Inicio automático activado: %1").arg(m_ruta) << Qt::endl;
        return 0;
    }
    if (valor == QLatin1String("off")) {
        bool estaba = false;
        if (!desactivar(&estaba, &error)) {
            errores << tr("tizo: no se puede borrar %1: %2").arg(m_ruta, error) << Qt::endl;
            return 1;
        }
        salida << (estaba ? tr("Inicio automático desactivado: borrado %1")
                          : tr("El inicio automático ya estaba desactivado: %1 no existe"))
                      .arg(m_ruta)
               << Qt::endl;
        return 0;
    }
    errores << (valor.isEmpty() ? tr("tizo: --autostart necesita on u off")
                                : tr("tizo: --autostart admite on u off, no «%1»").arg(valor))
            << Qt::endl;
    return 2;
}
