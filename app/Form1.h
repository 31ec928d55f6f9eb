#pragma once

#include "Ajustes.h"
#include "IconoBandeja.h"
#include "Orden.h"
#include "RegistroFormas.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <memory>

class QAction;
class QMenu;
class Atajos;
class FormFondo;
class ModoDibujo;
class ServidorOrdenes;

// The root of the program: it owns the tray icon and its menu, the settings, the list of shape
// windows with their undo history, drawing mode, and the commands. The tray menu, the global key,
// the keyboard, the command line and the local socket all end in the command functions below. It
// has no window of its own.
class Form1 : public QObject {
    Q_OBJECT
public:
    // `rutaAjustes` is the settings file, read now and written when the palette closes, when a
    // key changes the tool, colour or thickness, and when this object ends. With `rutaSocket`,
    // commands are taken from that socket from before the tray icon shows.
    explicit Form1(const QString& rutaAjustes = Ajustes::rutaPorDefecto(),
                   const QString& rutaSocket = QString(), QObject* padre = nullptr);
    ~Form1() override;

    QMenu* menu() const { return m_XMenu.get(); }
    // Null while there is no notification area to show it in.
    IconoBandeja* iconoBandeja() const { return m_IconoBandeja; }
    RegistroFormas& formas() { return m_formas; }
    ModoDibujo& dibujo() { return *m_dibujo; }
    // The canvas that has the keys while drawing; null otherwise.
    FormFondo* fondo() const;
    const Ajustes& ajustes() const { return m_ajustes; }
    // The style in use, which the palette and the canvas's keys change.
    Estilo& estilo() { return m_ajustes.estilo; }
    bool dibujando() const;

    // Starts taking commands from the socket at `ruta`. False when it cannot (said on stderr).
    bool escucharOrdenes(const QString& ruta);

    // The menu's commands.
    void acercaDe();
    // Opens drawing mode, or brings the canvases forward. While the screens' pictures are
    // awaited, gives up waiting instead.
    void dibujarFondo();
    void borrarTodo();
    void mostrarOcultar();
    void salir();

    // The other commands.
    void alternarDibujo(); // opens drawing mode, or leaves it when it is open
    void deshacer();
    void rehacer();
    void guardarImagen(); // drawing mode only: the annotated screen as a PNG
    void copiarImagen();  // drawing mode only: the annotated screen to the clipboard

    // Runs a command; false when it does not apply now (saving or copying outside drawing mode).
    bool ejecutar(Orden orden);

    // The settings as they are now, written to the settings file.
    void guardarAjustes();

private:
    void CrearIconoBandeja();
    // A click on the tray icon: the left or right button opens the menu where it was.
    void clicEnBandeja(Qt::MouseButton boton, QPoint donde);
    void CrearMenu();
    bool AgarrarTecla(); // false when the key is not taken
    void avisarSinBandeja(bool conTecla);
    void abrirLienzo();
    void rescatarFormas();
    // A message for the user: a desktop notification while there is a tray icon (the icon's
    // own balloon where it has one), otherwise a line on stderr, unless `enStderr` is
    // YaDicho (the caller said it there in its own words).
    enum class EnStderr { Decir, YaDicho };
    void avisar(const QString& texto, IconoBandeja::Tipo tipo = IconoBandeja::Tipo::Informacion,
                EnStderr enStderr = EnStderr::Decir);

    QString m_rutaAjustes;
    Ajustes m_ajustes;
    RegistroFormas m_formas;
    std::unique_ptr<QMenu> m_XMenu; // a menu has no parent object; the form owns it
    IconoBandeja* m_IconoBandeja = nullptr;
    QString m_tip = QStringLiteral("Tizo");
    std::unique_ptr<ModoDibujo> m_dibujo;
    bool m_rescatePendiente = false;
    bool m_avisadoEnVivo = false;
    Atajos* m_atajos = nullptr;
    ServidorOrdenes* m_servidor = nullptr;
};
