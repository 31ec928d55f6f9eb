#include "Atajos.h"

#include <QKeyEvent>

Atajos::Atajos(Ejecutar ejecutar, QObject* padre)
    : QObject(padre), m_ejecutar(std::move(ejecutar)) {}

std::optional<Orden> Atajos::ordenDe(int tecla, Qt::KeyboardModifiers modificadores) {
    const Qt::KeyboardModifiers mods = modificadores & ~Qt::KeypadModifier;
    const bool control = mods == Qt::ControlModifier;
    const bool controlMayus = mods == (Qt::ControlModifier | Qt::ShiftModifier);
    switch (tecla) {
    case Qt::Key_Z:
        if (control) {
            return Orden::Deshacer;
        }
        if (controlMayus) {
            return Orden::Rehacer;
        }
        break;
    case Qt::Key_Y:
        if (control) {
            return Orden::Rehacer;
        }
        break;
    case Qt::Key_S:
        if (control) {
            return Orden::Guardar;
        }
        break;
    case Qt::Key_C:
        if (control) {
            return Orden::Copiar;
        }
        break;
    default:
        break;
    }
    return std::nullopt;
}

bool Atajos::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::KeyPress) {
        const auto* tecla = static_cast<const QKeyEvent*>(evento);
        if (const std::optional<Orden> orden = ordenDe(tecla->key(), tecla->modifiers())) {
            return m_ejecutar(*orden);
        }
    }
    return QObject::eventFilter(objeto, evento);
}
