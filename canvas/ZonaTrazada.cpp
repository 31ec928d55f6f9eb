#include "ZonaTrazada.h"

#include <QRegion>

namespace {
int redondearArriba(int valor, int lado) {
    return (valor + lado - 1) / lado;
}
} // namespace

ZonaTrazada::ZonaTrazada(QSize tamano, int lado)
    : m_lado(lado), m_tamano(tamano),
      m_columnas(redondearArriba(std::max(0, tamano.width()), lado)),
      m_filas(redondearArriba(std::max(0, tamano.height()), lado)),
      m_marcadas(std::size_t(m_columnas) * std::size_t(m_filas), false) {}

void ZonaTrazada::marcar(const QRect& caja) {
    const QRect dentro = caja & QRect(QPoint(), m_tamano);
    if (dentro.isEmpty()) {
        return;
    }
    const QRect celdas(QPoint(dentro.left() / m_lado, dentro.top() / m_lado),
                       QPoint(dentro.right() / m_lado, dentro.bottom() / m_lado));
    for (int f = celdas.top(); f <= celdas.bottom(); ++f) {
        for (int c = celdas.left(); c <= celdas.right(); ++c) {
            m_marcadas[std::size_t(f) * std::size_t(m_columnas) + std::size_t(c)] = true;
        }
    }
    m_usadas |= celdas;
}

QRegion ZonaTrazada::region() const {
    // Row by row, runs of marked squares: rectangles as QRegion::setRects() takes them, sorted
    // and banded.
    std::vector<QRect> rects;
    for (int f = m_usadas.top(); f <= m_usadas.bottom() && !m_usadas.isEmpty(); ++f) {
        int c = m_usadas.left();
        while (c <= m_usadas.right()) {
            const auto marcada = [&](int col) {
                return m_marcadas[std::size_t(f) * std::size_t(m_columnas) + std::size_t(col)];
            };
            if (!marcada(c)) {
                ++c;
                continue;
            }
            const int inicio = c;
            while (c <= m_usadas.right() && marcada(c)) {
                ++c;
            }
            const QRect r(inicio * m_lado, f * m_lado, (c - inicio) * m_lado, m_lado);
            rects.push_back(r & QRect(QPoint(), m_tamano));
        }
    }
    QRegion region;
    region.setRects(rects.data(), int(rects.size()));
    return region;
}

void ZonaTrazada::vaciar() {
    for (int f = m_usadas.top(); f <= m_usadas.bottom() && !m_usadas.isEmpty(); ++f) {
        for (int c = m_usadas.left(); c <= m_usadas.right(); ++c) {
            m_marcadas[std::size_t(f) * std::size_t(m_columnas) + std::size_t(c)] = false;
        }
    }
    m_usadas = QRect();
}
