#pragma once

namespace vq {

// Gives free heap memory back to the system; true when some was released.
bool CompactHeap();

} // namespace vq
