#include "ReglasPaleta.h"

#include <QString>
#include <QStringList>
#include <algorithm>

namespace ReglasPaleta {

namespace {
bool esDigito(QChar c) {
    return c >= u'0' && c <= u'9';
}
} // namespace

bool teclaAdmitida(const QString& textoTecla) {
    // Control characters are not text: they are Backspace, Delete or an editing shortcut.
    return std::all_of(textoTecla.begin(), textoTecla.end(),
                       [](QChar c) { return esDigito(c) || !c.isPrint(); });
}

std::optional<int> enteroSinSigno(const QString& texto) {
    if (texto.isEmpty() || !std::all_of(texto.begin(), texto.end(), esDigito)) {
        return std::nullopt;
    }
    // Leading zeros aside, a box of three characters cannot overflow, but a caller might pass more.
    long long valor = 0;
    for (QChar c : texto) {
        valor = std::min(valor * 10 + (c.unicode() - u'0'), 1'000'000'000LL);
    }
    return static_cast<int>(valor);
}

std::optional<int> grosorAceptado(const QString& texto) {
    const std::optional<int> valor = enteroSinSigno(texto);
    if (!valor || *valor < GrosorMinimo || *valor > GrosorMaximo) {
        return std::nullopt;
    }
    return valor;
}

int tamFuente(const QString& texto) {
    const std::optional<int> valor = enteroSinSigno(texto);
    return valor ? std::clamp(*valor, TamMinimo, TamMaximo) : TamVacio;
}

int indiceFuente(const QStringList& fuentes, const QString& fuente) {
    const QString buscada = fuente.toUpper();
    for (int i = 0; i < fuentes.size(); ++i) {
        if (fuentes[i].toUpper() == buscada) {
            return i;
        }
    }
    return -1;
}

QPoint lugarPaleta(const QPoint& clic, const QSize& tamano, const QRect& monitor) {
    const int x = std::min(clic.x(), monitor.x() + monitor.width() - tamano.width());
    const int y = std::min(clic.y(), monitor.y() + monitor.height() - tamano.height());
    return {std::max(x, monitor.x()), std::max(y, monitor.y())};
}

} // namespace ReglasPaleta
