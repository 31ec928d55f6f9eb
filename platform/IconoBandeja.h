#pragma once

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>

class QMenu;

// The program's icon in the notification area, however the desktop takes it. It shows `icono`
// with a tooltip, and reports clicks on it; what a click does is the program's business. A tray
// that shows the icon's menu itself (over D-Bus) is handed `menu`; the menu is not owned.
// Made by Plataforma::CrearIconoBandeja, which picks the kind the desktop has.
class IconoBandeja : public QObject {
    Q_OBJECT
public:
    enum class Tipo { Informacion, Aviso };

    IconoBandeja(const QIcon& icono, QMenu* menu, QObject* padre);
    ~IconoBandeja() override;

    const QIcon& icono() const { return m_icono; }
    QMenu* menu() const { return m_menu; }
    const QString& tip() const { return m_tip; }
    void ponerTip(const QString& tip);

    // Shows the icon in the tray; hides it (the tray drops it).
    virtual void mostrar() = 0;
    virtual void ocultar() = 0;

    // A message beside the icon, where the kind of icon has a way of its own to show one (Qt's
    // balloons). False when it has none: the platform's notifications are asked instead.
    virtual bool avisar(const QString& titulo, const QString& texto, Tipo tipo);

signals:
    // The user clicked the icon with `boton`, at `donde` (global, as the tray or the windowing
    // system says): the left and right buttons once released, the middle one where a tray
    // reports it.
    void clic(Qt::MouseButton boton, QPoint donde);

protected:
    virtual void tipCambiado() {}

private:
    QIcon m_icono;
    QMenu* m_menu;
    QString m_tip;
};
