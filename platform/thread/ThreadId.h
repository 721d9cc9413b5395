#pragma once

#include <cstdint>

namespace vq {

// The kernel's id of a thread: what queues, registries and thread messages address.
using ThreadId = std::uint32_t;

ThreadId CurrentThreadId();

} // namespace vq
