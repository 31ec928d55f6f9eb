#pragma once

#include "PlataformaX11.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <optional>

class AtajoPortal;

// X11 through XWayland, under a Wayland compositor. The X server sees no Wayland window, so a
// grab of the screen comes back black: the frozen screen is asked of the desktop's screenshot
// service (the portal) instead, for every screen at once, and where there is none, or the user
// refuses, the canvas becomes a see-through window over the live desktop.
//
// wlroots' X window manager (sway and its kin) ignores window shapes, the positions programs ask
// for and the above state. There the shape windows bypass it (override-redirect): they land
// exactly where drawn and stay above every window. They are drawn on a 32-bit visual with the
// key-coloured part fully transparent, since the compositor would show it (as black); a click on
// that part still falls on the shape, which that compositor offers no way around. As that window
// manager does not hand the X focus to the program's windows, the one that should have the keys
// grabs the keyboard itself.
//
// KWin keeps the shapes' positions and stacking, but it too shows the whole box of a shaped
// window: there the shapes are drawn clear outside their strokes in the same way.
class PlataformaXWayland : public PlataformaX11 {
    Q_OBJECT
public:
    PlataformaXWayland();

    // The X server is XWayland, as the server itself says: it has the XWAYLAND extension
    // (XWayland 23.1 on), or its screens are XWayland's.
    static bool enXWayland();
    // The rule of enXWayland, from whether the server has that extension and its screens' names.
    static bool esXWayland(bool extensionXWayland, const QStringList& pantallas);
    // The X window manager (by its _NET_WM_NAME) is one that ignores shapes and positions.
    static bool ignoraFormas(const QString& nombreGestor);
    // Its compositor shows the whole box of a shaped window, pixels outside the shape included.
    static bool muestraLaCaja(const QString& nombreGestor);

    // The X server gets the key only while one of the program's windows has the keyboard: the
    // key is kept there, and the desktop's global shortcuts are asked for it. Once the desktop
    // has bound it, it alone brings the key, wherever the focus is.
    Tecla AgarrarTecla(const QKeySequence& tecla, const QString& descripcion,
                       std::function<void()> alPulsar, TeclaRespondida despues) override;
    std::unique_ptr<QObject> PedirCapturas(const QList<QScreen*>& pantallas,
                                           AlCapturar listo) override;
    void trasCerrarse(QWidget* menu, std::function<void()> hecho) override;
    void trasMostrarse(QWidget* ventana, std::function<void()> hecho) override;
    void prepararVentana(QWidget* ventana, Papel papel) override;
    bool TintaSuave() override;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    bool nativeEventFilter(const QByteArray& tipo, void* mensaje, qintptr* resultado) override;
    bool aPantallaCompleta(bool enVivo) const override;
    // The compositors here show the whole box of a shaped window, or ignore shapes altogether.
    bool todaLaVentana() const override { return true; }

private:
    const QString& gestor() const; // asked of the server the first time
    bool sinGestor() const;
    bool cajaEntera() const;
    void darTeclado(QWidget* ventana);
    void quitarTeclado(QWidget* ventana);
    void aplicarTeclado();

    mutable std::optional<QString> m_gestor; // unknown until the first window asks
    QList<QPointer<QWidget>> m_teclados;     // who should have the keys, the last one first
    unsigned long m_teclado = 0;             // the window that holds the keyboard
    QPointer<AtajoPortal> m_atajo; // the key asked of the desktop; owned by the application object
};
