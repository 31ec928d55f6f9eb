#pragma once

#include "IconoBandeja.h"
#include "TiposDBusBandeja.h"

#include <QDBusConnection>

class AdaptadorSni;
class MenuDBus;
class QDBusServiceWatcher;

// The tray icon as a StatusNotifierItem of the program's own (freedesktop's specification, as
// KDE named it): a name on the session bus holding the item (AdaptadorSni: its pictures, title
// and tooltip) with its menu exported beside it (MenuDBus), registered with the
// StatusNotifierWatcher, and again whenever a watcher starts. The tray says where a click was:
// Activate (the left button) and ContextMenu (a tray that shows no menu of its own: swaybar)
// are reported as the left and right button at that place, SecondaryActivate as the middle one.
class ElementoSni : public IconoBandeja {
    Q_OBJECT
public:
    static const QString Ruta; // where the item is exported

    ElementoSni(const QIcon& icono, QMenu* menu, QObject* padre,
                QDBusConnection conexion = QDBusConnection::sessionBus());
    ~ElementoSni() override;

    void mostrar() override;
    void ocultar() override;

    // The item's name on the bus, as the watcher is told.
    const QString& servicio() const { return m_servicio; }
    // The icon's pictures, at the sizes trays use.
    const ListaPixmapsSni& pixmaps() const { return m_pixmaps; }
    AdaptadorSni* adaptador() const { return m_adaptador; }

protected:
    void tipCambiado() override;

private:
    void registrarEnVigia();

    QDBusConnection m_conexion;
    QString m_servicio;
    ListaPixmapsSni m_pixmaps;
    AdaptadorSni* m_adaptador;
    MenuDBus* m_menuDBus;
    QDBusServiceWatcher* m_vigia;
    bool m_visible = false;
};
