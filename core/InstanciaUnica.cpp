#include "InstanciaUnica.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

InstanciaUnica::InstanciaUnica(const QString& ruta) : m_lock(std::make_unique<QLockFile>(ruta)) {
    // A lock is stale only when its process is gone, never because it is old: the first copy may
    // run for weeks.
    m_lock->setStaleLockTime(0);
    m_propia = m_lock->tryLock(0);
}

InstanciaUnica::~InstanciaUnica() = default;

QString InstanciaUnica::rutaPorDefecto() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) {
        dir = QDir::tempPath();
    }
    return dir + QStringLiteral("/tizo.lock");
}
