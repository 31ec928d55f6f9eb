#include "AdaptadorSni.h"

#include "ElementoSni.h"
#include "MenuDBus.h"

AdaptadorSni::AdaptadorSni(ElementoSni* elemento)
    : QDBusAbstractAdaptor(elemento), m_elemento(elemento) {}

ListaPixmapsSni AdaptadorSni::IconPixmap() const {
    return m_elemento->pixmaps();
}

TipSni AdaptadorSni::ToolTip() const {
    TipSni t;
    t.titulo = m_elemento->tip();
    return t;
}

QDBusObjectPath AdaptadorSni::Menu() const {
    return QDBusObjectPath(MenuDBus::Ruta);
}

void AdaptadorSni::Activate(int x, int y) {
    emit m_elemento->clic(Qt::LeftButton, QPoint(x, y));
}

void AdaptadorSni::SecondaryActivate(int x, int y) {
    emit m_elemento->clic(Qt::MiddleButton, QPoint(x, y));
}

void AdaptadorSni::ContextMenu(int x, int y) {
    emit m_elemento->clic(Qt::RightButton, QPoint(x, y));
}

void AdaptadorSni::Scroll(int, const QString&) {}
