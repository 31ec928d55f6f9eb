#include "AyudaTeclas.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>

namespace AyudaTeclas {

namespace {
constexpr int Margen = 16;
constexpr int Separacion = 24; // between the keys and what they do
constexpr int Interlinea = 6;
} // namespace

QImage imagen(const QList<TeclasDibujo::Linea>& lineas, qreal escala) {
    QFont normal = QGuiApplication::font();
    normal.setPixelSize(15);
    QFont negrita = normal;
    negrita.setBold(true);
    QFont titulo = negrita;
    titulo.setPixelSize(17);
    const QFontMetrics mNormal(normal);
    const QFontMetrics mNegrita(negrita);
    const QFontMetrics mTitulo(titulo);
    const QString textoTitulo = QCoreApplication::translate("AyudaTeclas", "Teclas para dibujar");

    int anchoTeclas = 0;
    int anchoQue = 0;
    for (const TeclasDibujo::Linea& linea : lineas) {
        anchoTeclas = std::max(anchoTeclas, mNegrita.horizontalAdvance(linea.teclas));
        anchoQue = std::max(anchoQue, mNormal.horizontalAdvance(linea.que));
    }
    const int alto = std::max(mNormal.height(), mNegrita.height()) + Interlinea;
    const int ancho =
        std::max(anchoTeclas + Separacion + anchoQue, mTitulo.horizontalAdvance(textoTitulo)) +
        2 * Margen;
    const int altoTotal =
        Margen + mTitulo.height() + Interlinea * 2 + alto * int(lineas.size()) + Margen;

    QImage imagen(QSize(ancho, altoTotal) * escala, QImage::Format_ARGB32_Premultiplied);
    imagen.setDevicePixelRatio(escala);
    imagen.fill(Qt::transparent);
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.setBrush(QColor(25, 25, 30, 242)); // what lies beneath only hints through
    p.drawRoundedRect(QRectF(0.5, 0.5, ancho - 1, altoTotal - 1), 10, 10);
    p.setPen(Qt::white);
    p.setFont(titulo);
    int y = Margen + mTitulo.ascent();
    p.drawText(Margen, y, textoTitulo);
    y += mTitulo.descent() + Interlinea * 2;
    for (const TeclasDibujo::Linea& linea : lineas) {
        p.setFont(negrita);
        p.setPen(QColor(255, 220, 120));
        p.drawText(Margen, y + mNegrita.ascent(), linea.teclas);
        p.setFont(normal);
        p.setPen(Qt::white);
        p.drawText(Margen + anchoTeclas + Separacion, y + mNormal.ascent(), linea.que);
        y += alto;
    }
    return imagen;
}

} // namespace AyudaTeclas
