#pragma once

#include "platform/thread/ThreadId.h"

#include <atomic>

namespace vq {

// A thread that thread messages can reach: a worker, or the program's main thread object.
class ThreadObject {
public:
    ThreadObject() = default;
    virtual ~ThreadObject() = default;
    ThreadObject(const ThreadObject&) = delete;
    ThreadObject& operator=(const ThreadObject&) = delete;

    ThreadId GetThreadId() const { return m_ThreadId.load(std::memory_order_acquire); }
    // The platform's handle of the thread, for dumps; null when there is none.
    virtual const void* GetThreadHandle() const { return nullptr; }
    // Only the main thread object closes: while it does, every thread message is refused.
    virtual bool IsClosing() const { return false; }

protected:
    void SetThreadId(ThreadId id) { m_ThreadId.store(id, std::memory_order_release); }

private:
    std::atomic<ThreadId> m_ThreadId{0};
};

} // namespace vq
