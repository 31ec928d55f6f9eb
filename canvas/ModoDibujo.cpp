#include "ModoDibujo.h"

#include "FormFondo.h"
#include "FormTools.h"
#include "FormVentana.h"
#include "Monitores.h"
#include "Pantalla.h"
#include "RegistroFormas.h"
#include "VigiaPantallas.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QScreen>
#include <algorithm>

ModoDibujo::ModoDibujo(RegistroFormas& formas, Estilo& estilo, QObject* padre)
    : QObject(padre), m_formas(formas), m_estilo(estilo) {
    // Keys a shape let go (Delete, an undo) come back to the canvas that had them: Esc, undo
    // and redo keep working.
    connect(&m_formas, &RegistroFormas::teclasLibres, this, [this] {
        if (m_activo && m_activo->isVisible()) {
            m_activo->activateWindow();
        }
    });
    connect(&m_formas, &RegistroFormas::agregada, this, [this](QWidget* ventana) {
        if (auto* forma = qobject_cast<FormVentana*>(ventana)) {
            connect(forma, &FormVentana::escrituraCambiada, this,
                    [this, forma] { escrituraCambiada(forma); });
            escrituraCambiada(forma);
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
    QCoreApplication::instance()->removeEventFilter(this);
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
            agregar(new FormFondo(m_formas, m_estilo, FormFondo::EnVivo{}, pantalla));
        } else {
            if (!pedida.captura) {
                qWarning("tizo: %s", qPrintable(pedida.motivo));
            }
            agregar(new FormFondo(m_formas, m_estilo, std::move(pedida.captura), pantalla));
        }
    }
    if (m_lienzos.isEmpty()) {
        agregar(new FormFondo(m_formas, m_estilo, std::unique_ptr<Captura>())); // no screen: white
    }
    const int bajoElPuntero = Monitores::deUnPunto(Pantalla::monitores(), QCursor::pos());
    m_activo = m_lienzos.value(std::max(bajoElPuntero, 0), m_lienzos.first());
    for (const QPointer<FormFondo>& lienzo : m_lienzos) {
        if (lienzo != m_activo) {
            lienzo->mostrar(false);
        }
    }
    m_activo->mostrar(true);
    // Keys on any of the program's windows come through here while drawing.
    QCoreApplication::instance()->installEventFilter(this);
    if (!motivoEnVivo.isEmpty()) {
        emit enVivo(motivoEnVivo);
    }
}

void ModoDibujo::agregar(FormFondo* lienzo) {
    m_lienzos.append(lienzo);
    connect(lienzo, &FormFondo::activado, this, [this, lienzo] { m_activo = lienzo; });
    connect(lienzo, &FormFondo::paletaCerrada, this,
            [this, lienzo] { ajustesCambiadosEn(lienzo); });
    connect(lienzo, &FormFondo::ajustesCambiados, this,
            [this, lienzo] { ajustesCambiadosEn(lienzo); });
    connect(lienzo, &FormFondo::cerrado, this, [this, lienzo] { lienzoCerrado(lienzo); });
    emit lienzoCreado(lienzo);
}

void ModoDibujo::lienzoCerrado(FormFondo* lienzo) {
    salir();
    const bool otroAbierto = std::any_of(m_lienzos.begin(), m_lienzos.end(), [lienzo](auto& l) {
        return l && l != lienzo && l->isVisible();
    });
    if (!otroAbierto) {
        QCoreApplication::instance()->removeEventFilter(this);
        // Fading ink points at the frozen screen, and goes with it: left on the live desktop it
        // would be frozen into the next capture, and stay on that canvas after it faded.
        m_formas.terminarEfimeras();
    }
}

void ModoDibujo::ajustesCambiadosEn(FormFondo* lienzo) {
    for (FormFondo* otro : lienzos()) {
        if (otro != lienzo) {
            otro->tomarAjustes();
        }
    }
    emit ajustesCambiados();
}

void ModoDibujo::escrituraCambiada(FormVentana* forma) {
    if (forma->escribiendo()) {
        m_escribiendo = forma;
        return;
    }
    // Finished, it may go on holding the keys: those that reach it go to drawing all the same,
    // so nothing needs to move the focus.
    if (m_escribiendo == forma) {
        m_escribiendo = nullptr;
    }
}

FormFondo* ModoDibujo::lienzoBajoElPuntero() const {
    const QScreen* pantalla = QGuiApplication::screenAt(QCursor::pos());
    for (FormFondo* lienzo : lienzos()) {
        if (lienzo->pantalla() == pantalla) {
            return lienzo;
        }
    }
    return nullptr;
}

bool ModoDibujo::reenviar(QEvent* evento, QWidget* destino) {
    if (destino == nullptr) {
        return false;
    }
    if (auto* lienzo = qobject_cast<FormFondo*>(destino)) {
        m_activo = lienzo; // the canvas that has the keys, for saving and copying its screen
    }
    const std::unique_ptr<QEvent> copia(evento->clone());
    m_reenviando = true;
    QCoreApplication::sendEvent(destino, copia.get());
    m_reenviando = false;
    return true;
}

bool ModoDibujo::eventFilter(QObject* objeto, QEvent* evento) {
    const QEvent::Type tipo = evento->type();
    if ((tipo != QEvent::KeyPress && tipo != QEvent::MouseButtonPress && tipo != QEvent::Wheel) ||
        m_reenviando || !objeto->isWidgetType()) {
        return false;
    }
    QWidget* ventana = static_cast<QWidget*>(objeto)->window();
    auto* forma = qobject_cast<FormVentana*>(ventana);
    if (tipo == QEvent::MouseButtonPress) {
        // A click anywhere else finishes the text being typed, as Enter does.
        if (m_escribiendo && m_escribiendo != ventana) {
            m_escribiendo->terminarTexto();
        }
        return false;
    }
    if (tipo == QEvent::Wheel) {
        return forma != nullptr && reenviar(evento, lienzoBajoElPuntero());
    }
    const int tecla = static_cast<QKeyEvent*>(evento)->key();
    auto* lienzo = qobject_cast<FormFondo*>(ventana);
    const bool lienzoPropio = lienzo != nullptr && m_lienzos.contains(lienzo);
    if (m_escribiendo && (forma != nullptr || lienzoPropio)) {
        // The text being typed keeps the keys, wherever the windowing system delivers them,
        // until Enter, Esc or a click elsewhere finishes it.
        if (tecla == Qt::Key_Escape) {
            m_escribiendo->terminarTexto();
            salir();
            return true;
        }
        return ventana != m_escribiendo && reenviar(evento, m_escribiendo);
    }
    if (forma != nullptr) {
        // Delete is the shape's own; every other key is for drawing.
        return tecla != Qt::Key_Delete && reenviar(evento, lienzoBajoElPuntero());
    }
    if (qobject_cast<FormTools*>(ventana) != nullptr) {
        if (tecla != Qt::Key_Escape) {
            return false;
        }
        salir();
        return true;
    }
    if (!lienzoPropio) {
        return false;
    }
    FormFondo* bajoElPuntero = lienzoBajoElPuntero();
    if (bajoElPuntero != nullptr && bajoElPuntero != lienzo) {
        return reenviar(evento, bajoElPuntero);
    }
    m_activo = lienzo;
    return false;
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
