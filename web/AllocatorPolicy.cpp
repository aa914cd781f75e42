#include "web/AllocatorPolicy.h"

#include <QtGlobal>

#include <mutex>

#if defined(Q_OS_LINUX) && defined(__GLIBC__)
#include <malloc.h>
#endif

namespace friendlinks {

void returnLargeBlocksToSystem()
{
#if defined(Q_OS_LINUX) && defined(__GLIBC__)
    static std::once_flag once;
    std::call_once(once, [] {
        // A fixed threshold: glibc's own rises with each large block freed, up to 32 MB,
        // after which pages come from (and stay in) the heap.
        mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    });
#endif
}

} // namespace friendlinks
