#include "RegistroFormas.h"

#include "modGeneral.h"

#include <QWidget>

RegistroFormas::~RegistroFormas() {
    for (QObject* ventana : std::as_const(m_ventanas)) {
        disconnect(ventana, nullptr, this, nullptr);
    }
}

void RegistroFormas::agregar(QWidget* ventana) {
    m_ventanas.append(ventana);
    modGeneral::NumVentanas = cantidad();
    connect(ventana, &QObject::destroyed, this, &RegistroFormas::quitar);
}

QList<QWidget*> RegistroFormas::ventanas() const {
    QList<QWidget*> lista;
    lista.reserve(m_ventanas.size());
    for (QObject* ventana : m_ventanas) {
        lista.append(static_cast<QWidget*>(ventana));
    }
    return lista;
}

void RegistroFormas::borrarTodo() {
    while (!m_ventanas.isEmpty()) {
        delete m_ventanas.last(); // its destroyed() takes it off the list
    }
}

void RegistroFormas::mostrarOcultar() {
    if (m_ventanas.isEmpty()) {
        return;
    }
    for (QWidget* ventana : ventanas()) {
        ventana->setVisible(modGeneral::Ocultas);
    }
    modGeneral::Ocultas = !modGeneral::Ocultas;
}

void RegistroFormas::quitar(QObject* ventana) {
    m_ventanas.removeOne(ventana);
    modGeneral::NumVentanas = cantidad();
}
