#include "platform/thread/QueueRegistry.h"

#include <mutex>

namespace vq {

QueueRegistry& QueueRegistry::Instance() {
    static QueueRegistry registry;
    return registry;
}

std::shared_ptr<MessageQueue> QueueRegistry::Create(ThreadId owner) {
    std::unique_lock lock(mutex_);
    std::shared_ptr<MessageQueue> queue;
    if (closed_.empty()) {
        queue = std::make_shared<MessageQueue>(owner);
    } else {
        queue = std::move(closed_.back());
        closed_.pop_back();
        queue->Reopen(owner);
    }
    queues_[owner] = queue;
    return queue;
}

void QueueRegistry::Remove(ThreadId owner, const MessageQueue* queue) {
    std::unique_lock lock(mutex_);
    auto it = queues_.find(owner);
    if (it == queues_.end() || it->second.get() != queue) return;
    closed_.push_back(std::move(it->second));
    queues_.erase(it);
}

bool QueueRegistry::Post(ThreadId thread, const QueueEntry& entry) {
    std::shared_lock lock(mutex_);
    auto it = queues_.find(thread);
    if (it == queues_.end() || !it->second->Post(entry, false)) return false;
    if (!WakeBatch::Defer(it->second)) it->second->WakeIfSleeping();
    return true;
}

bool PostThreadMessage(ThreadId thread, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    QueueEntry entry;
    entry.message = message;
    entry.wParam = wParam;
    entry.lParam = lParam;
    return QueueRegistry::Instance().Post(thread, entry);
}

} // namespace vq
