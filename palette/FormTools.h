#pragma once

#include "Estilo.h"

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QStringList>
#include <array>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QRect;

// The tool palette of drawing mode. It edits a copy of the style in use: tool, colour and
// thickness change as they are chosen; font, size and styles are taken when the palette closes
// with the text tool chosen. It is built afresh at every opening and shown modally; its close
// image is its exit, and every other way of closing it (Esc, the window manager) ends it the
// same way. The colour and thickness shown are the chosen tool's.
class FormTools : public QDialog {
    Q_OBJECT
public:
    explicit FormTools(const Estilo& estilo, QWidget* padre = nullptr);

    // The style as the palette leaves it.
    const Estilo& estilo() const { return m_estilo; }

    // Fills the font list with the screen's fonts and highlights the current one. Without any
    // font the text tool cannot be chosen.
    void CargarFuentes();
    void CargarFuentes(const QStringList& fuentes);

    // Opens at the click `clic` (global logical pixels) on the monitor `monitor`: its corner at
    // the pointer, moved inward as far as it takes to show whole there. Call before showing it.
    void situar(const QPoint& clic, const QRect& monitor);

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;

private:
    void crearControles();
    void crearOpcionesTexto(QWidget* FrTexto);
    void elegirHerramienta(int indice);
    void elegirColor(int color);
    void mostrarColorYGrosor();
    void abrirEntradaGrosor();
    void aceptarEntradaGrosor();
    void cerrar();
    void aplicarOpcionesTexto();

    QLabel* m_ImCerrar = nullptr;
    QLabel* m_picColor = nullptr;
    QImage m_imagenCaja; // what picColor shows, to pick from
    QLabel* m_LBGrosor = nullptr;
    QLineEdit* m_TB = nullptr;
    QFrame* m_ShColor = nullptr;
    QButtonGroup* m_Opcion = nullptr;
    QWidget* m_FrTexto = nullptr;
    QListWidget* m_ListaF = nullptr;
    QLineEdit* m_TBTam = nullptr;
    std::array<QCheckBox*, 4> m_ChTexto{};
    std::optional<QPoint> m_lugar; // where it was asked to open
    Estilo m_estilo;
};
