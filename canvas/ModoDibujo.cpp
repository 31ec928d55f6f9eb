#include "ModoDibujo.h"

#include "FormFondo.h"
#include "Monitores.h"
#include "Pantalla.h"
#include "RegistroFormas.h"
#include "VigiaPantallas.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <algorithm>

ModoDibujo::ModoDibujo(RegistroFormas& formas, QObject* padre) : QObject(padre), m_formas(formas) {
    // Keys a shape let go (Delete, an undo) come back to the canvas that had them: Esc, undo
    // and redo keep working.
    connect(&m_formas, &RegistroFormas::teclasLibres, this, [this] {
        if (m_activo && m_activo->isVisible()) {
            m_activo->activateWindow();
        }
    });
    // A canvas is the size of its monitor and shows what that monitor showed: once monitors
    // change, no canvas fits any more.
    connect(new VigiaPantallas(this), &VigiaPantallas::cambio, this, [this] {
        cancelarEspera();
        if (abierto()) {
            salir();
        }
    });
}

ModoDibujo::~ModoDibujo() {
    m_saliendo = true;
    for (const QPointer<FormFondo>& lienzo : m_lienzos) {
        delete lienzo.data();
    }
}

bool ModoDibujo::abierto() const {
    return std::any_of(m_lienzos.begin(), m_lienzos.end(),
                       [](const QPointer<FormFondo>& l) { return l && l->isVisible(); });
}

QList<FormFondo*> ModoDibujo::lienzos() const {
    QList<FormFondo*> lista;
    for (const QPointer<FormFondo>& lienzo : m_lienzos) {
        if (lienzo && lienzo->isVisible()) {
            lista.append(lienzo);
        }
    }
    return lista;
}

FormFondo* ModoDibujo::activo() const {
    if (m_activo && m_activo->isVisible()) {
        return m_activo;
    }
    const QList<FormFondo*> abiertos = lienzos();
    return abiertos.isEmpty() ? nullptr : abiertos.first();
}

void ModoDibujo::abrir() {
    if (abierto()) {
        for (FormFondo* lienzo : lienzos()) {
            lienzo->mostrar(lienzo == activo());
        }
        return;
    }
    if (m_pedido) {
        cancelarEspera(); // asked again while waiting: the user changed their mind
        return;
    }
    // Canvases that have just closed wait for their deletion; they never come back.
    m_lienzos.clear();
    const QList<QScreen*> pantallas = QGuiApplication::screens();
    QList<QPointer<QScreen>> vigiladas(pantallas.begin(), pantallas.end());
    // Every monitor is captured before any canvas shows, so that none shows in a capture.
    m_pedido = Plataforma::actual().PedirCapturas(
        pantallas, [this, vigiladas](std::vector<Plataforma::CapturaPedida> capturas) {
            capturasListas(vigiladas, std::move(capturas));
        });
    if (m_pedido) {
        m_escEspera = Plataforma::actual().AgarrarTeclaMientras(QKeySequence(Qt::Key_Escape),
                                                                [this] { cancelarEspera(); });
    }
}

namespace {
// From inside its own callback an object may only be let go of later.
void soltarLuego(std::unique_ptr<QObject>& objeto) {
    if (objeto) {
        objeto.release()->deleteLater();
    }
}
} // namespace

void ModoDibujo::cancelarEspera() {
    // Deleting the request cancels it: its answer never comes.
    soltarLuego(m_pedido);
    soltarLuego(m_escEspera);
}

void ModoDibujo::capturasListas(const QList<QPointer<QScreen>>& pantallas,
                                std::vector<Plataforma::CapturaPedida> capturas) {
    cancelarEspera(); // the wait is over
    QString motivoEnVivo;
    for (std::size_t i = 0; i < capturas.size() && i < std::size_t(pantallas.size()); ++i) {
        QScreen* pantalla = pantallas[qsizetype(i)];
        if (pantalla == nullptr) {
            continue; // gone meanwhile
        }
        Plataforma::CapturaPedida& pedida = capturas[i];
        if (pedida.enVivo) {
            motivoEnVivo = pedida.motivo;
            agregar(new FormFondo(m_formas, FormFondo::EnVivo{}, pantalla));
        } else {
            if (!pedida.captura) {
                qWarning("tizo: %s", qPrintable(pedida.motivo));
            }
            agregar(new FormFondo(m_formas, std::move(pedida.captura), pantalla));
        }
    }
    if (m_lienzos.isEmpty()) {
        agregar(new FormFondo(m_formas, std::unique_ptr<Captura>())); // no screen: white
    }
    const int bajoElPuntero = Monitores::deUnPunto(Pantalla::monitores(), QCursor::pos());
    m_activo = m_lienzos.value(std::max(bajoElPuntero, 0), m_lienzos.first());
    for (const QPointer<FormFondo>& lienzo : m_lienzos) {
        if (lienzo != m_activo) {
            lienzo->mostrar(false);
        }
    }
    m_activo->mostrar(true);
    if (!motivoEnVivo.isEmpty()) {
        emit enVivo(motivoEnVivo);
    }
}

void ModoDibujo::agregar(FormFondo* lienzo) {
    m_lienzos.append(lienzo);
    connect(lienzo, &FormFondo::activado, this, [this, lienzo] { m_activo = lienzo; });
    connect(lienzo, &FormFondo::paletaCerrada, this, [this, lienzo] { paletaCerradaEn(lienzo); });
    connect(lienzo, &FormFondo::cerrado, this, &ModoDibujo::salir);
    emit lienzoCreado(lienzo);
}

void ModoDibujo::paletaCerradaEn(FormFondo* lienzo) {
    for (FormFondo* otro : lienzos()) {
        if (otro != lienzo) {
            otro->tomarAjustes();
        }
    }
    emit paletaCerrada();
}

void ModoDibujo::salir() {
    if (m_saliendo) {
        return;
    }
    m_saliendo = true;
    for (const QPointer<FormFondo>& lienzo : m_lienzos) {
        if (lienzo && lienzo->isVisible()) {
            lienzo->salir();
        }
    }
    m_saliendo = false;
}
