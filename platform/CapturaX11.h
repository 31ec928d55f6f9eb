#pragma once

#include "Captura.h"

#include <memory>

class QImage;
class QRect;
struct _XDisplay;

// A capture kept as a pixmap in the X server.
class CapturaX11 : public Captura {
public:
    ~CapturaX11() override;

    // The pixels of the root window in `area` (device pixels), windows included, copied within
    // the server: nothing crosses the connection.
    static std::unique_ptr<CapturaX11> deRaiz(_XDisplay* x, const QRect& area);

    // An image from elsewhere, sent once: through a shared memory segment when it is large and
    // the server offers one, as plain requests otherwise.
    static std::unique_ptr<CapturaX11> subir(_XDisplay* x, const QImage& imagen);

    // Its pixels, read back from the server: a whole screen's worth crosses the connection.
    QImage leer() const;
    // The pixels of `zona` only.
    QImage leer(const QRect& zona) const;

    unsigned long pixmap() const { return m_pixmap; }
    int profundidad() const { return m_profundidad; }

private:
    CapturaX11(_XDisplay* x, unsigned long pixmap, int profundidad, QSize tamano);

    _XDisplay* m_x;
    unsigned long m_pixmap;
    int m_profundidad;
};
