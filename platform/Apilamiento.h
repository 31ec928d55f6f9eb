#pragma once

#include <QtGlobal>
#include <functional>
#include <vector>

// Keeps the shape windows above the drawing canvases. A canvas covers its monitor in the window
// manager's full-screen state, which many window managers stack over every other window while
// it, or a window transient for it, has the focus; so while canvases are open every shape is
// transient for the canvas over its own monitor (for the newest canvas when its monitor has
// none), and otherwise for nothing. Tied to another monitor's canvas, a shape would go under its
// own monitor's canvas whenever that one took the focus. Window managers read that tie at
// different moments (some when the canvas maps, some only when the tie changes later), so it is
// given before the canvas maps and again once it has, and to a shape again once it is mapped.
class Apilamiento {
public:
    using Id = quint64;       // a native window; 0 for none
    using Monitor = quintptr; // tells monitors apart; any value, the same for the same monitor
    // Ties `forma` to `lienzo` (transient for it), or to nothing when `lienzo` is 0.
    using Atar = std::function<void(Id forma, Id lienzo)>;

    explicit Apilamiento(Atar atar);

    void formaMostrada(Id forma, Monitor monitor); // once it is mapped
    void formaMovida(Id forma, Monitor monitor);   // it now lies on `monitor`
    void formaOculta(Id forma);                    // hidden or gone
    // A canvas over `monitor`, replacing any other canvas there.
    void lienzoPorMostrarse(Id lienzo, Monitor monitor);
    void lienzoMostrado(Id lienzo);
    void lienzoCerrandose(Id lienzo); // before it unmaps

    // The canvas a shape on `monitor` is tied to; 0 when no canvas is open.
    Id lienzoPara(Monitor monitor) const;

private:
    struct Forma {
        Id id;
        Monitor monitor;
        Id lienzo; // what it is tied to
    };
    struct Lienzo {
        Id id;
        Monitor monitor;
    };
    void reatar(Id lienzo);
    std::vector<Forma>::iterator buscar(Id forma);

    Atar m_atar;
    std::vector<Forma> m_formas;   // the shapes shown, in the order they were shown
    std::vector<Lienzo> m_lienzos; // the canvases, oldest first
};
