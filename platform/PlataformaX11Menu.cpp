#include "PlataformaX11.h"

#include "EsperaRepintado.h"

#include <QWidget>
#include <utility>

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <xcb/xcb.h>

void PlataformaX11::vigilarMenu(QWidget* menu) {
    dejarDeVigilar();
    Display* d = ServidorX::conexion();
    if (d == nullptr || m_eventoDanio < 0) {
        return;
    }
    // Without a compositor the X server repaints what a window uncovers as it unmaps it, before
    // any later request: a capture then needs no wait.
    if (!hayCompositor()) {
        return;
    }
    m_danio = XDamageCreate(d, DefaultRootWindow(d), XDamageReportRawRectangles);
    m_menu = menu;
    m_idMenu = static_cast<unsigned long>(menu->winId());
    m_menuCerrado = false;
    m_repintes.clear();
}

void PlataformaX11::dejarDeVigilar() {
    if (m_danio != 0) {
        if (Display* d = ServidorX::conexion()) {
            XDamageDestroy(d, m_danio);
            XFlush(d);
        }
        m_danio = 0;
    }
    m_menu = nullptr;
    m_idMenu = 0;
    m_menuCerrado = false;
    m_repintes.clear();
}

void PlataformaX11::trasCerrarse(QWidget* menu, std::function<void()> hecho) {
    Display* d = ServidorX::conexion();
    if (d == nullptr || m_danio == 0 || menu != m_menu) {
        hecho();
        return;
    }
    m_pendientes.push_back(std::move(hecho));
    if (m_espera) {
        return; // already waiting for that screen
    }
    m_espera = new EsperaRepintado(
        m_zonaMenu, [this] { terminarEspera(); }, this);
    for (const QRect& r : m_repintes) {
        m_espera->repintado(r);
    }
    m_repintes.clear();
}

void PlataformaX11::terminarEspera() {
    std::vector<std::function<void()>> pendientes;
    pendientes.swap(m_pendientes);
    if (m_espera) {
        m_espera->deleteLater();
    }
    dejarDeVigilar();
    for (const auto& hecho : pendientes) {
        hecho();
    }
}

void PlataformaX11::eventoDelMenu(const void* mensaje) {
    const auto* evento = static_cast<const xcb_generic_event_t*>(mensaje);
    const int clase = evento->response_type & 0x7f;
    const bool enviado = (evento->response_type & 0x80) != 0; // by a client, not the server
    if (clase == XCB_UNMAP_NOTIFY && !enviado) {
        const auto* u = static_cast<const xcb_unmap_notify_event_t*>(mensaje);
        if (u->window == m_idMenu) {
            m_menuCerrado = true; // what the server repaints from now on is what lay beneath
        }
    } else if (clase == m_eventoDanio + XDamageNotify) {
        const auto* n = static_cast<const ServidorX::NotificacionDanio*>(mensaje);
        if (n->danio == m_danio && m_menuCerrado) {
            const QRect r(n->x, n->y, n->ancho, n->alto);
            if (m_espera) {
                m_espera->repintado(r);
            } else {
                m_repintes.push_back(r);
            }
        }
    }
}
