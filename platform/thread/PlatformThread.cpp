#include "platform/thread/PlatformThread.h"

#include "platform/thread/MessageQueue.h"

#include <future>
#include <system_error>

namespace vq {

PlatformThread::~PlatformThread() {
    Join();
}

bool PlatformThread::Start(std::function<void()> body) {
    std::promise<ThreadId> started;
    auto id = started.get_future();
    try {
        thread_ = std::thread([started = std::move(started), body = std::move(body)]() mutable {
            MessageQueue& queue = MessageQueue::Current();
            started.set_value(CurrentThreadId());
            body();
            queue.Close();
        });
    } catch (const std::system_error&) {
        return false;
    }
    id_ = id.get();
    handle_ = reinterpret_cast<const void*>(thread_.native_handle());
    return true;
}

void PlatformThread::Join() {
    if (!thread_.joinable()) return;
    // The thread may be waiting for a post of ours whose wake is held back.
    WakeBatch::WakeHeld();
    thread_.join();
    handle_ = nullptr;
}

} // namespace vq
