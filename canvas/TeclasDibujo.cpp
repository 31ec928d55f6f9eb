#include "TeclasDibujo.h"

#include "Herramientas.h"
#include "ReglasPaleta.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <array>

namespace TeclasDibujo {

namespace {

constexpr int rgb(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}

struct Color {
    int tecla;
    int color;
    const char* nombre;
};
// The letters presenters know from other tools; W and K stay free for a white and a black board.
constexpr std::array<Color, 6> Colores{{
    {Qt::Key_R, rgb(255, 0, 0), QT_TRANSLATE_NOOP("TeclasDibujo", "rojo")},
    {Qt::Key_G, rgb(0, 255, 0), QT_TRANSLATE_NOOP("TeclasDibujo", "verde")},
    {Qt::Key_B, rgb(0, 0, 255), QT_TRANSLATE_NOOP("TeclasDibujo", "azul")},
    {Qt::Key_Y, rgb(255, 255, 0), QT_TRANSLATE_NOOP("TeclasDibujo", "amarillo")},
    {Qt::Key_O, rgb(255, 128, 0), QT_TRANSLATE_NOOP("TeclasDibujo", "naranja")},
    {Qt::Key_P, rgb(255, 105, 180), QT_TRANSLATE_NOOP("TeclasDibujo", "rosa")},
}};

constexpr int PasoRueda = 5; // pixels a notch with Shift
constexpr int OctavosPorMuesca = 120;

QString tr(const char* texto) {
    return QCoreApplication::translate("TeclasDibujo", texto);
}

} // namespace

Efecto deTecla(int tecla, Qt::KeyboardModifiers modificadores) {
    using T = Efecto::Tipo;
    if (tecla == Qt::Key_Escape) {
        return {T::Salir, 0}; // whatever else is held
    }
    // Shift makes + and ? on most layouts, and the digits on some; the keypad is the keypad.
    const Qt::KeyboardModifiers otros =
        modificadores & ~(Qt::ShiftModifier | Qt::KeypadModifier | Qt::GroupSwitchModifier);
    if (otros != Qt::NoModifier) {
        return {};
    }
    for (const Herramientas::Fila& h : Herramientas::todas()) {
        if (h.tecla == tecla) {
            return {T::Herramienta, static_cast<int>(h.herramienta)};
        }
    }
    for (const Color& c : Colores) {
        if (c.tecla == tecla) {
            return {T::Color, c.color};
        }
    }
    switch (tecla) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return {T::Grosor, 1};
    case Qt::Key_Minus:
        return {T::Grosor, -1};
    case Qt::Key_F1:
    case Qt::Key_Question:
        return {T::Ayuda, 0};
    default:
        return {};
    }
}

int grosorTras(int grosor, int cambio) {
    return std::clamp(grosor + cambio, ReglasPaleta::GrosorMinimo, ReglasPaleta::GrosorMaximo);
}

int Rueda::girar(int octavos, Qt::KeyboardModifiers modificadores) {
    // A turn the other way drops what was left of the last one.
    if ((m_resto > 0 && octavos < 0) || (m_resto < 0 && octavos > 0)) {
        m_resto = 0;
    }
    m_resto += octavos;
    const int muescas = m_resto / OctavosPorMuesca;
    m_resto -= muescas * OctavosPorMuesca;
    return muescas * (modificadores.testFlag(Qt::ShiftModifier) ? PasoRueda : 1);
}

QList<Linea> ayuda() {
    QStringList herramientas;
    for (const Herramientas::Fila& h : Herramientas::todas()) {
        herramientas << QCoreApplication::translate("FormTools", h.nombre);
    }
    QStringList letras;
    QStringList colores;
    for (const Color& c : Colores) {
        letras << QString(QChar(c.tecla));
        colores << tr(c.nombre);
    }
    const QString primera = QString(QChar(Herramientas::todas().front().tecla));
    const QString ultima = QString(QChar(Herramientas::todas().back().tecla));
    return {
        {primera + QStringLiteral(" – ") + ultima, herramientas.join(QStringLiteral(", "))},
        {letras.join(QLatin1Char(' ')), colores.join(QStringLiteral(", "))},
        {tr("+  −  rueda"), tr("más grueso, más fino (Mayús + rueda: de 5 en 5)")},
        {tr("Ctrl+Z  Ctrl+Y"), tr("deshacer, rehacer")},
        {tr("Ctrl+S"), tr("guardar la pantalla en Imágenes")},
        {tr("Ctrl+C"), tr("copiar la pantalla")},
        {tr("Supr"), tr("borrar la forma pulsada")},
        {tr("F1  ?"), tr("esta ayuda")},
        {tr("Esc"), tr("dejar de dibujar")},
    };
}

} // namespace TeclasDibujo
