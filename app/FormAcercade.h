#pragma once

#include <QDialog>

class QLabel;

// The about box: a picture with the version in its lower right corner. A left or right click on
// the picture closes it; a click on the version text does not.
class FormAcercade : public QDialog {
    Q_OBJECT
public:
    explicit FormAcercade(QWidget* padre = nullptr);

    QLabel* etiquetaVersion() const { return m_LBVer; }

protected:
    void paintEvent(QPaintEvent* evento) override;
    void mouseReleaseEvent(QMouseEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;

private:
    QPixmap m_imagen;
    QLabel* m_LBVer;
};
