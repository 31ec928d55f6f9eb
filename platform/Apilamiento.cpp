#include "Apilamiento.h"

#include <algorithm>

Apilamiento::Apilamiento(Atar atar) : m_atar(std::move(atar)) {}

Apilamiento::Id Apilamiento::lienzoPara(Monitor monitor) const {
    for (const Lienzo& lienzo : m_lienzos) {
        if (lienzo.monitor == monitor) {
            return lienzo.id;
        }
    }
    return m_lienzos.empty() ? 0 : m_lienzos.back().id;
}

std::vector<Apilamiento::Forma>::iterator Apilamiento::buscar(Id forma) {
    return std::find_if(m_formas.begin(), m_formas.end(),
                        [forma](const Forma& f) { return f.id == forma; });
}

void Apilamiento::formaMostrada(Id forma, Monitor monitor) {
    auto it = buscar(forma);
    if (it == m_formas.end()) {
        m_formas.push_back({forma, monitor, 0});
        it = std::prev(m_formas.end());
    }
    it->monitor = monitor;
    it->lienzo = lienzoPara(monitor);
    // Again (or undone, with no canvas): what the window manager saw as it mapped the shape
    // may not be what it goes by later.
    m_atar(forma, it->lienzo);
}

void Apilamiento::formaMovida(Id forma, Monitor monitor) {
    const auto it = buscar(forma);
    if (it == m_formas.end()) {
        return;
    }
    it->monitor = monitor;
    const Id lienzo = lienzoPara(monitor);
    if (lienzo != it->lienzo) {
        it->lienzo = lienzo;
        m_atar(forma, lienzo);
    }
}

void Apilamiento::formaOculta(Id forma) {
    // A shape shown again is tied anew once mapped; nothing to undo.
    if (const auto it = buscar(forma); it != m_formas.end()) {
        m_formas.erase(it);
    }
}

void Apilamiento::lienzoPorMostrarse(Id lienzo, Monitor monitor) {
    m_lienzos.erase(
        std::remove_if(m_lienzos.begin(), m_lienzos.end(),
                       [&](const Lienzo& l) { return l.monitor == monitor || l.id == lienzo; }),
        m_lienzos.end());
    m_lienzos.push_back({lienzo, monitor});
    reatar(lienzo);
}

void Apilamiento::lienzoMostrado(Id lienzo) {
    const bool abierto = std::any_of(m_lienzos.begin(), m_lienzos.end(),
                                     [lienzo](const Lienzo& l) { return l.id == lienzo; });
    if (!abierto || lienzo == 0) {
        return;
    }
    for (const Forma& f : m_formas) {
        if (f.lienzo == lienzo) {
            m_atar(f.id, lienzo);
        }
    }
}

void Apilamiento::lienzoCerrandose(Id lienzo) {
    const auto it = std::find_if(m_lienzos.begin(), m_lienzos.end(),
                                 [lienzo](const Lienzo& l) { return l.id == lienzo; });
    if (it == m_lienzos.end() || lienzo == 0) {
        return;
    }
    // Freed before the canvas goes: a shape tied to a window that no longer exists is taken by
    // some window managers for one tied to the whole program, which they hide with it.
    m_lienzos.erase(it);
    reatar(0);
}

void Apilamiento::reatar(Id nuevo) {
    // Each shape whose canvas changed, and those of a canvas about to map.
    for (Forma& f : m_formas) {
        const Id lienzo = lienzoPara(f.monitor);
        if (lienzo != f.lienzo || (nuevo != 0 && lienzo == nuevo)) {
            f.lienzo = lienzo;
            m_atar(f.id, lienzo);
        }
    }
}
