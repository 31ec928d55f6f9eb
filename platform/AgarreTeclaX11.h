#pragma once

#include "Plataforma.h"

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <cstdint>
#include <functional>
#include <vector>

class QKeySequence;

// A key grabbed on the root window, in every combination of Num Lock and Caps Lock, and the
// filter that sees its presses before Qt (which knows nothing of the root window).
class AgarreTeclaX11 : public QObject, public QAbstractNativeEventFilter {
public:
    explicit AgarreTeclaX11(QObject* padre);
    ~AgarreTeclaX11() override;

    Plataforma::Tecla agarrar(const QKeySequence& tecla, std::function<void()> alPulsar);
    void soltar();
    bool nativeEventFilter(const QByteArray& tipo, void* mensaje, qintptr*) override;

private:
    std::function<void()> m_alPulsar;
    std::vector<uint16_t> m_variantes;
    uint32_t m_raiz = 0;  // the root window
    uint8_t m_codigo = 0; // the key's code
    bool m_abajo = false;
    uint32_t m_soltadaEn = 0; // when it was last released, in the server's time
};
