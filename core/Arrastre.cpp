#include "Arrastre.h"

#include <QMouseEvent>
#include <QWidget>

Arrastre::Arrastre(QWidget* ventana, bool soloFondo)
    : QObject(ventana), m_ventana(ventana), m_soloFondo(soloFondo) {
    ventana->installEventFilter(this);
}

bool Arrastre::eventFilter(QObject* objeto, QEvent* evento) {
    switch (evento->type()) {
    case QEvent::MouseButtonPress: {
        auto* raton = static_cast<QMouseEvent*>(evento);
        const bool sobreHijo =
            objeto == m_ventana && m_ventana->childAt(raton->position().toPoint()) != nullptr;
        m_activo = raton->buttons() == Qt::LeftButton && !(m_soloFondo && sobreHijo);
        m_inicioPuntero = raton->globalPosition().toPoint();
        // Where the press itself says the window is: right after a window is shown again, Qt may
        // not have learnt yet where the window manager put it (Qt 6.4 and 6.8 take a window's
        // place only from ConfigureNotify, in QXcbWindow::handleConfigureNotifyEvent, and
        // ignore its reparenting into the frame).
        m_inicioVentana = (raton->globalPosition() - raton->position()).toPoint() -
                          (m_ventana->geometry().topLeft() - m_ventana->pos());
        break;
    }
    case QEvent::MouseMove: {
        auto* raton = static_cast<QMouseEvent*>(evento);
        // Only the left button alone drags; adding another button pauses the move.
        if (m_activo && raton->buttons() == Qt::LeftButton) {
            m_ventana->move(m_inicioVentana + raton->globalPosition().toPoint() - m_inicioPuntero);
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(evento)->buttons() == Qt::NoButton) {
            m_activo = false;
        }
        break;
    default:
        break;
    }
    return false;
}
