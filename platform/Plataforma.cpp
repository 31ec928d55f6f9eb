#include "Plataforma.h"

#include "AvisoMostrada.h"
#include "IconoBandejaQt.h"
#include "SuperficieQt.h"

#include <QGuiApplication>
#include <QImage>
#include <QKeySequence>
#include <QPixmap>
#include <QRegion>
#include <QScreen>
#include <QWidget>

Plataforma::~Plataforma() = default;

void Plataforma::PrepararEntorno() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    // Every window here is new and painted about once (a canvas, a shape). With shared memory,
    // each one first gets a fresh segment that both sides must fault in, which costs more than
    // sending its pixels: on a virtual machine " Dibujar Fondo" took 59 ms with it, 20 without.
    if (qEnvironmentVariableIsEmpty("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
}

Plataforma& Plataforma::actual() {
    static const std::unique_ptr<Plataforma> backend = crear();
    return *backend;
}

void Plataforma::PonerForma(QWidget* ventana, const QRegion& forma) {
    ventana->setMask(forma);
}

Plataforma::Tecla Plataforma::AgarrarTecla(const QKeySequence& tecla, const QString&,
                                           std::function<void()>, TeclaRespondida) {
    return tecla.isEmpty() ? Tecla::Ninguna : Tecla::NoDisponible;
}

QList<QWidget*> Plataforma::OrdenApilado(const QList<QWidget*>& ventanas) {
    return ventanas;
}

bool Plataforma::TintaSuave() {
    return false;
}

bool Plataforma::PrepararTinta(QWidget*) {
    return false;
}

bool Plataforma::MostrarImagen(QWidget*, const QImage&) {
    return false;
}

bool Plataforma::RellenarConColor(QWidget*, const QColor&) {
    return false;
}

std::unique_ptr<Captura> Plataforma::CapturarPantalla(QScreen* pantalla) {
    // Window 0 is the whole screen; the size covers exactly the area the canvas covers.
    QPixmap pixmap = pantalla ? pantalla->grabWindow(0) : QPixmap();
    if (pixmap.isNull()) {
        return nullptr;
    }
    return std::make_unique<CapturaQt>(std::move(pixmap));
}

std::unique_ptr<Captura> Plataforma::SubirCaptura(const QImage& imagen) {
    if (imagen.isNull()) {
        return nullptr;
    }
    return std::make_unique<CapturaQt>(QPixmap::fromImage(imagen));
}

std::unique_ptr<QObject> Plataforma::PedirCapturas(const QList<QScreen*>& pantallas,
                                                   AlCapturar listo) {
    std::vector<CapturaPedida> capturas;
    for (QScreen* pantalla : pantallas) {
        CapturaPedida pedida;
        pedida.captura = CapturarPantalla(pantalla);
        if (!pedida.captura) {
            pedida.motivo = QStringLiteral("no se pudo leer la pantalla");
        }
        capturas.push_back(std::move(pedida));
    }
    listo(std::move(capturas));
    return nullptr;
}

std::unique_ptr<Superficie> Plataforma::CrearSuperficieEnVivo(QWidget* ventana) {
    // Qt paints it, with an alpha channel that stays clear wherever nothing is drawn.
    ventana->setAttribute(Qt::WA_TranslucentBackground);
    return std::make_unique<SuperficieQt>(ventana, nullptr, SuperficieQt::Fondo::Transparente);
}

std::unique_ptr<QObject> Plataforma::AgarrarTeclaMientras(const QKeySequence&,
                                                          std::function<void()>) {
    return nullptr;
}

bool Plataforma::HayBandeja() {
    return true; // Qt shows the icon wherever it can
}

void Plataforma::AlAparecerBandeja(std::function<void()>) {}

IconoBandeja* Plataforma::CrearIconoBandeja(const QIcon& icono, QMenu* menu, QObject* padre) {
    return new IconoBandejaQt(icono, menu, padre);
}

bool Plataforma::Notificar(const QString&, const QString&, bool) {
    return false;
}

std::unique_ptr<Superficie> Plataforma::CrearSuperficie(QWidget* ventana,
                                                        std::unique_ptr<Captura> captura) {
    // A capture this surface can't show (another backend's) leaves the canvas white.
    std::unique_ptr<CapturaQt> propia(dynamic_cast<CapturaQt*>(captura.get()));
    if (propia) {
        captura.release();
    }
    return std::make_unique<SuperficieQt>(ventana, std::move(propia));
}

void Plataforma::prepararVentana(QWidget* ventana, Papel papel) {
    // Tool windows: in no taskbar where the system honours that.
    constexpr Qt::WindowFlags Base = Qt::Tool | Qt::FramelessWindowHint;
    switch (papel) {
    case Papel::Forma:
    case Papel::Acerca:
        ventana->setWindowFlags(Base | Qt::WindowStaysOnTopHint);
        break;
    case Papel::Lienzo:
    case Papel::LienzoEnVivo:
    case Papel::Paleta:
        ventana->setWindowFlags(Base);
        break;
    case Papel::Menu:
        break;
    }
}

void Plataforma::trasMostrarse(QWidget* ventana, std::function<void()> hecho) {
    new AvisoMostrada(ventana, std::move(hecho));
}

void Plataforma::trasCerrarse(QWidget*, std::function<void()> hecho) {
    hecho();
}
