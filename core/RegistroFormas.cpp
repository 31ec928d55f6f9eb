#include "RegistroFormas.h"

#include "Memoria.h"
#include "Monitores.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>
#include <algorithm>
#include <utility>

RegistroFormas::RegistroFormas(int limiteHistorial, QObject* padre)
    : QObject(padre), m_historial(limiteHistorial) {}

RegistroFormas::~RegistroFormas() {
    destruirTodo();
}

void RegistroFormas::agregar(QWidget* ventana) {
    m_serie.insert(ventana, m_siguiente++);
    m_ventanas.append(ventana);
    connect(ventana, &QObject::destroyed, this, &RegistroFormas::quitar);
    ventana->installEventFilter(this);
    anotar({Historial::Tipo::Creada, {ventana}, {}, {}});
    emit agregada(ventana);
}

void RegistroFormas::agregarEfimera(QWidget* ventana) {
    m_efimeras.removeAll(nullptr);
    m_efimeras.append(ventana);
}

void RegistroFormas::terminarEfimeras() {
    for (const QPointer<QWidget>& efimera : std::exchange(m_efimeras, {})) {
        if (efimera) {
            efimera->close();
        }
    }
}

QList<QWidget*> RegistroFormas::ventanas() const {
    QList<QWidget*> lista;
    lista.reserve(m_ventanas.size());
    for (QObject* ventana : m_ventanas) {
        lista.append(static_cast<QWidget*>(ventana));
    }
    return lista;
}

QList<QWidget*> RegistroFormas::retiradas() const {
    QList<QWidget*> lista;
    for (QObject* ventana : m_retiradas) {
        lista.append(static_cast<QWidget*>(ventana));
    }
    return lista;
}

void RegistroFormas::borrarTodo() {
    if (m_ventanas.isEmpty()) {
        return;
    }
    const QList<QWidget*> todas = ventanas();
    for (auto it = todas.crbegin(); it != todas.crend(); ++it) {
        retirar(*it);
    }
    anotar({Historial::Tipo::BorradoTodo, {todas.cbegin(), todas.cend()}, {}, {}});
}

void RegistroFormas::mostrarOcultar() {
    if (m_ventanas.isEmpty()) {
        return;
    }
    for (QWidget* ventana : ventanas()) {
        ventana->setVisible(m_ocultas);
    }
    m_ocultas = !m_ocultas;
}

bool RegistroFormas::deshacer() {
    // A step whose windows have all gone some other way has nothing left to take back.
    while (const std::optional<Historial::Paso> paso = m_historial.deshacer()) {
        if (aplicar(*paso, false)) {
            return true;
        }
    }
    return false;
}

bool RegistroFormas::rehacer() {
    while (const std::optional<Historial::Paso> paso = m_historial.rehacer()) {
        if (aplicar(*paso, true)) {
            return true;
        }
    }
    return false;
}

bool RegistroFormas::aplicar(const Historial::Paso& paso, bool hacia) {
    bool algo = false;
    for (const QPointer<QWidget>& ventana : paso.ventanas) {
        if (!ventana) {
            continue;
        }
        algo = true;
        switch (paso.tipo) {
        case Historial::Tipo::Creada:
            hacia ? restaurar(ventana) : retirar(ventana);
            break;
        case Historial::Tipo::Borrada:
        case Historial::Tipo::BorradoTodo:
            hacia ? retirar(ventana) : restaurar(ventana);
            break;
        case Historial::Tipo::Movida:
            ventana->move(hacia ? paso.hasta : paso.desde);
            break;
        }
    }
    return algo;
}

void RegistroFormas::anotar(Historial::Paso paso) {
    olvidar(m_historial.anotar(std::move(paso)));
}

void RegistroFormas::olvidar(const QList<Historial::Paso>& pasos) {
    // A kept window that no step can bring back any more goes for good.
    for (const Historial::Paso& paso : pasos) {
        for (const QPointer<QWidget>& ventana : paso.ventanas) {
            if (ventana && m_retiradas.contains(ventana.data()) && !m_historial.nombra(ventana)) {
                delete ventana.data();
            }
        }
    }
}

void RegistroFormas::retirar(QWidget* ventana) {
    if (!m_ventanas.removeOne(ventana)) {
        return;
    }
    m_retiradas.append(ventana);
    // Told before the window goes: whoever takes the keys asks for them while the window
    // manager still sees this window focused. Asked after, they race with the window manager,
    // which gives the keys to some window of its own choosing as this one unmaps.
    if (ventana->isActiveWindow()) {
        emit teclasLibres();
    }
    ventana->hide();
    // Posted: the window may be in the middle of its own event (the Delete key).
    QCoreApplication::postEvent(ventana, new QEvent(EventoRetirada));
    devolverMemoria();
}

void RegistroFormas::restaurar(QWidget* ventana) {
    if (!m_retiradas.removeOne(ventana)) {
        return;
    }
    const quint64 serie = m_serie.value(ventana);
    const auto lugar = std::find_if(m_ventanas.begin(), m_ventanas.end(),
                                    [&](QObject* otra) { return m_serie.value(otra) > serie; });
    m_ventanas.insert(lugar, ventana);
    // It comes back as the others are: hidden while the tray has hidden them.
    if (!m_ocultas) {
        ventana->show();
        ventana->raise();
    }
}

void RegistroFormas::rescatar(const QList<QRect>& monitores) {
    for (QObject* objeto : m_ventanas + m_retiradas) {
        auto* ventana = static_cast<QWidget*>(objeto);
        const QRect lugar = Monitores::rescatar(ventana->frameGeometry(), monitores);
        if (lugar.topLeft() != ventana->frameGeometry().topLeft()) {
            ventana->move(lugar.topLeft());
        }
    }
}

void RegistroFormas::destruirTodo() {
    m_historial.vaciar();
    const QList<QObject*> todas = m_retiradas + m_ventanas;
    for (auto it = todas.crbegin(); it != todas.crend(); ++it) {
        disconnect(*it, nullptr, this, nullptr);
        delete *it;
    }
    m_ventanas.clear();
    m_retiradas.clear();
    m_serie.clear();
    for (const QPointer<QWidget>& efimera : std::as_const(m_efimeras)) {
        delete efimera.data();
    }
    m_efimeras.clear();
}

bool RegistroFormas::eventFilter(QObject* objeto, QEvent* evento) {
    switch (evento->type()) {
    case QEvent::Close:
        // Deleting a shape (Delete, or the window manager's close) keeps it for an undo; a kept
        // window stays until no step needs it.
        evento->ignore();
        if (m_ventanas.contains(objeto)) {
            auto* ventana = static_cast<QWidget*>(objeto);
            retirar(ventana);
            anotar({Historial::Tipo::Borrada, {ventana}, {}, {}});
        }
        return true;
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(evento)->buttons() == Qt::LeftButton) {
            m_arrastrada = static_cast<QWidget*>(objeto);
            m_desde = m_arrastrada->pos();
        }
        break;
    case QEvent::MouseButtonRelease:
        if (m_arrastrada == objeto &&
            static_cast<QMouseEvent*>(evento)->buttons() == Qt::NoButton) {
            QWidget* ventana = m_arrastrada;
            m_arrastrada = nullptr;
            if (ventana->pos() != m_desde && m_ventanas.contains(ventana)) {
                anotar({Historial::Tipo::Movida, {ventana}, m_desde, ventana->pos()});
            }
        }
        break;
    default:
        break;
    }
    return false;
}

void RegistroFormas::quitar(QObject* ventana) {
    m_ventanas.removeOne(ventana);
    m_retiradas.removeOne(ventana);
    m_serie.remove(ventana);
    devolverMemoria();
}

void RegistroFormas::devolverMemoria() {
    // A window is still being destroyed, or is yet to give back its native window, and
    // " Borrar Todo" does that to many at once: memory goes back once all that is done.
    if (!m_devolverPendiente) {
        m_devolverPendiente = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_devolverPendiente = false;
                Memoria::devolverLibre();
            },
            Qt::QueuedConnection);
    }
}
