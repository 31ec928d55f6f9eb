#include "PlataformaX11.h"

#include "CapturaX11.h"
#include "EsperaRepintado.h"
#include "ImagenX11.h"
#include "RellenoX11.h"
#include "ServidorX.h"
#include "SuperficieX11.h"
#include "VigiaSni.h"

#include <QAbstractNativeEventFilter>
#include <QColor>
#include <QEvent>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QKeySequence>
#include <QPalette>
#include <QPointer>
#include <QRegion>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace {
xcb_connection_t* conexionX() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
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

constexpr const char* PropiedadPapel = "tizoPapel";
constexpr const char* PropiedadEnVivo = "tizoEnVivo";
constexpr const char* PropiedadVigilada = "tizoMonitorVigilado";

// The monitor a window lies on, as the stacking order tells monitors apart.
Apilamiento::Monitor monitorDe(const QWidget* ventana) {
    const QWindow* w = ventana->windowHandle();
    return reinterpret_cast<Apilamiento::Monitor>(w != nullptr ? w->screen() : ventana->screen());
}

Atom atomo(Display* d, const char* nombre) {
    return XInternAtom(d, nombre, False); // Xlib keeps them once asked
}

// A selection that is per screen, such as "_NET_WM_CM_S" for the default screen's.
Atom atomoDePantalla(Display* d, const char* prefijo) {
    return atomo(d, (QByteArray(prefijo) + QByteArray::number(DefaultScreen(d))).constData());
}

// The Damage extension's event as the X server sends it.
struct NotificacionDanio {
    quint8 tipo;
    quint8 nivel;
    quint16 secuencia;
    quint32 dibujable;
    quint32 danio;
    quint32 tiempo;
    qint16 x, y;
    quint16 ancho, alto;
    qint16 gx, gy;
    quint16 gancho, galto;
};
static_assert(sizeof(NotificacionDanio) == 32, "an X event is 32 bytes");

// Adds states to a window that is not mapped yet (the window manager reads them when it maps
// the window, and owns them from then on). Qt keeps what it finds when it adds its own.
void agregarEstados(Display* d, Window w, std::initializer_list<const char*> nombres) {
    const Atom propiedad = atomo(d, "_NET_WM_STATE");
    std::vector<Atom> estados = ServidorX::leerLista(d, w, propiedad, XA_ATOM);
    for (const char* nombre : nombres) {
        const Atom a = atomo(d, nombre);
        if (std::find(estados.begin(), estados.end(), a) == estados.end()) {
            estados.push_back(a);
        }
    }
    XChangeProperty(d, w, propiedad, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(estados.data()),
                    static_cast<int>(estados.size()));
}

void ponerCardinales(Display* d, Window w, const char* propiedad, std::vector<long> valores) {
    XChangeProperty(d, w, atomo(d, propiedad), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(valores.data()),
                    static_cast<int>(valores.size()));
}

// Compositors draw shadows around a window's box, not around its shape: picom unless its
// property says no (read on the outermost window, which may be the window manager's frame),
// mutter and metacity unless the window says it draws its own frame and shadow.
void sinSombra(Display* d, Window w) {
    ponerCardinales(d, w, "_COMPTON_SHADOW", {0});
    ponerCardinales(d, w, "_GTK_FRAME_EXTENTS", {0, 0, 0, 0});
}

} // namespace

// A key grabbed on the root window, in every combination of Num Lock and Caps Lock, and the
// filter that sees its presses before Qt (which knows nothing of the root window).
class AgarreTeclaX11 : public QObject, public QAbstractNativeEventFilter {
public:
    explicit AgarreTeclaX11(QObject* padre) : QObject(padre) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~AgarreTeclaX11() override { soltar(); }

    Plataforma::Tecla agarrar(const QKeySequence& tecla, std::function<void()> alPulsar) {
        soltar();
        if (tecla.isEmpty()) {
            return Plataforma::Tecla::Ninguna;
        }
        Display* pantalla = ServidorX::conexion();
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
    return d != nullptr && XGetSelectionOwner(d, atomoDePantalla(d, "_NET_WM_CM_S")) != None;
}

bool PlataformaX11::hayBandejaXEmbed() const {
    Display* d = ServidorX::conexion();
    return d != nullptr && XGetSelectionOwner(d, atomoBandeja(d)) != None;
}

unsigned long PlataformaX11::atomoBandeja(_XDisplay* d) {
    return atomoDePantalla(d, "_NET_SYSTEM_TRAY_S");
}

QRect PlataformaX11::areaEnServidor(const QScreen* pantalla) {
    // Qt scales sizes, not a screen's position.
    const QRect logica = pantalla->geometry();
    const qreal escala = pantalla->devicePixelRatio();
    return {logica.topLeft(), QSize(int(std::lround(logica.width() * escala)),
                                    int(std::lround(logica.height() * escala)))};
}

std::unique_ptr<QObject> PlataformaX11::AgarrarTeclaMientras(const QKeySequence& tecla,
                                                             std::function<void()> alPulsar) {
    auto agarre = std::make_unique<AgarreTeclaX11>(nullptr);
    if (agarre->agarrar(tecla, std::move(alPulsar)) != Tecla::Agarrada) {
        return nullptr;
    }
    return agarre;
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

void PlataformaX11::aparecioBandeja() {
    if (m_alAparecerBandeja) {
        std::exchange(m_alAparecerBandeja, nullptr)();
    }
}

void PlataformaX11::PonerForma(QWidget* ventana, const QRegion& forma) {
    if (ventana->property(PropiedadTransparente).toBool()) {
        ponerFormaDeEntrada(ventana, forma);
        return;
    }
    ventana->setMask(forma);
    Display* pantalla = ServidorX::conexion();
    if (pantalla == nullptr) {
        return;
    }
    // Qt's own request, sent first, is replaced by one the server handles better, and that
    // holds any number of rectangles.
    ServidorX::ponerForma(pantalla, static_cast<Window>(ventana->winId()), ShapeBounding, forma,
                          ventana->devicePixelRatioF());
    XFlush(pantalla);
}

void PlataformaX11::ponerFormaDeEntrada(QWidget* ventana, const QRegion& forma) {
    if (!ventana->testAttribute(Qt::WA_PaintOnScreen)) {
        // Painted by Qt (a text shape): its key-coloured background is drawn clear. Qt paints a
        // masked window only within its mask, and the compositor shows the whole window: the
        // whole of it is painted clear first, or what it showed before (the white a text is
        // typed on) would stay around the letters.
        QPalette paleta = ventana->palette();
        paleta.setColor(QPalette::Window, Qt::transparent);
        ventana->setPalette(paleta);
        if (ventana->isVisible()) {
            ventana->clearMask();
            ventana->repaint();
        }
    }
    // Qt keeps the shape (mask()), and sends it to the X server, where it would clip what the
    // window may draw to exactly the strokes. The window shows more than that (smooth edges, or
    // the whole of it, clear where nothing shows); only the mouse keeps to the shape.
    ventana->setMask(forma);
    Display* d = ServidorX::conexion();
    if (d == nullptr) {
        return;
    }
    const auto id = static_cast<Window>(ventana->winId());
    const QRegion visible = formaVisible(forma);
    if (visible.isEmpty()) {
        XShapeCombineMask(d, id, ShapeBounding, 0, 0, None, ShapeSet);
    } else {
        ServidorX::ponerForma(d, id, ShapeBounding, visible, ventana->devicePixelRatioF());
    }
    // A window clicks pass through keeps the empty input shape Qt gave it.
    if (!ventana->windowFlags().testFlag(Qt::WindowTransparentForInput)) {
        ServidorX::ponerForma(d, id, ShapeInput, forma, ventana->devicePixelRatioF());
    }
    XFlush(d);
}

QRegion PlataformaX11::formaVisible(const QRegion& forma) const {
    if (todaLaVentana()) {
        return {};
    }
    // Every pixel a smooth edge reaches, a pixel around the strokes: a window manager shapes its
    // frame as the window, and the frame would otherwise take the clicks around the strokes.
    QRegion ancha = forma + forma.translated(1, 0) + forma.translated(-1, 0);
    return ancha + ancha.translated(0, 1) + ancha.translated(0, -1);
}

bool PlataformaX11::TintaSuave() {
    return hayCompositor();
}

bool PlataformaX11::PrepararTinta(QWidget* ventana) {
    if (!TintaSuave()) {
        return false;
    }
    ventana->setAttribute(Qt::WA_TranslucentBackground);
    ventana->setAttribute(Qt::WA_NoSystemBackground, false);
    ventana->setProperty(PropiedadTransparente, true);
    return true;
}

bool PlataformaX11::MostrarImagen(QWidget* ventana, const QImage& imagen) {
    for (QObject* hijo : ventana->children()) {
        if (dynamic_cast<ImagenX11*>(hijo) != nullptr) {
            delete hijo; // its picture, and the server's memory for it, goes now
        }
    }
    _XDisplay* x = ServidorX::conexion();
    if (imagen.isNull()) {
        return true;
    }
    if (x == nullptr ||
        ImagenX11::poner(x, m_formatos, ventana, imagen, todaLaVentana()) == nullptr) {
        return Plataforma::MostrarImagen(ventana, imagen);
    }
    // Qt never paints it, so it never makes a buffer of the window's size for it.
    ventana->setAttribute(Qt::WA_PaintOnScreen);
    ventana->setAttribute(Qt::WA_NoSystemBackground);
    ventana->setAttribute(Qt::WA_OpaquePaintEvent);
    ventana->setAutoFillBackground(false);
    return true;
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
    Display* pantalla = ServidorX::conexion();
    if (pantalla == nullptr || ventanas.size() < 2) {
        return ventanas;
    }
    const Atom pila = XInternAtom(pantalla, "_NET_CLIENT_LIST_STACKING", True);
    if (pila == None) {
        return ventanas;
    }
    const std::vector<Window> lista =
        ServidorX::leerLista(pantalla, DefaultRootWindow(pantalla), pila, XA_WINDOW);
    if (lista.empty()) {
        return ventanas;
    }
    QHash<Window, qsizetype> lugar;
    for (std::size_t i = 0; i < lista.size(); ++i) {
        lugar.insert(lista[i], static_cast<qsizetype>(i));
    }
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
    // Drawn whole, it is cleared outside its shape.
    new RellenoX11(x, m_formatos, ventana, color,
                   ventana->property(PropiedadTransparente).toBool()
                       ? RellenoX11::Recorte::Propio
                       : RellenoX11::Recorte::DelServidor);
    return true;
}

std::unique_ptr<Captura> PlataformaX11::CapturarPantalla(QScreen* pantalla) {
    _XDisplay* x = ServidorX::conexion();
    if (x == nullptr || pantalla == nullptr || !SuperficieX11::disponible(x)) {
        return Plataforma::CapturarPantalla(pantalla);
    }
    return CapturaX11::deRaiz(x, areaEnServidor(pantalla));
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

void PlataformaX11::prepararVentana(QWidget* ventana, Papel papel) {
    const bool enVivo = papel == Papel::LienzoEnVivo;
    if (enVivo) {
        papel = Papel::Lienzo; // stacked as the other, over the live desktop
        ventana->setProperty(PropiedadEnVivo, true);
    }
    if (papel == Papel::Lienzo) {
        // A plain top-level window: Qt makes a tool window transient for the whole program,
        // which mutter and metacity then lift, with its modal palette, over the shapes.
        ventana->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    } else {
        Plataforma::prepararVentana(ventana, papel);
    }
    ventana->setProperty(PropiedadPapel, static_cast<int>(papel));
    ventana->installEventFilter(this);
    connect(ventana, &QObject::destroyed, this, [this, papel](QObject* objeto) {
        const Apilamiento::Id id = m_ids.take(objeto);
        m_ventanas.remove(id);
        m_sinSombra.remove(static_cast<unsigned long>(id));
        if (papel == Papel::Forma) {
            m_apilamiento.formaOculta(id);
        } else if (papel == Papel::Lienzo) {
            m_apilamiento.lienzoCerrandose(id);
        } else if (papel == Papel::Menu && objeto == m_menu) {
            dejarDeVigilar();
        }
        if (Display* d = ServidorX::conexion()) {
            XFlush(d);
        }
    });
}

bool PlataformaX11::eventFilter(QObject* objeto, QEvent* evento) {
    auto* ventana = qobject_cast<QWidget*>(objeto);
    const QVariant valor = objeto->property(PropiedadPapel);
    if (ventana == nullptr || !valor.isValid()) {
        return false;
    }
    const auto papel = static_cast<Papel>(valor.toInt());
    const Apilamiento::Id id = m_ids.value(objeto);
    // The window system's own show and hide events (a window restored from its icon) come
    // when the window is already mapped or unmapped: nothing to do then.
    const bool propio = !evento->spontaneous();
    switch (evento->type()) {
    case QEvent::Show: // its native window exists, not yet mapped
        if (!propio) {
            return false;
        }
        antesDeMapear(ventana, papel);
        break;
    case QEvent::ShowToParent: // mapped
        if (!propio) {
            return false;
        }
        trasMapear(ventana, papel);
        break;
    case QEvent::Close:
        // Before the canvas unmaps, so that the window manager never sees the shapes tied to a
        // window that is gone.
        if (papel == Papel::Lienzo) {
            m_apilamiento.lienzoCerrandose(id);
        }
        break;
    case QEvent::Hide:
        if (!propio) {
            return false;
        }
        if (papel == Papel::Forma) {
            m_apilamiento.formaOculta(id);
        } else if (papel == Papel::Lienzo) {
            m_apilamiento.lienzoCerrandose(id);
        } else if (papel == Papel::Menu) {
            // Where it was, in the screen's pixels (Qt may destroy a popup's window as it hides).
            const qreal escala = ventana->devicePixelRatioF();
            const QRect g = ventana->geometry();
            m_zonaMenu = QRect(QPoint(qRound(g.x() * escala), qRound(g.y() * escala)),
                               QSize(qRound(g.width() * escala), qRound(g.height() * escala)));
            // A command chosen from the menu runs right after it hides; if none waits for the
            // screen by then, there is nothing left to watch.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!m_espera) {
                        dejarDeVigilar();
                    }
                },
                Qt::QueuedConnection);
        }
        break;
    default:
        return false;
    }
    if (Display* d = ServidorX::conexion()) {
        XFlush(d); // before Qt's own requests about the window, which go by another way
    }
    return false;
}

void PlataformaX11::antesDeMapear(QWidget* ventana, Papel papel) {
    Display* d = ServidorX::conexion();
    if (d == nullptr) {
        return;
    }
    if (papel == Papel::Menu) {
        vigilarMenu(ventana);
        return;
    }
    const auto w = static_cast<Window>(ventana->winId());
    // On a scaled monitor Qt tells the window manager a base size of minus the scale along with
    // a size step of the scale, from which fluxbox makes the window 65534 pixels square. With no
    // base size, the step alone does no harm.
    ventana->windowHandle()->setBaseSize(QSize(0, 0));
    agregarEstados(d, w, {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"});
    sinSombra(d, w);
    m_sinSombra.insert(w);
    if (papel == Papel::Forma || papel == Papel::Lienzo) {
        // Above the panels. Window managers that keep panels in a layer of their own above the
        // one of "above" windows (icewm) take this older hint for the layer over them.
        constexpr long SobrePaneles = 10;
        ponerCardinales(d, w, "_WIN_LAYER", {SobrePaneles});
    }
    if (papel == Papel::Forma) {
        m_ids.insert(ventana, w);
        m_ventanas.insert(w, ventana);
        // A utility window (metacity keeps only windows of a kind like that above their
        // full-screen parent), which Qt makes transient for its transient parent as it maps it,
        // or else for the whole program, which is undone once it is mapped.
        QWindow* nativa = ventana->windowHandle();
        nativa->setTransientParent(ventanaQt(m_apilamiento.lienzoPara(monitorDe(ventana))));
        // Dragged onto another monitor, it goes with that monitor's canvas. (A new native window
        // comes with a shape shown again after an undo.)
        if (!nativa->property(PropiedadVigilada).isValid()) {
            nativa->setProperty(PropiedadVigilada, true);
            connect(nativa, &QWindow::screenChanged, this, [this, w](QScreen* pantalla) {
                m_apilamiento.formaMovida(w, reinterpret_cast<Apilamiento::Monitor>(pantalla));
                if (Display* d = ServidorX::conexion()) {
                    XFlush(d);
                }
            });
        }
    } else if (papel == Papel::Lienzo) {
        m_ids.insert(ventana, w);
        m_ventanas.insert(w, ventana);
        m_apilamiento.lienzoPorMostrarse(w, monitorDe(ventana));
    }
}

QWindow* PlataformaX11::ventanaQt(Apilamiento::Id id) const {
    const QWidget* ventana = m_ventanas.value(id);
    return ventana != nullptr ? ventana->windowHandle() : nullptr;
}

void PlataformaX11::atar(Apilamiento::Id forma, Apilamiento::Id lienzo) {
    // Qt's idea too, so that it gives the same tie when it maps the shape again.
    if (QWindow* f = ventanaQt(forma)) {
        f->setTransientParent(ventanaQt(lienzo));
    }
    Display* d = ServidorX::conexion();
    if (d == nullptr) {
        return;
    }
    const auto w = static_cast<Window>(forma);
    if (lienzo != 0) {
        const auto padre = static_cast<Window>(lienzo);
        XChangeProperty(d, w, XA_WM_TRANSIENT_FOR, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&padre), 1);
    } else {
        XDeleteProperty(d, w, XA_WM_TRANSIENT_FOR);
    }
}

void PlataformaX11::trasMapear(QWidget* ventana, Papel papel) {
    const Apilamiento::Id id = m_ids.value(ventana);
    if (papel == Papel::Forma) {
        m_apilamiento.formaMostrada(id, monitorDe(ventana));
    } else if (papel == Papel::Lienzo) {
        m_apilamiento.lienzoMostrado(id);
        // The full-screen state covers the monitor, panels included, where a plain window is
        // kept inside the work area (fluxbox, icewm, xfwm4). Asked for once the window is
        // mapped above others: xfwm4 then keeps it above the panels when a shape takes the
        // focus, instead of returning it to the layer of ordinary windows.
        if (aPantallaCompleta(ventana->property(PropiedadEnVivo).toBool())) {
            ventana->setWindowState(ventana->windowState() | Qt::WindowFullScreen);
        }
    }
}

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

void PlataformaX11::quitarSombraDelMarco(unsigned long ventana, unsigned long padre) {
    Display* d = ServidorX::conexion();
    const Window raiz = d != nullptr ? DefaultRootWindow(d) : 0;
    if (d == nullptr || padre == raiz || padre == 0 || ventana == 0) {
        return;
    }
    // The frame the window manager put the window in, or the outermost of its frames.
    Window actual = padre;
    for (;;) {
        Window r = 0, p = 0;
        Window* hijos = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(d, actual, &r, &p, &hijos, &n)) {
            return;
        }
        if (hijos != nullptr) {
            XFree(hijos);
        }
        if (p == raiz || p == 0) {
            break;
        }
        actual = p;
    }
    ponerCardinales(d, actual, "_COMPTON_SHADOW", {0});
    XFlush(d);
}

bool PlataformaX11::nativeEventFilter(const QByteArray& tipo, void* mensaje, qintptr*) {
    if (tipo != "xcb_generic_event_t") {
        return false;
    }
    const auto* evento = static_cast<const xcb_generic_event_t*>(mensaje);
    const int clase = evento->response_type & 0x7f;
    const bool enviado = (evento->response_type & 0x80) != 0; // by a client, not the server
    if (clase == XCB_CLIENT_MESSAGE && m_alAparecerBandeja) {
        // A tray announces itself to every client with MANAGER, the selection it now owns.
        const auto* m = reinterpret_cast<const xcb_client_message_event_t*>(evento);
        Display* d = ServidorX::conexion();
        if (d != nullptr && m->format == 32 && m->type == atomo(d, "MANAGER") &&
            m->data.data32[1] == atomoBandeja(d)) {
            aparecioBandeja();
        }
    } else if (clase == XCB_REPARENT_NOTIFY) {
        const auto* r = reinterpret_cast<const xcb_reparent_notify_event_t*>(evento);
        if (m_sinSombra.contains(r->window)) {
            quitarSombraDelMarco(r->window, r->parent);
        }
    } else if (clase == XCB_UNMAP_NOTIFY && !enviado) {
        const auto* u = reinterpret_cast<const xcb_unmap_notify_event_t*>(evento);
        if (m_danio != 0 && u->window == m_idMenu) {
            m_menuCerrado = true; // what the server repaints from now on is what lay beneath
        }
    } else if (m_danio != 0 && clase == m_eventoDanio + XDamageNotify) {
        const auto* n = reinterpret_cast<const NotificacionDanio*>(evento);
        if (n->danio == m_danio && m_menuCerrado) {
            const QRect r(n->x, n->y, n->ancho, n->alto);
            if (m_espera) {
                m_espera->repintado(r);
            } else {
                m_repintes.push_back(r);
            }
        }
    }
    return false;
}
