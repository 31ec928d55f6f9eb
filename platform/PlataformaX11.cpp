#include "PlataformaX11.h"

#include "CapturaX11.h"
#include "ServidorX.h"
#include "SuperficieX11.h"

#include <QAbstractNativeEventFilter>
#include <QColor>
#include <QEvent>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QKeySequence>
#include <QPaintEvent>
#include <QPointer>
#include <QRegion>
#include <QScreen>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace {
Display* pantallaX() {
    return ServidorX::conexion();
}

xcb_connection_t* conexionX() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// The X keysym of a Qt key, or 0 for a key this program does not offer as a global key.
KeySym keysymDe(int tecla) {
    if (tecla >= Qt::Key_F1 && tecla <= Qt::Key_F35) {
        return XK_F1 + static_cast<KeySym>(tecla - Qt::Key_F1);
    }
    if (tecla >= Qt::Key_A && tecla <= Qt::Key_Z) {
        return XK_a + static_cast<KeySym>(tecla - Qt::Key_A);
    }
    if (tecla >= Qt::Key_Space && tecla <= Qt::Key_ydiaeresis) {
        return static_cast<KeySym>(tecla); // Latin-1 keys share their codes
    }
    static const QHash<int, KeySym> especiales{
        {Qt::Key_Escape, XK_Escape},
        {Qt::Key_Tab, XK_Tab},
        {Qt::Key_Backspace, XK_BackSpace},
        {Qt::Key_Return, XK_Return},
        {Qt::Key_Enter, XK_KP_Enter},
        {Qt::Key_Insert, XK_Insert},
        {Qt::Key_Delete, XK_Delete},
        {Qt::Key_Pause, XK_Pause},
        {Qt::Key_Print, XK_Print},
        {Qt::Key_Home, XK_Home},
        {Qt::Key_End, XK_End},
        {Qt::Key_Left, XK_Left},
        {Qt::Key_Up, XK_Up},
        {Qt::Key_Right, XK_Right},
        {Qt::Key_Down, XK_Down},
        {Qt::Key_PageUp, XK_Prior},
        {Qt::Key_PageDown, XK_Next},
        {Qt::Key_ScrollLock, XK_Scroll_Lock},
        {Qt::Key_Menu, XK_Menu},
    };
    return especiales.value(tecla, 0);
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

// Fills the window with the colour at each paint, within its shape, with one request: the
// server clips it to the shape. (As the window's background the server would paint it itself,
// but for a shape of thousands of rectangles that costs it ten times more on every map.)
class RellenoX11 : public QObject {
public:
    RellenoX11(_XDisplay* x, ServidorX::FormatoVentanas& formatos, QWidget* ventana,
               const QColor& color)
        : QObject(ventana), m_x(x), m_formatos(formatos), m_color(color) {
        ventana->installEventFilter(this);
    }
    ~RellenoX11() override {
        if (m_gc != nullptr) {
            XFreeGC(m_x, m_gc);
        }
    }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        auto* ventana = static_cast<QWidget*>(objeto);
        switch (evento->type()) {
        case QEvent::Show:
            // Before the window is mapped, so that its first paint waits for nothing.
            if (ventana->internalWinId() != m_ventana) {
                m_ventana = ventana->internalWinId();
                const ServidorX::Formato& formato = m_formatos.de(m_x, m_ventana);
                if (m_gc != nullptr) {
                    XFreeGC(m_x, m_gc);
                }
                XGCValues valores{};
                valores.foreground = ServidorX::pixel(m_x, formato, m_color);
                m_gc = XCreateGC(m_x, m_ventana, GCForeground, &valores);
            }
            return false;
        case QEvent::Paint:
            if (m_gc != nullptr && ventana->internalWinId() == m_ventana) {
                const QRect r = ServidorX::aNativo(static_cast<QPaintEvent*>(evento)->rect(),
                                                   ventana->devicePixelRatioF());
                XFillRectangle(m_x, m_ventana, m_gc, r.x(), r.y(), unsigned(r.width()),
                               unsigned(r.height()));
                XFlush(m_x);
            }
            return true;
        default:
            return false;
        }
    }

private:
    _XDisplay* m_x;
    ServidorX::FormatoVentanas& m_formatos;
    QColor m_color;
    unsigned long m_ventana = 0;
    _XGC* m_gc = nullptr;
};

} // namespace

// A key grabbed on the root window, in every combination of Num Lock and Caps Lock, and the
// filter that sees its presses before Qt (which knows nothing of the root window).
class AgarreTeclaX11 : public QObject, public QAbstractNativeEventFilter {
public:
    explicit AgarreTeclaX11(QObject* padre) : QObject(padre) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    Plataforma::Tecla agarrar(const QKeySequence& tecla, std::function<void()> alPulsar) {
        soltar();
        if (tecla.isEmpty()) {
            return Plataforma::Tecla::Ninguna;
        }
        Display* pantalla = pantallaX();
        xcb_connection_t* conexion = conexionX();
        const KeySym simbolo = tecla.count() == 1 ? keysymDe(tecla[0].key()) : 0;
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

    void soltar() {
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

    bool nativeEventFilter(const QByteArray& tipo, void* mensaje, qintptr*) override {
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

private:
    std::function<void()> m_alPulsar;
    std::vector<uint16_t> m_variantes;
    xcb_window_t m_raiz = 0;
    xcb_keycode_t m_codigo = 0;
    bool m_abajo = false;
    xcb_timestamp_t m_soltadaEn = 0;
};

PlataformaX11::PlataformaX11() = default;
PlataformaX11::~PlataformaX11() = default;

void PlataformaX11::PonerForma(QWidget* ventana, const QRegion& forma) {
    ventana->setMask(forma);
    Display* pantalla = ServidorX::conexion();
    if (pantalla == nullptr) {
        return;
    }
    // Qt sends the shape as rectangles in no declared order. The region the server builds from
    // such a list costs it dearly afterwards: under a window manager a shape of thousands of
    // rectangles took five times longer to show (60 ms against 10 at 4K). The same rectangles,
    // declared banded as QRegion keeps them, replace it at once. A request's length has 16 bits,
    // so a shape of more rectangles than fit (a long scribble, a long text in a big font) goes in
    // parts; a single request would arrive empty and the window vanish.
    constexpr int PorPeticion = 30000;
    const auto id = static_cast<Window>(ventana->winId()); // Qt sends its own request first
    const qreal escala = ventana->devicePixelRatioF();
    // Scaled by a fraction, neighbouring rows may overlap once rounded: then only sorted.
    const int orden = escala == std::floor(escala) ? YXBanded : YXSorted;
    std::vector<XRectangle> rects;
    rects.reserve(static_cast<std::size_t>(forma.rectCount()));
    for (const QRect& logico : forma) {
        // In the window's device pixels, as Qt sends its own.
        const QRect r = ServidorX::aNativo(logico, escala);
        rects.push_back({static_cast<short>(r.x()), static_cast<short>(r.y()),
                         static_cast<unsigned short>(r.width()),
                         static_cast<unsigned short>(r.height())});
    }
    for (std::size_t i = 0; i < rects.size(); i += PorPeticion) {
        const int n = static_cast<int>(std::min<std::size_t>(PorPeticion, rects.size() - i));
        XShapeCombineRectangles(pantalla, id, ShapeBounding, 0, 0, &rects[i], n,
                                i == 0 ? ShapeSet : ShapeUnion, orden);
    }
    XFlush(pantalla);
}

Plataforma::Tecla PlataformaX11::AgarrarTecla(const QKeySequence& tecla,
                                              std::function<void()> alPulsar) {
    if (m_agarre == nullptr) {
        m_agarre = new AgarreTeclaX11(QCoreApplication::instance());
    }
    return m_agarre->agarrar(tecla, std::move(alPulsar));
}

QList<QWidget*> PlataformaX11::OrdenApilado(const QList<QWidget*>& ventanas) {
    // The window manager lists the windows it manages bottom first. A window it does not list
    // keeps its place among the others at the bottom.
    Display* pantalla = pantallaX();
    if (pantalla == nullptr || ventanas.size() < 2) {
        return ventanas;
    }
    const Atom pila = XInternAtom(pantalla, "_NET_CLIENT_LIST_STACKING", True);
    Atom tipo = 0;
    int formato = 0;
    unsigned long cuantos = 0;
    unsigned long resto = 0;
    unsigned char* datos = nullptr;
    if (pila == None ||
        XGetWindowProperty(pantalla, DefaultRootWindow(pantalla), pila, 0, 1L << 20, False,
                           XA_WINDOW, &tipo, &formato, &cuantos, &resto, &datos) != Success ||
        datos == nullptr || formato != 32) {
        if (datos != nullptr) {
            XFree(datos);
        }
        return ventanas;
    }
    QHash<Window, qsizetype> lugar;
    const auto* lista = reinterpret_cast<const Window*>(datos);
    for (unsigned long i = 0; i < cuantos; ++i) {
        lugar.insert(lista[i], static_cast<qsizetype>(i));
    }
    XFree(datos);
    QList<QWidget*> ordenadas = ventanas;
    std::stable_sort(ordenadas.begin(), ordenadas.end(), [&](QWidget* a, QWidget* b) {
        return lugar.value(static_cast<Window>(a->internalWinId()), -1) <
               lugar.value(static_cast<Window>(b->internalWinId()), -1);
    });
    return ordenadas;
}

bool PlataformaX11::RellenarConColor(QWidget* ventana, const QColor& color) {
    _XDisplay* x = ServidorX::conexion();
    if (x == nullptr) {
        return Plataforma::RellenarConColor(ventana, color);
    }
    // Qt never paints it, so it never makes a buffer of the window's size for it.
    ventana->setAttribute(Qt::WA_PaintOnScreen);
    ventana->setAttribute(Qt::WA_NoSystemBackground);
    ventana->setAttribute(Qt::WA_OpaquePaintEvent);
    ventana->setAutoFillBackground(false);
    new RellenoX11(x, m_formatos, ventana, color);
    return true;
}

std::unique_ptr<Captura> PlataformaX11::CapturarPantalla(QScreen* pantalla) {
    _XDisplay* x = ServidorX::conexion();
    if (x == nullptr || pantalla == nullptr || !SuperficieX11::disponible(x)) {
        return Plataforma::CapturarPantalla(pantalla);
    }
    // The screen's area in the server's pixels: Qt scales sizes, not a screen's position.
    const QRect logica = pantalla->geometry();
    const qreal escala = pantalla->devicePixelRatio();
    const QRect area(logica.topLeft(), QSize(int(std::lround(logica.width() * escala)),
                                             int(std::lround(logica.height() * escala))));
    return CapturaX11::deRaiz(x, area);
}

std::unique_ptr<Captura> PlataformaX11::SubirCaptura(const QImage& imagen) {
    _XDisplay* x = ServidorX::conexion();
    if (x == nullptr || !SuperficieX11::disponible(x)) {
        return Plataforma::SubirCaptura(imagen);
    }
    return CapturaX11::subir(x, imagen);
}

std::unique_ptr<Superficie> PlataformaX11::CrearSuperficie(QWidget* ventana,
                                                           std::unique_ptr<Captura> captura) {
    _XDisplay* x = ServidorX::conexion();
    auto* propia = dynamic_cast<CapturaX11*>(captura.get());
    if (x == nullptr || !SuperficieX11::disponible(x) || (captura && propia == nullptr)) {
        return Plataforma::CrearSuperficie(ventana, std::move(captura));
    }
    captura.release();
    return std::make_unique<SuperficieX11>(x, m_formatos, ventana,
                                           std::unique_ptr<CapturaX11>(propia));
}
