#pragma once

#include "TiposDBusBandeja.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>

class QAction;
class QMenu;

// A QMenu exported over D-Bus (com.canonical.dbusmenu, version 3) for a tray that shows the
// icon's menu itself (Plasma, Xfce's panel, GNOME's AppIndicator extension). Item 0 is the menu;
// every action gets an id of its own for as long as it lives. An item clicked there triggers its
// action. The menu is not owned; changes to its actions are announced: items that came or went
// with LayoutUpdated, an item's new properties with ItemsPropertiesUpdated.
class MenuDBus : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ Version)
    Q_PROPERTY(QString TextDirection READ TextDirection)
    Q_PROPERTY(QString Status READ Status)
    Q_PROPERTY(QStringList IconThemePath READ IconThemePath)
public:
    static const QString Ruta; // where it is exported

    explicit MenuDBus(QMenu* menu, QObject* padre = nullptr);

    // Exports it on `conexion` at Ruta, or takes it back. False when the path is taken.
    bool exportar(QDBusConnection conexion);
    void retirar();

    // The id of `accion` in the layout (0: not in the menu).
    int idDe(const QAction* accion) const { return m_ids.value(accion); }

    // What a tray reads of an item: the type "separator", or "label" (its text, mnemonics
    // written with "_"), "icon-data" (a PNG) where it has an icon, and a check's "toggle-type" and
    // "toggle-state"; "enabled" and "visible" only when false; "children-display" "submenu"
    // for a submenu and the menu itself.
    static QVariantMap propiedadesDe(const QAction* accion);
    // A caption with Qt's "&" mnemonics in dbusmenu's "_" ones.
    static QString etiqueta(const QString& texto);

    uint Version() const { return 3; }
    QString TextDirection() const;
    QString Status() const { return QStringLiteral("normal"); }
    QStringList IconThemePath() const { return {}; }

public slots:
    Q_SCRIPTABLE uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                ElementoMenuDBus& layout);
    Q_SCRIPTABLE ListaPropiedadesMenuDBus GetGroupProperties(const QList<int>& ids,
                                                             const QStringList& propertyNames);
    Q_SCRIPTABLE QDBusVariant GetProperty(int id, const QString& name);
    Q_SCRIPTABLE void Event(int id, const QString& eventId, const QDBusVariant& data,
                            uint timestamp);
    Q_SCRIPTABLE QList<int> EventGroup(const ListaEventosMenuDBus& events);
    Q_SCRIPTABLE bool AboutToShow(int id);
    Q_SCRIPTABLE QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

signals:
    Q_SCRIPTABLE void ItemsPropertiesUpdated(const ListaPropiedadesMenuDBus& updatedProps,
                                             const ListaQuitadasMenuDBus& removedProps);
    Q_SCRIPTABLE void LayoutUpdated(uint revision, int parent);
    Q_SCRIPTABLE void ItemActivationRequested(int id, uint timestamp);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    // The item `id` with its children down `nivel` levels (-1: all), with only `nombres` of
    // its properties (empty: all).
    ElementoMenuDBus elemento(int id, int nivel, const QStringList& nombres);
    QMenu* menuDe(int id) const; // the menu item `id` opens, if any
    int registrar(QAction* accion);
    void vigilar(QMenu* menu);
    // Item `id` changed (0: items came or went).
    void cambio(int id);

    QPointer<QMenu> m_menu;
    QDBusConnection m_conexion{QString()};
    bool m_exportado = false;
    QHash<const QAction*, int> m_ids;
    QHash<int, QPointer<QAction>> m_acciones;
    int m_siguiente = 1;
    uint m_revision = 1;
    bool m_cambioDeLaDisposicion = false; // to be announced
    QSet<int> m_cambiados;                // items whose properties are to be announced
};
