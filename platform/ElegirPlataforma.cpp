#include "Plataforma.h"

// Built where no backend of its own is: the portable base everywhere.
std::unique_ptr<Plataforma> Plataforma::crear() {
    return std::make_unique<Plataforma>();
}
