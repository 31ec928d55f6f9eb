#pragma once

class QString;

// The program's own version, as the build gives it.
namespace Version {
int mayor();
int menor();
int revision();
// "v 1.0.0"
QString texto();
// The application's reverse-DNS id, the name of its desktop entry, icon and metadata files.
QString identificador();
} // namespace Version
