#include "PlataformaXWayland.h"

#include "AtajoPortal.h"
#include "CapturaKWin.h"
#include "ImagenPantalla.h"
#include "PermisoCaptura.h"
#include "PortalCaptura.h"
#include "ServidorX.h"
#include "TeclasX11.h"

#include <QColor>
#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPointer>
#include <QRegion>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <memory>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
#include <xcb/xcb.h>
// Xlib's names for its key events hide Qt's.
#undef KeyPress
#undef KeyRelease

namespace {

constexpr const char* PropiedadSuelta = "tizoSuelta";   // a shape window bypassing the manager
constexpr const char* PropiedadTeclado = "tizoTeclado"; // holds the keyboard when it should

// The window manager's name, as it gives it on its check window.
QString nombreGestor(Display* d) {
    const std::vector<unsigned long> ventana = ServidorX::leerLista(
        d, DefaultRootWindow(d), XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False), XA_WINDOW);
    if (ventana.empty()) {
        return {};
    }
    return QString::fromUtf8(ServidorX::leerPropiedad(d, ventana.front(),
                                                      XInternAtom(d, "_NET_WM_NAME", False),
                                                      XInternAtom(d, "UTF8_STRING", False)));
}

} // namespace

PlataformaXWayland::PlataformaXWayland() = default;

bool PlataformaXWayland::esXWayland(bool extensionXWayland, const QStringList& pantallas) {
    return extensionXWayland ||
           std::any_of(pantallas.begin(), pantallas.end(), [](const QString& nombre) {
               return nombre.startsWith(QLatin1String("XWAYLAND"));
           });
}

bool PlataformaXWayland::enXWayland() {
    // Asked of the X server, never of the session's variables: an X server started inside a
    // Wayland session (nested, remote, virtual) sees its windows like any other.
    Display* d = ServidorX::conexion();
    int opcode = 0;
    int evento = 0;
    int error = 0;
    const bool extension =
        d != nullptr && XQueryExtension(d, "XWAYLAND", &opcode, &evento, &error) != 0;
    QStringList pantallas;
    for (const QScreen* pantalla : QGuiApplication::screens()) {
        pantallas << pantalla->name();
    }
    return esXWayland(extension, pantallas);
}

bool PlataformaXWayland::ignoraFormas(const QString& nombreGestor) {
    return nombreGestor.contains(QLatin1String("wlroots"), Qt::CaseInsensitive);
}

bool PlataformaXWayland::muestraLaCaja(const QString& nombreGestor) {
    return ignoraFormas(nombreGestor) || nombreGestor == QLatin1String("KWin");
}

const QString& PlataformaXWayland::gestor() const {
    if (!m_gestor) {
        Display* d = ServidorX::conexion();
        m_gestor = d != nullptr ? nombreGestor(d) : QString();
    }
    return *m_gestor;
}

bool PlataformaXWayland::sinGestor() const {
    return ignoraFormas(gestor());
}

bool PlataformaXWayland::cajaEntera() const {
    return muestraLaCaja(gestor());
}

Plataforma::Tecla PlataformaXWayland::AgarrarTecla(const QKeySequence& tecla,
                                                   const QString& descripcion,
                                                   std::function<void()> alPulsar,
                                                   TeclaRespondida despues) {
    delete m_atajo.data(); // the desktop lets go of the earlier one
    const Tecla agarrada = PlataformaX11::AgarrarTecla(tecla, descripcion, alPulsar, nullptr);
    if (agarrada != Tecla::Agarrada) {
        return agarrada;
    }
    m_atajo = new AtajoPortal(QDBusConnection::sessionBus(), QCoreApplication::instance());
    m_atajo->alPerder([this, tecla, descripcion, alPulsar, despues](const QString& motivo) {
        // The X key again, as before the desktop took it.
        PlataformaX11::AgarrarTecla(tecla, descripcion, alPulsar, nullptr);
        if (despues) {
            despues(Tecla::SoloConFoco, motivo);
        }
    });
    m_atajo->registrar(
        QStringLiteral("dibujar"), descripcion, TeclasX11::disparadorXdg(tecla), alPulsar,
        [this, despues](const AtajoPortal::Resultado& resultado) {
            const bool atada = resultado.fallo == AtajoPortal::Fallo::Ninguno;
            if (atada) {
                // The desktop alone brings it from now on: pressed with one of the program's
                // windows focused, it must not count twice, and the user may have chosen
                // another key.
                PlataformaX11::AgarrarTecla(QKeySequence(), QString(), nullptr, nullptr);
            }
            if (despues) {
                despues(atada ? Tecla::Agarrada : Tecla::SoloConFoco,
                        resultado.fallo == AtajoPortal::Fallo::Rechazado ? resultado.detalle
                                                                         : QString());
            }
        });
    return Tecla::Pedida;
}

std::unique_ptr<QObject> PlataformaXWayland::PedirCapturas(const QList<QScreen*>& pantallas,
                                                           AlCapturar listo) {
    // The X server would give black: only the compositor knows what the screens show. Its
    // picture covers every screen, in the compositor's pixels.
    QRect escritorio;
    for (const QScreen* cada : QGuiApplication::screens()) {
        escritorio |= areaEnServidor(cada);
    }
    std::vector<QRect> areas;
    for (const QScreen* pantalla : pantallas) {
        areas.push_back(pantalla != nullptr ? areaEnServidor(pantalla) : QRect());
    }
    auto recibir = [this, listo = std::move(listo), escritorio,
                    areas](const PortalCaptura::Resultado& resultado, const QString& fuente) {
        std::vector<CapturaPedida> pedidas;
        for (const QRect& area : areas) {
            CapturaPedida pedida;
            QString detalle = resultado.detalle;
            if (resultado.fallo == PortalCaptura::Fallo::Ninguno) {
                pedida.captura =
                    SubirCaptura(ImagenPantalla::recortar(resultado.imagen, escritorio, area));
                if (!pedida.captura) {
                    detalle = QStringLiteral("la imagen no cubre la pantalla");
                }
            }
            if (!pedida.captura) {
                // Where the compositor can't say, the live desktop under a see-through canvas
                // is the screen itself.
                pedida.enVivo = true;
                pedida.motivo = fuente + detalle;
            }
            pedidas.push_back(std::move(pedida));
        }
        listo(std::move(pedidas));
    };
    // The request owns whichever service is being asked: deleting it cancels that one.
    auto pedido = std::make_unique<QObject>();
    QObject* dueno = pedido.get();
    auto alPortal = [dueno, recibir](const QString& antes) {
        // Where the portal will ask the user first (GNOME), the answer is awaited for as long as
        // the user takes; nothing of the program's shows over the question meanwhile.
        auto* permiso = new PermisoCaptura(QDBusConnection::sessionBus(), dueno);
        permiso->consultar([dueno, recibir, antes, permiso](PermisoCaptura::Permiso dicho) {
            permiso->deleteLater();
            const auto plazo = dicho == PermisoCaptura::Permiso::SinDecidir
                                   ? PortalCaptura::SinPlazo
                                   : PortalCaptura::PlazoPorDefecto;
            auto* portal = new PortalCaptura(QDBusConnection::sessionBus(), plazo, dueno);
            portal->pedir([recibir, antes, dicho](PortalCaptura::Resultado resultado) {
                if (resultado.fallo == PortalCaptura::Fallo::Rechazada &&
                    dicho != PermisoCaptura::Permiso::Concedido) {
                    resultado.detalle += PermisoCaptura::comoPermitir();
                }
                recibir(resultado, antes + QStringLiteral("el portal de capturas: "));
            });
        });
    };
    if (!CapturaKWin::disponible()) {
        alPortal(QString());
        return pedido;
    }
    // KDE Plasma: KWin gives the picture itself, at once, to a program its desktop entry lets
    // in; otherwise the portal is asked as on any desktop.
    auto* kwin =
        new CapturaKWin(QDBusConnection::sessionBus(), PortalCaptura::PlazoPorDefecto, dueno);
    kwin->pedir([kwin, recibir, alPortal](const PortalCaptura::Resultado& resultado) {
        kwin->deleteLater();
        if (resultado.fallo == PortalCaptura::Fallo::Ninguno) {
            recibir(resultado, QString());
        } else {
            alPortal(QStringLiteral("KWin: ") + resultado.detalle + QStringLiteral("; "));
        }
    });
    return pedido;
}

void PlataformaXWayland::trasCerrarse(QWidget*, std::function<void()> hecho) {
    // The compositor repaints where the menu was before it answers for the screen's picture.
    hecho();
}

void PlataformaXWayland::trasMostrarse(QWidget* ventana, std::function<void()> hecho) {
    // The compositor is no X client: none of its drawing shows on the X server's root window.
    Plataforma::trasMostrarse(ventana, std::move(hecho));
}

void PlataformaXWayland::prepararVentana(QWidget* ventana, Papel papel) {
    PlataformaX11::prepararVentana(ventana, papel);
    if (papel == Papel::Forma && cajaEntera()) {
        // The compositor shows the whole box of a shaped window, whatever its X shape leaves
        // out, with whatever the window's pixels there held last (another window's picture, a
        // trail when dragged): the box is drawn clear instead, on a visual with an alpha
        // channel. Its background is still painted: a text is typed on white, as elsewhere.
        ventana->setAttribute(Qt::WA_TranslucentBackground);
        ventana->setAttribute(Qt::WA_NoSystemBackground, false);
        ventana->setProperty(PropiedadTransparente, true);
    }
    if (!sinGestor()) {
        return;
    }
    // Of the windows that bypass the manager, the compositor gives the keyboard only to those
    // of no special kind (a utility window, Qt's tool window, never gets it).
    constexpr Qt::WindowFlags Suelta = Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint;
    if (papel == Papel::Forma) {
        ventana->setWindowFlags(Qt::Window | Suelta | Qt::WindowStaysOnTopHint);
        ventana->setProperty(PropiedadSuelta, true);
        ventana->setProperty(PropiedadTeclado, true);
    } else if (papel == Papel::Paleta) {
        // That window manager leaves the X stacking order as windows were mapped, whatever it
        // shows above: the palette over the canvas would let the canvas take its clicks. On its
        // own it is mapped above, where the program puts it.
        ventana->setWindowFlags(Qt::Dialog | Suelta);
        ventana->setProperty(PropiedadTeclado, true);
    } else if (papel == Papel::LienzoEnVivo) {
        // Floating, not full-screen: that compositor paints nothing beneath a full-screen
        // window, and the palette must show above it.
        ventana->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        ventana->setProperty(PropiedadTeclado, true);
    } else if (papel == Papel::Lienzo) {
        ventana->setProperty(PropiedadTeclado, true);
    }
}

bool PlataformaXWayland::aPantallaCompleta(bool enVivo) const {
    return !(enVivo && sinGestor());
}

bool PlataformaXWayland::TintaSuave() {
    return true; // the Wayland compositor blends every window
}

void PlataformaXWayland::darTeclado(QWidget* ventana) {
    // A shape holds it in place of any other shape; the canvas and the palette stay beneath.
    const bool suelta = ventana->property(PropiedadSuelta).toBool();
    m_teclados.removeIf([ventana, suelta](const QPointer<QWidget>& w) {
        return w == nullptr || w == ventana || (suelta && w->property(PropiedadSuelta).toBool());
    });
    m_teclados.append(ventana);
    aplicarTeclado();
}

void PlataformaXWayland::quitarTeclado(QWidget* ventana) {
    m_teclados.removeIf(
        [ventana](const QPointer<QWidget>& w) { return w == nullptr || w == ventana; });
    aplicarTeclado();
}

void PlataformaXWayland::aplicarTeclado() {
    Display* d = ServidorX::conexion();
    if (d == nullptr) {
        return;
    }
    unsigned long quien = 0;
    for (auto w = m_teclados.crbegin(); w != m_teclados.crend() && quien == 0; ++w) {
        if (*w != nullptr && (*w)->isVisible()) {
            quien = (*w)->internalWinId();
        }
    }
    if (quien == m_teclado) {
        return;
    }
    m_teclado = 0;
    if (quien == 0) {
        XUngrabKeyboard(d, CurrentTime);
    } else if (XGrabKeyboard(d, static_cast<Window>(quien), True, GrabModeAsync, GrabModeAsync,
                             CurrentTime) == GrabSuccess) {
        m_teclado = quien;
    }
    XFlush(d);
}

bool PlataformaXWayland::eventFilter(QObject* objeto, QEvent* evento) {
    const QEvent::Type tipo = evento->type();
    const bool teclado = objeto->property(PropiedadTeclado).toBool();
    const bool suelta = objeto->property(PropiedadSuelta).toBool();
    auto* ventana = static_cast<QWidget*>(objeto);
    if (teclado && (tipo == QEvent::KeyPress || tipo == QEvent::KeyRelease) &&
        evento->spontaneous() && m_teclado != 0 && ventana->internalWinId() != m_teclado) {
        // The server gives the keys to the window that holds the keyboard, but Qt 6.4 and 6.8
        // hand them to the window they last saw take the focus (QXcbKeyboard::handleKeyEvent): they
        // go where the server sent them. A key the program itself passes on to another window goes
        // there.
        for (const QPointer<QWidget>& dueno : m_teclados) {
            if (dueno != nullptr && dueno->internalWinId() == m_teclado) {
                QWidget* destino =
                    dueno->focusWidget() != nullptr ? dueno->focusWidget() : dueno.data();
                const std::unique_ptr<QEvent> copia(evento->clone());
                QCoreApplication::sendEvent(destino, copia.get());
                return true;
            }
        }
    }
    if (teclado) {
        // The keyboard, for Esc on the canvas, the palette's entries, Delete and typing on a
        // shape. That window manager lets a program move the X focus only while one of its
        // managed windows has it, and takes it away again as the compositor's own focus moves
        // (to nothing, for a window it does not manage): the window that should have the keys
        // holds the keyboard itself instead. A shape holds it while the pointer is over it, once
        // clicked, or made there to take the keys (a text); otherwise the palette, otherwise the
        // canvas.
        if (tipo == QEvent::MouseButtonPress && suelta) {
            ventana->activateWindow();
            darTeclado(ventana);
        } else if (tipo == QEvent::ShowToParent && !evento->spontaneous() &&
                   (!suelta || (!ventana->testAttribute(Qt::WA_ShowWithoutActivating) &&
                                ventana->frameGeometry().contains(QCursor::pos())))) {
            darTeclado(ventana);
        } else if (tipo == QEvent::Hide ||
                   (tipo == QEvent::Leave && suelta &&
                    // XWayland reports a leave now and then with the pointer still inside
                    !ventana->frameGeometry().contains(QCursor::pos()))) {
            quitarTeclado(ventana);
        } else if (tipo == QEvent::Paint && m_teclado == 0 && !m_teclados.isEmpty()) {
            aplicarTeclado(); // a managed window can be grabbed only once the manager maps it
        }
    }
    return PlataformaX11::eventFilter(objeto, evento);
}

bool PlataformaXWayland::nativeEventFilter(const QByteArray& tipo, void* mensaje,
                                           qintptr* resultado) {
    // While one of ours holds the keyboard, the keys go to it wherever the focus is; but Qt 6.4
    // and 6.8 hand them to the window they last saw take the focus, and follow focus events of
    // any mode (QXcbWindow::handleFocusInEvent). The focus the window manager moves
    // meanwhile (back to the canvas it manages, say) is not for Qt to follow: when the grab ends
    // the server tells where the focus is.
    if (m_teclado != 0 && tipo == "xcb_generic_event_t") {
        const auto* evento = static_cast<const xcb_generic_event_t*>(mensaje);
        const int clase = evento->response_type & 0x7f;
        if ((clase == XCB_FOCUS_IN || clase == XCB_FOCUS_OUT) &&
            reinterpret_cast<const xcb_focus_in_event_t*>(evento)->mode ==
                XCB_NOTIFY_MODE_WHILE_GRABBED) {
            return true;
        }
    }
    return PlataformaX11::nativeEventFilter(tipo, mensaje, resultado);
}
