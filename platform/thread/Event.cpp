#include "platform/thread/Event.h"

#include "platform/thread/MessageQueue.h"

namespace vq {

// Set stores the flag and then looks for a sleeping waiter; the wait announces that it sleeps and
// then looks at the flags. Both sides are sequentially consistent, so one of them sees the other.
void Event::Set() {
    set_.store(true);
    WakeWaiter();
}

void Event::WakeWaiter() {
    if (MessageQueue* waiter = waiter_.load()) waiter->WakeIfSleeping();
}

bool Event::TryConsume() {
    if (manualReset_) return set_.load();
    bool expected = true;
    return set_.compare_exchange_strong(expected, false);
}

} // namespace vq
