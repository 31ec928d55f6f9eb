#include "TiposDBusBandeja.h"

#include <QDBusMetaType>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QtEndian>

ListaPixmapsSni pixmapsSni(const QIcon& icono, const QList<int>& lados) {
    ListaPixmapsSni lista;
    for (const int lado : lados) {
        QImage imagen = icono.pixmap(QSize(lado, lado)).toImage();
        if (imagen.isNull()) {
            continue;
        }
        if (imagen.size() != QSize(lado, lado)) {
            imagen = imagen.scaled(lado, lado, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        }
        imagen = imagen.convertToFormat(QImage::Format_ARGB32);
        PixmapSni pixmap;
        pixmap.ancho = imagen.width();
        pixmap.alto = imagen.height();
        pixmap.datos.resize(qsizetype(pixmap.ancho) * pixmap.alto * 4);
        auto* destino = reinterpret_cast<quint32*>(pixmap.datos.data());
        for (int y = 0; y < imagen.height(); ++y) {
            const auto* fila = reinterpret_cast<const quint32*>(imagen.constScanLine(y));
            for (int x = 0; x < imagen.width(); ++x) {
                *destino++ = qToBigEndian(fila[x]);
            }
        }
        lista.append(pixmap);
    }
    return lista;
}

QDBusArgument& operator<<(QDBusArgument& a, const PixmapSni& p) {
    a.beginStructure();
    a << p.ancho << p.alto << p.datos;
    a.endStructure();
    return a;
}

const QDBusArgument& operator>>(const QDBusArgument& a, PixmapSni& p) {
    a.beginStructure();
    a >> p.ancho >> p.alto >> p.datos;
    a.endStructure();
    return a;
}

QDBusArgument& operator<<(QDBusArgument& a, const TipSni& t) {
    a.beginStructure();
    a << t.icono << t.imagen << t.titulo << t.texto;
    a.endStructure();
    return a;
}

const QDBusArgument& operator>>(const QDBusArgument& a, TipSni& t) {
    a.beginStructure();
    a >> t.icono >> t.imagen >> t.titulo >> t.texto;
    a.endStructure();
    return a;
}

QDBusArgument& operator<<(QDBusArgument& a, const ElementoMenuDBus& e) {
    a.beginStructure();
    a << e.id << e.propiedades;
    a.beginArray(QMetaType::fromType<QDBusVariant>());
    for (const ElementoMenuDBus& hijo : e.hijos) {
        a << QDBusVariant(QVariant::fromValue(hijo));
    }
    a.endArray();
    a.endStructure();
    return a;
}

const QDBusArgument& operator>>(const QDBusArgument& a, ElementoMenuDBus& e) {
    a.beginStructure();
    a >> e.id >> e.propiedades;
    e.hijos.clear();
    a.beginArray();
    while (!a.atEnd()) {
        QDBusVariant hijo;
        a >> hijo;
        e.hijos.append(qdbus_cast<ElementoMenuDBus>(hijo.variant()));
    }
    a.endArray();
    a.endStructure();
    return a;
}

QDBusArgument& operator<<(QDBusArgument& a, const PropiedadesMenuDBus& p) {
    a.beginStructure();
    a << p.id << p.propiedades;
    a.endStructure();
    return a;
}

const QDBusArgument& operator>>(const QDBusArgument& a, PropiedadesMenuDBus& p) {
    a.beginStructure();
    a >> p.id >> p.propiedades;
    a.endStructure();
    return a;
}

QDBusArgument& operator<<(QDBusArgument& a, const QuitadasMenuDBus& q) {
    a.beginStructure();
    a << q.id << q.nombres;
    a.endStructure();
    return a;
}

const QDBusArgument& operator>>(const QDBusArgument& a, QuitadasMenuDBus& q) {
    a.beginStructure();
    a >> q.id >> q.nombres;
    a.endStructure();
    return a;
}

QDBusArgument& operator<<(QDBusArgument& a, const EventoMenuDBus& e) {
    a.beginStructure();
    a << e.id << e.evento << e.datos << e.tiempo;
    a.endStructure();
    return a;
}

const QDBusArgument& operator>>(const QDBusArgument& a, EventoMenuDBus& e) {
    a.beginStructure();
    a >> e.id >> e.evento >> e.datos >> e.tiempo;
    a.endStructure();
    return a;
}

void registrarTiposDBusBandeja() {
    static const bool hecho = [] {
        qDBusRegisterMetaType<PixmapSni>();
        qDBusRegisterMetaType<ListaPixmapsSni>();
        qDBusRegisterMetaType<TipSni>();
        qDBusRegisterMetaType<ElementoMenuDBus>();
        qDBusRegisterMetaType<PropiedadesMenuDBus>();
        qDBusRegisterMetaType<ListaPropiedadesMenuDBus>();
        qDBusRegisterMetaType<QuitadasMenuDBus>();
        qDBusRegisterMetaType<ListaQuitadasMenuDBus>();
        qDBusRegisterMetaType<EventoMenuDBus>();
        qDBusRegisterMetaType<ListaEventosMenuDBus>();
        // The lists by the names the interfaces' methods and signals give them.
        qRegisterMetaType<ListaPixmapsSni>("ListaPixmapsSni");
        qRegisterMetaType<ListaPropiedadesMenuDBus>("ListaPropiedadesMenuDBus");
        qRegisterMetaType<ListaQuitadasMenuDBus>("ListaQuitadasMenuDBus");
        qRegisterMetaType<ListaEventosMenuDBus>("ListaEventosMenuDBus");
        return true;
    }();
    Q_UNUSED(hecho);
}
