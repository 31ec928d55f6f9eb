#include "Plataforma.h"

#include <QGuiApplication>
#include <QKeySequence>
#include <QRegion>
#include <QWidget>
#include <memory>

#ifdef TIZO_X11
#include "PlataformaX11.h"
#endif

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

namespace {
std::unique_ptr<Plataforma> crear() {
#ifdef TIZO_X11
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        return std::make_unique<PlataformaX11>();
    }
#endif
    return std::make_unique<Plataforma>();
}
} // namespace

Plataforma& Plataforma::actual() {
    static const std::unique_ptr<Plataforma> backend = crear();
    return *backend;
}

void Plataforma::PonerForma(QWidget* ventana, const QRegion& forma) {
    ventana->setMask(forma);
}

Plataforma::Tecla Plataforma::AgarrarTecla(const QKeySequence& tecla, std::function<void()>) {
    return tecla.isEmpty() ? Tecla::Ninguna : Tecla::NoDisponible;
}

QList<QWidget*> Plataforma::OrdenApilado(const QList<QWidget*>& ventanas) {
    return ventanas;
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
    case Papel::Paleta:
        ventana->setWindowFlags(Base);
        break;
    case Papel::Menu:
        break;
    }
}

void Plataforma::trasCerrarse(QWidget*, std::function<void()> hecho) {
    hecho();
}
