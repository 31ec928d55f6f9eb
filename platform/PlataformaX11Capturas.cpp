#include "PlataformaX11.h"

#include "CapturaX11.h"
#include "SuperficieX11.h"

#include <QImage>
#include <QScreen>
#include <utility>

std::unique_ptr<Captura> PlataformaX11::CapturarPantalla(QScreen* pantalla) {
    _XDisplay* x = ServidorX::conexion();
    if (x == nullptr || pantalla == nullptr || !SuperficieX11::disponible(x)) {
        return Plataforma::CapturarPantalla(pantalla);
    }
    return CapturaX11::deRaiz(x, areaEnServidor(pantalla));
}

std::unique_ptr<Captura> PlataformaX11::SubirCaptura(const QImage& imagen) {
    _XDisplay* x = ServidorX::conexion();
    if (x == nullptr || !SuperficieX11::disponible(x)) {
        return Plataforma::SubirCaptura(imagen);
    }
    return CapturaX11::subir(x, imagen);
}

std::unique_ptr<Superficie> PlataformaX11::CrearSuperficie(QWidget* ventana,
                                                           std::unique_ptr<Captura> captura) {
    _XDisplay* x = ServidorX::conexion();
    auto* propia = dynamic_cast<CapturaX11*>(captura.get());
    if (x == nullptr || !SuperficieX11::disponible(x) || (captura && propia == nullptr)) {
        return Plataforma::CrearSuperficie(ventana, std::move(captura));
    }
    captura.release();
    return std::make_unique<SuperficieX11>(x, m_formatos, ventana,
                                           std::unique_ptr<CapturaX11>(propia));
}
