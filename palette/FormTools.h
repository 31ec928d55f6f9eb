#pragma once

#include <QDialog>

// The tool palette.
class FormTools : public QDialog {
    Q_OBJECT
public:
    explicit FormTools(QWidget* padre = nullptr);
};
