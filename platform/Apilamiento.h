#pragma once

#include <QtGlobal>
#include <functional>
#include <vector>

// Keeps the shape windows above the drawing canvas. The canvas covers the screen in the window
// manager's full-screen state, which many window managers stack over every other window while
// it, or a window transient for it, has the focus; so while a canvas is open every shape is
// transient for it, and otherwise for nothing. Window managers read that tie at different
// moments (some when the canvas maps, some only when the tie changes later), so it is given
// before the canvas maps and again once it has, and to a shape again once it is mapped.
class Apilamiento {
public:
    using Id = quint64; // a native window; 0 for none
    // Ties `forma` to `lienzo` (transient for it), or to nothing when `lienzo` is 0.
    using Atar = std::function<void(Id forma, Id lienzo)>;

    explicit Apilamiento(Atar atar);

    void formaMostrada(Id forma); // once it is mapped
    void formaOculta(Id forma);   // hidden or gone
    void lienzoPorMostrarse(Id lienzo);
    void lienzoMostrado(Id lienzo);
    void lienzoCerrandose(Id lienzo); // before it unmaps

    Id lienzo() const { return m_lienzo; }

private:
    void atarTodas(Id lienzo);

    Atar m_atar;
    std::vector<Id> m_formas; // the shapes shown, in the order they were shown
    Id m_lienzo = 0;
};
