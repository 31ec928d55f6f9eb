#pragma once

#include "IconoBandeja.h"
#include "VentanaIconoXEmbed.h"

#include <QAbstractNativeEventFilter>
#include <QPointer>

// The tray icon in an XEmbed tray (freedesktop's system tray specification): a window of the
// program's own docked into the tray that owns the screen's _NET_SYSTEM_TRAY_S<n> selection,
// docked again when a tray announces itself (MANAGER), gone while no tray runs. The left and
// right buttons are reported once released over it, where they were released; the middle one
// too, for the program to ignore.
class IconoXEmbed : public IconoBandeja, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    IconoXEmbed(const QIcon& icono, QMenu* menu, QObject* padre);
    ~IconoXEmbed() override;

    void mostrar() override;
    void ocultar() override;

    // The window docked now; null while none is.
    VentanaIconoXEmbed* ventana() const { return m_ventana; }

protected:
    void tipCambiado() override;
    bool nativeEventFilter(const QByteArray& tipo, void* mensaje, qintptr* resultado) override;

private:
    void acoplar();
    void quitarVentana();

    bool m_visible = false;
    unsigned long m_bandeja = 0; // the tray's window, holding the selection
    QPointer<VentanaIconoXEmbed> m_ventana;
};
