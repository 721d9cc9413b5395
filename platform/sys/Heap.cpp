#include "platform/sys/Heap.h"

#include <malloc.h>
#include <utility>

namespace vq {
namespace {

HeapCompactor& InstalledCompactor() {
    static HeapCompactor compactor;
    return compactor;
}

} // namespace

bool CompactHeap() {
    if (const HeapCompactor& compactor = InstalledCompactor()) return compactor();
    return malloc_trim(0) == 1;
}

HeapCompactor SetHeapCompactor(HeapCompactor compactor) {
    return std::exchange(InstalledCompactor(), std::move(compactor));
}

} // namespace vq
