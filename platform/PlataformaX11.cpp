#include "PlataformaX11.h"

#include "AgarreTeclaX11.h"
#include "ElementoSni.h"
#include "IconoXEmbed.h"
#include "Notificaciones.h"
#include "VigiaSni.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QScreen>
#include <cmath>
#include <utility>

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <xcb/xcb.h>

// The other jobs of this backend each have a file: PlataformaX11Formas (shapes, smooth ink,
// fills), PlataformaX11Ventanas (what the window managers are told, stacking, shadows),
// PlataformaX11Menu (the wait for the screen under the tray menu), PlataformaX11Capturas (the
// frozen screen and the canvas's drawing).

PlataformaX11::PlataformaX11()
    : m_apilamiento(
          [this](Apilamiento::Id forma, Apilamiento::Id lienzo) { atar(forma, lienzo); }) {
    if (Display* d = ServidorX::conexion()) {
        int evento = 0, error = 0;
        if (XDamageQueryExtension(d, &evento, &error)) {
            m_eventoDanio = evento;
        }
    }
    qApp->installNativeEventFilter(this);
}

PlataformaX11::~PlataformaX11() = default;

bool PlataformaX11::hayCompositor() const {
    Display* d = ServidorX::conexion();
    return d != nullptr &&
           XGetSelectionOwner(d, ServidorX::atomoDePantalla(d, "_NET_WM_CM_S")) != None;
}

QRect PlataformaX11::areaEnServidor(const QScreen* pantalla) {
    // Qt 6.4 and 6.8 scale a screen's size, not its position (QHighDpi::fromNativeScreenGeometry).
    const QRect logica = pantalla->geometry();
    const qreal escala = pantalla->devicePixelRatio();
    return {logica.topLeft(), QSize(int(std::lround(logica.width() * escala)),
                                    int(std::lround(logica.height() * escala)))};
}

Plataforma::Tecla PlataformaX11::AgarrarTecla(const QKeySequence& tecla, const QString&,
                                              std::function<void()> alPulsar, TeclaRespondida) {
    if (m_agarre == nullptr) {
        m_agarre = new AgarreTeclaX11(QCoreApplication::instance());
    }
    return m_agarre->agarrar(tecla, std::move(alPulsar));
}

std::unique_ptr<QObject> PlataformaX11::AgarrarTeclaMientras(const QKeySequence& tecla,
                                                             std::function<void()> alPulsar) {
    auto agarre = std::make_unique<AgarreTeclaX11>(nullptr);
    if (agarre->agarrar(tecla, std::move(alPulsar)) != Tecla::Agarrada) {
        return nullptr;
    }
    return agarre;
}

bool PlataformaX11::hayBandejaXEmbed() const {
    Display* d = ServidorX::conexion();
    return d != nullptr && XGetSelectionOwner(d, atomoBandeja(d)) != None;
}

unsigned long PlataformaX11::atomoBandeja(_XDisplay* d) {
    return ServidorX::atomoDePantalla(d, "_NET_SYSTEM_TRAY_S");
}

VigiaSni& PlataformaX11::sni() {
    if (m_sni == nullptr) {
        m_sni = new VigiaSni(QDBusConnection::sessionBus(), this);
    }
    return *m_sni;
}

bool PlataformaX11::HayBandeja() {
    return hayBandejaXEmbed() || sni().hayServidor();
}

void PlataformaX11::AlAparecerBandeja(std::function<void()> alAparecer) {
    m_alAparecerBandeja = std::move(alAparecer);
    sni().alAparecer([this] { aparecioBandeja(); });
}

IconoBandeja* PlataformaX11::CrearIconoBandeja(const QIcon& icono, QMenu* menu, QObject* padre) {
    // As Qt chose: over D-Bus wherever a host takes icons so, XEmbed otherwise.
    if (sni().hayServidor()) {
        return new ElementoSni(icono, menu, padre);
    }
    if (hayBandejaXEmbed()) {
        return new IconoXEmbed(icono, menu, padre);
    }
    return nullptr;
}

bool PlataformaX11::Notificar(const QString& titulo, const QString& texto, bool aviso) {
    if (!m_notificaciones) {
        m_notificaciones = std::make_unique<Notificaciones>();
    }
    return m_notificaciones->enviar(titulo, texto, aviso);
}

void PlataformaX11::aparecioBandeja() {
    if (m_alAparecerBandeja) {
        std::exchange(m_alAparecerBandeja, nullptr)();
    }
}

bool PlataformaX11::nativeEventFilter(const QByteArray& tipo, void* mensaje, qintptr*) {
    if (tipo != "xcb_generic_event_t") {
        return false;
    }
    const auto* evento = static_cast<const xcb_generic_event_t*>(mensaje);
    const int clase = evento->response_type & 0x7f;
    if (clase == XCB_CLIENT_MESSAGE && m_alAparecerBandeja) {
        // A tray announces itself to every client with MANAGER, the selection it now owns.
        const auto* m = reinterpret_cast<const xcb_client_message_event_t*>(evento);
        Display* d = ServidorX::conexion();
        if (d != nullptr && m->format == 32 && m->type == ServidorX::atomo(d, "MANAGER") &&
            m->data.data32[1] == atomoBandeja(d)) {
            aparecioBandeja();
        }
    } else if (clase == XCB_REPARENT_NOTIFY) {
        const auto* r = reinterpret_cast<const xcb_reparent_notify_event_t*>(evento);
        if (m_sinSombra.contains(r->window)) {
            quitarSombraDelMarco(r->window, r->parent);
        }
    } else if (eventoDeComposicion(evento)) {
        return false;
    } else if (m_danio != 0) {
        eventoDelMenu(evento);
    }
    return false;
}
