#include "FormVentana.h"

#include "Gesto.h"
#include "Herramientas.h"
#include "Lienzo.h"
#include "Pantalla.h"
#include "Plataforma.h"
#include "RegistroFormas.h"
#include "Renderizado.h"
#include "Unidades.h"
#include "Ventanas.h"

#include <QApplication>
#include <QIcon>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <cstring>
#include <vector>

namespace {
// The size a window keeps when it has nothing to place: an unknown tool, a stroke with no points.
constexpr QSize TamanoInicial(168, 140);

// A shape kept for an undo: each rectangle as its offset from the one before and its size,
// the four columns one after the other. Neighbouring rectangles of a stroke differ little, so
// this compresses to about a third of the rectangles as they are.
QByteArray empaquetar(const QRegion& forma) {
    const auto n = static_cast<std::size_t>(forma.rectCount());
    std::vector<qint32> columnas(4 * n);
    QPoint anterior;
    std::size_t i = 0;
    for (const QRect& r : forma) {
        columnas[i] = r.x() - anterior.x();
        columnas[n + i] = r.y() - anterior.y();
        columnas[2 * n + i] = r.width();
        columnas[3 * n + i] = r.height();
        anterior = r.topLeft();
        ++i;
    }
    return qCompress(reinterpret_cast<const uchar*>(columnas.data()),
                     static_cast<qsizetype>(columnas.size() * sizeof(qint32)));
}

QRegion desempaquetar(const QByteArray& paquete) {
    const QByteArray datos = qUncompress(paquete);
    const auto n = static_cast<std::size_t>(datos.size()) / (4 * sizeof(qint32));
    std::vector<qint32> columnas(4 * n);
    std::memcpy(columnas.data(), datos.constData(), columnas.size() * sizeof(qint32));
    std::vector<QRect> rects(n);
    QPoint esquina;
    for (std::size_t i = 0; i < n; ++i) {
        esquina += QPoint(columnas[i], columnas[n + i]);
        rects[i] = QRect(esquina, QSize(columnas[2 * n + i], columnas[3 * n + i]));
    }
    // Packed from a region, they are banded already: no sorting or merging to redo.
    QRegion forma;
    forma.setRects(rects.data(), static_cast<int>(n));
    return forma;
}
} // namespace

FormVentana::FormVentana(const Gesto& gesto, QWidget* padre)
    : QWidget(padre), m_color(Unidades::colorDesdeRGB(gesto.estilo.colorActual())) {
    Plataforma::actual().prepararVentana(this, Papel::Forma); // borderless, above the others
    const Herramientas::Fila& herramienta = Herramientas::de(gesto.estilo.herramienta);
    const bool texto = herramienta.dibujar == nullptr;
    // Ink is smooth, and a marker see-through, where the desktop blends windows.
    m_conAlfa = !texto && gesto.estilo.suave && Plataforma::actual().PrepararTinta(this);
    setAttribute(Qt::WA_DeleteOnClose); // however it closes, it is destroyed and counted out
    setCursor(Qt::OpenHandCursor);
    QPalette paleta = palette();
    paleta.setColor(QPalette::Window, Unidades::colorDesdeRGB(Blanco));
    setPalette(paleta);
    setAutoFillBackground(true);
    resize(TamanoInicial);
    if (herramienta.efimera) {
        // Ink that fades is only looked at: clicks go through it to what lies beneath. No window
        // manager frames it either, as a frame would take the clicks around the strokes.
        setWindowFlag(Qt::WindowTransparentForInput);
        setWindowFlag(Qt::X11BypassWindowManagerHint);
    } else {
        ArrastrarVentana(this);
    }

    if (texto) {
        DibujarTexto(gesto);
    } else {
        setAttribute(Qt::WA_ShowWithoutActivating);
        DibujarForma(gesto);
    }
}

FormVentana::~FormVentana() = default;

void FormVentana::terminarTexto() {
    if (escribiendo()) {
        escribir(U"\r");
    }
}

void FormVentana::DibujarForma(const Gesto& gesto) {
    const Herramientas::Fila& herramienta = Herramientas::de(gesto.estilo.herramienta);
    const double tpp = Unidades::twipsPorPixel();
    const QRectF ventana = herramienta.colocar(gesto, tpp);
    if (!ventana.isNull()) {
        // Window managers move a window that reaches beyond the screens back onto them, and
        // the drawing would move with it: the part nobody can see is left out instead.
        const QRect caja = Unidades::rectEnPixeles(ventana);
        const QRect visible = caja & Pantalla::escritorio();
        setGeometry(visible.isEmpty() ? caja : visible);
        // The window may sit on other whole pixels than asked: the drawing follows where it is.
        m_origen = Unidades::aTwips(QPointF(pos()));
    }
    if (m_conAlfa) {
        dibujarTinta(gesto);
        return;
    }
    QImage trazos = Lienzo::imagenTrazos(size(), gesto.estilo.colorActual());
    if (!ventana.isNull()) {
        Lienzo lienzo(trazos, m_origen, tpp, pluma(gesto, false));
        herramienta.dibujar(lienzo, gesto);
    }
    // Straight from the image: no need to render the window to find its strokes. The image
    // goes now; the shape holds all that is left to show, and the mouse keeps to it.
    HacerTransparente(this, ColorClave, &trazos);
    trazos = QImage();
    if (herramienta.opacidad == 100) {
        m_pintarTrazo = !Plataforma::actual().RellenarConColor(this, m_color);
        return;
    }
    // A see-through marker is a picture, which the windowing system keeps where it can.
    mostrarTinta(marcaSobreFondo(gesto));
}

void FormVentana::dibujarTinta(const Gesto& gesto) {
    // Kept to draw the picture again (a saved picture, after an undo); the frozen screen is not.
    m_gesto = std::make_unique<Gesto>(gesto);
    m_gesto->fondo = QImage();
    // Drawn once: the picture's own pixels give the shape. The mouse keeps to those at least
    // half as opaque as the ink, as a crisp stroke covers them.
    QImage tinta = imagenTinta();
    const int opacidad = Herramientas::de(gesto.estilo.herramienta).opacidad;
    HacerTransparente(this, ColorClave, regionOpaca(tinta, (opacidad * 255 + 199) / 200));
    mostrarTinta(std::move(tinta));
}

void FormVentana::mostrarTinta(QImage tinta) {
    if (!Plataforma::actual().MostrarImagen(this, tinta)) {
        m_imagen = std::move(tinta);
    }
}

Lienzo::Pluma FormVentana::pluma(const Gesto& gesto, bool conAlfa) {
    const Herramientas::Fila& herramienta = Herramientas::de(gesto.estilo.herramienta);
    return {gesto.estilo.grosorActual(), gesto.estilo.colorActual(), herramienta.puntaRecta,
            conAlfa ? herramienta.opacidad : 100, conAlfa};
}

QImage FormVentana::imagenTinta() const {
    if (!m_gesto) {
        return {};
    }
    QImage tinta = Lienzo::imagenSuave(size(), devicePixelRatioF());
    Lienzo lienzo(tinta, m_origen, Unidades::twipsPorPixel(), pluma(*m_gesto, true));
    Herramientas::de(m_gesto->estilo.herramienta).dibujar(lienzo, *m_gesto);
    return tinta;
}

QImage FormVentana::marcaSobreFondo(const Gesto& gesto) const {
    // No compositor blends it: the marker is blended here, once, with the frozen screen under
    // it, and looks the same until what lies beneath changes.
    const qreal escala = devicePixelRatioF();
    QImage imagen(size() * escala, QImage::Format_RGB32);
    imagen.setDevicePixelRatio(escala);
    imagen.fill(Qt::white);
    {
        QPainter pintor(&imagen);
        if (!gesto.fondo.isNull()) {
            const QPointF desde =
                (Unidades::aTwips(QPointF(pos())) - gesto.origenFondo) / Unidades::twipsPorPixel();
            pintor.drawImage(QPointF(0, 0), gesto.fondo,
                             QRectF(desde * escala, QSizeF(size()) * escala));
        }
    }
    Lienzo::Pluma marca = pluma(gesto, false);
    marca.opacidad = Herramientas::de(gesto.estilo.herramienta).opacidad;
    Lienzo lienzo(imagen, m_origen, Unidades::twipsPorPixel(), marca);
    Herramientas::de(gesto.estilo.herramienta).dibujar(lienzo, gesto);
    return imagen;
}

QPaintEngine* FormVentana::paintEngine() const {
    return testAttribute(Qt::WA_PaintOnScreen) ? nullptr : QWidget::paintEngine();
}

void FormVentana::DibujarTexto(const Gesto& gesto) {
    m_lb = new QLabel(this);
    m_lb->setTextFormat(Qt::PlainText);
    m_lb->setTextInteractionFlags(Qt::NoTextInteraction);
    // Presses on the letters reach the window itself: they drag it, or click it back to editing.
    m_lb->setAttribute(Qt::WA_TransparentForMouseEvents);
    const Estilo& estilo = gesto.estilo;
    QFont fuente(estilo.fuente);
    fuente.setPointSize(estilo.tamFuente);
    fuente.setBold(estilo.negrita);
    fuente.setItalic(estilo.cursiva);
    fuente.setUnderline(estilo.subrayado);
    fuente.setStrikeOut(estilo.tachado);
    // Letters without blended edges, so the colour key leaves no fringe around them.
    fuente.setStyleStrategy(QFont::NoAntialias);
    m_lb->setFont(fuente);
    QPalette paleta = m_lb->palette();
    paleta.setColor(QPalette::WindowText, m_color);
    m_lb->setPalette(paleta);
    m_lb->move(0, 0);
    m_lb->show();
    setAttribute(Qt::WA_InputMethodEnabled); // accents typed with dead keys arrive composed
    move(Unidades::aPixelesRedondeados(gesto.inicio.x()),
         Unidades::aPixelesRedondeados(gesto.inicio.y()));
    ajustarAlTexto();
}

void FormVentana::ajustarAlTexto() {
    m_lb->setText(m_edicion.texto());
    m_lb->adjustSize();
    resize(m_lb->size().expandedTo(QSize(1, 1)));
    if (m_edicion.terminado()) {
        ActualizarTransparencia(this);
    }
}

void FormVentana::escribir(const std::u32string& caracteres) {
    bool cambio = false;
    for (const char32_t c : caracteres) {
        switch (m_edicion.escribir(c)) {
        case EdicionTexto::Efecto::TextoCambiado:
            cambio = true;
            break;
        case EdicionTexto::Efecto::Terminado:
            if (cambio) {
                ajustarAlTexto();
                cambio = false;
            }
            HacerTransparente(this, ColorClave);
            emit escrituraCambiada();
            break;
        case EdicionTexto::Efecto::Ninguno:
            break;
        }
    }
    if (cambio) {
        ajustarAlTexto();
    }
}

void FormVentana::volverAEditar() {
    m_edicion.editar();
    QPalette paleta = palette();
    paleta.setColor(QPalette::Window, Unidades::colorDesdeRGB(Blanco));
    setPalette(paleta);
    clearMask();
    emit escrituraCambiada();
}

bool FormVentana::event(QEvent* evento) {
    // Deleted and kept for an undo: it gives back its native window and the pixels Qt keeps for
    // it; showing it again creates them anew. It arrives once the deletion is over, unless the
    // window is shown again first.
    if (evento->type() == RegistroFormas::EventoRetirada) {
        if (isHidden() && testAttribute(Qt::WA_WState_Created)) {
            destroy();
            m_recreada = true;
            // Its shape too, packed: a stroke across the screen takes hundreds of kilobytes
            // as rectangles, and " Borrar Todo" keeps every shape for an undo.
            if (!mask().isEmpty()) {
                m_formaGuardada = empaquetar(mask());
                clearMask();
            }
            // Smooth ink's picture takes the X server a window-sized pixmap: it is drawn again
            // from the gesture if the shape comes back.
            if (m_gesto) {
                Plataforma::actual().MostrarImagen(this, QImage());
            }
        }
        return true;
    }
    // Tab would move the focus between widgets; in a text shape it is a character like any other.
    if (evento->type() == QEvent::KeyPress) {
        auto* tecla = static_cast<QKeyEvent*>(evento);
        if (tecla->key() == Qt::Key_Tab || tecla->key() == Qt::Key_Backtab) {
            keyPressEvent(tecla);
            return true;
        }
    }
    return QWidget::event(evento);
}

void FormVentana::paintEvent(QPaintEvent* evento) {
    if (!m_imagen.isNull()) {
        QPainter pintor(this);
        pintor.setCompositionMode(QPainter::CompositionMode_Source);
        pintor.drawImage(evento->rect(), m_imagen,
                         QRectF(QPointF(evento->rect().topLeft()) * devicePixelRatioF(),
                                QSizeF(evento->rect().size()) * devicePixelRatioF()));
        return;
    }
    if (!m_pintarTrazo) {
        return;
    }
    // The window's shape is exactly the strokes' pixels, so filling with their colour draws them.
    QPainter pintor(this);
    pintor.fillRect(evento->rect(), m_color);
}

void FormVentana::showEvent(QShowEvent* evento) {
    QWidget::showEvent(evento);
    // Qt 6.4 and 6.8 give a new native window its mask again (QWidgetPrivate::create,
    // QXcbWindow::create), but only in one request: a shape too complex for one goes again through
    // the platform.
    if (m_recreada) {
        m_recreada = false;
        const QRegion forma = m_formaGuardada.isEmpty() ? mask() : desempaquetar(m_formaGuardada);
        m_formaGuardada.clear();
        if (!forma.isEmpty()) {
            Plataforma::actual().PonerForma(this, forma);
        }
        if (m_gesto) {
            mostrarTinta(imagenTinta());
        }
    }
}

void FormVentana::keyPressEvent(QKeyEvent* evento) {
    if (evento->key() == Qt::Key_Delete) {
        close();
        return;
    }
    if (m_lb == nullptr) {
        evento->ignore();
        return;
    }
    escribir(EdicionTexto::caracteresDeTecla(evento->key(), evento->text()));
}

void FormVentana::inputMethodEvent(QInputMethodEvent* evento) {
    if (m_lb != nullptr && !evento->commitString().isEmpty()) {
        const QList<uint> codigos = evento->commitString().toUcs4();
        escribir(std::u32string(codigos.begin(), codigos.end()));
    }
    evento->accept();
}

void FormVentana::mousePressEvent(QMouseEvent* evento) {
    m_clicPosible = evento->button() == Qt::LeftButton && evento->buttons() == Qt::LeftButton;
    m_inicioClic = evento->globalPosition().toPoint();
}

void FormVentana::mouseMoveEvent(QMouseEvent* evento) {
    // A press that drags the window is no click.
    if (m_clicPosible && (evento->globalPosition().toPoint() - m_inicioClic).manhattanLength() >=
                             QApplication::startDragDistance()) {
        m_clicPosible = false;
    }
}

void FormVentana::mouseReleaseEvent(QMouseEvent* evento) {
    if (m_clicPosible && evento->button() == Qt::LeftButton && m_lb != nullptr &&
        m_edicion.terminado()) {
        volverAEditar();
    }
    m_clicPosible = false;
}
