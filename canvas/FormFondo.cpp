#include "FormFondo.h"

#include "AyudaTeclas.h"
#include "Captura.h"
#include "Composicion.h"
#include "Contornos.h"
#include "Dibujos.h"
#include "FormTools.h"
#include "FormVentana.h"
#include "Lienzo.h"
#include "Memoria.h"
#include "Monitores.h"
#include "Pintor.h"
#include "Plataforma.h"
#include "RegistroFormas.h"
#include "Superficie.h"
#include "Unidades.h"
#include "Ventanas.h"
#include "modCapturar.h"
#include "modGeneral.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPointer>
#include <QScreen>
#include <QWheelEvent>
#include <algorithm>
#include <iterator>

namespace {

constexpr int LadoSalir = 48; // pixels

// The exit image: a click on it (left button pressed and released on it) leaves drawing mode.
// It takes every press made on it, so none starts a gesture on the canvas. The canvas's surface
// paints it, over what lies beneath.
class ImagenSalir : public QLabel {
public:
    ImagenSalir(QWidget* padre, std::function<void()> alPulsar,
                std::function<void(const QRegion&)> alPintar)
        : QLabel(padre), m_alPulsar(std::move(alPulsar)), m_alPintar(std::move(alPintar)) {
        setAttribute(Qt::WA_NoSystemBackground);
    }
    QPaintEngine* paintEngine() const override {
        return window()->testAttribute(Qt::WA_PaintOnScreen) ? nullptr : QLabel::paintEngine();
    }

protected:
    void paintEvent(QPaintEvent* evento) override { m_alPintar(evento->region()); }
    void mousePressEvent(QMouseEvent* evento) override { evento->accept(); }
    void mouseReleaseEvent(QMouseEvent* evento) override {
        evento->accept();
        if (evento->button() == Qt::LeftButton && rect().contains(evento->position().toPoint())) {
            m_alPulsar();
        }
    }

private:
    std::function<void()> m_alPulsar;
    std::function<void(const QRegion&)> m_alPintar;
};

QPointF aPixeles(QPointF twips) {
    return {Unidades::aPixeles(twips.x()), Unidades::aPixeles(twips.y())};
}

QLineF aPixeles(const QLineF& twips) {
    return {aPixeles(twips.p1()), aPixeles(twips.p2())};
}

QRectF aPixeles(const QRectF& twips) {
    return {aPixeles(twips.topLeft()), aPixeles(twips.bottomRight())};
}

QScreen* oPrincipal(QScreen* pantalla) {
    return pantalla != nullptr ? pantalla : QGuiApplication::primaryScreen();
}

QRect geometriaDe(const QScreen* pantalla) {
    return pantalla != nullptr ? pantalla->geometry() : QRect();
}

// Keys that only change what the next key means.
bool esModificador(int tecla) {
    switch (tecla) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true;
    default:
        return false;
    }
}

} // namespace

FormFondo::FormFondo(RegistroFormas& formas, QScreen* pantalla, QWidget* padre)
    : FormFondo(formas, modCapturar::CapturarPantalla(oPrincipal(pantalla)), pantalla, padre) {}

FormFondo::FormFondo(RegistroFormas& formas, std::unique_ptr<Captura> captura, QScreen* pantalla,
                     QWidget* padre)
    : FormFondo(
          formas,
          [&captura](QWidget* lienzo) {
              return Plataforma::actual().CrearSuperficie(lienzo, std::move(captura));
          },
          Papel::Lienzo, pantalla, padre) {}

FormFondo::FormFondo(RegistroFormas& formas, EnVivo, QScreen* pantalla, QWidget* padre)
    : FormFondo(
          formas,
          [](QWidget* lienzo) { return Plataforma::actual().CrearSuperficieEnVivo(lienzo); },
          Papel::LienzoEnVivo, pantalla, padre) {}

FormFondo::FormFondo(RegistroFormas& formas, const HacerSuperficie& superficie, Papel papel,
                     QScreen* pantalla, QWidget* padre)
    : QWidget(padre), m_formas(formas), m_pantalla(oPrincipal(pantalla)),
      m_superficie(superficie(this)),
      m_gestos(Unidades::aTwips(geometriaDe(m_pantalla).width()), Unidades::aTwips(LadoSalir)),
      // made after the surface, which may give the canvas's children windows of their own
      m_ImSalir(new ImagenSalir(
          this, [this] { close(); }, [this](const QRegion& region) { pintarSalida(region); })),
      m_abrirPaleta([this](QWidget* padre) {
          FormTools paleta(padre);
          paleta.situar(m_clicPaleta, geometry());
          paleta.exec();
      }),
      m_trazado(geometriaDe(m_pantalla).size()) {
    Plataforma::actual().prepararVentana(this, papel); // borderless, over the screen
    setAttribute(Qt::WA_DeleteOnClose);
    // Every pixel is painted from the capture: nothing needs clearing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // Nothing on the canvas looks different when it is not the active window; with equal colour
    // groups, focus moving between it and the shape windows repaints nothing.
    QPalette paleta = palette();
    for (int rol = 0; rol < QPalette::NColorRoles; ++rol) {
        const auto r = static_cast<QPalette::ColorRole>(rol);
        paleta.setBrush(QPalette::Inactive, r, paleta.brush(QPalette::Active, r));
    }
    setPalette(paleta);
    setWindowTitle(QStringLiteral("Tizo"));
    setFocusPolicy(Qt::StrongFocus);
    // Moves count while a gesture is in progress, even once no button is held any more.
    setMouseTracking(true);
    // Exactly over its monitor, at that monitor's scale, so that the capture lies where it was
    // taken, one device pixel on one.
    setScreen(m_pantalla);
    setGeometry(geometriaDe(m_pantalla));

    m_ImSalir->setPixmap(Dibujos::imagenSalir());
    m_ImSalir->setFixedSize(LadoSalir, LadoSalir);
    m_ImSalir->setToolTip(tr("Dejar de dibujar"));
    m_ImSalir->setCursor(Qt::PointingHandCursor);
    colocarImSalir();
    ponerPuntero();
}

FormFondo::~FormFondo() = default;

QPaintEngine* FormFondo::paintEngine() const {
    return testAttribute(Qt::WA_PaintOnScreen) ? nullptr : QWidget::paintEngine();
}

void FormFondo::mostrar(bool activar) {
    show();
    raise();
    if (activar) {
        activateWindow();
    }
}

bool FormFondo::event(QEvent* evento) {
    if (evento->type() == QEvent::WindowActivate) {
        emit activado();
    }
    return QWidget::event(evento);
}

void FormFondo::tomarAjustes() {
    m_gestos.paletaCerrada();
    ponerPuntero();
}

void FormFondo::ponerPuntero() {
    const QPoint punta = Dibujos::puntaHerramienta(modGeneral::Tipo);
    setCursor(QCursor(Dibujos::punteroHerramienta(modGeneral::Tipo,
                                                  Unidades::colorDesdeRGB(modGeneral::Color),
                                                  modGeneral::Grosor, devicePixelRatioF()),
                      punta.x(), punta.y()));
}

QPointF FormFondo::enTwips(const QPointF& posicion) const {
    // The pointer leaves the canvas while the press holds it, over another monitor: there it
    // counts as on the edge it crossed, as the preview shows it.
    return Unidades::aTwips(Monitores::limitar(posicion, size(), devicePixelRatioF()));
}

QImage FormFondo::pantallaAnotada() const {
    QImage fondo = m_superficie ? m_superficie->imagenCaptura() : QImage();
    if (fondo.isNull()) {
        // Without a capture the canvas is white, and so is the picture.
        fondo = QImage(size() * devicePixelRatioF(), QImage::Format_RGB32);
        fondo.setDevicePixelRatio(devicePixelRatioF());
        fondo.fill(Qt::white);
    }
    QList<Composicion::Capa> capas;
    for (QWidget* ventana : Plataforma::actual().OrdenApilado(m_formas.ventanas())) {
        if (!ventana->isVisible()) {
            continue;
        }
        Composicion::Capa capa{ventana->pos(), ventana->mask(), {}, {}};
        auto* forma = qobject_cast<FormVentana*>(ventana);
        if (forma != nullptr && forma->etiqueta() == nullptr) {
            capa.color = forma->colorTrazo();
        } else {
            // Letters, on white while they are edited.
            capa.imagen = ventana->grab().toImage();
        }
        capas.append(capa);
    }
    return Composicion::componer(fondo, mapToGlobal(QPoint(0, 0)), capas);
}

void FormFondo::closeEvent(QCloseEvent* evento) {
    // A release still on its way must not make a shape once the canvas has gone.
    m_gestos.cancelar();
    // The capture goes with the canvas, without waiting for the window object to be deleted.
    m_superficie.reset();
    Memoria::devolverLibre();
    QWidget::closeEvent(evento);
    emit cerrado();
}

void FormFondo::paintEvent(QPaintEvent* evento) {
    if (!m_superficie) {
        return;
    }
    m_superficie->pintar(this, evento->region(), [this](Pintor& pintor) {
        const bool linea = m_gestos.lineaVisible();
        const bool rectangulo = m_gestos.lineaRVisible();
        const bool circulo = m_gestos.cirVisible();
        if (linea || rectangulo || circulo) {
            pintor.pluma(Unidades::colorDesdeRGB(m_gestos.colorPrevisualizacion()),
                         m_gestos.anchoPrevisualizacion());
        }
        if (linea) {
            pintor.linea(aPixeles(m_gestos.Linea()));
        }
        if (rectangulo) {
            for (const QLineF& borde : m_gestos.LineaR()) {
                pintor.linea(aPixeles(borde));
            }
        }
        if (circulo) {
            pintor.elipse(aPixeles(m_gestos.ShCir()));
        }
        if (!m_cajaAyuda.isNull()) {
            pintor.imagen(m_cajaAyuda.topLeft(), m_ayuda);
        }
    });
}

void FormFondo::pintarSalida(const QRegion& region) {
    if (m_superficie) {
        m_superficie->pintar(m_ImSalir, region, [this](Pintor& pintor) {
            pintor.imagen(QPoint(0, 0), m_ImSalir->pixmap());
        });
    }
}

QRegion FormFondo::regionPrevisualizacion() const {
    const int ancho = m_gestos.anchoPrevisualizacion();
    QRegion region;
    if (m_gestos.lineaVisible()) {
        region += Contornos::segmento(aPixeles(m_gestos.Linea()), ancho);
    }
    if (m_gestos.lineaRVisible()) {
        // Edge by edge: a large rectangle repaints its outline, not its inside.
        for (const QLineF& borde : m_gestos.LineaR()) {
            region += Contornos::segmento(aPixeles(borde), ancho);
        }
    }
    if (m_gestos.cirVisible()) {
        region += Contornos::elipse(aPixeles(m_gestos.ShCir()), ancho);
    }
    return region;
}

void FormFondo::resizeEvent(QResizeEvent* evento) {
    m_gestos.redimensionar(Unidades::aTwips(width()));
    m_trazado = ZonaTrazada(size());
    colocarImSalir();
    QWidget::resizeEvent(evento);
}

void FormFondo::colocarImSalir() {
    m_ImSalir->move(Unidades::rectEnPixeles(m_gestos.ImSalir()).topLeft());
}

// The canvas shows no focus: gaining or losing it repaints nothing.
void FormFondo::focusInEvent(QFocusEvent*) {}
void FormFondo::focusOutEvent(QFocusEvent*) {}

void FormFondo::keyPressEvent(QKeyEvent* evento) {
    const TeclasDibujo::Efecto efecto = TeclasDibujo::deTecla(evento->key(), evento->modifiers());
    // Any key puts the list of keys away, and then does what it does; F1 only puts it away.
    const bool conAyuda = !m_cajaAyuda.isNull();
    if (conAyuda && !esModificador(evento->key())) {
        ocultarAyuda();
    }
    switch (efecto.tipo) {
    case TeclasDibujo::Efecto::Tipo::Salir:
        close();
        return;
    case TeclasDibujo::Efecto::Tipo::Ayuda:
        if (!conAyuda) {
            mostrarAyuda();
        }
        return;
    case TeclasDibujo::Efecto::Tipo::Herramienta:
    case TeclasDibujo::Efecto::Tipo::Color:
    case TeclasDibujo::Efecto::Tipo::Grosor:
        aplicar(efecto);
        return;
    case TeclasDibujo::Efecto::Tipo::Ninguno:
        break;
    }
    QWidget::keyPressEvent(evento);
}

void FormFondo::wheelEvent(QWheelEvent* evento) {
    // Alt turns the wheel sideways.
    const QPoint giro = evento->angleDelta();
    const int cambio = m_rueda.girar(giro.y() != 0 ? giro.y() : giro.x(), evento->modifiers());
    if (cambio != 0) {
        aplicar({TeclasDibujo::Efecto::Tipo::Grosor, cambio});
    }
    evento->accept();
}

void FormFondo::aplicar(const TeclasDibujo::Efecto& efecto) {
    // A gesture keeps the style it started with: its preview and its shape agree.
    if (m_gestos.pulsado()) {
        return;
    }
    using T = TeclasDibujo::Efecto::Tipo;
    const int antes[] = {modGeneral::Tipo, modGeneral::Color, modGeneral::Grosor};
    if (efecto.tipo == T::Herramienta) {
        modGeneral::Tipo = efecto.valor;
    } else if (efecto.tipo == T::Color) {
        modGeneral::Color = efecto.valor;
    } else if (efecto.tipo == T::Grosor) {
        modGeneral::Grosor = TeclasDibujo::grosorTras(modGeneral::Grosor, efecto.valor);
    }
    const int despues[] = {modGeneral::Tipo, modGeneral::Color, modGeneral::Grosor};
    if (std::equal(std::begin(antes), std::end(antes), std::begin(despues))) {
        return;
    }
    tomarAjustes();
    emit ajustesCambiados();
}

void FormFondo::mostrarAyuda() {
    // Made once per canvas: the surface keeps each picture it was given while it lives.
    if (m_ayuda.isNull()) {
        m_ayuda =
            QPixmap::fromImage(AyudaTeclas::imagen(TeclasDibujo::ayuda(), devicePixelRatioF()));
    }
    QRect caja(QPoint(), m_ayuda.deviceIndependentSize().toSize());
    caja.moveCenter(rect().center());
    m_cajaAyuda = caja;
    update(m_cajaAyuda);
}

void FormFondo::ocultarAyuda() {
    update(m_cajaAyuda);
    m_cajaAyuda = QRect();
}

void FormFondo::mousePressEvent(QMouseEvent* evento) {
    // A click puts the list of keys away, and does nothing else: it draws nothing unseen.
    if (!m_cajaAyuda.isNull()) {
        ocultarAyuda();
        return;
    }
    const Gestos::Pulsacion pulsacion =
        m_gestos.pulsar(evento->button() == Qt::LeftButton, enTwips(evento->position()));
    if (pulsacion.segmento) {
        pintarSegmento(*pulsacion.segmento);
    }
    if (!pulsacion.abrirPaleta) {
        return;
    }
    const QPointer<FormFondo> vivo(this);
    m_clicPaleta = evento->globalPosition().toPoint();
    m_paletaAbierta = true;
    m_abrirPaleta(this);
    if (!vivo) {
        return;
    }
    m_paletaAbierta = false;
    tomarAjustes();
    emit paletaCerrada();
    if (m_salirTrasPaleta) {
        close();
        return;
    }
    if (!isActiveWindow()) {
        activateWindow(); // the keys come back here, whatever window the desktop would pick
    }
}

void FormFondo::salir() {
    if (!m_paletaAbierta) {
        close();
        return;
    }
    // The palette runs its own loop inside a press on this canvas: it closes first, as its close
    // image closes it, and the canvas follows once that loop has ended.
    m_salirTrasPaleta = true;
    if (auto* paleta = findChild<FormTools*>()) {
        paleta->reject();
    }
}

void FormFondo::mouseMoveEvent(QMouseEvent* evento) {
    const Gestos::Movimiento cambios = m_gestos.mover(enTwips(evento->position()));
    if (cambios.segmento) {
        pintarSegmento(*cambios.segmento);
    }
    if (cambios.previsualizacion) {
        const QRegion nueva = regionPrevisualizacion();
        update(m_regionPrevia + nueva);
        m_regionPrevia = nueva;
    }
    if (cambios.salidaMovida) {
        colocarImSalir();
    }
}

void FormFondo::mouseReleaseEvent(QMouseEvent*) {
    if (!m_gestos.pulsado()) {
        return;
    }
    m_gestos.soltar([this](const Gesto& gesto) { CrearVentana(gesto); },
                    Unidades::aTwips(QPointF(mapToGlobal(QPoint(0, 0)))));
    // Back to the saved capture. Only the stroke and the preview ever covered it, so only their
    // pixels are repainted: a full-screen repaint would cost a frame on every release.
    const QRegion trazado = m_trazado.region();
    if (m_superficie) {
        m_superficie->borrarTrazos(trazado);
    }
    update(m_regionPrevia + trazado);
    m_trazado.vaciar();
    m_regionPrevia = QRegion();
}

void FormFondo::CrearVentana(const Gesto& gesto) {
    auto* ventana = new FormVentana(gesto); // places, sizes and draws itself here
    m_formas.agregar(ventana);              // counts it in modGeneral::NumVentanas
    ventana->setWindowTitle(QString::number(modGeneral::NumVentanas));
    ventana->show();
    // Only a text takes the keys, to be typed into; after any other shape they stay on the
    // canvas, for Esc and the tool keys.
    SiempreEncima(ventana, true, ventana->escribiendo());
}

void FormFondo::pintarSegmento(const QLineF& segmento) {
    // Each segment goes into the stroke layer over the capture and only its own pixels are
    // repainted: the work per move does not grow with the stroke.
    if (!m_superficie) {
        return;
    }
    const int ancho = m_gestos.anchoPluma();
    const QLineF l = aPixeles(segmento);
    const QRect zona = Contornos::caja(QRectF(l.p1(), l.p2()), ancho) & rect();
    if (zona.isEmpty()) {
        return;
    }
    // Drawn as the shape window will draw it, pixel for pixel: into a one-bit picture of the
    // segment's box, whose set pixels are laid in the stroke's colour over the capture.
    QImage marca = Lienzo::imagenTrazos(zona.size(), modGeneral::Color);
    {
        Lienzo lienzo(marca, Unidades::aTwips(QPointF(zona.topLeft())), Unidades::twipsPorPixel(),
                      ancho, modGeneral::Color);
        lienzo.segmento(segmento.p1(), segmento.p2());
    }
    // The picture is the segment's box: its pixels lie inside it already.
    const QRegion pixeles = regionVisible(marca, modGeneral::ColorClave).translated(zona.topLeft());
    m_superficie->trazar(pixeles, Unidades::colorDesdeRGB(modGeneral::Color));
    m_trazado.marcar(zona);
    update(zona);
}
