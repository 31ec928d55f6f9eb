#pragma once

#include <QString>
#include <memory>

class QLockFile;

// One copy of the program per user session. The lock is taken before anything shows, and a lock
// left behind by a copy that was killed counts as free.
class InstanciaUnica {
public:
    // `ruta` is the lock file; by default one in the user's runtime directory.
    explicit InstanciaUnica(const QString& ruta = rutaPorDefecto());
    ~InstanciaUnica();

    // True when another running copy holds the lock. A lock that cannot be used for any other
    // reason is reported on stderr and counts as free.
    bool hayOtra() const { return m_otra; }

    static QString rutaPorDefecto();

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_otra = false;
};
