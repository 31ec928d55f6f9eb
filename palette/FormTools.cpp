#include "FormTools.h"

FormTools::FormTools(QWidget* padre) : QDialog(padre) {}
