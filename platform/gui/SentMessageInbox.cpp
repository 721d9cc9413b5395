#include "platform/gui/SentMessageInbox.h"

#include "platform/gui/WindowSystem.h"
#include "platform/thread/QueueRegistry.h"

#include <unordered_map>

namespace vq {

namespace {

struct Inboxes {
    std::mutex mutex;
    std::unordered_map<ThreadId, std::shared_ptr<SentMessageInbox>> byThread;
};

Inboxes& AllInboxes() {
    static Inboxes inboxes;
    return inboxes;
}

std::shared_ptr<SentMessageInbox> InboxOf(ThreadId thread) {
    auto& all = AllInboxes();
    std::lock_guard lock(all.mutex);
    auto it = all.byThread.find(thread);
    return it == all.byThread.end() ? nullptr : it->second;
}

} // namespace

// Registers the thread's inbox while the thread lives.
struct InboxHolder {
    ThreadId thread = CurrentThreadId();
    std::shared_ptr<SentMessageInbox> inbox = std::make_shared<SentMessageInbox>();

    InboxHolder() {
        std::lock_guard lock(AllInboxes().mutex);
        AllInboxes().byThread[thread] = inbox;
    }
    ~InboxHolder() {
        {
            std::lock_guard lock(AllInboxes().mutex);
            AllInboxes().byThread.erase(thread);
        }
        inbox->Close();
    }

    static InboxHolder& Current() {
        thread_local InboxHolder holder;
        return holder;
    }
};

SentMessageInbox& SentMessageInbox::Current() {
    return *InboxHolder::Current().inbox;
}

LRESULT SentMessageInbox::Send(ThreadId thread, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const std::shared_ptr<SentMessageInbox> target = InboxOf(thread);
    if (!target || thread == CurrentThreadId()) return 0;
    const std::shared_ptr<SentMessageInbox> self = InboxHolder::Current().inbox;
    Call call{window, message, wParam, lParam, 0, false, self};
    {
        std::lock_guard lock(target->mutex_);
        if (target->closed_) return 0;
        target->waiting_.push_back(&call);
    }
    // The owner may be asleep in a send of its own, or on its queue (in its own loop or Qt's).
    target->changed_.notify_all();
    QueueEntry wake;
    wake.message = kWakeMessage;
    QueueRegistry::Instance().Post(thread, wake);

    std::unique_lock lock(self->mutex_);
    while (!call.answered) {
        if (!self->waiting_.empty()) {
            lock.unlock();
            self->HandleWaiting();
            lock.lock();
            continue;
        }
        self->changed_.wait(lock);
    }
    return call.result;
}

void SentMessageInbox::HandleWaiting() {
    for (;;) {
        Call* call = nullptr;
        {
            std::lock_guard lock(mutex_);
            if (waiting_.empty()) return;
            call = waiting_.front();
            waiting_.pop_front();
        }
        // On the owning thread the window is its own, so this is a plain call (0 when it has
        // been destroyed meanwhile).
        Answer(*call, SendMessage(call->window, call->message, call->wParam, call->lParam));
    }
}

void SentMessageInbox::Answer(Call& call, LRESULT result) {
    const std::shared_ptr<SentMessageInbox> replyTo = call.replyTo;
    {
        std::lock_guard lock(replyTo->mutex_);
        call.result = result;
        call.answered = true;
    }
    replyTo->changed_.notify_all();
}

void SentMessageInbox::Close() {
    std::deque<Call*> left;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        left.swap(waiting_);
    }
    for (Call* call : left)
        Answer(*call, 0);
}

} // namespace vq
