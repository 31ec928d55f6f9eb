#include "Ajustes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>

#include <functional>
#include <optional>

namespace {

// A settings file is a few hundred bytes; anything this big is not one.
constexpr qint64 TamanoMaximo = 64 * 1024;
constexpr qsizetype LargoMaximoFuente = 256;

const QString ClaveTipo = QStringLiteral("Dibujo/Herramienta");
const QString ClaveColor = QStringLiteral("Dibujo/Color");
const QString ClaveGrosor = QStringLiteral("Dibujo/Grosor");
const QString ClaveColorResaltador = QStringLiteral("Dibujo/ColorResaltador");
const QString ClaveGrosorResaltador = QStringLiteral("Dibujo/GrosorResaltador");
const QString ClaveSuave = QStringLiteral("Dibujo/Suave");
const QString ClaveEsperaLaser = QStringLiteral("Laser/Espera");
const QString ClaveDesvanecerLaser = QStringLiteral("Laser/Desvanecer");
const QString ClaveFuente = QStringLiteral("Texto/Fuente");
const QString ClaveTamFuente = QStringLiteral("Texto/Tamano");
const QString ClaveNegrita = QStringLiteral("Texto/Negrita");
const QString ClaveCursiva = QStringLiteral("Texto/Cursiva");
const QString ClaveSubrayado = QStringLiteral("Texto/Subrayado");
const QString ClaveTachado = QStringLiteral("Texto/Tachado");
const QString ClaveTecla = QStringLiteral("Teclado/DibujarFondo");

// The file's text, or why it cannot be a settings file.
QString problemaDelArchivo(const QString& ruta) {
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly)) {
        return QCoreApplication::translate("Ajustes", "no se puede leer (%1)")
            .arg(archivo.errorString());
    }
    if (archivo.size() > TamanoMaximo) {
        return QCoreApplication::translate("Ajustes",
                                           "demasiado grande para ser un archivo de ajustes");
    }
    const QByteArray datos = archivo.readAll();
    if (datos.contains('\0')) {
        return QCoreApplication::translate("Ajustes", "no es texto");
    }
    auto utf8 = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)utf8.decode(datos).operator QString();
    if (utf8.hasError()) {
        return QCoreApplication::translate("Ajustes", "no es texto UTF-8");
    }
    return {};
}

// A value as its text. QSettings (Qt 6.4 and 6.8) gives what it read from the file as text, but
// what this process wrote as it was written; a list (an unquoted comma in the file) is no single
// value.
std::optional<QString> comoTexto(const QVariant& valor) {
    switch (valor.typeId()) {
    case QMetaType::QString:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Bool:
        return valor.toString();
    default:
        return std::nullopt;
    }
}

// Each value is taken only when it is of its kind and in its range; otherwise the default stays
// and a line says which value was dropped.
class Lector {
public:
    Lector(const QSettings& archivo, QStringList& avisos) : m_archivo(archivo), m_avisos(avisos) {}

    void entero(const QString& clave, int& valor, int minimo, int maximo) {
        const QVariant leido = m_archivo.value(clave);
        if (!leido.isValid()) {
            return;
        }
        bool ok = false;
        const int n = comoTexto(leido).value_or(QString()).trimmed().toInt(&ok);
        if (ok && n >= minimo && n <= maximo) {
            valor = n;
        } else {
            descartar(clave, QCoreApplication::translate("Ajustes", "un número entero de %1 a %2")
                                 .arg(minimo)
                                 .arg(maximo));
        }
    }

    void logico(const QString& clave, bool& valor) {
        const QVariant leido = m_archivo.value(clave);
        if (!leido.isValid()) {
            return;
        }
        const QString texto = comoTexto(leido).value_or(QString()).trimmed().toLower();
        if (texto == QLatin1String("true") || texto == QLatin1String("false")) {
            valor = texto == QLatin1String("true");
        } else {
            descartar(clave, QCoreApplication::translate("Ajustes", "true o false"));
        }
    }

    void texto(const QString& clave, QString& valor, qsizetype largoMaximo,
               const std::function<bool(const QString&)>& valido = {}) {
        const QVariant leido = m_archivo.value(clave);
        if (!leido.isValid()) {
            return;
        }
        const std::optional<QString> texto = comoTexto(leido);
        if (texto && texto->size() <= largoMaximo && (!valido || valido(*texto))) {
            valor = *texto;
        } else {
            descartar(clave, QCoreApplication::translate("Ajustes", "un texto válido"));
        }
    }

private:
    void descartar(const QString& clave, const QString& esperado) {
        m_avisos.append(
            QCoreApplication::translate("Ajustes", "%1 no es %2; se usa el valor por defecto")
                .arg(clave.section(QLatin1Char('/'), -1), esperado));
    }

    const QSettings& m_archivo;
    QStringList& m_avisos;
};

bool teclaValida(const QString& texto) {
    if (texto.isEmpty()) {
        return true; // no global key
    }
    const QKeySequence secuencia = QKeySequence::fromString(texto, QKeySequence::PortableText);
    return secuencia.count() == 1 && secuencia[0].key() != Qt::Key_unknown &&
           secuencia.toString(QKeySequence::PortableText) != QString();
}

} // namespace

QString Ajustes::rutaPorDefecto() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/tizo/tizo.conf");
}

Ajustes::Carga Ajustes::cargar(const QString& ruta) {
    *this = Ajustes();
    Carga carga;
    if (!QFileInfo::exists(ruta)) {
        return carga;
    }
    const QString aviso = [&] {
        if (QString problema = problemaDelArchivo(ruta); !problema.isEmpty()) {
            return problema;
        }
        const QSettings archivo(ruta, QSettings::IniFormat);
        switch (archivo.status()) {
        case QSettings::NoError:
            return QString();
        case QSettings::AccessError:
            return QCoreApplication::translate("Ajustes", "no se puede leer");
        case QSettings::FormatError:
            break;
        }
        return QCoreApplication::translate("Ajustes", "no tiene el formato INI");
    }();
    if (!aviso.isEmpty()) {
        carga.avisos.append(
            QCoreApplication::translate("Ajustes", "%1: %2; se usan los ajustes por defecto")
                .arg(QDir::toNativeSeparators(ruta), aviso));
        return carga;
    }

    const QSettings archivo(ruta, QSettings::IniFormat);
    QStringList avisos;
    Lector lector(archivo, avisos);
    int herramienta = static_cast<int>(estilo.herramienta);
    lector.entero(ClaveTipo, herramienta, 0, NumHerramientas - 1);
    estilo.herramienta = static_cast<Herramienta>(herramienta);
    lector.entero(ClaveColor, estilo.color, 0, 0xFFFFFF);
    lector.entero(ClaveGrosor, estilo.grosor, 1, 200);
    lector.entero(ClaveColorResaltador, estilo.colorResaltador, 0, 0xFFFFFF);
    lector.entero(ClaveGrosorResaltador, estilo.grosorResaltador, 1, 200);
    lector.logico(ClaveSuave, estilo.suave);
    lector.texto(ClaveFuente, estilo.fuente, LargoMaximoFuente);
    lector.entero(ClaveTamFuente, estilo.tamFuente, 8, 200);
    lector.logico(ClaveNegrita, estilo.negrita);
    lector.logico(ClaveCursiva, estilo.cursiva);
    lector.logico(ClaveSubrayado, estilo.subrayado);
    lector.logico(ClaveTachado, estilo.tachado);
    lector.entero(ClaveEsperaLaser, estilo.esperaLaser, 0, 60000);
    lector.entero(ClaveDesvanecerLaser, estilo.desvanecerLaser, 0, 10000);
    lector.texto(ClaveTecla, tecla, 64, teclaValida);
    for (const QString& linea : std::as_const(avisos)) {
        carga.avisos.append(QDir::toNativeSeparators(ruta) + QStringLiteral(": ") + linea);
    }
    return carga;
}

QString Ajustes::guardar(const QString& ruta) const {
    const QString carpeta = QFileInfo(ruta).absolutePath();
    if (!QDir().mkpath(carpeta)) {
        return QCoreApplication::translate("Ajustes",
                                           "no se pueden guardar los ajustes: no se puede crear %1")
            .arg(QDir::toNativeSeparators(carpeta));
    }
    // QSettings writes through a temporary file renamed over the old one (QSaveFile, in Qt 6.4 and
    // 6.8): a crash never leaves half a file.
    QSettings archivo(ruta, QSettings::IniFormat);
    archivo.clear();
    archivo.setValue(ClaveTipo, static_cast<int>(estilo.herramienta));
    archivo.setValue(ClaveColor, estilo.color);
    archivo.setValue(ClaveGrosor, estilo.grosor);
    archivo.setValue(ClaveColorResaltador, estilo.colorResaltador);
    archivo.setValue(ClaveGrosorResaltador, estilo.grosorResaltador);
    archivo.setValue(ClaveSuave, estilo.suave);
    archivo.setValue(ClaveFuente, estilo.fuente);
    archivo.setValue(ClaveTamFuente, estilo.tamFuente);
    archivo.setValue(ClaveNegrita, estilo.negrita);
    archivo.setValue(ClaveCursiva, estilo.cursiva);
    archivo.setValue(ClaveSubrayado, estilo.subrayado);
    archivo.setValue(ClaveTachado, estilo.tachado);
    archivo.setValue(ClaveEsperaLaser, estilo.esperaLaser);
    archivo.setValue(ClaveDesvanecerLaser, estilo.desvanecerLaser);
    archivo.setValue(ClaveTecla, tecla);
    archivo.sync();
    if (archivo.status() != QSettings::NoError) {
        return QCoreApplication::translate("Ajustes", "no se pueden guardar los ajustes en %1")
            .arg(QDir::toNativeSeparators(ruta));
    }
    return {};
}
