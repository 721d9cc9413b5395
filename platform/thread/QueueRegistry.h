#pragma once

#include "platform/thread/MessageQueue.h"
#include "platform/thread/ThreadId.h"

#include <memory>
#include <shared_mutex>
#include <unordered_map>
#include <vector>

namespace vq {

// The queues of all living threads by thread id. The queues of ended threads are kept for the
// next threads and never freed.
class QueueRegistry {
public:
    static QueueRegistry& Instance();

    std::shared_ptr<MessageQueue> Create(ThreadId owner);
    void Remove(ThreadId owner, const MessageQueue* queue);
    // False when the thread has no queue (never made one, or has ended) or its queue is closed.
    bool Post(ThreadId thread, const QueueEntry& entry);

    template <typename Fn> void ForEach(Fn&& fn) {
        std::shared_lock lock(mutex_);
        for (auto& [id, queue] : queues_)
            fn(*queue);
    }

private:
    std::shared_mutex mutex_;
    std::unordered_map<ThreadId, std::shared_ptr<MessageQueue>> queues_;
    std::vector<std::shared_ptr<MessageQueue>> closed_;
};

bool PostThreadMessage(ThreadId thread, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

} // namespace vq
