#pragma once

#include "platform/thread/ThreadId.h"

#include <atomic>
#include <functional>
#include <thread>

namespace vq {

// A joinable thread whose message queue exists before Start returns, so posts to it never race
// its start-up. The queue is closed as soon as the body returns.
class PlatformThread {
public:
    PlatformThread() = default;
    ~PlatformThread();
    PlatformThread(const PlatformThread&) = delete;
    PlatformThread& operator=(const PlatformThread&) = delete;

    // False when the system refuses a new thread.
    bool Start(std::function<void()> body);
    void Join();
    bool IsJoinable() const { return thread_.joinable(); }
    ThreadId GetId() const { return id_; }
    // The system's handle while the thread is joinable, for dumps.
    const void* Handle() const { return handle_.load(); }

private:
    std::thread thread_;
    ThreadId id_ = 0;
    std::atomic<const void*> handle_{nullptr};
};

} // namespace vq
