#include "PlataformaX11.h"

#include "EsperaRepintado.h"

#include <QRegion>
#include <QWidget>
#include <algorithm>
#include <utility>

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <xcb/xcb.h>

void PlataformaX11::trasMostrarse(QWidget* ventana, std::function<void()> hecho) {
    Plataforma::trasMostrarse(
        ventana, [this, v = QPointer<QWidget>(ventana), hecho = std::move(hecho)]() mutable {
            Display* d = ServidorX::conexion();
            if (!v || !v->isVisible() || d == nullptr || m_eventoDanio < 0 || !hayCompositor()) {
                hecho(); // painted is shown
                return;
            }
            // A compositor draws a window it has just seen painted at its own pace, not always in
            // the next frame: the window is taken for shown once the compositor has repainted all
            // of its strokes since, and then drawn a frame more.
            const qreal escala = v->devicePixelRatioF();
            const QRegion mascara = v->mask().isEmpty() ? QRegion(v->rect()) : v->mask();
            QRegion zona;
            if (escala == 1) {
                zona = mascara.translated(v->pos());
            } else {
                for (const QRect& r : mascara) {
                    zona += ServidorX::aNativo(r.translated(v->pos()), escala);
                }
            }
            const unsigned long danio =
                XDamageCreate(d, DefaultRootWindow(d), XDamageReportRawRectangles);
            XFlush(d);
            auto* espera = new EsperaRepintado(
                zona,
                [this, danio, hecho = std::move(hecho)] {
                    if (Display* x = ServidorX::conexion()) {
                        XDamageDestroy(x, danio);
                        XFlush(x);
                    }
                    m_composiciones.erase(
                        std::remove_if(m_composiciones.begin(), m_composiciones.end(),
                                       [danio](const Composicion& c) { return c.danio == danio; }),
                        m_composiciones.end());
                    hecho();
                },
                this);
            m_composiciones.push_back({danio, espera});
        });
}

bool PlataformaX11::eventoDeComposicion(const void* mensaje) {
    if (m_composiciones.empty() ||
        (static_cast<const xcb_generic_event_t*>(mensaje)->response_type & 0x7f) !=
            m_eventoDanio + XDamageNotify) {
        return false;
    }
    const auto* n = static_cast<const ServidorX::NotificacionDanio*>(mensaje);
    const auto c = std::find_if(m_composiciones.begin(), m_composiciones.end(),
                                [n](const Composicion& c) { return c.danio == n->danio; });
    if (c == m_composiciones.end()) {
        return false;
    }
    if (c->espera) {
        c->espera->repintado(QRect(n->x, n->y, n->ancho, n->alto));
    }
    return true;
}
