#pragma once

#include <QObject>
#include <QRect>
#include <vector>

class QImage;
class QSize;
class QWidget;
struct _XDisplay;
struct _XGC;
namespace ServidorX {
class FormatoVentanas;
}

// Shows a picture as a window's content, kept in the X server and copied into the window
// wherever it is exposed: the program keeps none of its pixels. Only the tiles the window's
// shape crosses are kept, side by side in one pixmap: a stroke across the screen crosses few of
// them. The window must not paint itself (Qt::WA_PaintOnScreen, no paint engine). A window that
// gets a new native window (shown again after an undo) gets the same picture.
class ImagenX11 : public QObject {
public:
    // Null when the picture can't be kept in the server for this window. With `limpiar`, what
    // lies outside the tiles is cleared at each expose: a desktop that shows a shaped window's
    // whole box shows it clear there.
    static ImagenX11* poner(_XDisplay* x, ServidorX::FormatoVentanas& formatos, QWidget* ventana,
                            const QImage& imagen, bool limpiar);
    ~ImagenX11() override;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    // Where the picture may hold anything, in tiles of device pixels: around the window's mask
    // (the strokes), or all of it when it has none.
    static std::vector<QRect> conContenido(const QWidget* ventana, QSize tamano);
    ImagenX11(_XDisplay* x, ServidorX::FormatoVentanas& formatos, QWidget* ventana,
              unsigned long pixmap, std::vector<QRect> baldosas, bool limpiar);
    void prepararVentana(QWidget* ventana);
    // Where the pixmap keeps the tile at `indice`.
    static QPoint guardada(std::size_t indice);

    _XDisplay* m_x;
    ServidorX::FormatoVentanas& m_formatos;
    unsigned long m_pixmap;
    std::vector<QRect> m_baldosas; // in the window, in the pixmap's order
    bool m_limpiar;
    unsigned long m_ventana = 0; // the native window it is shown in
    _XGC* m_gc = nullptr;
};
