#pragma once

#include "ServidorX.h"
#include "Superficie.h"

#include <QObject>
#include <QRegion>
#include <QSize>
#include <map>
#include <memory>
#include <vector>

class CapturaX11;
class QImage;
class QPixmap;
struct _XGC;

// The canvas drawn by the X server. The capture stays a pixmap there and every paint copies what
// it asks for from it into the window; brush strokes go into a copy of the capture, the stroke
// layer; previews are drawn on the window and the exit image is blended in with RENDER. The
// program sends requests, never the screen's pixels, and keeps none of them.
//
// The window has no background of its own: under windows with complex shapes (the shape windows
// above the canvas) the server tiles a background pixmap rectangle by rectangle, twenty times
// slower than one copy through a clip.
class SuperficieX11 : public QObject, public Superficie {
public:
    SuperficieX11(_XDisplay* x, ServidorX::FormatoVentanas& formatos, QWidget* lienzo,
                  std::unique_ptr<CapturaX11> captura);
    ~SuperficieX11() override;

    bool hayCaptura() const override;
    QImage imagenCaptura() const override;
    void trazar(const QRegion& pixeles, const QColor& color) override;
    void trazarImagen(const QPoint& donde, const QImage& imagen) override;
    void borrarTrazos(const QRegion& zona) override;
    void pintar(QWidget* ventana, const QRegion& region,
                const std::function<void(Pintor&)>& encima) override;

    // RENDER blends the exit image in; without it the portable surface serves.
    static bool disponible(_XDisplay* x);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    class PintorX11;
    struct ImagenSubida {
        qint64 clave = 0;
        qreal escala = 1;
        QSize tamano;
        unsigned long pixmap = 0;
        unsigned long picture = 0;
    };

    void preparar();
    unsigned long fondo() const;
    QSize tamanoFondo() const;
    void asegurarCapa();
    void restaurarCapa();
    unsigned long pictureDe(unsigned long ventana);
    const ImagenSubida& subir(const QPixmap& imagen, qreal escala);
    ImagenSubida subirImagen(const QImage& imagen) const;
    void liberar(const ImagenSubida& subida) const;

    _XDisplay* m_x;
    ServidorX::FormatoVentanas& m_formatos;
    QWidget* m_lienzo;
    std::unique_ptr<CapturaX11> m_captura;
    unsigned long m_ventana = 0; // the canvas's X window, once shown
    ServidorX::Formato m_formato;
    _XGC* m_gc = nullptr;
    // The capture with the stroke in progress, made at the first stroke. A finished stroke is
    // wiped from it at the start of the next one, off the path of the release.
    unsigned long m_capa = 0;
    QSize m_tamanoCapa;
    unsigned long m_pictureCapa =
        0;                   // the stroke layer for RENDER, made at the first smooth segment
    bool m_conTrazo = false; // a stroke is in progress: the canvas shows the stroke layer
    QRegion m_porRestaurar;  // where the stroke layer holds a finished stroke, device pixels
    std::map<unsigned long, unsigned long> m_pictures; // X window -> its RENDER picture
    std::vector<ImagenSubida> m_imagenes;
};
