#include "FormVentana.h"

#include "Gesto.h"

FormVentana::FormVentana(const Gesto& gesto, QWidget* padre)
    : QWidget(padre, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    Q_UNUSED(gesto);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(168, 140);
}
