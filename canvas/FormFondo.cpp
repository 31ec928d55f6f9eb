#include "FormFondo.h"

#include "AyudaTeclas.h"
#include "Captura.h"
#include "Composicion.h"
#include "Contornos.h"
#include "Desvanecer.h"
#include "Dibujos.h"
#include "FormTools.h"
#include "FormVentana.h"
#include "Herramientas.h"
#include "Lienzo.h"
#include "Memoria.h"
#include "Monitores.h"
#include "Pintor.h"
#include "Plataforma.h"
#include "RegistroFormas.h"
#include "Renderizado.h"
#include "Superficie.h"
#include "Unidades.h"
#include "Ventanas.h"
#include "modCapturar.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPainterPath>
#include <QPointer>
#include <QScreen>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

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

QPolygonF aPixeles(const QPolygonF& twips) {
    QPolygonF pixeles;
    for (const QPointF& p : twips) {
        pixeles << aPixeles(p);
    }
    return pixeles;
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

FormFondo::FormFondo(RegistroFormas& formas, Estilo& estilo, QScreen* pantalla, QWidget* padre)
    : FormFondo(formas, estilo, modCapturar::CapturarPantalla(oPrincipal(pantalla)), pantalla,
                padre) {}

FormFondo::FormFondo(RegistroFormas& formas, Estilo& estilo, std::unique_ptr<Captura> captura,
                     QScreen* pantalla, QWidget* padre)
    : FormFondo(
          formas, estilo,
          [&captura](QWidget* lienzo) {
              return Plataforma::actual().CrearSuperficie(lienzo, std::move(captura));
          },
          Papel::Lienzo, pantalla, padre) {}

FormFondo::FormFondo(RegistroFormas& formas, Estilo& estilo, EnVivo, QScreen* pantalla,
                     QWidget* padre)
    : FormFondo(
          formas, estilo,
          [](QWidget* lienzo) { return Plataforma::actual().CrearSuperficieEnVivo(lienzo); },
          Papel::LienzoEnVivo, pantalla, padre) {}

FormFondo::FormFondo(RegistroFormas& formas, Estilo& estilo, const HacerSuperficie& superficie,
                     Papel papel, QScreen* pantalla, QWidget* padre)
    : QWidget(padre), m_formas(formas), m_estilo(estilo),
      m_suave(estilo.suave && Plataforma::actual().TintaSuave()), m_pantalla(oPrincipal(pantalla)),
      m_superficie(superficie(this)), m_gestos(Unidades::aTwips(geometriaDe(m_pantalla).width()),
                                               Unidades::aTwips(LadoSalir), estilo),
      // made after the surface, which may give the canvas's children windows of their own
      m_ImSalir(new ImagenSalir(
          this, [this] { close(); }, [this](const QRegion& region) { pintarSalida(region); })),
      m_abrirPaleta([this](QWidget* padre, Estilo& estiloEnUso) {
          FormTools paleta(estiloEnUso, padre);
          paleta.situar(m_clicPaleta, geometry());
          paleta.exec();
          estiloEnUso = paleta.estilo();
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
    m_gestos.tomarEstilo();
    ponerPuntero();
}

void FormFondo::ponerPuntero() {
    const Herramientas::Fila& herramienta = Herramientas::de(m_estilo.herramienta);
    const bool texto = herramienta.arrastre == Herramientas::Arrastre::Texto;
    QPainterPath figura;
    if (herramienta.figura != nullptr) {
        herramienta.figura(figura, Dibujos::esquinaPuntero());
    }
    const QPoint punta = Dibujos::puntaHerramienta(texto);
    setCursor(QCursor(Dibujos::punteroHerramienta(figura, texto,
                                                  Unidades::colorDesdeRGB(m_estilo.colorActual()),
                                                  m_estilo.grosorActual(), devicePixelRatioF()),
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
        const QImage tinta = forma != nullptr ? forma->imagenTinta() : QImage();
        if (!tinta.isNull()) {
            capa.forma = QRegion(); // smooth edges reach past the strokes the mouse keeps to
            capa.imagen = tinta;
        } else if (forma != nullptr && forma->etiqueta() == nullptr) {
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
        pintarPrevisualizacion(pintor);
        if (!m_cajaAyuda.isNull()) {
            pintor.imagen(m_cajaAyuda.topLeft(), m_ayuda);
        }
    });
}

void FormFondo::pintarPrevisualizacion(Pintor& pintor) const {
    const bool linea = m_gestos.lineaVisible();
    const bool rectangulo = m_gestos.lineaRVisible();
    const bool circulo = m_gestos.cirVisible();
    if (!linea && !rectangulo && !circulo) {
        return;
    }
    // Drawn as the shape will be: the same pen, and an arrow's head.
    const Estilo& estilo = m_gestos.estiloPrevisualizacion();
    const Herramientas::Fila& herramienta = Herramientas::de(estilo.herramienta);
    QColor color = Unidades::colorDesdeRGB(estilo.colorActual());
    color.setAlphaF(herramienta.opacidad / 100.0);
    pintor.pluma(color, estilo.grosorActual(), herramienta.puntaRecta, m_suave);
    if (linea && herramienta.cabeza) {
        const QLineF l = m_gestos.Linea();
        const Renderizado::Flecha flecha =
            Renderizado::flecha(l.p1(), l.p2(), estilo.grosor, Unidades::twipsPorPixel());
        pintor.linea(aPixeles(QLineF(l.p1(), flecha.finAsta)));
        if (!flecha.cabeza.isEmpty()) {
            pintor.poligono(aPixeles(flecha.cabeza));
        }
    } else if (linea) {
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
}

void FormFondo::pintarSalida(const QRegion& region) {
    if (m_superficie) {
        m_superficie->pintar(m_ImSalir, region, [this](Pintor& pintor) {
            pintor.imagen(QPoint(0, 0), m_ImSalir->pixmap());
        });
    }
}

QRegion FormFondo::regionPrevisualizacion() const {
    const Estilo& estilo = m_gestos.estiloPrevisualizacion();
    const Herramientas::Fila& herramienta = Herramientas::de(estilo.herramienta);
    // Smooth edges reach a pixel further; square ends as far as round ones reach sideways.
    const int ancho = m_gestos.anchoPrevisualizacion() + (m_suave ? 2 : 0);
    const int anchoLinea = herramienta.puntaRecta ? int(std::ceil(ancho * M_SQRT2)) : ancho;
    QRegion region;
    if (m_gestos.lineaVisible()) {
        const QLineF linea = m_gestos.Linea();
        region += Contornos::segmento(aPixeles(linea), anchoLinea);
        if (herramienta.cabeza) {
            const Renderizado::Flecha flecha = Renderizado::flecha(
                linea.p1(), linea.p2(), estilo.grosor, Unidades::twipsPorPixel());
            region += Contornos::caja(aPixeles(flecha.cabeza).boundingRect(), 2);
        }
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
    const Estilo antes = m_estilo;
    if (efecto.tipo == T::Herramienta) {
        m_estilo.herramienta = static_cast<Herramienta>(efecto.valor);
    } else if (efecto.tipo == T::Color) {
        m_estilo.ponerColor(efecto.valor);
    } else if (efecto.tipo == T::Grosor) {
        m_estilo.ponerGrosor(TeclasDibujo::grosorTras(m_estilo.grosorActual(), efecto.valor));
    }
    if (m_estilo == antes) {
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
    // A new stroke draws on the same layer: the last one is given back first.
    devolverCaptura();
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
    m_abrirPaleta(this, m_estilo);
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
    QWidget* forma = nullptr;
    m_gestos.soltar([this, &forma](const Gesto& gesto) { forma = CrearVentana(gesto); },
                    Unidades::aTwips(QPointF(mapToGlobal(QPoint(0, 0)))));
    // The stroke and the preview stay until the shape that takes their place is on the screen:
    // given back at once, they would vanish for the milliseconds the shape takes to show.
    m_porDevolver = m_regionPrevia + m_trazado.region();
    m_trazado.vaciar();
    m_regionPrevia = QRegion();
    const quint64 soltada = ++m_soltadas;
    if (forma == nullptr) {
        devolverCaptura();
        return;
    }
    Plataforma::actual().trasMostrarse(forma, [yo = QPointer<FormFondo>(this), soltada] {
        if (yo && yo->m_soltadas == soltada) {
            yo->devolverCaptura();
        }
    });
}

void FormFondo::devolverCaptura() {
    if (m_porDevolver.isEmpty()) {
        return;
    }
    // Back to the saved capture. Only the stroke and the preview ever covered it, so only their
    // pixels are repainted: a full-screen repaint would cost a frame on every release.
    if (m_superficie) {
        m_superficie->borrarTrazos(m_porDevolver);
    }
    update(m_porDevolver);
    m_porDevolver = QRegion();
}

QWidget* FormFondo::CrearVentana(Gesto gesto) {
    const Herramientas::Fila& herramienta = Herramientas::de(gesto.estilo.herramienta);
    if (herramienta.opacidad < 100 && !m_suave && m_superficie) {
        // No compositor will blend it: the shape blends it with the frozen screen.
        gesto.fondo = m_superficie->imagenCaptura();
        gesto.origenFondo = Unidades::aTwips(QPointF(mapToGlobal(QPoint(0, 0))));
    }
    auto* ventana = new FormVentana(gesto); // places, sizes and draws itself here
    if (herramienta.efimera) {
        m_formas.agregarEfimera(ventana);
        Desvanecer(ventana, gesto.estilo.esperaLaser, gesto.estilo.desvanecerLaser);
        ventana->show();
        SiempreEncima(ventana, true, false);
        return ventana;
    }
    m_formas.agregar(ventana);
    ventana->setWindowTitle(QString::number(m_formas.cantidad()));
    ventana->show();
    // Only a text takes the keys, to be typed into; after any other shape they stay on the
    // canvas, for Esc and the tool keys.
    SiempreEncima(ventana, true, ventana->escribiendo());
    return ventana;
}

void FormFondo::pintarSegmento(const QLineF& segmento) {
    // Each segment goes into the stroke layer over the capture and only its own pixels are
    // repainted: the work per move does not grow with the stroke.
    if (!m_superficie) {
        return;
    }
    const int ancho = m_gestos.anchoPluma();
    const QLineF l = aPixeles(segmento);
    // Smooth edges reach a pixel further.
    const QRect zona = Contornos::caja(QRectF(l.p1(), l.p2()), ancho + (m_suave ? 2 : 0)) & rect();
    if (zona.isEmpty()) {
        return;
    }
    const int color = m_estilo.colorActual();
    const QPointF origen = Unidades::aTwips(QPointF(zona.topLeft()));
    if (m_suave) {
        // As the smooth shape will draw it: the segment with its blended edges, laid over.
        QImage marca = Lienzo::imagenSuave(zona.size(), devicePixelRatioF());
        {
            Lienzo lienzo(marca, origen, Unidades::twipsPorPixel(),
                          {ancho, color, false, 100, true});
            lienzo.segmento(segmento.p1(), segmento.p2());
        }
        m_superficie->trazarImagen(zona.topLeft(), marca);
    } else {
        // Drawn as the shape window will draw it, pixel for pixel: into a one-bit picture of the
        // segment's box, whose set pixels are laid in the stroke's colour over the capture.
        QImage marca = Lienzo::imagenTrazos(zona.size(), color);
        {
            Lienzo lienzo(marca, origen, Unidades::twipsPorPixel(), {ancho, color});
            lienzo.segmento(segmento.p1(), segmento.p2());
        }
        // The picture is the segment's box: its pixels lie inside it already.
        const QRegion pixeles = regionVisible(marca, ColorClave).translated(zona.topLeft());
        m_superficie->trazar(pixeles, Unidades::colorDesdeRGB(color));
    }
    m_trazado.marcar(zona);
    update(zona);
}
