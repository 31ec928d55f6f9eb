#include "EsperaRepintado.h"

EsperaRepintado::EsperaRepintado(const QRegion& zona, std::function<void()> hecho, QObject* padre)
    : QObject(padre), m_zona(zona), m_pendiente(zona), m_hecho(std::move(hecho)) {
    for (QTimer* t : {&m_calma, &m_plazo}) {
        // A coarse timer may fire 5 % early: the deadline would cut a repaint short.
        t->setTimerType(Qt::PreciseTimer);
        t->setSingleShot(true);
        connect(t, &QTimer::timeout, this, &EsperaRepintado::terminar);
    }
    m_calma.setInterval(CalmaMs);
    m_plazo.start(PlazoMs);
    if (zona.isEmpty()) {
        terminar();
    }
}

void EsperaRepintado::repintado(const QRect& rect) {
    if (m_terminada || !m_zona.intersects(rect)) {
        return;
    }
    m_pendiente -= rect;
    if (m_pendiente.isEmpty()) {
        m_calma.start(); // again at every repaint of the area
    }
}

void EsperaRepintado::terminar() {
    if (m_terminada) {
        return;
    }
    m_terminada = true;
    m_calma.stop();
    m_plazo.stop();
    if (m_hecho) {
        m_hecho();
    }
}
