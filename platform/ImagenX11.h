#pragma once

#include <QObject>

class QImage;
class QWidget;
struct _XDisplay;
namespace ServidorX {
class FormatoVentanas;
}

// Shows a picture as a window's content, kept in the X server as the window's background: the
// server paints it wherever the window is exposed, and the program keeps none of its pixels. The
// window must not paint itself (Qt::WA_PaintOnScreen, no paint engine). A window that gets a new
// native window (shown again after an undo) gets the same picture.
class ImagenX11 : public QObject {
public:
    // Null when the picture can't be kept in the server for this window.
    static ImagenX11* poner(_XDisplay* x, ServidorX::FormatoVentanas& formatos, QWidget* ventana,
                            const QImage& imagen);
    ~ImagenX11() override;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    ImagenX11(_XDisplay* x, ServidorX::FormatoVentanas& formatos, QWidget* ventana,
              unsigned long pixmap);
    void ponerFondo(QWidget* ventana);

    _XDisplay* m_x;
    ServidorX::FormatoVentanas& m_formatos;
    unsigned long m_pixmap;
    unsigned long m_ventana = 0; // the native window that has it as background
};
