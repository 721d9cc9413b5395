#pragma once

#include <functional>

namespace vq {

// Gives free heap memory back to the system; true when some was released.
bool CompactHeap();

using HeapCompactor = std::function<bool()>;
// Installs what CompactHeap does (an empty one restores the real trim) and answers the one it
// replaces, so tests can count the trims.
HeapCompactor SetHeapCompactor(HeapCompactor compactor);

} // namespace vq
