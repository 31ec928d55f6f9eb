#include "Apilamiento.h"

#include <algorithm>

Apilamiento::Apilamiento(Atar atar) : m_atar(std::move(atar)) {}

void Apilamiento::formaMostrada(Id forma) {
    if (std::find(m_formas.begin(), m_formas.end(), forma) == m_formas.end()) {
        m_formas.push_back(forma);
    }
    // Again (or undone, with no canvas): what the window manager saw as it mapped the shape
    // may not be what it goes by later.
    m_atar(forma, m_lienzo);
}

void Apilamiento::formaOculta(Id forma) {
    // A shape shown again is tied anew once mapped; nothing to undo.
    m_formas.erase(std::remove(m_formas.begin(), m_formas.end(), forma), m_formas.end());
}

void Apilamiento::lienzoPorMostrarse(Id lienzo) {
    m_lienzo = lienzo;
    atarTodas(lienzo);
}

void Apilamiento::lienzoMostrado(Id lienzo) {
    if (lienzo == m_lienzo && lienzo != 0) {
        atarTodas(lienzo);
    }
}

void Apilamiento::lienzoCerrandose(Id lienzo) {
    if (lienzo != m_lienzo || lienzo == 0) {
        return;
    }
    // Freed before the canvas goes: a shape tied to a window that no longer exists is taken by
    // some window managers for one tied to the whole program, which they hide with it.
    m_lienzo = 0;
    atarTodas(0);
}

void Apilamiento::atarTodas(Id lienzo) {
    for (const Id forma : m_formas) {
        m_atar(forma, lienzo);
    }
}
