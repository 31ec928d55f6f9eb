#include "RellenoX11.h"

#include "ServidorX.h"

#include <QEvent>
#include <QPaintEvent>
#include <QWidget>

#include <X11/Xlib.h>

RellenoX11::RellenoX11(_XDisplay* x, ServidorX::FormatoVentanas& formatos, QWidget* ventana,
                       const QColor& color, Recorte recorte)
    : QObject(ventana), m_x(x), m_formatos(formatos), m_color(color), m_recorte(recorte) {
    ventana->installEventFilter(this);
}

RellenoX11::~RellenoX11() {
    if (m_gc != nullptr) {
        XFreeGC(m_x, m_gc);
    }
}

bool RellenoX11::eventFilter(QObject* objeto, QEvent* evento) {
    auto* ventana = static_cast<QWidget*>(objeto);
    switch (evento->type()) {
    case QEvent::Show:
        // Before the window is mapped, so that its first paint waits for nothing.
        if (ventana->internalWinId() != m_ventana) {
            prepararGc(ventana);
        }
        return false;
    case QEvent::Paint:
        if (m_gc != nullptr && ventana->internalWinId() == m_ventana) {
            pintar(ventana, static_cast<QPaintEvent*>(evento)->rect());
        }
        return true;
    default:
        return false;
    }
}

void RellenoX11::prepararGc(QWidget* ventana) {
    m_ventana = ventana->internalWinId();
    const ServidorX::Formato& formato =
        m_formatos.de(m_x, m_ventana, ventana->testAttribute(Qt::WA_TranslucentBackground));
    m_formatos.sinSincronia(m_x, m_ventana);
    if (m_gc != nullptr) {
        XFreeGC(m_x, m_gc);
    }
    m_pixel = ServidorX::pixel(m_x, formato, m_color);
    XGCValues valores{};
    valores.foreground = m_pixel;
    m_gc = XCreateGC(m_x, m_ventana, GCForeground, &valores);
}

void RellenoX11::pintar(QWidget* ventana, const QRect& zona) {
    const qreal escala = ventana->devicePixelRatioF();
    const QRect r = ServidorX::aNativo(zona, escala);
    if (m_recorte == Recorte::Propio) {
        XSetClipMask(m_x, m_gc, None);
        XSetForeground(m_x, m_gc, 0); // every bit clear: alpha 0
        XFillRectangle(m_x, m_ventana, m_gc, r.x(), r.y(), unsigned(r.width()),
                       unsigned(r.height()));
        ServidorX::recortar(m_x, m_gc, ventana->mask(), escala);
        XSetForeground(m_x, m_gc, m_pixel);
    }
    XFillRectangle(m_x, m_ventana, m_gc, r.x(), r.y(), unsigned(r.width()), unsigned(r.height()));
    XFlush(m_x);
}
