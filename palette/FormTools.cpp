#include "FormTools.h"

#include "Dibujos.h"
#include "Herramientas.h"
#include "Pantalla.h"
#include "Plataforma.h"
#include "ReglasPaleta.h"
#include "TiraColor.h"
#include "Unidades.h"
#include "Ventanas.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QRadioButton>
#include <QScreen>
#include <functional>

namespace {

constexpr int AzulClaro = 128 + 256 * 128 + 65536 * 255;

QRect enPixeles(double izquierda, double arriba, double ancho, double alto) {
    return Unidades::rectEnPixeles(QRectF(izquierda, arriba, ancho, alto));
}

// A box for a small whole number: typed characters other than digits never reach it, and it
// holds at most three of them. What Enter and Escape do is up to its owner.
class CajaNumerica : public QLineEdit {
public:
    explicit CajaNumerica(QWidget* padre) : QLineEdit(padre) {
        setMaxLength(ReglasPaleta::LargoMaximo);
    }

    std::function<void()> alPulsarEnter;  // none: Enter does nothing
    std::function<void()> alPulsarEscape; // none: Escape goes on to the window
    bool seleccionarAlPulsar = false;

protected:
    void keyPressEvent(QKeyEvent* evento) override {
        switch (evento->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (alPulsarEnter) {
                alPulsarEnter();
            }
            return;
        case Qt::Key_Escape:
            if (alPulsarEscape) {
                alPulsarEscape();
                return;
            }
            evento->ignore();
            return;
        default:
            break;
        }
        if (ReglasPaleta::teclaAdmitida(evento->text())) {
            QLineEdit::keyPressEvent(evento);
        }
    }

    void mouseReleaseEvent(QMouseEvent* evento) override {
        QLineEdit::mouseReleaseEvent(evento);
        // The press has placed the cursor; the whole value is selected again, so that typing
        // replaces it.
        if (seleccionarAlPulsar && evento->button() == Qt::LeftButton) {
            selectAll();
            setFocus();
        }
    }
};

// The whole control takes the click, not only its mark and caption: the layout gives every
// option and style box the full width of its frame.
template <typename Boton> class BotonEntero : public Boton {
public:
    using Boton::Boton;

protected:
    bool hitButton(const QPoint& punto) const override { return this->rect().contains(punto); }
};

QLabel* etiqueta(QWidget* padre, const QString& texto, const QRect& lugar) {
    auto* lb = new QLabel(texto, padre);
    lb->setGeometry(lugar);
    lb->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return lb;
}

} // namespace

FormTools::FormTools(const Estilo& estilo, QWidget* padre) : QDialog(padre), m_estilo(estilo) {
    Plataforma::actual().prepararVentana(this, Papel::Paleta); // a borderless tool window
    setWindowTitle(tr("Herramientas"));
    setModal(true);
    // Placed by the window manager like any new window, but on its canvas's monitor. Where a
    // new window starts, the desktop's top-left corner, may lie on another monitor: Qt 6.4 and 6.8
    // would take it for a window of that monitor (QWidget::screen(), from its starting place) and
    // keep its native size at that monitor's scale wherever the window manager put it; there it
    // starts at its own monitor's top-left corner instead.
    if (padre != nullptr && !padre->screen()->geometry().contains(pos())) {
        move(padre->screen()->geometry().topLeft());
    }
    // Taller than the first five tools needed: the later ones sit under the text options.
    setFixedSize(enPixeles(0, 0, 2385, 5520).size());

    QPalette colores = palette();
    const QColor blanco = Unidades::colorDesdeRGB(Blanco);
    const QColor azul = Unidades::colorDesdeRGB(AzulClaro);
    for (auto rol : {QPalette::Window, QPalette::Base, QPalette::Button}) {
        colores.setColor(rol, blanco);
    }
    for (auto rol :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::Highlight}) {
        colores.setColor(rol, azul);
    }
    colores.setColor(QPalette::HighlightedText, blanco);
    setPalette(colores);
    setAutoFillBackground(true);
    QFont letra(QStringLiteral("Arial"));
    letra.setPointSizeF(8.25);
    setFont(letra);

    crearControles();

    // Only tool, colour, thickness and the font come from the style; the size box and the
    // style boxes show their layout values at every opening.
    mostrarColorYGrosor();
    if (QAbstractButton* opcion = m_Opcion->button(static_cast<int>(m_estilo.herramienta))) {
        opcion->setChecked(true);
    }
    CargarFuentes();
    ArrastrarVentana(this, true);
    SiempreEncima(this, true);
}

void FormTools::crearControles() {
    m_ImCerrar = new QLabel(this);
    m_ImCerrar->setObjectName(QStringLiteral("ImCerrar"));
    m_ImCerrar->setGeometry(enPixeles(2100, 0, 255, 255));
    m_ImCerrar->setPixmap(Dibujos::imagenCerrar());
    m_ImCerrar->setScaledContents(true);
    m_ImCerrar->setToolTip(tr("Cerrar"));
    m_ImCerrar->setCursor(Qt::PointingHandCursor);
    m_ImCerrar->installEventFilter(this);

    m_picColor = new QLabel(this);
    m_picColor->setObjectName(QStringLiteral("picColor"));
    m_picColor->setGeometry(enPixeles(20, 240, 210, 4050));
    m_imagenCaja = TiraColor::imagenCaja(m_picColor->size());
    m_picColor->setPixmap(QPixmap::fromImage(m_imagenCaja));
    m_picColor->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_picColor->setToolTip(tr("Color de fondo"));
    m_picColor->installEventFilter(this);

    etiqueta(this, tr("Grosor de líneas"), enPixeles(360, 240, 1455, 255))
        ->setObjectName(QStringLiteral("LB0"));

    m_LBGrosor = etiqueta(this, QStringLiteral("20"), enPixeles(1920, 240, 375, 255));
    m_LBGrosor->setObjectName(QStringLiteral("LBGrosor"));
    m_LBGrosor->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_LBGrosor->setToolTip(tr("Doble click para editar"));
    m_LBGrosor->setCursor(Qt::PointingHandCursor);
    m_LBGrosor->installEventFilter(this);

    auto* TB = new CajaNumerica(this);
    TB->setObjectName(QStringLiteral("TB"));
    TB->setGeometry(enPixeles(1920, 240, 375, 195));
    TB->setText(QStringLiteral("20"));
    TB->setAlignment(Qt::AlignCenter);
    TB->alPulsarEnter = [this] { aceptarEntradaGrosor(); };
    TB->alPulsarEscape = [this] { m_TB->hide(); };
    TB->hide();
    m_TB = TB;

    etiqueta(this, tr("Color de líneas"), enPixeles(360, 480, 1455, 255))
        ->setObjectName(QStringLiteral("LB1"));

    m_ShColor = new QFrame(this);
    m_ShColor->setObjectName(QStringLiteral("ShColor"));
    m_ShColor->setGeometry(enPixeles(1920, 525, 375, 135));
    m_ShColor->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_ShColor->setLineWidth(1);
    m_ShColor->setAutoFillBackground(true);

    auto* FrmOpciones = new QWidget(this);
    FrmOpciones->setObjectName(QStringLiteral("FrmOpciones"));
    FrmOpciones->setGeometry(enPixeles(360, 720, 1935, 4800));

    m_Opcion = new QButtonGroup(this);
    m_Opcion->setExclusive(true);
    // The first five above the text options, the rest under them.
    constexpr int PrimerasOpciones = 5;
    constexpr int DebajoDelTexto = 3720;
    for (const Herramientas::Fila& h : Herramientas::todas()) {
        const int i = static_cast<int>(h.herramienta);
        auto* opcion = new BotonEntero<QRadioButton>(tr(h.nombre), FrmOpciones);
        opcion->setObjectName(QStringLiteral("Opcion%1").arg(i));
        const int arriba =
            i < PrimerasOpciones ? 360 * i : DebajoDelTexto + 360 * (i - PrimerasOpciones);
        opcion->setGeometry(enPixeles(0, arriba, 1935, 255));
        m_Opcion->addButton(opcion, i);
    }
    // Any way a tool becomes the chosen one (click, arrow keys, the load) takes effect at once.
    connect(m_Opcion, &QButtonGroup::idToggled, this, [this](int indice, bool elegida) {
        if (elegida) {
            elegirHerramienta(indice);
        }
    });

    m_FrTexto = new QWidget(FrmOpciones);
    m_FrTexto->setObjectName(QStringLiteral("FrTexto"));
    m_FrTexto->setGeometry(enPixeles(0, 1680, 1935, 1935));
    m_FrTexto->hide();
    crearOpcionesTexto(m_FrTexto);
}

void FormTools::crearOpcionesTexto(QWidget* FrTexto) {
    auto* PB = new QWidget(FrTexto);
    PB->setObjectName(QStringLiteral("PB"));
    PB->setGeometry(enPixeles(360, 0, 1640, 580));
    PB->setAutoFillBackground(true);

    // Reaching out beyond PB on three sides, so that only its right border line shows.
    m_ListaF = new QListWidget(PB);
    m_ListaF->setObjectName(QStringLiteral("ListaF"));
    m_ListaF->setGeometry(enPixeles(-10, -10, 1600, 615));
    m_ListaF->setSelectionMode(QAbstractItemView::SingleSelection);
    m_ListaF->setSortingEnabled(false);
    m_ListaF->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // room for one more name
    m_ListaF->setCursor(Qt::PointingHandCursor);

    etiqueta(FrTexto, tr("Tamaño"), enPixeles(480, 630, 615, 255))
        ->setObjectName(QStringLiteral("Label1"));

    auto* TBTam = new CajaNumerica(FrTexto);
    TBTam->setObjectName(QStringLiteral("TBTam"));
    TBTam->setGeometry(enPixeles(1200, 640, 615, 225));
    TBTam->setText(QStringLiteral("40"));
    TBTam->seleccionarAlPulsar = true;
    m_TBTam = TBTam;

    const std::array<QString, 4> estilos{tr("Negrita"), tr("Cursiva"), tr("Subrayado"),
                                         tr("Tachado")};
    const std::array<int, 4> anchos{855, 855, 1095, 1095};
    for (int i = 0; i < 4; ++i) {
        auto* casilla = new BotonEntero<QCheckBox>(estilos[i], FrTexto);
        casilla->setObjectName(QStringLiteral("ChTexto%1").arg(i));
        casilla->setGeometry(enPixeles(240, 840 + 240 * i, anchos[i], 255));
        casilla->setCursor(Qt::PointingHandCursor);
        m_ChTexto[i] = casilla;
    }
}

void FormTools::CargarFuentes() {
    CargarFuentes(Pantalla::fuentes());
}

void FormTools::CargarFuentes(const QStringList& fuentes) {
    if (fuentes.isEmpty()) {
        m_Opcion->button(static_cast<int>(Herramienta::Texto))->hide();
        m_ListaF->hide();
        return;
    }
    m_ListaF->clear();
    m_ListaF->addItems(fuentes);
    const int elegida = ReglasPaleta::indiceFuente(fuentes, m_estilo.fuente);
    if (elegida >= 0) {
        // The view brings it into sight when it is first shown.
        m_ListaF->setCurrentRow(elegida);
    }
}

void FormTools::elegirHerramienta(int indice) {
    m_estilo.herramienta = static_cast<Herramienta>(indice);
    m_FrTexto->setVisible(m_estilo.herramienta == Herramienta::Texto);
    mostrarColorYGrosor();
}

void FormTools::elegirColor(int color) {
    m_estilo.ponerColor(color);
    mostrarColorYGrosor();
}

void FormTools::mostrarColorYGrosor() {
    QPalette relleno = m_ShColor->palette();
    relleno.setColor(QPalette::Window, Unidades::colorDesdeRGB(m_estilo.colorActual()));
    relleno.setColor(QPalette::WindowText, Unidades::colorDesdeRGB(Blanco));
    m_ShColor->setPalette(relleno);
    // A thickness typed as "007" shows as typed until another tool is chosen.
    if (ReglasPaleta::grosorAceptado(m_LBGrosor->text()) != m_estilo.grosorActual()) {
        m_LBGrosor->setText(QString::number(m_estilo.grosorActual()));
    }
}

void FormTools::abrirEntradaGrosor() {
    m_TB->setText(m_LBGrosor->text());
    m_TB->show();
    m_TB->raise();
    m_TB->selectAll();
    m_TB->setFocus();
}

void FormTools::aceptarEntradaGrosor() {
    const QString texto = m_TB->text();
    if (const std::optional<int> grosor = ReglasPaleta::grosorAceptado(texto)) {
        m_LBGrosor->setText(texto); // as typed: "007" stays "007"
        m_estilo.ponerGrosor(*grosor);
    }
    m_TB->hide();
}

bool FormTools::eventFilter(QObject* objeto, QEvent* evento) {
    const QEvent::Type tipo = evento->type();
    if (objeto == m_picColor &&
        (tipo == QEvent::MouseButtonPress || tipo == QEvent::MouseButtonDblClick)) {
        // Any button picks, the right one as well as the left.
        const QPoint punto = static_cast<QMouseEvent*>(evento)->position().toPoint();
        const int color = TiraColor::colorEnCaja(m_imagenCaja, punto);
        if (color >= 0) {
            elegirColor(color);
        }
        return true;
    }
    if (objeto == m_LBGrosor && tipo == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(evento)->button() == Qt::LeftButton) {
        abrirEntradaGrosor();
        return true;
    }
    if (objeto == m_ImCerrar) {
        if (tipo == QEvent::MouseButtonPress || tipo == QEvent::MouseButtonDblClick) {
            return true; // keeps the release here, and never starts a drag
        }
        if (tipo == QEvent::MouseButtonRelease) {
            auto* raton = static_cast<QMouseEvent*>(evento);
            if (raton->button() == Qt::LeftButton &&
                m_ImCerrar->rect().contains(raton->position().toPoint())) {
                cerrar();
            }
            return true;
        }
    }
    return QDialog::eventFilter(objeto, evento);
}

void FormTools::situar(const QPoint& clic, const QRect& monitor) {
    m_lugar = ReglasPaleta::lugarPaleta(clic, size(), monitor);
    move(*m_lugar);
}

void FormTools::showEvent(QShowEvent* evento) {
    // Not QDialog's: in Qt 6.4 and 6.8 it centres a dialog not moved by the program over its
    // parent (QDialog::adjustPosition), here the canvas.
    QWidget::showEvent(evento); // NOLINT(bugprone-parent-virtual-call)
    // A window manager that places new windows itself, whatever they ask, is overruled once the
    // palette shows: it belongs by the hand that asked for it.
    if (m_lugar && pos() != *m_lugar) {
        move(*m_lugar);
    }
}

void FormTools::reject() {
    // Esc, and a close by the window manager (QDialog turns it into reject), end the palette the
    // way its close image does; otherwise the text options would be lost.
    cerrar();
}

void FormTools::cerrar() {
    if (m_Opcion->checkedId() == static_cast<int>(Herramienta::Texto)) {
        aplicarOpcionesTexto();
    }
    done(QDialog::Accepted);
}

void FormTools::aplicarOpcionesTexto() {
    const int tam = ReglasPaleta::tamFuente(m_TBTam->text());
    if (!m_TBTam->text().isEmpty()) {
        m_TBTam->setText(QString::number(tam));
    }
    const QList<QListWidgetItem*> elegidas = m_ListaF->selectedItems();
    m_estilo.fuente = elegidas.isEmpty() ? QString() : elegidas.first()->text();
    m_estilo.tamFuente = tam;
    m_estilo.negrita = m_ChTexto[0]->isChecked();
    m_estilo.cursiva = m_ChTexto[1]->isChecked();
    m_estilo.subrayado = m_ChTexto[2]->isChecked();
    m_estilo.tachado = m_ChTexto[3]->isChecked();
}
