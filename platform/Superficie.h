#pragma once

#include <functional>

class Pintor;
class QColor;
class QImage;
class QPoint;
class QRegion;
class QWidget;

// What a canvas window shows: a capture, unscaled from the window's top-left corner and white
// where it does not reach; over it a layer of brush strokes; over both, what the window draws
// at each paint. Its child windows (the exit image) show the same beneath their own drawing.
// Positions are the canvas's logical pixels.
class Superficie {
public:
    Superficie() = default;
    Superficie(const Superficie&) = delete;
    Superficie& operator=(const Superficie&) = delete;
    virtual ~Superficie();

    // False when the screen could not be read: the canvas is white.
    virtual bool hayCaptura() const = 0;

    // The capture as a picture at its device resolution, read back from where it is kept: for
    // saving what the screen showed. Null without a capture.
    virtual QImage imagenCaptura() const = 0;

    // Lays `color` on exactly `pixeles` of the stroke layer (a brush segment, as the program
    // rasterises it); they show at the next paint of their area.
    virtual void trazar(const QRegion& pixeles, const QColor& color) = 0;
    // Blends `imagen` (premultiplied alpha, at the canvas's device pixel ratio) over the stroke
    // layer with its top-left corner at `donde`: a smooth brush segment.
    virtual void trazarImagen(const QPoint& donde, const QImage& imagen) = 0;
    // The stroke is over: its layer is wiped, and `zona`, all it covered, shows the capture
    // again at the next paint there.
    virtual void borrarTrazos(const QRegion& zona) = 0;

    // Paints `region` of `ventana`, from its paint event: what lies beneath, then what `encima`
    // draws.
    virtual void pintar(QWidget* ventana, const QRegion& region,
                        const std::function<void(Pintor&)>& encima) = 0;
};
