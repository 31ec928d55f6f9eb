#pragma once

#include <QRect>
#include <QSize>
#include <vector>

class QRegion;

// The part of the canvas a brush stroke has painted, as squares of a fixed grid. Marking a
// segment costs the few squares it touches, and at the end of the stroke the region to repaint
// follows the stroke instead of filling its whole bounding box (for a wavy stroke across the
// screen, about a tenth of it).
class ZonaTrazada {
public:
    // For a canvas `tamano` pixels large, in squares `lado` pixels wide.
    explicit ZonaTrazada(QSize tamano, int lado = 16);

    void marcar(const QRect& caja);
    // The marked squares, clipped to the canvas.
    QRegion region() const;
    bool vacia() const { return m_usadas.isEmpty(); }
    void vaciar();

private:
    int m_lado;
    QSize m_tamano;
    int m_columnas;
    int m_filas;
    std::vector<bool> m_marcadas; // row by row
    QRect m_usadas;               // the squares marked since the last vaciar(), in squares
};
