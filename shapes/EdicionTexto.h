#pragma once

#include <QString>
#include <string>

// The text of a text shape as the user types it, and whether it is finished (shown without its
// background) or being edited. Characters are Unicode code points.
class EdicionTexto {
public:
    // What a new text shape shows until the user types.
    static QString marcador();

    enum class Efecto {
        Ninguno,       // nothing changed
        TextoCambiado, // the text changed: the window follows its size
        Terminado,     // Enter: the background goes, the text stays
    };

    // One typed character. Enter (13) finishes the text, Backspace (8) removes the last
    // character; any other code, control codes such as Escape included, is appended, replacing
    // the untouched placeholder first.
    Efecto escribir(char32_t codigo);

    // A click on a finished text: back to editing.
    void editar() { m_terminado = false; }

    const QString& texto() const { return m_texto; }
    bool terminado() const { return m_terminado; }

    // The characters a key press types: its text, or the control code of the keys whose text the
    // platform may leave empty (Enter, Backspace, Escape, Tab).
    static std::u32string caracteresDeTecla(int tecla, const QString& texto);

private:
    QString m_texto = marcador();
    bool m_terminado = false;
};
