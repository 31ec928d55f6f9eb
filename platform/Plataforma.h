#pragma once

#include "Captura.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class IconoBandeja;
class QObject;
class QColor;
class QIcon;
class QImage;
class QMenu;
class QKeySequence;
class QRegion;
class QScreen;
class QWidget;
class Superficie;

// What a window is to the desktop: the windowing system stacks, lists and decorates each kind
// as the program needs it.
enum class Papel {
    Forma,        // a finished shape: above other windows, and above the canvas while drawing
    Lienzo,       // the drawing canvas: the whole primary screen, panels included, under the shapes
    LienzoEnVivo, // the canvas when the screen could not be frozen: see-through, over the live
                  // desktop, under the shapes
    Paleta,       // the tool palette, modal over the canvas
    Acerca,       // the about box
    Menu,         // the tray menu: a capture waits until the screen no longer shows it
};

// What differs between windowing systems lives behind this interface and nowhere else. The base
// class does what portable Qt can do; each windowing system that needs more has a backend of its
// own, chosen once from the platform the application runs on.
class Plataforma {
public:
    Plataforma() = default;
    Plataforma(const Plataforma&) = delete;
    Plataforma& operator=(const Plataforma&) = delete;
    virtual ~Plataforma();

    // Before the application object exists: run on X11 (XWayland under Wayland), which gives
    // shaped windows and a stacking order the program can rely on. A platform set by the user
    // still wins.
    static void PrepararEntorno();

    // The backend of the running application. Call only once the application object exists.
    static Plataforma& actual();

    // Shows only `forma` of the window (QWidget::setMask), however many rectangles it takes.
    virtual void PonerForma(QWidget* ventana, const QRegion& forma);

    // A key that reaches the program wherever the keyboard focus is.
    enum class Tecla {
        Agarrada,     // taken: `alPulsar` runs at each press
        Ninguna,      // no key was asked for; any earlier one is let go
        NoDisponible, // this system offers no global keys, or has no such key
        Ocupada,      // another program holds it
        Pedida,       // asked of the desktop, which answers later (`despues`); meanwhile the key
                      // reaches the program only while one of its windows has the focus
        SoloConFoco,  // the desktop's answer: it takes no key for programs, or refused this one,
                      // which goes on reaching the program only while one of its windows has
                      // the focus
    };
    // What the desktop answered for a key that was Pedida: Agarrada or SoloConFoco, with why,
    // for the log (empty where the desktop offers no keys to programs at all). Once more,
    // SoloConFoco, should the desktop let go of the key it took.
    using TeclaRespondida = std::function<void(Tecla, const QString& motivo)>;
    // Takes `tecla` (one key with its modifiers; the states of Num Lock and Caps Lock do not
    // matter) for the whole desktop, letting go of the one taken before. Holding the key down
    // counts as one press. Where the desktop asks the user to confirm the key, it shows
    // `descripcion` as what the key does; the answer goes to `despues`, later, from the event
    // loop, and only when the key is Pedida. The base class has no global keys.
    virtual Tecla AgarrarTecla(const QKeySequence& tecla, const QString& descripcion,
                               std::function<void()> alPulsar, TeclaRespondida despues);

    // The windows as they are stacked on screen, bottom first. The base class knows no stacking
    // and keeps the order given.
    virtual QList<QWidget*> OrdenApilado(const QList<QWidget*>& ventanas);
    // Has the windowing system fill the window, within its shape, with `color`, so that the
    // program never paints it and keeps no pixels for it. The window then must not paint (its
    // paintEngine() is null while Qt::WA_PaintOnScreen is set). False when the windowing system
    // can't: the window paints the colour itself.
    virtual bool RellenarConColor(QWidget* ventana, const QColor& color);

    // Do windows blend with what lies beneath them, a compositor running? Then ink is drawn
    // smooth, with partly transparent edges.
    virtual bool TintaSuave();
    // Right after prepararVentana, before the window is created: gives a shape of ink an alpha
    // channel where TintaSuave(). From then on its shape (PonerForma) only keeps the mouse to its
    // strokes, and all of it shows what it draws. False when it stays opaque.
    virtual bool PrepararTinta(QWidget* ventana);
    // Has the windowing system show `imagen` (the window's size at its device pixel ratio) as
    // the window's content from now on, within its shape, keeping the pixels itself so that the
    // program keeps none. The window then must not paint (as with RellenarConColor). False when
    // it can't: the window paints the picture itself. A null picture gives back the one kept for
    // the window, which is hidden for a while: it is given again before the window shows.
    virtual bool MostrarImagen(QWidget* ventana, const QImage& imagen);

    // What `pantalla` shows at this moment, at its device resolution. Null when there is no
    // screen to read.
    virtual std::unique_ptr<Captura> CapturarPantalla(QScreen* pantalla);

    // A picture of a screen taken elsewhere (a screenshot service), uploaded once to where
    // captures are kept. Null for a null image.
    virtual std::unique_ptr<Captura> SubirCaptura(const QImage& imagen);

    // What a request for the screen's picture brings back.
    struct CapturaPedida {
        std::unique_ptr<Captura> captura; // null when the screen could not be read
        // No capture because the screen can't be frozen here (a compositor that hides its
        // windows from the X server, and no screenshot service): the canvas should be a
        // see-through one over the live desktop. Otherwise a missing capture leaves it white.
        bool enVivo = false;
        QString motivo; // why there is no capture, for the log
    };
    using AlCapturar = std::function<void(std::vector<CapturaPedida>)>;

    // Takes what each of `pantallas` shows, for their canvases, and hands the pictures to
    // `listo` once, in the same order. Where the windowing system reads its own screen that
    // happens before this returns, and the result is null. Where a screenshot service must be
    // asked, `listo` runs later, from the event loop, and deleting the returned object cancels
    // the request (`listo` then never runs); `listo` may let go of that object only with
    // deleteLater().
    virtual std::unique_ptr<QObject> PedirCapturas(const QList<QScreen*>& pantallas,
                                                   AlCapturar listo);

    // The surface through which the canvas `ventana` shows `captura` (null: white) and draws over
    // it. Call before the window is shown; its children made afterwards share it.
    virtual std::unique_ptr<Superficie> CrearSuperficie(QWidget* ventana,
                                                        std::unique_ptr<Captura> captura);
    // A see-through surface: the canvas `ventana` draws over the live desktop, which shows
    // wherever it has drawn nothing. Call before the window is created.
    virtual std::unique_ptr<Superficie> CrearSuperficieEnVivo(QWidget* ventana);

    // A key held only for a while (Esc while a capture is awaited): taken now, beside the one
    // AgarrarTecla holds, and let go when the returned object goes. Null where this system
    // offers no global keys or another program holds it.
    virtual std::unique_ptr<QObject> AgarrarTeclaMientras(const QKeySequence& tecla,
                                                          std::function<void()> alPulsar);

    // Is there a notification area for the tray icon right now? `alAparecer` runs (once) when
    // there was none and one appears later. The base class asks Qt, and no tray ever appears.
    virtual bool HayBandeja();
    virtual void AlAparecerBandeja(std::function<void()> alAparecer);
    // The tray icon showing `icono`, of the kind the notification area takes now (hidden until
    // mostrar()), owned by `padre`; null when there is none. `menu` is what a tray that shows
    // the icon's menu itself shows. The base class makes Qt's own.
    virtual IconoBandeja* CrearIconoBandeja(const QIcon& icono, QMenu* menu, QObject* padre);
    // A message for the user from the desktop's notifications. False when there is no service
    // to show it now. The base class has none.
    virtual bool Notificar(const QString& titulo, const QString& texto, bool aviso);

    // Once, first thing in the window's constructor: gives it the window flags of its role and
    // tells the desktop what it is (in no taskbar or pager, no shadow, stacked as its role needs).
    // A menu keeps its flags.
    virtual void prepararVentana(QWidget* ventana, Papel papel);

    // Runs `hecho` once the screen shows what lay under `menu` (prepared as Papel::Menu), which
    // has just closed: a compositor may go on showing it for a moment. At once when nothing is
    // to be awaited; never later than a short deadline.
    virtual void trasCerrarse(QWidget* menu, std::function<void()> hecho);

    // Runs `hecho` once the window just shown is on the screen: exposed and painted, and where a
    // compositor draws the screen, drawn by it. Sooner if the window is hidden or destroyed first;
    // never, if the compositor never draws the window's area.
    virtual void trasMostrarse(QWidget* ventana, std::function<void()> hecho);

private:
    // The backend for the platform Qt runs on, made the first time actual() is asked; the build
    // chooses the file that defines it (ElegirPlataforma*.cpp).
    static std::unique_ptr<Plataforma> crear();
};
