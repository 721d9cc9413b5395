#pragma once

#include "platform/thread/ThreadId.h"

#include <atomic>
#include <shared_mutex>
#include <string>
#include <vector>

namespace vq {

class ThreadObject;

// The registry of thread objects by thread id, through which thread messages find their
// receivers, and the slot of the main thread object. Look-ups from any thread never overlap a
// registration or removal.
class ThreadPool {
public:
    // False when memory runs out.
    bool Add(ThreadObject* thread);
    bool Remove(ThreadObject* thread);
    // The first registered object with the id, in registration order; null when none.
    ThreadObject* FindThread(ThreadId id) const;
    std::size_t GetSize() const;

    ThreadObject* GetMainThread() const { return m_MainThread.load(std::memory_order_acquire); }
    void SetMainThread(ThreadObject* thread) { m_MainThread.store(thread, std::memory_order_release); }

    std::string Describe() const;
    bool TraceDump() const { return true; }

private:
    mutable std::shared_mutex m_Mutex;
    std::vector<ThreadObject*> m_Threads;
    std::atomic<ThreadObject*> m_MainThread{nullptr};
};

} // namespace vq
