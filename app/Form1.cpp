#include "Form1.h"

#include "Atajos.h"
#include "Dibujos.h"
#include "FormAcercade.h"
#include "FormFondo.h"
#include "GuardarImagen.h"
#include "ModoDibujo.h"
#include "Pantalla.h"
#include "Plataforma.h"
#include "ServidorOrdenes.h"
#include "VigiaPantallas.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QImage>
#include <QKeySequence>
#include <QMenu>

Form1::Form1(const QString& rutaAjustes, const QString& rutaSocket, QObject* padre)
    : QObject(padre), m_rutaAjustes(rutaAjustes),
      m_dibujo(std::make_unique<ModoDibujo>(m_formas, m_ajustes.estilo)),
      m_atajos(new Atajos([this](Orden orden) { return ejecutar(orden); }, this)) {
    for (const QString& aviso : m_ajustes.cargar(m_rutaAjustes).avisos) {
        qWarning("tizo: %s", qPrintable(aviso));
    }
    connect(&m_formas, &RegistroFormas::agregada, this,
            [this](QWidget* ventana) { ventana->installEventFilter(m_atajos); });
    connect(m_dibujo.get(), &ModoDibujo::lienzoCreado, this,
            [this](FormFondo* lienzo) { lienzo->installEventFilter(m_atajos); });
    connect(m_dibujo.get(), &ModoDibujo::ajustesCambiados, this, &Form1::guardarAjustes);
    connect(m_dibujo.get(), &ModoDibujo::enVivo, this, [this](const QString& motivo) {
        if (m_avisadoEnVivo) {
            return; // said once
        }
        m_avisadoEnVivo = true;
        qWarning("%s", qPrintable(tr("tizo: no se pudo congelar la pantalla (%1); se dibuja "
                                     "sobre el escritorio en vivo")
                                      .arg(motivo)));
        avisar(tr("No se pudo congelar la pantalla: se dibuja sobre el escritorio en vivo."),
               IconoBandeja::Tipo::Informacion, EnStderr::YaDicho);
    });
    // Shapes left on a monitor that went are brought onto one that is there, once the monitors
    // have settled (a change comes in several steps).
    connect(new VigiaPantallas(this), &VigiaPantallas::cambio, this, [this] {
        if (!m_rescatePendiente) {
            m_rescatePendiente = true;
            QMetaObject::invokeMethod(this, &Form1::rescatarFormas, Qt::QueuedConnection);
        }
    });
    if (!rutaSocket.isEmpty()) {
        escucharOrdenes(rutaSocket);
    }
    CrearMenu();
    const bool conTecla = AgarrarTecla();
    // The icon is made once there is a tray to take it, of the kind that tray takes (over D-Bus
    // or XEmbed).
    if (Plataforma::actual().HayBandeja()) {
        CrearIconoBandeja();
    } else {
        avisarSinBandeja(conTecla);
        Plataforma::actual().AlAparecerBandeja([this] { CrearIconoBandeja(); });
    }
}

Form1::~Form1() {
    guardarAjustes();
    // Shape windows and the canvases go before the list that counts them.
    m_dibujo.reset();
    m_formas.destruirTodo();
}

void Form1::CrearMenu() {
    using Dibujos::ImagenMenu;
    m_XMenu = std::make_unique<QMenu>();
    Plataforma::actual().prepararVentana(m_XMenu.get(), Papel::Menu);
    auto agregar = [this](ImagenMenu imagen, const QString& texto, void (Form1::*orden)()) {
        QAction* accion = m_XMenu->addAction(Dibujos::imagenMenu(imagen), texto);
        connect(accion, &QAction::triggered, this, orden);
    };
    agregar(ImagenMenu::Logo, QStringLiteral(" Tizo"), &Form1::acercaDe);
    agregar(ImagenMenu::Gota, tr(" Dibujar Fondo"), &Form1::dibujarFondo);
    agregar(ImagenMenu::Borrar, tr(" Borrar Todo"), &Form1::borrarTodo);
    m_XMenu->addSeparator();
    agregar(ImagenMenu::Hoja, tr(" Mostrar / Ocultar"), &Form1::mostrarOcultar);
    m_XMenu->addSeparator();
    agregar(ImagenMenu::Salir, tr(" Salir"), &Form1::salir);
}

void Form1::CrearIconoBandeja() {
    m_IconoBandeja =
        Plataforma::actual().CrearIconoBandeja(Dibujos::iconoPrograma(), m_XMenu.get(), this);
    if (m_IconoBandeja == nullptr) {
        // The tray went between the question and the icon: the icon waits for the next one.
        Plataforma::actual().AlAparecerBandeja([this] { CrearIconoBandeja(); });
        return;
    }
    m_IconoBandeja->ponerTip(m_tip);
    // The menu opens when the left or the right button is released over the icon, never on a
    // press alone, where the tray says (or the windowing system); the middle button does
    // nothing. A tray that shows the menu itself reports no right button.
    connect(m_IconoBandeja, &IconoBandeja::clic, this, &Form1::clicEnBandeja);
    // Last: once the icon shows, every way in works, the key included.
    m_IconoBandeja->mostrar();
}

void Form1::clicEnBandeja(Qt::MouseButton boton, QPoint donde) {
    if (boton == Qt::LeftButton || boton == Qt::RightButton) {
        m_XMenu->popup(donde);
    }
}

void Form1::avisarSinBandeja(bool conTecla) {
    const QString tecla = QKeySequence::fromString(m_ajustes.tecla, QKeySequence::PortableText)
                              .toString(QKeySequence::NativeText);
    const QString teclaTexto =
        conTecla && !tecla.isEmpty() ? tr(", la tecla %1").arg(tecla) : QString();
    qWarning("%s", qPrintable(tr("tizo: no hay bandeja del sistema donde poner el icono; Tizo "
                                 "sigue en marcha. Para dibujar: tizo --draw%1 o la acción "
                                 "«Dibujar» de Tizo en el menú de aplicaciones (tizo --help da "
                                 "las demás órdenes). El icono aparecerá en cuanto haya una "
                                 "bandeja.")
                                  .arg(teclaTexto)));
}

bool Form1::AgarrarTecla() {
    const QKeySequence tecla =
        QKeySequence::fromString(m_ajustes.tecla, QKeySequence::PortableText);
    const QString nombre = tecla.toString(QKeySequence::NativeText);
    auto respondida = [nombre](Plataforma::Tecla dicho, const QString& motivo) {
        if (dicho != Plataforma::Tecla::SoloConFoco) {
            return;
        }
        const QString porque =
            motivo.isEmpty() ? QString() : tr(" (atajo del escritorio: %1)").arg(motivo);
        qWarning("%s", qPrintable(tr("tizo: en Wayland, la tecla %1 solo llega a Tizo cuando una "
                                     "de sus ventanas tiene el foco%2; para usarla en todo el "
                                     "escritorio, asígnela a la orden «tizo --draw» en los atajos "
                                     "de teclado del escritorio")
                                      .arg(nombre, porque)));
    };
    switch (Plataforma::actual().AgarrarTecla(
        tecla, tr("Entrar o salir del modo de dibujo"), [this] { alternarDibujo(); }, respondida)) {
    case Plataforma::Tecla::Agarrada:
    case Plataforma::Tecla::Pedida:
        return true;
    case Plataforma::Tecla::Ninguna:
    case Plataforma::Tecla::SoloConFoco:
        break;
    case Plataforma::Tecla::NoDisponible:
        qWarning("%s", qPrintable(tr("tizo: la tecla %1 no está disponible en este sistema; "
                                     "el menú y tizo --draw siguen funcionando")
                                      .arg(nombre)));
        break;
    case Plataforma::Tecla::Ocupada:
        qWarning("%s", qPrintable(tr("tizo: la tecla %1 la usa otro programa; "
                                     "el menú y tizo --draw siguen funcionando")
                                      .arg(nombre)));
        m_tip = tr("Tizo (%1 no disponible: la usa otro programa)").arg(nombre);
        break;
    }
    return false;
}

bool Form1::escucharOrdenes(const QString& ruta) {
    if (m_servidor == nullptr) {
        m_servidor = new ServidorOrdenes([this](Orden orden) { ejecutar(orden); }, this);
    }
    return m_servidor->escuchar(ruta);
}

FormFondo* Form1::fondo() const {
    return m_dibujo->activo();
}

bool Form1::dibujando() const {
    return m_dibujo->abierto();
}

void Form1::acercaDe() {
    FormAcercade acerca;
    acerca.exec();
}

void Form1::dibujarFondo() {
    // The capture must not hold the menu this command may come from: the screen is captured
    // once it shows what lay beneath.
    Plataforma::actual().trasCerrarse(m_XMenu.get(), [yo = QPointer<Form1>(this)] {
        if (yo) {
            yo->abrirLienzo();
        }
    });
}

void Form1::abrirLienzo() {
    m_dibujo->abrir(); // captures every monitor before any canvas shows
}

void Form1::rescatarFormas() {
    m_rescatePendiente = false;
    m_formas.rescatar(Pantalla::monitores());
}

void Form1::avisar(const QString& texto, IconoBandeja::Tipo tipo, EnStderr enStderr) {
    const QString titulo = QStringLiteral("Tizo");
    if (m_IconoBandeja != nullptr &&
        (m_IconoBandeja->avisar(titulo, texto, tipo) ||
         Plataforma::actual().Notificar(titulo, texto, tipo == IconoBandeja::Tipo::Aviso))) {
        return;
    }
    if (enStderr == EnStderr::Decir) {
        qWarning("tizo: %s", qPrintable(texto));
    }
}

void Form1::alternarDibujo() {
    if (dibujando()) {
        m_dibujo->salir();
    } else {
        dibujarFondo(); // while the screens' pictures are awaited, gives up
    }
}

void Form1::borrarTodo() {
    m_formas.borrarTodo();
}

void Form1::mostrarOcultar() {
    m_formas.mostrarOcultar();
}

void Form1::salir() {
    if (m_IconoBandeja != nullptr) {
        m_IconoBandeja->ocultar();
    }
    // Not quit(): it would first ask every window to close, and a shape window turns a close
    // into a deletion that can be undone, which would keep the program running.
    QCoreApplication::exit(0);
}

void Form1::deshacer() {
    m_formas.deshacer();
}

void Form1::rehacer() {
    m_formas.rehacer();
}

void Form1::guardarImagen() {
    if (!dibujando()) {
        return;
    }
    const GuardarImagen::Resultado resultado =
        GuardarImagen::guardarPng(fondo()->pantallaAnotada(), GuardarImagen::carpetaPorDefecto(),
                                  QDateTime::currentDateTime());
    if (resultado.error.isEmpty()) {
        avisar(tr("Imagen guardada en %1").arg(resultado.ruta));
    } else {
        qWarning("%s",
                 qPrintable(tr("tizo: no se pudo guardar la imagen: %1").arg(resultado.error)));
        avisar(tr("No se pudo guardar la imagen: %1").arg(resultado.error),
               IconoBandeja::Tipo::Aviso, EnStderr::YaDicho);
    }
}

void Form1::copiarImagen() {
    if (!dibujando()) {
        return;
    }
    QGuiApplication::clipboard()->setImage(fondo()->pantallaAnotada());
    avisar(tr("Imagen copiada al portapapeles"));
}

bool Form1::ejecutar(Orden orden) {
    switch (orden) {
    case Orden::Dibujar:
        alternarDibujo();
        break;
    case Orden::BorrarTodo:
        borrarTodo();
        break;
    case Orden::MostrarOcultar:
        mostrarOcultar();
        break;
    case Orden::Salir:
        salir();
        break;
    case Orden::Deshacer:
        deshacer();
        break;
    case Orden::Rehacer:
        rehacer();
        break;
    case Orden::Guardar:
        if (!dibujando()) {
            return false;
        }
        guardarImagen();
        break;
    case Orden::Copiar:
        if (!dibujando()) {
            return false;
        }
        copiarImagen();
        break;
    }
    return true;
}

void Form1::guardarAjustes() {
    if (const QString error = m_ajustes.guardar(m_rutaAjustes); !error.isEmpty()) {
        qWarning("tizo: %s", qPrintable(error));
    }
}
