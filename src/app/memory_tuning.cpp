#include "app/memory_tuning.h"

#include <malloc.h>

namespace tavrin {

void returnLargeBuffersToTheSystem()
{
    // glibc raises its mmap threshold after each large block is freed, up to
    // 32 MiB, so that later blocks of a 20 MB transcript's size come from the heap
    // and stay there; a fixed threshold keeps every such block mapped on its own.
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
}

} // namespace tavrin
