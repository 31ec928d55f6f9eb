#pragma once

#include <QObject>
#include <QRegion>
#include <QTimer>
#include <functional>

// Waits until the screen has been repainted over an area that a window has just uncovered, or
// just covered. The windowing system reports each rectangle repainted since; the area counts as
// repainted once those cover all of it and none has touched it for a moment (a compositor may
// fade a closing window out over several frames). A deadline bounds the wait whatever happens.
class EsperaRepintado : public QObject {
    Q_OBJECT
public:
    static constexpr int CalmaMs = 50;  // longer than a frame, even on a busy machine
    static constexpr int PlazoMs = 500; // what a capture may wait at most

    EsperaRepintado(const QRegion& zona, std::function<void()> hecho, QObject* padre = nullptr);

    // A rectangle of the screen repainted since the window went.
    void repintado(const QRect& rect);

    bool terminada() const { return m_terminada; }

private:
    void terminar();

    QRegion m_zona;
    QRegion m_pendiente; // what of the area has not been repainted yet
    std::function<void()> m_hecho;
    QTimer m_calma;
    QTimer m_plazo;
    bool m_terminada = false;
};
