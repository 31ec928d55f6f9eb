#include "Historial.h"

#include <QWidget>
#include <algorithm>

QList<Historial::Paso> Historial::anotar(Paso paso) {
    QList<Paso> descartados(m_deshechos.begin(), m_deshechos.end());
    m_deshechos.clear();
    m_hechos.push_back(std::move(paso));
    while (static_cast<int>(m_hechos.size()) > m_limite) {
        descartados.append(std::move(m_hechos.front()));
        m_hechos.pop_front();
    }
    return descartados;
}

std::optional<Historial::Paso> Historial::deshacer() {
    if (m_hechos.empty()) {
        return std::nullopt;
    }
    m_deshechos.push_back(m_hechos.back());
    m_hechos.pop_back();
    return m_deshechos.back();
}

std::optional<Historial::Paso> Historial::rehacer() {
    if (m_deshechos.empty()) {
        return std::nullopt;
    }
    m_hechos.push_back(m_deshechos.back());
    m_deshechos.pop_back();
    return m_hechos.back();
}

QList<Historial::Paso> Historial::vaciar() {
    QList<Paso> todos(m_hechos.begin(), m_hechos.end());
    todos.append(QList<Paso>(m_deshechos.begin(), m_deshechos.end()));
    m_hechos.clear();
    m_deshechos.clear();
    return todos;
}

bool Historial::nombra(const QWidget* ventana) const {
    auto enPaso = [ventana](const Paso& paso) {
        return std::any_of(paso.ventanas.cbegin(), paso.ventanas.cend(),
                           [ventana](const QPointer<QWidget>& v) { return v == ventana; });
    };
    return std::any_of(m_hechos.cbegin(), m_hechos.cend(), enPaso) ||
           std::any_of(m_deshechos.cbegin(), m_deshechos.cend(), enPaso);
}
