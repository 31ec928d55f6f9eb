#include "AvisoMostrada.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <utility>

AvisoMostrada::AvisoMostrada(QWidget* ventana, std::function<void()> mostrada)
    : QObject(ventana), m_mostrada(std::move(mostrada)) {
    ventana->installEventFilter(this);
    m_nativa = ventana->windowHandle();
    if (m_nativa == nullptr || !ventana->isVisible()) {
        avisar(); // nothing that will show
        return;
    }
    m_nativa->installEventFilter(this);
}

AvisoMostrada::~AvisoMostrada() {
    // Gone with its window, unseen: the filters go with this object.
    if (m_mostrada) {
        std::exchange(m_mostrada, nullptr)();
    }
}

bool AvisoMostrada::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == m_nativa && evento->type() == QEvent::Expose && m_nativa->isExposed() &&
        !m_pendiente) {
        // Seen before the window handles it: the exposed part is painted as it is handled, so
        // the word goes out after that, with the drawing already on its way to the screen.
        m_pendiente = true;
        QMetaObject::invokeMethod(this, &AvisoMostrada::avisar, Qt::QueuedConnection);
    } else if (objeto == parent() && evento->type() == QEvent::Hide) {
        avisar();
    }
    return false;
}

void AvisoMostrada::avisar() {
    if (!m_mostrada) {
        return;
    }
    const std::function<void()> mostrada = std::exchange(m_mostrada, nullptr);
    if (m_nativa != nullptr) {
        m_nativa->removeEventFilter(this);
    }
    parent()->removeEventFilter(this);
    mostrada();
}
