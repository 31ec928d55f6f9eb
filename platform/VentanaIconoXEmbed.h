#pragma once

#include <QIcon>
#include <QPoint>
#include <QSize>
#include <QWidget>

class QPaintEngine;

// The window an XEmbed tray docks: it shows the icon scaled to the size the tray gives it, drawn
// by the X server over the tray's background, shows the tooltip, and reports a button released
// over it (never a press). Made on a visual with an alpha channel where the tray asks for one
// (clear where the icon is not); otherwise it takes its parent's background (parent-relative),
// which must then have its depth.
class VentanaIconoXEmbed : public QWidget {
    Q_OBJECT
public:
    VentanaIconoXEmbed(const QIcon& icono, bool conAlfa);
    ~VentanaIconoXEmbed() override;

    // The X server draws it.
    QPaintEngine* paintEngine() const override { return nullptr; }

signals:
    void soltado(Qt::MouseButton boton, QPoint global);

protected:
    void paintEvent(QPaintEvent* evento) override;
    void mousePressEvent(QMouseEvent* evento) override;
    void mouseDoubleClickEvent(QMouseEvent* evento) override;
    void mouseReleaseEvent(QMouseEvent* evento) override;

private:
    void liberarImagen();

    QIcon m_icono;
    unsigned long m_destino = 0; // the window's picture (RENDER)
    unsigned long m_imagen = 0;  // the icon's picture, at m_tamano
    unsigned long m_pixmap = 0;
    int m_lado = 0; // the side it was made for
    QSize m_tamano; // its size
};
