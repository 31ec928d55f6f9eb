#include "SoltarEnBandeja.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QSystemTrayIcon>
#include <QWidget>
#include <algorithm>
#include <optional>
#include <utility>

namespace {
// Qt's XEmbed tray icon is a top-level widget of this class, docked into the tray. The program has
// one tray icon, so any such widget is ours.
constexpr char ClaseXEmbed[] = "QSystemTrayIconSys";

// Where a tray that takes the icon over D-Bus says the click was. Qt passes that on only to its
// tray log (category qt.qpa.tray: "x y", as the tray's Activate or ContextMenu call gave it, just
// before Qt reports the click), which is read here instead of printed. Without it the pointer's
// position is all there is, and XWayland knows that only while the pointer is over an X window.
constexpr char CategoriaBandeja[] = "qt.qpa.tray";
constexpr qint64 VigenciaMs = 1000; // a position older than this belongs to another click

struct LugarDelClic {
    QtMessageHandler anterior = nullptr;
    std::optional<QPoint> punto;
    QElapsedTimer desde;
};

LugarDelClic& lugarDelClic() {
    static LugarDelClic lugar;
    return lugar;
}

void leerBitacora(QtMsgType tipo, const QMessageLogContext& contexto, const QString& texto) {
    LugarDelClic& lugar = lugarDelClic();
    if (tipo == QtDebugMsg && contexto.category != nullptr &&
        qstrcmp(contexto.category, CategoriaBandeja) == 0) {
        const QStringList partes = texto.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        bool x = false;
        bool y = false;
        if (partes.size() == 2) {
            const QPoint punto(partes[0].toInt(&x), partes[1].toInt(&y));
            if (x && y) {
                lugar.punto = punto;
                lugar.desde.start();
            }
        }
        return;
    }
    if (lugar.anterior != nullptr) {
        lugar.anterior(tipo, contexto, texto);
    }
}

void leerLugarDelClic() {
    static const bool leido = [] {
        lugarDelClic().anterior = qInstallMessageHandler(leerBitacora);
        QLoggingCategory::setFilterRules(QStringLiteral("qt.qpa.tray.debug=true"));
        return true;
    }();
    Q_UNUSED(leido);
}

// Where the click the tray reported happened, as it said, or the pointer.
QPoint dondeFueElClic() {
    LugarDelClic& lugar = lugarDelClic();
    const std::optional<QPoint> punto = std::exchange(lugar.punto, std::nullopt);
    if (punto && lugar.desde.isValid() && lugar.desde.elapsed() < VigenciaMs) {
        return *punto;
    }
    return QCursor::pos();
}

bool hayIconoXEmbed() {
    const QWidgetList ventanas = QApplication::topLevelWidgets();
    return std::any_of(ventanas.cbegin(), ventanas.cend(),
                       [](const QWidget* w) { return w->inherits(ClaseXEmbed); });
}
} // namespace

SoltarEnBandeja::SoltarEnBandeja(QSystemTrayIcon* icono, Aviso aviso)
    : QObject(icono), m_aviso(std::move(aviso)) {
    // The XEmbed icon reports presses only, so its releases are caught on the way to it.
    QCoreApplication::instance()->installEventFilter(this);
    leerLugarDelClic();
    // On X11 with a StatusNotifierItem watcher on the session bus, and on other systems, the icon
    // has no such widget and the system reports the click itself, once the button is up. Which
    // kind of icon Qt shows can change while the program runs, so it is asked at each click. A
    // tray that shows the menu the icon exports never reports the right button; one that asks
    // for the context menu (swaybar) has none of its own to show.
    connect(icono, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (hayIconoXEmbed()) {
            return; // Qt's own report of a press: the release follows
        }
        if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick) {
            m_aviso(Qt::LeftButton, dondeFueElClic());
        } else if (r == QSystemTrayIcon::Context) {
            m_aviso(Qt::RightButton, dondeFueElClic());
        }
    });
}

bool SoltarEnBandeja::eventFilter(QObject* objeto, QEvent* evento) {
    const QEvent::Type tipo = evento->type();
    if (tipo != QEvent::MouseButtonPress && tipo != QEvent::MouseButtonDblClick &&
        tipo != QEvent::MouseButtonRelease) {
        return false;
    }
    if (!objeto->inherits(ClaseXEmbed)) {
        return false;
    }
    if (tipo == QEvent::MouseButtonRelease) {
        auto* raton = static_cast<QMouseEvent*>(evento);
        m_aviso(raton->button(), raton->globalPosition().toPoint());
        return false;
    }
    return true; // a press: the menu opens on the release
}
