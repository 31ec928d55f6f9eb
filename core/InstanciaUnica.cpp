#include "InstanciaUnica.h"

#include <QCoreApplication>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <QtGlobal>

#include <unistd.h>

InstanciaUnica::InstanciaUnica(const QString& ruta) : m_lock(std::make_unique<QLockFile>(ruta)) {
    // A lock is stale only when its process is gone, never because it is old: the first copy may
    // run for weeks.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        return;
    }
    // Only a lock held by a live process means another copy. A lock that cannot be taken at all
    // (no permission, no such directory, a disk error) must not keep the program from starting.
    m_otra = m_lock->error() == QLockFile::LockFailedError;
    if (!m_otra) {
        qWarning("%s",
                 qPrintable(QCoreApplication::translate(
                                "InstanciaUnica", "tizo: no se puede usar el cerrojo %1 "
                                                  "(error %2 de QLockFile); Tizo arranca igual")
                                .arg(QDir::toNativeSeparators(ruta))
                                .arg(int(m_lock->error()))));
    }
}

InstanciaUnica::~InstanciaUnica() = default;

QString InstanciaUnica::rutaPorDefecto() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!dir.isEmpty()) {
        return dir + QStringLiteral("/tizo.lock");
    }
    // The temporary directory is shared by every user of the machine: one user's copy must not
    // keep another's out.
    return QDir::tempPath() + QStringLiteral("/tizo-%1.lock").arg(::getuid());
}
