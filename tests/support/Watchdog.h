#pragma once

#include "platform/thread/QueueRegistry.h"
#include "platform/thread/ThreadId.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace vq::test {

// Bounds a wait by real time, whatever clock the test installed: a manual clock never times a
// queue wait out by itself, and a call that blocks cannot look at a clock. Once the limit has
// passed, Fired() holds and `onFire` runs on the watchdog's own thread; a test checks Fired() after
// the wait and fails instead of hanging or passing late. It stops when it goes.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit, std::function<void()> onFire = {})
        : m_OnFire(std::move(onFire)), m_Worker([this, limit] { Watch(limit); }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(m_Mutex);
            m_Stopped = true;
        }
        m_Changed.notify_all();
        m_Worker.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    bool Fired() const { return m_Fired.load(); }

private:
    void Watch(std::chrono::seconds limit) {
        std::unique_lock lock(m_Mutex);
        if (m_Changed.wait_for(lock, limit, [this] { return m_Stopped; })) return;
        m_Fired.store(true);
        if (m_OnFire) m_OnFire();
    }

    std::function<void()> m_OnFire;
    std::mutex m_Mutex;
    std::condition_variable m_Changed;
    bool m_Stopped = false;
    std::atomic<bool> m_Fired{false};
    std::thread m_Worker;
};

// A watchdog for a wait on the calling thread's message queue: firing posts kFired to the thread,
// which wakes its GetMessage.
class QueueWatchdog : public Watchdog {
public:
    // Above the engine's thread-message ids, so no handler takes it.
    static constexpr std::uint32_t kFired = 0xBF00;

    explicit QueueWatchdog(std::chrono::seconds limit)
        : Watchdog(limit, [owner = CurrentThreadId()] { PostThreadMessage(owner, kFired, 0, 0); }) {}
};

} // namespace vq::test
