#pragma once

#include "Captura.h"
#include "Superficie.h"

#include <QImage>
#include <QPixmap>

class QWidget;

// A capture held by the program, as a pixmap.
class CapturaQt : public Captura {
public:
    explicit CapturaQt(QPixmap pixmap) : Captura(pixmap.size()), m_pixmap(std::move(pixmap)) {}
    const QPixmap& pixmap() const { return m_pixmap; }

private:
    QPixmap m_pixmap;
};

// The portable surface: the window paints the capture and the strokes itself with QPainter,
// through its backing store.
class SuperficieQt : public Superficie {
public:
    // What shows where there is no capture.
    enum class Fondo {
        Blanco,
        Transparente, // the window has an alpha channel: what lies beneath shows
    };
    SuperficieQt(QWidget* lienzo, std::unique_ptr<CapturaQt> captura, Fondo fondo = Fondo::Blanco);
    ~SuperficieQt() override;

    bool hayCaptura() const override;
    QImage imagenCaptura() const override;
    void trazar(const QRegion& pixeles, const QColor& color) override;
    void trazarImagen(const QPoint& donde, const QImage& imagen) override;
    void borrarTrazos(const QRegion& zona) override;
    void pintar(QWidget* ventana, const QRegion& region,
                const std::function<void(Pintor&)>& encima) override;

private:
    void asegurarTrazos();

    QWidget* m_lienzo;
    std::unique_ptr<CapturaQt> m_captura;
    Fondo m_fondo;
    QImage m_trazos;   // allocated at the first stroke
    QRect m_conTrazos; // the part of m_trazos that may hold strokes
};
