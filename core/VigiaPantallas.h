#pragma once

#include <QObject>

class QScreen;

// Tells when the monitors change: one is added or removed, or one changes its place or size.
// Removal is told while the windows on the monitor that went are still on it.
class VigiaPantallas : public QObject {
    Q_OBJECT
public:
    explicit VigiaPantallas(QObject* padre = nullptr);

signals:
    void cambio();

private:
    void vigilar(QScreen* pantalla);
};
