#include "IconoBandejaQt.h"

#include <QCursor>
#include <QSystemTrayIcon>

namespace {
constexpr int DuracionAviso = 5000; // ms a balloon stays
}

IconoBandejaQt::IconoBandejaQt(const QIcon& icono, QMenu* menu, QObject* padre)
    : IconoBandeja(icono, menu, padre), m_icono(new QSystemTrayIcon(icono, this)) {
    m_icono->setContextMenu(menu);
    connect(m_icono, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason r) {
                switch (r) {
                case QSystemTrayIcon::Trigger:
                case QSystemTrayIcon::DoubleClick:
                    emit clic(Qt::LeftButton, QCursor::pos());
                    break;
                case QSystemTrayIcon::MiddleClick:
                    emit clic(Qt::MiddleButton, QCursor::pos());
                    break;
                case QSystemTrayIcon::Context: // Qt shows the context menu itself
                case QSystemTrayIcon::Unknown:
                    break;
                }
            });
}

void IconoBandejaQt::mostrar() {
    m_icono->show();
}

void IconoBandejaQt::ocultar() {
    m_icono->hide();
}

bool IconoBandejaQt::avisar(const QString& titulo, const QString& texto, Tipo tipo) {
    if (!m_icono->isVisible() || !QSystemTrayIcon::supportsMessages()) {
        return false;
    }
    m_icono->showMessage(titulo, texto,
                         tipo == Tipo::Aviso ? QSystemTrayIcon::Warning
                                             : QSystemTrayIcon::Information,
                         DuracionAviso);
    return true;
}

void IconoBandejaQt::tipCambiado() {
    m_icono->setToolTip(tip());
}
