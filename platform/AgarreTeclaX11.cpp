#include "AgarreTeclaX11.h"

#include "ServidorX.h"
#include "TeclasX11.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeySequence>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <utility>

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace {
xcb_connection_t* conexionX() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// The X modifier bits of Qt's modifiers; Num Lock and Caps Lock are never among them.
uint16_t modificadoresDe(Qt::KeyboardModifiers mods) {
    uint16_t x = 0;
    if (mods & Qt::ShiftModifier) {
        x |= XCB_MOD_MASK_SHIFT;
    }
    if (mods & Qt::ControlModifier) {
        x |= XCB_MOD_MASK_CONTROL;
    }
    if (mods & Qt::AltModifier) {
        x |= XCB_MOD_MASK_1;
    }
    if (mods & Qt::MetaModifier) {
        x |= XCB_MOD_MASK_4;
    }
    return x;
}

// The modifier bit Num Lock sets on this keyboard (usually Mod2), or 0.
uint16_t mascaraBloqNum(Display* pantalla) {
    const KeyCode numLock = XKeysymToKeycode(pantalla, XK_Num_Lock);
    XModifierKeymap* mapa = XGetModifierMapping(pantalla);
    uint16_t mascara = 0;
    if (mapa != nullptr && numLock != 0) {
        for (int mod = 0; mod < 8 && mascara == 0; ++mod) {
            for (int k = 0; k < mapa->max_keypermod; ++k) {
                if (mapa->modifiermap[mod * mapa->max_keypermod + k] == numLock) {
                    mascara = static_cast<uint16_t>(1U << mod);
                    break;
                }
            }
        }
    }
    if (mapa != nullptr) {
        XFreeModifiermap(mapa);
    }
    return mascara;
}
} // namespace

AgarreTeclaX11::AgarreTeclaX11(QObject* padre) : QObject(padre) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

AgarreTeclaX11::~AgarreTeclaX11() {
    soltar();
}

Plataforma::Tecla AgarreTeclaX11::agarrar(const QKeySequence& tecla,
                                          std::function<void()> alPulsar) {
    soltar();
    if (tecla.isEmpty()) {
        return Plataforma::Tecla::Ninguna;
    }
    Display* pantalla = ServidorX::conexion();
    xcb_connection_t* conexion = conexionX();
    const KeySym simbolo = tecla.count() == 1 ? TeclasX11::simbolo(tecla[0].key()) : 0;
    const KeyCode codigo =
        pantalla != nullptr && simbolo != 0 ? XKeysymToKeycode(pantalla, simbolo) : 0;
    if (conexion == nullptr || codigo == 0) {
        return Plataforma::Tecla::NoDisponible;
    }
    m_raiz = xcb_setup_roots_iterator(xcb_get_setup(conexion)).data->root;
    const uint16_t mods = modificadoresDe(tecla[0].keyboardModifiers());
    const uint16_t bloqNum = mascaraBloqNum(pantalla);
    std::vector<uint16_t> variantes{mods, static_cast<uint16_t>(mods | XCB_MOD_MASK_LOCK)};
    if (bloqNum != 0) {
        variantes.push_back(mods | bloqNum);
        variantes.push_back(mods | bloqNum | XCB_MOD_MASK_LOCK);
    }
    // Each grab is checked: X answers BadAccess when another client holds the same key.
    bool ocupada = false;
    for (const uint16_t variante : variantes) {
        const xcb_void_cookie_t galleta = xcb_grab_key_checked(
            conexion, 0, m_raiz, variante, codigo, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t* error = xcb_request_check(conexion, galleta)) {
            ocupada = true;
            std::free(error);
        } else {
            m_variantes.push_back(variante);
        }
    }
    m_codigo = codigo;
    if (ocupada) {
        soltar(); // half a key is no key: with Caps Lock on it would not work
        return Plataforma::Tecla::Ocupada;
    }
    m_alPulsar = std::move(alPulsar);
    return Plataforma::Tecla::Agarrada;
}

void AgarreTeclaX11::soltar() {
    xcb_connection_t* conexion = conexionX();
    if (conexion != nullptr) {
        for (const uint16_t variante : m_variantes) {
            xcb_ungrab_key(conexion, m_codigo, m_raiz, variante);
        }
        xcb_flush(conexion);
    }
    m_variantes.clear();
    m_codigo = 0;
    m_alPulsar = nullptr;
    m_abajo = false;
}

bool AgarreTeclaX11::nativeEventFilter(const QByteArray& tipo, void* mensaje, qintptr*) {
    if (m_variantes.empty() || tipo != "xcb_generic_event_t") {
        return false;
    }
    const auto* evento = static_cast<const xcb_generic_event_t*>(mensaje);
    const uint8_t clase = evento->response_type & 0x7F;
    if (clase != XCB_KEY_PRESS && clase != XCB_KEY_RELEASE) {
        return false;
    }
    const auto* tecla = static_cast<const xcb_key_press_event_t*>(mensaje);
    if (tecla->event != m_raiz || tecla->detail != m_codigo) {
        return false;
    }
    if (clase == XCB_KEY_RELEASE) {
        m_abajo = false;
        m_soltadaEn = tecla->time;
        return true;
    }
    // A key held down repeats: as presses alone, or as a release and a press at the same
    // moment. Only the first press counts.
    const bool repeticion = m_abajo || tecla->time == m_soltadaEn;
    m_abajo = true;
    if (!repeticion && m_alPulsar) {
        const std::function<void()> accion = m_alPulsar; // it may take another key
        accion();
    }
    return true;
}
