#include "MenuDBus.h"

#include <QAction>
#include <QActionEvent>
#include <QActionGroup>
#include <QBuffer>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QSet>
#include <QTimer>
#include <utility>

const QString MenuDBus::Ruta = QStringLiteral("/MenuBar");

namespace {
// The size of the item pictures a tray is given: the menu's own (13 x 13) fits in it.
constexpr int LadoImagen = 16;

QByteArray png(const QIcon& icono) {
    const QPixmap pixmap = icono.pixmap(QSize(LadoImagen, LadoImagen));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    pixmap.toImage().save(&buffer, "PNG");
    return bytes;
}

QVariantMap soloEstas(const QVariantMap& propiedades, const QStringList& nombres) {
    if (nombres.isEmpty()) {
        return propiedades;
    }
    QVariantMap elegidas;
    for (const QString& nombre : nombres) {
        if (const auto p = propiedades.constFind(nombre); p != propiedades.cend()) {
            elegidas.insert(nombre, *p);
        }
    }
    return elegidas;
}
} // namespace

MenuDBus::MenuDBus(QMenu* menu, QObject* padre) : QObject(padre), m_menu(menu) {
    registrarTiposDBusBandeja();
    if (menu != nullptr) {
        vigilar(menu);
    }
}

bool MenuDBus::exportar(QDBusConnection conexion) {
    retirar();
    m_conexion = std::move(conexion);
    m_exportado = m_conexion.registerObject(Ruta, this,
                                            QDBusConnection::ExportScriptableSlots |
                                                QDBusConnection::ExportScriptableSignals |
                                                QDBusConnection::ExportAllProperties);
    return m_exportado;
}

void MenuDBus::retirar() {
    if (m_exportado) {
        m_conexion.unregisterObject(Ruta);
        m_exportado = false;
    }
}

QString MenuDBus::TextDirection() const {
    return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl")
                                                                 : QStringLiteral("ltr");
}

QString MenuDBus::etiqueta(const QString& texto) {
    QString resultado;
    resultado.reserve(texto.size());
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (c == QLatin1Char('&')) {
            if (i + 1 < texto.size()) {
                const QChar siguiente = texto.at(++i);
                resultado += siguiente == QLatin1Char('&') ? QString(siguiente)
                                                           : QLatin1Char('_') + siguiente;
            }
        } else if (c == QLatin1Char('_')) {
            resultado += QStringLiteral("__");
        } else {
            resultado += c;
        }
    }
    return resultado;
}

QVariantMap MenuDBus::propiedadesDe(const QAction* accion) {
    QVariantMap p;
    if (accion->isSeparator()) {
        p.insert(QStringLiteral("type"), QStringLiteral("separator"));
    } else {
        p.insert(QStringLiteral("label"), etiqueta(accion->text()));
        if (!accion->icon().isNull()) {
            p.insert(QStringLiteral("icon-data"), png(accion->icon()));
        }
        if (accion->isCheckable()) {
            const QActionGroup* grupo = accion->actionGroup();
            const bool radio =
                grupo != nullptr && grupo->exclusionPolicy() != QActionGroup::ExclusionPolicy::None;
            p.insert(QStringLiteral("toggle-type"),
                     radio ? QStringLiteral("radio") : QStringLiteral("checkmark"));
            p.insert(QStringLiteral("toggle-state"), accion->isChecked() ? 1 : 0);
        }
        if (accion->menu() != nullptr) {
            p.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
        }
    }
    if (!accion->isEnabled() && accion->isVisible()) { // Qt disables what it hides
        p.insert(QStringLiteral("enabled"), false);
    }
    if (!accion->isVisible()) {
        p.insert(QStringLiteral("visible"), false);
    }
    return p;
}

int MenuDBus::registrar(QAction* accion) {
    int& id = m_ids[accion];
    if (id == 0) {
        id = m_siguiente++;
        m_acciones.insert(id, accion);
        connect(accion, &QObject::destroyed, this, [this, accion, id] {
            m_ids.remove(accion);
            m_acciones.remove(id);
        });
        if (QMenu* submenu = accion->menu()) {
            vigilar(submenu);
        }
    }
    return id;
}

void MenuDBus::vigilar(QMenu* menu) {
    menu->installEventFilter(this);
    for (QAction* accion : menu->actions()) {
        registrar(accion);
    }
}

QMenu* MenuDBus::menuDe(int id) const {
    if (id == 0) {
        return m_menu;
    }
    const QAction* accion = m_acciones.value(id);
    return accion != nullptr ? accion->menu() : nullptr;
}

ElementoMenuDBus MenuDBus::elemento(int id, int nivel, const QStringList& nombres) {
    ElementoMenuDBus e;
    e.id = id;
    if (id == 0) {
        e.propiedades =
            soloEstas({{QStringLiteral("children-display"), QStringLiteral("submenu")}}, nombres);
    } else if (const QAction* accion = m_acciones.value(id)) {
        e.propiedades = soloEstas(propiedadesDe(accion), nombres);
    }
    if (nivel == 0) {
        return e;
    }
    if (QMenu* menu = menuDe(id)) {
        for (QAction* accion : menu->actions()) {
            e.hijos.append(elemento(registrar(accion), nivel < 0 ? -1 : nivel - 1, nombres));
        }
    }
    return e;
}

uint MenuDBus::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                         ElementoMenuDBus& layout) {
    layout = elemento(parentId, recursionDepth, propertyNames);
    return m_revision;
}

ListaPropiedadesMenuDBus MenuDBus::GetGroupProperties(const QList<int>& ids,
                                                      const QStringList& propertyNames) {
    ListaPropiedadesMenuDBus lista;
    for (const int id : ids) {
        if (id == 0 || m_acciones.value(id) != nullptr) {
            lista.append({id, elemento(id, 0, propertyNames).propiedades});
        }
    }
    return lista;
}

QDBusVariant MenuDBus::GetProperty(int id, const QString& name) {
    return QDBusVariant(elemento(id, 0, {name}).propiedades.value(name));
}

void MenuDBus::Event(int id, const QString& eventId, const QDBusVariant&, uint) {
    if (eventId != QLatin1String("clicked")) {
        return; // "hovered", "opened", "closed": nothing to do
    }
    QPointer<QAction> accion = m_acciones.value(id);
    if (accion == nullptr || !accion->isEnabled() || accion->isSeparator() ||
        accion->menu() != nullptr) {
        return;
    }
    // After the reply: the command may run a modal loop (the about box).
    QTimer::singleShot(0, this, [accion] {
        if (accion) {
            accion->trigger();
        }
    });
}

QList<int> MenuDBus::EventGroup(const ListaEventosMenuDBus& events) {
    QList<int> desconocidos;
    for (const EventoMenuDBus& e : events) {
        if (e.id != 0 && m_acciones.value(e.id) == nullptr) {
            desconocidos.append(e.id);
        } else {
            Event(e.id, e.evento, e.datos, e.tiempo);
        }
    }
    return desconocidos;
}

bool MenuDBus::AboutToShow(int) {
    return false; // the layout is always up to date
}

QList<int> MenuDBus::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
    for (const int id : ids) {
        if (id != 0 && m_acciones.value(id) == nullptr) {
            idErrors.append(id);
        }
    }
    return {};
}

bool MenuDBus::eventFilter(QObject* objeto, QEvent* evento) {
    switch (evento->type()) {
    case QEvent::ActionAdded:
        registrar(static_cast<QActionEvent*>(evento)->action());
        cambio(0);
        break;
    case QEvent::ActionRemoved:
        cambio(0);
        break;
    case QEvent::ActionChanged:
        cambio(m_ids.value(static_cast<QActionEvent*>(evento)->action()));
        break;
    default:
        break;
    }
    return QObject::eventFilter(objeto, evento);
}

void MenuDBus::cambio(int id) {
    // Announced once for all the changes of one pass of the event loop: the items' new
    // properties, or the whole layout when items came or went.
    const bool yaPendiente = m_cambioDeLaDisposicion || !m_cambiados.isEmpty();
    if (id == 0) {
        m_cambioDeLaDisposicion = true;
    } else {
        m_cambiados.insert(id);
    }
    if (yaPendiente) {
        return;
    }
    QTimer::singleShot(0, this, [this] {
        const QSet<int> cambiados = std::exchange(m_cambiados, {});
        if (std::exchange(m_cambioDeLaDisposicion, false)) {
            emit LayoutUpdated(++m_revision, 0);
            return;
        }
        static const QStringList Opcionales{
            QStringLiteral("type"),         QStringLiteral("label"),
            QStringLiteral("icon-data"),    QStringLiteral("enabled"),
            QStringLiteral("visible"),      QStringLiteral("toggle-type"),
            QStringLiteral("toggle-state"), QStringLiteral("children-display")};
        ListaPropiedadesMenuDBus nuevas;
        ListaQuitadasMenuDBus quitadas;
        for (const int id : cambiados) {
            const QAction* accion = m_acciones.value(id);
            if (accion == nullptr) {
                continue;
            }
            const QVariantMap propiedades = propiedadesDe(accion);
            nuevas.append({id, propiedades});
            QuitadasMenuDBus q{id, {}};
            for (const QString& nombre : Opcionales) {
                if (!propiedades.contains(nombre)) {
                    q.nombres.append(nombre);
                }
            }
            quitadas.append(q);
        }
        emit ItemsPropertiesUpdated(nuevas, quitadas);
    });
}
