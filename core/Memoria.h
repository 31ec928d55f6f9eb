#pragma once

// Memory the program has freed goes back to the system.
namespace Memoria {

// At start, before anything is allocated: large blocks (images, the shapes of big windows) come
// straight from the kernel and go straight back to it when freed, instead of staying in the
// C library's heap for good.
void PrepararAsignador();

// After a large free (shapes deleted, the canvas closed): the C library returns the free pages
// it keeps.
void devolverLibre();

} // namespace Memoria
