#pragma once

#include <QSize>

// A picture of one screen's area at the screen's device resolution, kept where the windowing
// system draws: on X11 a pixmap in the X server, so that showing it sends no pixel over the
// connection. It lives only in memory; deleting it frees it.
class Captura {
public:
    explicit Captura(QSize tamano) : m_tamano(tamano) {}
    Captura(const Captura&) = delete;
    Captura& operator=(const Captura&) = delete;
    virtual ~Captura();

    // Device pixels.
    QSize tamano() const { return m_tamano; }

private:
    QSize m_tamano;
};
