#pragma once

#include <atomic>
#include <cstdint>

namespace vq {

// What a completed read signals. The thread layer's events implement it, so that a completion
// wakes the waiting thread only when that thread sleeps in its wait.
class CompletionEvent {
public:
    virtual ~CompletionEvent() = default;
    virtual void Set() = 0;
    virtual void Reset() = 0;
};

// The state of one posted read. The reader thread publishes `bytes` and the record before the
// release store of `completed`; the owner reads them only after an acquire load sees it set.
struct Overlapped {
    std::atomic<bool> completed{false};
    uint32_t bytes = 0;
    CompletionEvent* event = nullptr;
};

} // namespace vq
