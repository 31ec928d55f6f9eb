#pragma once

#include "TiposDBusBandeja.h"

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>

class ElementoSni;

// The StatusNotifierItem interface (org.kde.StatusNotifierItem) of an ElementoSni, which it is
// made for and exported on: what a tray reads of the item, and what it says of clicks.
class AdaptadorSni : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ Category)
    Q_PROPERTY(QString Id READ Id)
    Q_PROPERTY(QString Title READ Title)
    Q_PROPERTY(QString Status READ Status)
    Q_PROPERTY(int WindowId READ WindowId)
    Q_PROPERTY(QString IconThemePath READ Vacio)
    Q_PROPERTY(QString IconName READ Vacio)
    Q_PROPERTY(ListaPixmapsSni IconPixmap READ IconPixmap)
    Q_PROPERTY(QString OverlayIconName READ Vacio)
    Q_PROPERTY(ListaPixmapsSni OverlayIconPixmap READ SinPixmaps)
    Q_PROPERTY(QString AttentionIconName READ Vacio)
    Q_PROPERTY(ListaPixmapsSni AttentionIconPixmap READ SinPixmaps)
    Q_PROPERTY(QString AttentionMovieName READ Vacio)
    Q_PROPERTY(TipSni ToolTip READ ToolTip)
    Q_PROPERTY(bool ItemIsMenu READ ItemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ Menu)
public:
    explicit AdaptadorSni(ElementoSni* elemento);

    QString Category() const { return QStringLiteral("ApplicationStatus"); }
    QString Id() const { return QStringLiteral("tizo"); }
    QString Title() const { return QStringLiteral("Tizo"); }
    QString Status() const { return QStringLiteral("Active"); }
    int WindowId() const { return 0; }
    QString Vacio() const { return {}; }
    ListaPixmapsSni IconPixmap() const;
    ListaPixmapsSni SinPixmaps() const { return {}; }
    TipSni ToolTip() const;
    bool ItemIsMenu() const { return false; } // the left button is Activate
    QDBusObjectPath Menu() const;

public slots:
    void Activate(int x, int y);
    void SecondaryActivate(int x, int y);
    void ContextMenu(int x, int y);
    void Scroll(int delta, const QString& orientation);

signals:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString& status);

private:
    ElementoSni* m_elemento;
};
