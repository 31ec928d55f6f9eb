#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class FormFondo;
class RegistroFormas;

// Drawing mode: a canvas over every monitor, entered and left as one. Each canvas captures its
// own monitor, all of them before any shows, and the one under the pointer takes the keys.
// Leaving any canvas (Esc, its exit image, a close by the window manager) leaves them all, and
// so does a monitor that comes, goes or changes while drawing: no canvas stays over a monitor
// that is no longer there. Settings chosen on one canvas's palette hold on every canvas.
class ModoDibujo : public QObject {
    Q_OBJECT
public:
    explicit ModoDibujo(RegistroFormas& formas, QObject* padre = nullptr);
    ~ModoDibujo() override;

    // Opens drawing mode, or brings its canvases forward when it is open.
    void abrir();
    // Leaves drawing mode. A canvas with its palette open closes the palette first, as the
    // palette's close image does, and follows once it has.
    void salir();
    bool abierto() const;

    // The canvases, one per monitor in the order the system lists the monitors; empty outside
    // drawing mode.
    QList<FormFondo*> lienzos() const;
    // The canvas that has the keys, or had them last (else the first); null outside drawing
    // mode.
    FormFondo* activo() const;

signals:
    // A canvas was made, not shown yet.
    void lienzoCreado(FormFondo* lienzo);
    // A palette has closed: the settings may have changed.
    void paletaCerrada();

private:
    void agregar(FormFondo* lienzo);
    void paletaCerradaEn(FormFondo* lienzo);

    RegistroFormas& m_formas;
    QList<QPointer<FormFondo>> m_lienzos;
    QPointer<FormFondo> m_activo;
    bool m_saliendo = false;
};
