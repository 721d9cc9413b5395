#pragma once

#include "platform/thread/QueueRegistry.h"
#include "platform/thread/ThreadId.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace vq::test {

// Bounds a test's wait on its thread's message queue by real time, whatever clock the test
// installed: a manual clock never times a queue wait out by itself. Once the limit has passed the
// watchdog posts kFired to the thread that made it, which wakes its GetMessage; the waiting loop
// then sees Fired() and fails instead of hanging. It stops when it goes.
class QueueWatchdog {
public:
    // Above the engine's thread-message ids, so no handler takes it.
    static constexpr std::uint32_t kFired = 0xBF00;

    explicit QueueWatchdog(std::chrono::seconds limit)
        : m_Owner(CurrentThreadId()), m_Worker([this, limit] { Watch(limit); }) {}
    ~QueueWatchdog() {
        {
            std::lock_guard lock(m_Mutex);
            m_Stopped = true;
        }
        m_Changed.notify_all();
        m_Worker.join();
    }
    QueueWatchdog(const QueueWatchdog&) = delete;
    QueueWatchdog& operator=(const QueueWatchdog&) = delete;

    bool Fired() const { return m_Fired.load(); }

private:
    void Watch(std::chrono::seconds limit) {
        std::unique_lock lock(m_Mutex);
        if (m_Changed.wait_for(lock, limit, [this] { return m_Stopped; })) return;
        m_Fired.store(true);
        PostThreadMessage(m_Owner, kFired, 0, 0);
    }

    const ThreadId m_Owner;
    std::mutex m_Mutex;
    std::condition_variable m_Changed;
    bool m_Stopped = false;
    std::atomic<bool> m_Fired{false};
    std::thread m_Worker;
};

} // namespace vq::test
