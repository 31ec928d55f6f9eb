#include "FormAcercade.h"

#include "Dibujos.h"
#include "Pantalla.h"
#include "Plataforma.h"
#include "Unidades.h"
#include "Version.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

FormAcercade::FormAcercade(QWidget* padre)
    : QDialog(padre), m_imagen(Dibujos::imagenAcerca()), m_LBVer(new QLabel(this)) {
    Plataforma::actual().prepararVentana(this, Papel::Acerca); // borderless, above the others
    setModal(true);
    QPalette paleta = palette();
    paleta.setColor(QPalette::Window, Qt::black);
    setPalette(paleta);
    setFixedSize(m_imagen.size());
    move(Pantalla::geometria().center() - rect().center());

    m_LBVer->setText(Version::texto());
    QFont fuente(QStringLiteral("Arial"));
    fuente.setPointSizeF(8.25);
    fuente.setBold(true);
    m_LBVer->setFont(fuente);
    m_LBVer->setAlignment(Qt::AlignRight | Qt::AlignTop);
    QPalette texto = m_LBVer->palette();
    texto.setColor(QPalette::WindowText, QColor(64, 64, 64));
    m_LBVer->setPalette(texto);
    m_LBVer->setGeometry(Unidades::rectEnPixeles(QRectF(2880, 2280, 1095, 255)));
    // The label takes its own clicks, so they never reach the picture beneath.
    m_LBVer->setAttribute(Qt::WA_NoMousePropagation);
}

void FormAcercade::paintEvent(QPaintEvent*) {
    QPainter pintor(this);
    pintor.drawPixmap(0, 0, m_imagen);
}

void FormAcercade::mouseReleaseEvent(QMouseEvent* evento) {
    // The left or the right button closes it; the middle one does nothing.
    const bool cierra = evento->button() == Qt::LeftButton || evento->button() == Qt::RightButton;
    if (cierra && rect().contains(evento->position().toPoint())) {
        accept();
    }
}

void FormAcercade::keyPressEvent(QKeyEvent* evento) {
    // The about box has no keys of its own; only a click closes it.
    evento->ignore();
}
