#pragma once

#include <QRegion>

// Pixels a region covers: what a repaint of it costs.
inline qint64 area(const QRegion& region) {
    qint64 total = 0;
    for (const QRect& r : region) {
        total += qint64(r.width()) * r.height();
    }
    return total;
}
