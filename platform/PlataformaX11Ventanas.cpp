#include "PlataformaX11.h"

#include "EsperaRepintado.h"

#include <QEvent>
#include <QHash>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <initializer_list>
#include <vector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {
constexpr const char* PropiedadPapel = "tizoPapel";
constexpr const char* PropiedadEnVivo = "tizoEnVivo";
constexpr const char* PropiedadVigilada = "tizoMonitorVigilado";

// The monitor a window lies on, as the stacking order tells monitors apart.
Apilamiento::Monitor monitorDe(const QWidget* ventana) {
    const QWindow* w = ventana->windowHandle();
    return reinterpret_cast<Apilamiento::Monitor>(w != nullptr ? w->screen() : ventana->screen());
}

// Adds states to a window that is not mapped yet (the window manager reads them when it maps
// the window, and owns them from then on). Qt 6.4 and 6.8 keep what they find when they add their
// own as the window is shown (QXcbWindow::setNetWmStateOnUnmappedWindow).
void agregarEstados(Display* d, Window w, std::initializer_list<const char*> nombres) {
    const Atom propiedad = ServidorX::atomo(d, "_NET_WM_STATE");
    std::vector<Atom> estados = ServidorX::leerLista(d, w, propiedad, XA_ATOM);
    for (const char* nombre : nombres) {
        const Atom a = ServidorX::atomo(d, nombre);
        if (std::find(estados.begin(), estados.end(), a) == estados.end()) {
            estados.push_back(a);
        }
    }
    XChangeProperty(d, w, propiedad, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(estados.data()),
                    static_cast<int>(estados.size()));
}

void ponerCardinales(Display* d, Window w, const char* propiedad, std::vector<long> valores) {
    XChangeProperty(d, w, ServidorX::atomo(d, propiedad), XA_CARDINAL, 32, PropModeReplace,
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

void PlataformaX11::prepararVentana(QWidget* ventana, Papel papel) {
    const bool enVivo = papel == Papel::LienzoEnVivo;
    if (enVivo) {
        papel = Papel::Lienzo; // stacked as the other, over the live desktop
        ventana->setProperty(PropiedadEnVivo, true);
    }
    if (papel == Papel::Lienzo) {
        // A plain top-level window: Qt 6.4 and 6.8 make a tool window with no transient parent
        // transient for the whole program (the client leader, in QXcbWindow::show), which mutter
        // and metacity then lift, with its modal palette, over the shapes.
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
            // Where it was, in the screen's pixels, taken from the widget as it hides.
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
        // Before Qt's own requests about the window: Qt 6.4 and 6.8 write them to the xcb
        // connection directly, where they would overtake what Xlib still holds in its buffer.
        XFlush(d);
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
    // On a scaled monitor Qt 6.4 tells the window manager a base size of minus the scale along
    // with a size step of the scale (QXcbWindow::propagateSizeHints sends the unset base size
    // along), from which fluxbox makes the window 65534 pixels square. With no base size,
    // the step alone does no harm. Qt 6.8 leaves out an unset or zero base size: not needed there,
    // and harmless.
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
        // full-screen parent), which Qt 6.4 and 6.8 make transient for its transient parent as
        // they map it (QXcbWindow::show), or else for the whole program, which is undone once it
        // is mapped.
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
    // Qt's idea too, so that it gives the same tie when it maps the shape again (Qt 6.4 and 6.8
    // write WM_TRANSIENT_FOR only as they map a window; 6.8 also when the parent's native window
    // is made anew).
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
