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

// Shows a picture as a window's content, kept in the X server as a pixmap copied into the window
// wherever it is exposed: the program keeps none of its pixels. The window must not paint itself
// (Qt::WA_PaintOnScreen, no paint engine). A window that gets a new native window (shown again
// after an undo) gets the same picture.
class ImagenX11 : public QObject {
public:
    // Null when the picture can't be kept in the server for this window.
    static ImagenX11* poner(_XDisplay* x, ServidorX::FormatoVentanas& formatos, QWidget* ventana,
                            const QImage& imagen);
    ~ImagenX11() override;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    // Where the picture may hold anything, in tiles of device pixels: around the window's mask
    // (the strokes), or all of it when it has none.
    static std::vector<QRect> conContenido(const QWidget* ventana, QSize tamano);
    ImagenX11(_XDisplay* x, ServidorX::FormatoVentanas& formatos, QWidget* ventana,
              unsigned long pixmap);
    void prepararVentana(QWidget* ventana);

    _XDisplay* m_x;
    ServidorX::FormatoVentanas& m_formatos;
    unsigned long m_pixmap;
    unsigned long m_ventana = 0; // the native window it is shown in
    _XGC* m_gc = nullptr;
};
