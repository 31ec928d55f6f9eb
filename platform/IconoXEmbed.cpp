#include "IconoXEmbed.h"

#include "ServidorX.h"
#include "VentanaIconoXEmbed.h"

#include <QCoreApplication>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <xcb/xcb.h>

namespace {
constexpr long PedirAcoplar = 0; // SYSTEM_TRAY_REQUEST_DOCK

unsigned long seleccion(Display* d) {
    return ServidorX::atomoDePantalla(d, "_NET_SYSTEM_TRAY_S");
}

// The tray asks for windows with an alpha channel (_NET_SYSTEM_TRAY_VISUAL, a 32-bit visual).
bool bandejaConAlfa(Display* d, Window bandeja) {
    const std::vector<unsigned long> visual = ServidorX::leerLista(
        d, bandeja, ServidorX::atomo(d, "_NET_SYSTEM_TRAY_VISUAL"), XA_VISUALID);
    if (visual.empty()) {
        return false;
    }
    XVisualInfo modelo{};
    modelo.visualid = visual.front();
    int cuantos = 0;
    XVisualInfo* info = XGetVisualInfo(d, VisualIDMask, &modelo, &cuantos);
    const bool alfa = info != nullptr && cuantos > 0 && info->depth == 32;
    if (info != nullptr) {
        XFree(info);
    }
    return alfa;
}
} // namespace

IconoXEmbed::IconoXEmbed(const QIcon& icono, QMenu* menu, QObject* padre)
    : IconoBandeja(icono, menu, padre) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

IconoXEmbed::~IconoXEmbed() {
    QCoreApplication::instance()->removeNativeEventFilter(this);
    quitarVentana();
}

void IconoXEmbed::mostrar() {
    if (!m_visible) {
        m_visible = true;
        acoplar();
    }
}

void IconoXEmbed::ocultar() {
    m_visible = false;
    quitarVentana();
}

void IconoXEmbed::tipCambiado() {
    if (m_ventana) {
        m_ventana->setToolTip(tip());
    }
}

void IconoXEmbed::quitarVentana() {
    // Destroyed, not only unmapped: a tray may keep the room of a window it still holds.
    delete m_ventana;
    m_bandeja = 0;
}

void IconoXEmbed::acoplar() {
    quitarVentana();
    Display* d = ServidorX::conexion();
    if (d == nullptr) {
        return;
    }
    const Window bandeja = XGetSelectionOwner(d, seleccion(d));
    if (bandeja == None) {
        return; // until a tray announces itself
    }
    m_bandeja = bandeja;
    // Its end (DestroyNotify) takes the icon away until the next tray.
    XSelectInput(d, bandeja, StructureNotifyMask);
    m_ventana = new VentanaIconoXEmbed(icono(), bandejaConAlfa(d, bandeja));
    m_ventana->setToolTip(tip());
    connect(m_ventana, &VentanaIconoXEmbed::soltado, this,
            [this](Qt::MouseButton boton, QPoint donde) { emit clic(boton, donde); });
    XClientMessageEvent pedido{};
    pedido.type = ClientMessage;
    pedido.window = bandeja;
    pedido.message_type = ServidorX::atomo(d, "_NET_SYSTEM_TRAY_OPCODE");
    pedido.format = 32;
    pedido.data.l[0] = CurrentTime;
    pedido.data.l[1] = PedirAcoplar;
    pedido.data.l[2] = long(m_ventana->winId());
    XSendEvent(d, bandeja, False, NoEventMask, reinterpret_cast<XEvent*>(&pedido));
    XFlush(d);
    // Not mapped yet: it is shown once the tray has taken it (below). A window mapped before it
    // is docked shows at the corner of the screen for a moment, and Xfce's panel keeps such an
    // icon out of sight.
}

bool IconoXEmbed::nativeEventFilter(const QByteArray& tipo, void* mensaje, qintptr*) {
    if (!m_visible || tipo != "xcb_generic_event_t") {
        return false;
    }
    const auto* evento = static_cast<const xcb_generic_event_t*>(mensaje);
    const int clase = evento->response_type & 0x7f;
    Display* d = ServidorX::conexion();
    if (d == nullptr) {
        return false;
    }
    if (clase == XCB_CLIENT_MESSAGE) {
        // A tray announces to every client the selection it now owns.
        const auto* m = reinterpret_cast<const xcb_client_message_event_t*>(evento);
        if (m->format == 32 && m->type == ServidorX::atomo(d, "MANAGER") &&
            m->data.data32[1] == seleccion(d)) {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (m_visible) {
                        acoplar();
                    }
                },
                Qt::QueuedConnection);
        }
    } else if (clase == XCB_REPARENT_NOTIFY) {
        // Docked: the widget shows now, inside the tray, before the tray maps it (Qt warns of a
        // window shown once mapped), and paints.
        const auto* acoplada = reinterpret_cast<const xcb_reparent_notify_event_t*>(evento);
        if (m_ventana && acoplada->window == m_ventana->internalWinId() &&
            acoplada->parent != DefaultRootWindow(d) && !m_ventana->isVisible()) {
            m_ventana->show();
        }
    } else if (clase == XCB_DESTROY_NOTIFY) {
        const auto* destruida = reinterpret_cast<const xcb_destroy_notify_event_t*>(evento);
        if (m_bandeja != 0 && destruida->window == m_bandeja) {
            m_bandeja = 0;
            QMetaObject::invokeMethod(this, &IconoXEmbed::quitarVentana, Qt::QueuedConnection);
        }
    }
    return false;
}
