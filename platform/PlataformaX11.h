#pragma once

#include "Apilamiento.h"
#include "Plataforma.h"
#include "ServidorX.h"

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QSet>
#include <vector>

class AgarreTeclaX11;
class EsperaRepintado;
class Notificaciones;
class QWindow;
class VigiaSni;

// X11, through Qt's xcb platform (also XWayland under a Wayland session). What the window
// managers need to know is told with the standard window properties (EWMH and ICCCM), the same
// on every window manager:
// - every window of the program: skip-taskbar and skip-pager states, and no compositor shadow
//   (a shadow would darken the whole box of a shaped window);
// - a shape: a utility window above others, transient for nothing, so that no window manager
//   hides it with an inactive program; while drawing, transient for the canvas (Apilamiento);
// - the canvas: full-screen state, asked for once it is mapped and above others, so that it
//   covers the monitor, panels included, whatever the work area, and keeps over the panels when
//   a shape has the focus;
// - the tray menu: a capture waits until the screen has been repainted where it was.
// Captures and one-colour windows stay in the X server.
class PlataformaX11 : public QObject, public Plataforma, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    PlataformaX11();
    ~PlataformaX11() override;

    void PonerForma(QWidget* ventana, const QRegion& forma) override;
    bool RellenarConColor(QWidget* ventana, const QColor& color) override;
    // A compositing manager runs.
    bool TintaSuave() override;
    bool PrepararTinta(QWidget* ventana) override;
    bool MostrarImagen(QWidget* ventana, const QImage& imagen) override;
    std::unique_ptr<Captura> CapturarPantalla(QScreen* pantalla) override;
    std::unique_ptr<Captura> SubirCaptura(const QImage& imagen) override;
    std::unique_ptr<Superficie> CrearSuperficie(QWidget* ventana,
                                                std::unique_ptr<Captura> captura) override;
    Tecla AgarrarTecla(const QKeySequence& tecla, const QString& descripcion,
                       std::function<void()> alPulsar, TeclaRespondida despues) override;
    std::unique_ptr<QObject> AgarrarTeclaMientras(const QKeySequence& tecla,
                                                  std::function<void()> alPulsar) override;
    // An XEmbed tray (the selection of the screen's system tray) or a panel that takes icons
    // over D-Bus.
    bool HayBandeja() override;
    void AlAparecerBandeja(std::function<void()> alAparecer) override;
    // A StatusNotifierItem where a host takes them over D-Bus, otherwise an XEmbed icon.
    IconoBandeja* CrearIconoBandeja(const QIcon& icono, QMenu* menu, QObject* padre) override;
    bool Notificar(const QString& titulo, const QString& texto, bool aviso) override;
    QList<QWidget*> OrdenApilado(const QList<QWidget*>& ventanas) override;
    void prepararVentana(QWidget* ventana, Papel papel) override;
    void trasCerrarse(QWidget* menu, std::function<void()> hecho) override;
    void trasMostrarse(QWidget* ventana, std::function<void()> hecho) override;

protected:
    // Set on a shape drawn whole on a visual with an alpha channel, clear where nothing shows:
    // its shape only keeps the mouse to it.
    static constexpr const char* PropiedadTransparente = "tizoTransparente";

    bool eventFilter(QObject* objeto, QEvent* evento) override;
    bool nativeEventFilter(const QByteArray& tipo, void* mensaje, qintptr* resultado) override;

    // The screen's area in the X server's pixels.
    static QRect areaEnServidor(const QScreen* pantalla);
    // A compositing manager runs: a window with an alpha channel shows what lies beneath.
    bool hayCompositor() const;
    ServidorX::FormatoVentanas& formatos() { return m_formatos; }
    // What shows of a window drawn on a visual with an alpha channel whose shape for the mouse is
    // `forma`; empty: all of it.
    QRegion formaVisible(const QRegion& forma) const;
    // A smooth window is shown whole, whatever its shape says: all of it is drawn, clear where
    // nothing shows.
    virtual bool todaLaVentana() const { return false; }
    // Whether the canvas (the see-through one when `enVivo`) asks for the full-screen state.
    virtual bool aPantallaCompleta(bool /*enVivo*/) const { return true; }

private:
    void ponerFormaDeEntrada(QWidget* ventana, const QRegion& forma);
    static unsigned long atomoBandeja(_XDisplay* d);
    bool hayBandejaXEmbed() const;
    VigiaSni& sni(); // made when first asked: it watches the session bus
    void aparecioBandeja();
    void antesDeMapear(QWidget* ventana, Papel papel);
    void trasMapear(QWidget* ventana, Papel papel);
    void vigilarMenu(QWidget* menu);
    void dejarDeVigilar();
    void terminarEspera();
    // An X event while the screen under the menu is watched (an xcb_generic_event_t).
    void eventoDelMenu(const void* evento);
    // A damage event for a window waiting to be drawn by the compositor: true when it was one.
    bool eventoDeComposicion(const void* evento);
    void quitarSombraDelMarco(unsigned long ventana, unsigned long padre);
    void atar(Apilamiento::Id forma, Apilamiento::Id lienzo);
    QWindow* ventanaQt(Apilamiento::Id id) const;

    AgarreTeclaX11* m_agarre = nullptr; // owned by the application object
    VigiaSni* m_sni = nullptr;
    std::unique_ptr<Notificaciones> m_notificaciones; // made when first asked
    std::function<void()> m_alAparecerBandeja;
    ServidorX::FormatoVentanas m_formatos;
    Apilamiento m_apilamiento;
    QHash<QObject*, Apilamiento::Id> m_ids; // the shapes and the canvas, by their native windows
    QHash<Apilamiento::Id, QPointer<QWidget>> m_ventanas; // and the other way round
    QSet<unsigned long> m_sinSombra; // every window of the program the desktop has seen

    // Watching the screen under the tray menu: the damage the X server reports on the root
    // window, from the moment the menu shows until its area has been repainted.
    int m_eventoDanio = -1; // the Damage extension's first event, -1 without it
    unsigned long m_danio = 0;
    QPointer<QWidget> m_menu;
    unsigned long m_idMenu = 0;
    QRect m_zonaMenu;                   // where it was, in the root window's pixels
    bool m_menuCerrado = false;         // its unmapping has reached the server
    std::vector<QRect> m_repintes;      // reported since, while nobody waits yet
    QPointer<EsperaRepintado> m_espera; // a capture waiting
    std::vector<std::function<void()>> m_pendientes;

    // Windows just painted, until the compositor has drawn them: the damage the X server reports
    // on the root window from then on, and the wait it feeds.
    struct Composicion {
        unsigned long danio = 0;
        QPointer<EsperaRepintado> espera;
    };
    std::vector<Composicion> m_composiciones;
};
