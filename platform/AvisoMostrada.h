#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;
class QWindow;

// Says once that a window's pixels have reached the screen: after the windowing system first
// exposed it and the program painted what was exposed. Says so too, sooner, if the window is
// hidden or destroyed before that: whoever waits never waits for a window that will not show.
// Owned by the window it watches.
class AvisoMostrada : public QObject {
    Q_OBJECT
public:
    AvisoMostrada(QWidget* ventana, std::function<void()> mostrada);
    ~AvisoMostrada() override;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void avisar();

    QPointer<QWindow> m_nativa;
    std::function<void()> m_mostrada; // empty once said
    bool m_pendiente = false;         // exposed: said once the exposure is painted
};
