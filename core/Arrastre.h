#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

// Moves a window with the mouse while the left button alone is held on it. The move follows the
// change of the pointer's global position, so it ends for sure with the release: the window can
// never stay stuck to the pointer. Owned by the window it moves.
class Arrastre : public QObject {
    Q_OBJECT
public:
    Arrastre(QWidget* ventana, bool soloFondo);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    QWidget* m_ventana;
    bool m_soloFondo;
    bool m_activo = false;
    QPoint m_inicioPuntero;
    QPoint m_inicioVentana;
};
