#pragma once

#include "platform/thread/Event.h"

#include <atomic>
#include <cstdint>

namespace vq {

// The state of one posted read. The reader thread publishes `bytes` and the record before the
// release store of `completed`, then sets the event; the owner reads them only after an acquire
// load sees `completed`.
struct Overlapped {
    std::atomic<bool> completed{false};
    uint32_t bytes = 0;
    Event* event = nullptr;
};

} // namespace vq
