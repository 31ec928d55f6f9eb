#include "Form1.h"

#include "Dibujos.h"
#include "FormAcercade.h"
#include "FormFondo.h"
#include "SoltarEnBandeja.h"
#include "modGeneral.h"

#include <QCoreApplication>
#include <QMenu>
#include <QSystemTrayIcon>

Form1::Form1(QObject* padre) : QObject(padre) {
    modGeneral::AsignarValoresIniciales();
    CrearMenu();
    CrearIconoBandeja();
}

Form1::~Form1() {
    // Shape windows and the canvas go before the list that counts them.
    delete m_fondo;
    m_formas.borrarTodo();
}

void Form1::CrearMenu() {
    using Dibujos::ImagenMenu;
    m_XMenu = std::make_unique<QMenu>();
    auto agregar = [this](ImagenMenu imagen, const QString& texto, void (Form1::*orden)()) {
        QAction* accion = m_XMenu->addAction(Dibujos::imagenMenu(imagen), texto);
        connect(accion, &QAction::triggered, this, orden);
    };
    agregar(ImagenMenu::Logo, QStringLiteral(" Tizo"), &Form1::acercaDe);
    agregar(ImagenMenu::Gota, QStringLiteral(" Dibujar Fondo"), &Form1::dibujarFondo);
    agregar(ImagenMenu::Borrar, QStringLiteral(" Borrar Todo"), &Form1::borrarTodo);
    m_XMenu->addSeparator();
    agregar(ImagenMenu::Hoja, QStringLiteral(" Mostrar / Ocultar"), &Form1::mostrarOcultar);
    m_XMenu->addSeparator();
    agregar(ImagenMenu::Salir, QStringLiteral(" Salir"), &Form1::salir);
}

void Form1::CrearIconoBandeja() {
    m_IconoBandeja = new QSystemTrayIcon(Dibujos::iconoPrograma(), this);
    m_IconoBandeja->setToolTip(QStringLiteral("Tizo"));
    // The menu opens when the left or the right button is released over the icon, never on a
    // press alone; the middle button does nothing.
    new SoltarEnBandeja(m_IconoBandeja, [this](Qt::MouseButton boton, QPoint donde) {
        if (boton == Qt::LeftButton || boton == Qt::RightButton) {
            m_XMenu->popup(donde);
        }
    });
    m_IconoBandeja->show();
}

void Form1::acercaDe() {
    FormAcercade acerca;
    acerca.exec();
}

void Form1::dibujarFondo() {
    // A canvas that has just closed waits for its deletion; it never comes back.
    if (!m_fondo || !m_fondo->isVisible()) {
        m_fondo = new FormFondo(m_formas); // captures the screen before it first shows
    }
    m_fondo->mostrar();
}

void Form1::borrarTodo() {
    m_formas.borrarTodo();
}

void Form1::mostrarOcultar() {
    m_formas.mostrarOcultar();
}

void Form1::salir() {
    m_IconoBandeja->hide();
    QCoreApplication::quit();
}
