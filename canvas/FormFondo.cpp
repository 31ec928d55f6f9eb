#include "FormFondo.h"

FormFondo::FormFondo(RegistroFormas& formas, QWidget* padre) : QWidget(padre), m_formas(formas) {
    setAttribute(Qt::WA_DeleteOnClose);
}

void FormFondo::mostrar() {
    show();
    raise();
    activateWindow();
}
