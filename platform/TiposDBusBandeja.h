#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class QIcon;
class QSize;

// The values the tray icon's D-Bus interfaces carry: a StatusNotifierItem's pictures and tooltip
// (freedesktop's StatusNotifierItem specification) and a menu's items (com.canonical.dbusmenu).

// A picture, ARGB32 in network byte order: (iiay).
struct PixmapSni {
    int ancho = 0;
    int alto = 0;
    QByteArray datos;
};
using ListaPixmapsSni = QList<PixmapSni>;

// The icon's pictures at `lados` (square sizes in pixels), largest last.
ListaPixmapsSni pixmapsSni(const QIcon& icono, const QList<int>& lados);

// A tooltip: icon name, pictures, title and text: (sa(iiay)ss).
struct TipSni {
    QString icono;
    ListaPixmapsSni imagen;
    QString titulo;
    QString texto;
};

// A menu item and the items under it: (ia{sv}av), each child a variant holding one of these.
struct ElementoMenuDBus {
    int id = 0;
    QVariantMap propiedades;
    QList<ElementoMenuDBus> hijos;
};

// An item's properties: (ia{sv}).
struct PropiedadesMenuDBus {
    int id = 0;
    QVariantMap propiedades;
};
using ListaPropiedadesMenuDBus = QList<PropiedadesMenuDBus>;

// The properties an item no longer has: (ias).
struct QuitadasMenuDBus {
    int id = 0;
    QStringList nombres;
};
using ListaQuitadasMenuDBus = QList<QuitadasMenuDBus>;

// What the user did to an item: (isvu).
struct EventoMenuDBus {
    int id = 0;
    QString evento;
    // Never empty: Qt's D-Bus module finds the type's signature from a default value, and an
    // empty variant has none.
    QDBusVariant datos{QVariant(0)};
    uint tiempo = 0;
};
using ListaEventosMenuDBus = QList<EventoMenuDBus>;

Q_DECLARE_METATYPE(PixmapSni)
Q_DECLARE_METATYPE(TipSni)
Q_DECLARE_METATYPE(ElementoMenuDBus)
Q_DECLARE_METATYPE(PropiedadesMenuDBus)
Q_DECLARE_METATYPE(QuitadasMenuDBus)
Q_DECLARE_METATYPE(EventoMenuDBus)

QDBusArgument& operator<<(QDBusArgument& a, const PixmapSni& p);
const QDBusArgument& operator>>(const QDBusArgument& a, PixmapSni& p);
QDBusArgument& operator<<(QDBusArgument& a, const TipSni& t);
const QDBusArgument& operator>>(const QDBusArgument& a, TipSni& t);
QDBusArgument& operator<<(QDBusArgument& a, const ElementoMenuDBus& e);
const QDBusArgument& operator>>(const QDBusArgument& a, ElementoMenuDBus& e);
QDBusArgument& operator<<(QDBusArgument& a, const PropiedadesMenuDBus& p);
const QDBusArgument& operator>>(const QDBusArgument& a, PropiedadesMenuDBus& p);
QDBusArgument& operator<<(QDBusArgument& a, const QuitadasMenuDBus& q);
const QDBusArgument& operator>>(const QDBusArgument& a, QuitadasMenuDBus& q);
QDBusArgument& operator<<(QDBusArgument& a, const EventoMenuDBus& e);
const QDBusArgument& operator>>(const QDBusArgument& a, EventoMenuDBus& e);

// Makes the types above known to Qt's D-Bus module; once is enough, more is harmless.
void registrarTiposDBusBandeja();
