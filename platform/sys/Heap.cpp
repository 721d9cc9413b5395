#include "platform/sys/Heap.h"

#include <malloc.h>

namespace vq {

bool CompactHeap() {
    return malloc_trim(0) == 1;
}

} // namespace vq
