#include "CapturaKWin.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {
const QString Servicio = QStringLiteral("org.kde.KWin.ScreenShot2");
const QString Objeto = QStringLiteral("/org/kde/KWin/ScreenShot2");
const QString Interfaz = QStringLiteral("org.kde.KWin.ScreenShot2");
const QString NoAutorizado = QStringLiteral("org.kde.KWin.ScreenShot2.Error.NoAuthorized");

// More than any screen sends: what a broken sender could make us hold stops here.
constexpr qsizetype MaximoBytes = qsizetype(1) << 30;
} // namespace

CapturaKWin::CapturaKWin(QDBusConnection conexion, std::chrono::milliseconds plazo, QObject* padre)
    : QObject(padre), m_conexion(std::move(conexion)), m_plazo(plazo) {}

CapturaKWin::~CapturaKWin() {
    cerrarLectura();
}

bool CapturaKWin::disponible(const QDBusConnection& conexion) {
    return conexion.isConnected() && conexion.interface() != nullptr &&
           conexion.interface()->isServiceRegistered(Servicio).value();
}

QImage CapturaKWin::imagenCruda(const QByteArray& datos, const QVariantMap& atributos) {
    if (atributos.value(QStringLiteral("type")).toString() != QLatin1String("raw")) {
        return {};
    }
    const qint64 ancho = atributos.value(QStringLiteral("width")).toLongLong();
    const qint64 alto = atributos.value(QStringLiteral("height")).toLongLong();
    const qint64 paso = atributos.value(QStringLiteral("stride")).toLongLong();
    const uint formato = atributos.value(QStringLiteral("format")).toUInt();
    if (ancho <= 0 || alto <= 0 || formato == QImage::Format_Invalid ||
        formato >= QImage::NImageFormats) {
        return {};
    }
    const auto f = static_cast<QImage::Format>(formato);
    const qint64 bitsPorPixel = QImage::toPixelFormat(f).bitsPerPixel();
    if (paso < (ancho * bitsPorPixel + 7) / 8 || paso * alto > datos.size()) {
        return {};
    }
    // A copy of its own: the bytes go with the request.
    return QImage(reinterpret_cast<const uchar*>(datos.constData()), int(ancho), int(alto),
                  qsizetype(paso), f)
        .copy();
}

void CapturaKWin::pedir(Listo listo) {
    m_listo = std::move(listo);
    int tubo[2] = {-1, -1};
    if (!m_conexion.isConnected() || pipe2(tubo, O_CLOEXEC | O_NONBLOCK) != 0) {
        const QString motivo = m_conexion.isConnected() ? QString::fromLocal8Bit(strerror(errno))
                                                        : m_conexion.lastError().message();
        QMetaObject::invokeMethod(
            this,
            [this, motivo] {
                terminar({{}, Fallo::SinPortal, motivo});
            },
            Qt::QueuedConnection);
        return;
    }
    m_lectura = tubo[0];
    m_aviso = new QSocketNotifier(m_lectura, QSocketNotifier::Read, this);
    connect(m_aviso, &QSocketNotifier::activated, this, &CapturaKWin::leer);
    QDBusMessage llamada = QDBusMessage::createMethodCall(Servicio, Objeto, Interfaz,
                                                          QStringLiteral("CaptureWorkspace"));
    // Device pixels, without the pointer: the canvas shows the screen as it was beneath it.
    const QVariantMap opciones{{QStringLiteral("native-resolution"), true},
                               {QStringLiteral("include-cursor"), false}};
    llamada << opciones << QVariant::fromValue(QDBusUnixFileDescriptor(tubo[1]));
    // The message holds a copy of the writing end: once KWin has closed its own, the reading end
    // sees the end of the pixels.
    ::close(tubo[1]);
    auto* espera = new QDBusPendingCallWatcher(
        m_conexion.asyncCall(llamada, static_cast<int>(m_plazo.count())), this);
    connect(espera, &QDBusPendingCallWatcher::finished, this, &CapturaKWin::llamadaHecha);
}

void CapturaKWin::llamadaHecha(QDBusPendingCallWatcher* llamada) {
    llamada->deleteLater();
    const QDBusPendingReply<QVariantMap> vuelta = *llamada;
    if (!m_listo) {
        return;
    }
    if (vuelta.isError()) {
        const bool denegada = vuelta.error().name() == NoAutorizado;
        terminar({{}, denegada ? Fallo::Rechazada : Fallo::SinPortal, vuelta.error().message()});
        return;
    }
    m_atributos = vuelta.value();
    const qint64 esperados = m_atributos->value(QStringLiteral("stride")).toLongLong() *
                             m_atributos->value(QStringLiteral("height")).toLongLong();
    if (esperados > 0 && esperados <= MaximoBytes) {
        m_datos.reserve(qsizetype(esperados));
    }
    quizaTerminar();
}

void CapturaKWin::leer() {
    char trozo[1 << 16];
    while (m_lectura >= 0) {
        const ssize_t n = ::read(m_lectura, trozo, sizeof trozo);
        if (n > 0) {
            if (m_datos.size() + n > MaximoBytes) {
                terminar({{}, Fallo::Archivo, QStringLiteral("demasiados datos")});
                return;
            }
            m_datos.append(trozo, qsizetype(n));
        } else if (n == 0) {
            m_leido = true;
            cerrarLectura();
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return;
        } else if (errno != EINTR) {
            terminar({{}, Fallo::Archivo, QString::fromLocal8Bit(strerror(errno))});
            return;
        }
    }
    quizaTerminar();
}

void CapturaKWin::cerrarLectura() {
    if (m_aviso != nullptr) {
        m_aviso->setEnabled(false);
        m_aviso->deleteLater();
        m_aviso = nullptr;
    }
    if (m_lectura >= 0) {
        ::close(m_lectura);
        m_lectura = -1;
    }
}

void CapturaKWin::quizaTerminar() {
    if (!m_atributos || !m_leido || !m_listo) {
        return;
    }
    QImage imagen = imagenCruda(m_datos, *m_atributos);
    if (imagen.isNull()) {
        terminar({{},
                  Fallo::Archivo,
                  QStringLiteral("%1 bytes que no hacen la imagen anunciada").arg(m_datos.size())});
        return;
    }
    terminar({std::move(imagen), Fallo::Ninguno, {}});
}

void CapturaKWin::terminar(Resultado resultado) {
    cerrarLectura();
    m_datos = QByteArray(); // the screen's pixels stay only in the picture handed over
    Listo listo = std::exchange(m_listo, nullptr);
    if (listo) {
        listo(std::move(resultado));
    }
}
