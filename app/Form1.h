#pragma once

#include "RegistroFormas.h"

#include <QObject>
#include <QPointer>

class QAction;
class QMenu;
class QSystemTrayIcon;
class FormFondo;

// The root of the program: it owns the tray icon and its menu, runs the menu's commands and
// keeps the list of shape windows. It has no window of its own.
class Form1 : public QObject {
    Q_OBJECT
public:
    explicit Form1(QObject* padre = nullptr);
    ~Form1() override;

    QMenu* menu() const { return m_XMenu.get(); }
    QSystemTrayIcon* iconoBandeja() const { return m_IconoBandeja; }
    RegistroFormas& formas() { return m_formas; }

    // The menu's commands.
    void acercaDe();
    void dibujarFondo();
    void borrarTodo();
    void mostrarOcultar();
    void salir();

private:
    void CrearIconoBandeja();
    void CrearMenu();

    RegistroFormas m_formas;
    std::unique_ptr<QMenu> m_XMenu; // a menu has no parent object; the form owns it
    QSystemTrayIcon* m_IconoBandeja = nullptr;
    QPointer<FormFondo> m_fondo;
};
