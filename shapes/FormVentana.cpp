#include "FormVentana.h"

FormVentana::FormVentana(QWidget* padre) : QWidget(padre) {}
