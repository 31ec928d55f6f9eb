#include "Memoria.h"

#include <cstdlib> // defines __GLIBC__ where glibc is the C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace Memoria {

void PrepararAsignador() {
#if defined(__GLIBC__)
    // glibc raises its threshold for mapping blocks on its own after the first large free, up
    // to 32 MB: every later image or shape of a big window then lands in the heap, and a few
    // small blocks left between them hold its pages for the rest of the run. Fixing it keeps
    // such blocks out of the heap.
    constexpr int Umbral = 64 * 1024;
    mallopt(M_MMAP_THRESHOLD, Umbral);
#endif
}

void devolverLibre() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace Memoria
