#pragma once

#include "platform/thread/QueueEntry.h"
#include "platform/thread/ThreadId.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace vq {

class Event;

struct WaitResult {
    enum class Kind { Input, Event, Timeout, Failed };
    Kind kind = Kind::Failed;
    // The event that ended the wait (Kind::Event).
    std::size_t index = 0;
};

// The message queue of one thread. Any thread posts to it; only its owner takes from it, waits
// on it and sets timers on it. Timer ticks are made when they are taken, so they come after every
// posted entry, only on the owner, and at most one per timer however long the owner was busy.
class MessageQueue {
public:
    static constexpr std::size_t kMaxWaitEvents = 64;
    static constexpr std::uint32_t kInfinite = 0xFFFFFFFF;
    // The shortest interval a timer runs with (so it never spins) and the longest one.
    static constexpr std::int64_t kMinimumTimerMilliseconds = 10;
    static constexpr std::int64_t kMaximumTimerMilliseconds = 0x7FFFFFFF;

    explicit MessageQueue(ThreadId owner);
    ~MessageQueue();
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    // The calling thread's queue, made and registered on first use and closed when the thread
    // ends.
    static MessageQueue& Current();

    ThreadId Owner() const { return owner_.load(); }

    // A descriptor that polls readable while the queue holds input (a posted entry or a due timer),
    // so another event loop can watch the queue. Made on first use.
    int Descriptor();

    // Any thread. False when the queue is closed; the time of posting is stamped here. Without
    // `wake` the owner is left asleep: the poster wakes it later (WakeBatch).
    bool Post(const QueueEntry& entry, bool wake = true);
    // Takes the first matching entry, sleeping until there is one; false when it is WM_QUIT.
    bool Get(QueueEntry& out, TargetFilter filter = TargetFilter::Any(), MessageRange range = {});
    // Looks for the first matching entry without sleeping; PeekRemove takes it.
    bool Peek(QueueEntry& out, TargetFilter filter = TargetFilter::Any(), MessageRange range = {},
              unsigned flags = PeekRemove);
    // Sleeps until the queue holds input (reported first), one of at most kMaxWaitEvents events is
    // set (the lowest index wins; an auto-reset event is reset by the wait that reports it) or the
    // time-out has passed on the monotonic clock.
    WaitResult Wait(std::span<Event* const> events, std::uint32_t timeoutMilliseconds = kInfinite);

    // Arms the timer (target, id) with the interval, restarting its countdown when it runs;
    // answers the id. Intervals are kept within the minimum and maximum above.
    std::uint32_t SetTimer(WindowHandle target, std::uint32_t id, std::int64_t milliseconds);
    bool KillTimer(WindowHandle target, std::uint32_t id);
    // When the earliest running timer falls due on the monotonic clock.
    std::optional<std::int64_t> NextTimerDue() const;

    // How entries posted with an open target get their window when they are taken. Called with
    // the queue locked: it must not use the queue.
    void SetTargetResolver(std::function<WindowHandle(const QueueEntry&)> resolver);

    // Refuses further posts and drops what is queued and every timer.
    void Close();
    // Closes as Close does and hands back the posted entries it held, so that the owner can free
    // what they carry: none can slip in between a last look and the closing.
    std::deque<QueueEntry> CloseAndTake();
    bool IsClosed() const;
    // Makes a closed queue the empty queue of another thread. Queues are reused instead of freed,
    // so an event bound to a queue whose thread has ended still points to a queue.
    void Reopen(ThreadId owner);

    // For events and the clock: ends a sleep of the owner, if it sleeps.
    void WakeIfSleeping();
    void OnClockChanged();

private:
    struct TimerSlot {
        WindowHandle target;
        std::uint32_t id;
        std::int64_t intervalNs;
        std::int64_t dueNs;
    };

    bool TakeLocked(QueueEntry& out, TargetFilter filter, MessageRange range, unsigned flags,
                    std::int64_t now);
    bool HasInputLocked(std::int64_t now) const;
    // The earliest time a matching timer falls due, when one is running.
    std::optional<std::int64_t> NextDueLocked(TargetFilter filter, MessageRange range) const;
    void SyncDescriptorLocked(std::int64_t now);
    void SleepUntil(std::optional<std::int64_t> wakeNs);

    std::atomic<ThreadId> owner_;
    const int wakeFd_;
    std::atomic<bool> sleeping_{false};
    // The time-out of the owner's wait in progress, for a clock that moves without the kernel.
    static constexpr std::int64_t kNoDeadline = INT64_MAX;
    std::atomic<std::int64_t> sleepDeadlineNs_{kNoDeadline};

    mutable std::mutex mutex_;
    std::deque<QueueEntry> entries_;
    std::vector<TimerSlot> timers_;
    std::function<WindowHandle(const QueueEntry&)> resolver_;
    bool closed_ = false;
    // The watched descriptor: an epoll set over inputFd_ (written while input is queued) and
    // timerFd_ (armed for the next timer on the real clock). All -1 until asked for.
    int epollFd_ = -1;
    int inputFd_ = -1;
    int timerFd_ = -1;
    bool inputSignalled_ = false;
    std::int64_t timerArmedNs_ = 0;
};

// While a thread holds one, the queues it posts to through the registry are woken once, when the
// batch ends, rather than at every post: a thread that posts in bursts wakes each reader once per
// burst. Entries still enter the queues at once and in order. A thread about to sleep on its own
// queue wakes what it holds back first, so that nobody waits for a wake that is held.
class WakeBatch {
public:
    WakeBatch();
    ~WakeBatch();
    WakeBatch(const WakeBatch&) = delete;
    WakeBatch& operator=(const WakeBatch&) = delete;

    // False when this thread holds no batch (or no room to note the queue): the caller wakes the
    // queue itself.
    static bool Defer(const std::shared_ptr<MessageQueue>& queue);
    // Wakes every queue this thread's batch holds back.
    static void WakeHeld();
    // Wakes them when the first was held back at least `nanoseconds` ago (steady time), so that a
    // thread that never sleeps keeps its readers waiting no longer than that.
    void WakeHeldAfter(std::int64_t nanoseconds);

private:
    // Only the outermost batch of a thread holds queues.
    bool outermost_;
    std::vector<std::shared_ptr<MessageQueue>> held_;
    std::int64_t heldSinceNs_ = 0;
};

} // namespace vq
