#include "EdicionTexto.h"

#include <QCoreApplication>
#include <QList>
#include <QtCore/qnamespace.h>

QString EdicionTexto::marcador() {
    return QCoreApplication::translate("EdicionTexto", "Escribe aquí el texto ...");
}

EdicionTexto::Efecto EdicionTexto::escribir(char32_t codigo) {
    switch (codigo) {
    case U'\r':
        m_terminado = true;
        return Efecto::Terminado;
    case U'\b': {
        if (m_texto.isEmpty()) {
            return Efecto::Ninguno;
        }
        // Whole code points: never leave half a surrogate pair behind.
        const bool par = m_texto.size() >= 2 && m_texto.back().isLowSurrogate() &&
                         m_texto.at(m_texto.size() - 2).isHighSurrogate();
        m_texto.chop(par ? 2 : 1);
        return Efecto::TextoCambiado;
    }
    default:
        if (m_texto == marcador()) {
            m_texto.clear();
        }
        m_texto.append(QString::fromUcs4(&codigo, 1));
        return Efecto::TextoCambiado;
    }
}

std::u32string EdicionTexto::caracteresDeTecla(int tecla, const QString& texto) {
    switch (tecla) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return U"\r";
    case Qt::Key_Backspace:
        return U"\b";
    case Qt::Key_Escape:
        return U"\x1b";
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return U"\t";
    default: {
        const QList<uint> codigos = texto.toUcs4();
        return {codigos.begin(), codigos.end()};
    }
    }
}
