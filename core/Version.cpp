#include "Version.h"

#include <QString>

namespace Version {
int mayor() {
    return TIZO_VERSION_MAJOR;
}
int menor() {
    return TIZO_VERSION_MINOR;
}
int revision() {
    return TIZO_VERSION_PATCH;
}
QString texto() {
    return QStringLiteral("v %1.%2.%3").arg(mayor()).arg(menor()).arg(revision());
}
QString identificador() {
    return QStringLiteral(TIZO_ID);
}
} // namespace Version
