#pragma once

#include <atomic>

namespace vq {

class MessageQueue;

// A flag that one thread sets and another waits on together with its message queue. Setting and
// resetting happen in user space; a set costs a system call only when the waiting thread is asleep
// in its wait, so signalling per frame stays cheap. One thread at a time waits on an event, and
// whoever sets it stops doing so before that thread ends.
class Event {
public:
    explicit Event(bool manualReset = false, bool initiallySet = false)
        : manualReset_(manualReset), set_(initiallySet) {}
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    // Set in two halves, for a burst of events of one waiter: the flag of each as it happens, then
    // one wake of the waiter for all of them. Both sequentially consistent, like Set.
    void SetWithoutWake() { set_.store(true); }
    void WakeWaiter();
    void Reset() { set_.store(false); }
    bool IsSet() const { return set_.load(); }
    bool IsManualReset() const { return manualReset_; }

private:
    friend class MessageQueue;
    // What a wait does when it finds the event set: an auto-reset event is consumed by the one
    // wait that reports it.
    bool TryConsume();

    const bool manualReset_;
    std::atomic<bool> set_;
    std::atomic<MessageQueue*> waiter_{nullptr};
};

} // namespace vq
