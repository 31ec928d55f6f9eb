#pragma once

#include <QWidget>

// One finished shape floating over the desktop.
class FormVentana : public QWidget {
    Q_OBJECT
public:
    explicit FormVentana(QWidget* padre = nullptr);
};
