#include "common/linux/FreedMemory.h"

// Any C library header: it is what defines __GLIBC__, which no compiler predefines.
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tessaly {

void ReturnFreedMemory()
{
#if defined(__GLIBC__)
    // glibc keeps freed pages in its arenas for reuse; other C libraries return them themselves.
    malloc_trim(0);
#endif
}

} // namespace tessaly
