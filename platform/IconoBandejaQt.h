#pragma once

#include "IconoBandeja.h"

class QSystemTrayIcon;

// The portable tray icon, Qt's own, where the platform has no icon of its own (the portable
// base: Windows, and Qt's test platforms). The click is where the pointer is; a tray that shows
// the menu itself is handed it.
class IconoBandejaQt : public IconoBandeja {
    Q_OBJECT
public:
    IconoBandejaQt(const QIcon& icono, QMenu* menu, QObject* padre);

    void mostrar() override;
    void ocultar() override;
    bool avisar(const QString& titulo, const QString& texto, Tipo tipo) override;

protected:
    void tipCambiado() override;

private:
    QSystemTrayIcon* m_icono;
};
