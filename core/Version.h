#pragma once

class QString;

// The program's own version, as the build gives it.
namespace Version {
int mayor();
int menor();
int revision();
// "v 1.0.0"
QString texto();
} // namespace Version
