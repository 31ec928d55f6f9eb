#include "IconoBandeja.h"

IconoBandeja::IconoBandeja(const QIcon& icono, QMenu* menu, QObject* padre)
    : QObject(padre), m_icono(icono), m_menu(menu) {}

IconoBandeja::~IconoBandeja() = default;

void IconoBandeja::ponerTip(const QString& tip) {
    if (tip != m_tip) {
        m_tip = tip;
        tipCambiado();
    }
}

bool IconoBandeja::avisar(const QString&, const QString&, Tipo) {
    return false;
}
