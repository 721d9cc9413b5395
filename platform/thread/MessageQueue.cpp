#include "platform/thread/MessageQueue.h"

#include "platform/thread/Event.h"
#include "platform/thread/MonotonicClock.h"
#include "platform/thread/QueueRegistry.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <new>
#include <poll.h>
#include <stdexcept>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <system_error>
#include <unistd.h>

namespace vq {
namespace {

constexpr std::int64_t kNsPerMs = 1'000'000;

int MakeEventFd() {
    int fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (fd < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
    return fd;
}

void Signal(int fd) {
    std::uint64_t one = 1;
    // A full counter (never reached) or an interrupted write leaves the descriptor readable anyway.
    [[maybe_unused]] auto n = write(fd, &one, sizeof one);
}

void Drain(int fd) {
    std::uint64_t value;
    [[maybe_unused]] auto n = read(fd, &value, sizeof value);
}

std::uint32_t MessageTime(std::int64_t nowNs) {
    return static_cast<std::uint32_t>(nowNs / kNsPerMs);
}

struct QueueHolder {
    std::shared_ptr<MessageQueue> queue;
    ~QueueHolder() {
        if (!queue) return;
        queue->Close();
        QueueRegistry::Instance().Remove(queue->Owner(), queue.get());
    }
};

} // namespace

MessageQueue::MessageQueue(ThreadId owner) : owner_(owner), wakeFd_(MakeEventFd()) {}

MessageQueue::~MessageQueue() {
    close(wakeFd_);
    for (int fd : {epollFd_, inputFd_, timerFd_})
        if (fd >= 0) close(fd);
}

MessageQueue& MessageQueue::Current() {
    thread_local QueueHolder holder;
    if (!holder.queue) holder.queue = QueueRegistry::Instance().Create(CurrentThreadId());
    return *holder.queue;
}

int MessageQueue::Descriptor() {
    std::lock_guard lock(mutex_);
    if (epollFd_ >= 0) return epollFd_;
    inputFd_ = MakeEventFd();
    timerFd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    epollFd_ = epoll_create1(EPOLL_CLOEXEC);
    if (timerFd_ < 0 || epollFd_ < 0)
        throw std::system_error(errno, std::generic_category(), "queue descriptor");
    for (int fd : {inputFd_, timerFd_}) {
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.fd = fd;
        if (epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &ev) != 0)
            throw std::system_error(errno, std::generic_category(), "epoll_ctl");
    }
    SyncDescriptorLocked(MonotonicNow());
    return epollFd_;
}

bool MessageQueue::Post(const QueueEntry& entry, bool wake) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) return false;
        const std::int64_t now = MonotonicNow();
        entries_.push_back(entry);
        entries_.back().time = MessageTime(now);
        SyncDescriptorLocked(now);
    }
    if (wake) WakeIfSleeping();
    return true;
}

bool MessageQueue::Get(QueueEntry& out, TargetFilter filter, MessageRange range) {
    for (;;) {
        sleeping_.store(true);
        std::optional<std::int64_t> wake;
        {
            std::lock_guard lock(mutex_);
            const std::int64_t now = MonotonicNow();
            if (TakeLocked(out, filter, range, PeekRemove, now)) {
                sleeping_.store(false);
                return out.message != WM_QUIT;
            }
            wake = NextDueLocked(filter, range);
        }
        SleepUntil(wake);
    }
}

bool MessageQueue::Peek(QueueEntry& out, TargetFilter filter, MessageRange range, unsigned flags) {
    std::lock_guard lock(mutex_);
    return TakeLocked(out, filter, range, flags, MonotonicNow());
}

WaitResult MessageQueue::Wait(std::span<Event* const> events, std::uint32_t timeoutMilliseconds) {
    if (events.size() > kMaxWaitEvents) return {WaitResult::Kind::Failed, 0};
    // An event stays bound to the last queue that waited on it, so a thread that waits on the same
    // events again and again writes nothing here.
    for (Event* event : events)
        if (event->waiter_.load(std::memory_order_relaxed) != this) event->waiter_.store(this);

    std::optional<std::int64_t> deadline;
    if (timeoutMilliseconds != kInfinite) deadline = MonotonicNow() + timeoutMilliseconds * kNsPerMs;
    sleepDeadlineNs_.store(deadline.value_or(kNoDeadline));

    WaitResult result;
    for (;;) {
        sleeping_.store(true);
        std::optional<std::int64_t> wake = deadline;
        std::int64_t now;
        {
            std::lock_guard lock(mutex_);
            now = MonotonicNow();
            if (HasInputLocked(now)) {
                result = {WaitResult::Kind::Input, 0};
                break;
            }
            if (auto due = NextDueLocked(TargetFilter::Any(), {})) wake = wake ? std::min(*wake, *due) : *due;
        }
        auto ready = std::find_if(events.begin(), events.end(), [](Event* e) { return e->TryConsume(); });
        if (ready != events.end()) {
            result = {WaitResult::Kind::Event, static_cast<std::size_t>(ready - events.begin())};
            break;
        }
        if (deadline && now >= *deadline) {
            result = {WaitResult::Kind::Timeout, 0};
            break;
        }
        SleepUntil(wake);
    }
    sleeping_.store(false);
    sleepDeadlineNs_.store(kNoDeadline);
    return result;
}

std::uint32_t MessageQueue::SetTimer(WindowHandle target, std::uint32_t id, std::int64_t milliseconds) {
    const std::int64_t interval =
        std::clamp(milliseconds, kMinimumTimerMilliseconds, kMaximumTimerMilliseconds) * kNsPerMs;
    {
        std::lock_guard lock(mutex_);
        if (closed_) return 0;
        const std::int64_t now = MonotonicNow();
        auto it = std::find_if(timers_.begin(), timers_.end(),
                               [&](const TimerSlot& t) { return t.target == target && t.id == id; });
        if (it == timers_.end()) {
            timers_.push_back({target, id, interval, now + interval});
        } else {
            it->intervalNs = interval;
            it->dueNs = now + interval;
        }
        SyncDescriptorLocked(now);
    }
    return id;
}

bool MessageQueue::KillTimer(WindowHandle target, std::uint32_t id) {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(timers_.begin(), timers_.end(),
                           [&](const TimerSlot& t) { return t.target == target && t.id == id; });
    if (it == timers_.end()) return false;
    timers_.erase(it);
    SyncDescriptorLocked(MonotonicNow());
    return true;
}

std::optional<std::int64_t> MessageQueue::NextTimerDue() const {
    std::lock_guard lock(mutex_);
    return NextDueLocked(TargetFilter::Any(), {});
}

void MessageQueue::SetTargetResolver(std::function<WindowHandle(const QueueEntry&)> resolver) {
    std::lock_guard lock(mutex_);
    resolver_ = std::move(resolver);
}

void MessageQueue::Close() {
    CloseAndTake();
}

std::deque<QueueEntry> MessageQueue::CloseAndTake() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    std::deque<QueueEntry> taken = std::move(entries_);
    entries_.clear();
    timers_.clear();
    SyncDescriptorLocked(MonotonicNow());
    return taken;
}

void MessageQueue::Reopen(ThreadId owner) {
    std::lock_guard lock(mutex_);
    owner_.store(owner);
    closed_ = false;
    resolver_ = nullptr;
    for (int* fd : {&epollFd_, &inputFd_, &timerFd_}) {
        if (*fd >= 0) close(*fd);
        *fd = -1;
    }
    inputSignalled_ = false;
    timerArmedNs_ = 0;
    sleeping_.store(false);
    Drain(wakeFd_);
}

bool MessageQueue::IsClosed() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

void MessageQueue::WakeIfSleeping() {
    if (sleeping_.load() && sleeping_.exchange(false)) Signal(wakeFd_);
}

void MessageQueue::OnClockChanged() {
    bool due;
    {
        std::lock_guard lock(mutex_);
        const std::int64_t now = MonotonicNow();
        SyncDescriptorLocked(now);
        due = HasInputLocked(now) || sleepDeadlineNs_.load() <= now;
    }
    // A replay moves the clock on every few frames: waking a sleeper with nothing due would cost
    // two system calls and a round trip of its thread each time.
    if (due) WakeIfSleeping();
}

bool MessageQueue::TakeLocked(QueueEntry& out, TargetFilter filter, MessageRange range, unsigned flags,
                              std::int64_t now) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->targetOpen && resolver_) {
            it->target = resolver_(*it);
            it->targetOpen = false;
        }
        if (!filter.Matches(it->target) || !range.Matches(it->message)) continue;
        out = *it;
        if (flags & PeekRemove) {
            entries_.erase(it);
            SyncDescriptorLocked(now);
        }
        return true;
    }
    if ((flags & PeekPostedOnly) || !range.Matches(WM_TIMER)) return false;

    TimerSlot* due = nullptr;
    for (TimerSlot& timer : timers_)
        if (timer.dueNs <= now && filter.Matches(timer.target) && (!due || timer.dueNs < due->dueNs))
            due = &timer;
    if (!due) return false;
    out = QueueEntry{};
    out.target = due->target;
    out.message = WM_TIMER;
    out.wParam = due->id;
    out.time = MessageTime(now);
    if (flags & PeekRemove) {
        // The countdown starts again when the tick is taken: a slow owner gets one tick, not a
        // backlog.
        due->dueNs = now + due->intervalNs;
        SyncDescriptorLocked(now);
    }
    return true;
}

bool MessageQueue::HasInputLocked(std::int64_t now) const {
    return !entries_.empty() ||
           std::any_of(timers_.begin(), timers_.end(), [now](const TimerSlot& t) { return t.dueNs <= now; });
}

std::optional<std::int64_t> MessageQueue::NextDueLocked(TargetFilter filter, MessageRange range) const {
    std::optional<std::int64_t> next;
    if (!range.Matches(WM_TIMER)) return next;
    for (const TimerSlot& timer : timers_)
        if (filter.Matches(timer.target) && (!next || timer.dueNs < *next)) next = timer.dueNs;
    return next;
}

void MessageQueue::SyncDescriptorLocked(std::int64_t now) {
    if (epollFd_ < 0) return;
    const bool input = HasInputLocked(now);
    if (input != inputSignalled_) {
        input ? Signal(inputFd_) : Drain(inputFd_);
        inputSignalled_ = input;
    }
    // On the real clock the kernel makes the descriptor readable when the next timer falls due;
    // a manual clock does it through OnClockChanged.
    std::int64_t arm = 0;
    if (!input && !CurrentMonotonicClock().IsManual())
        if (auto next = NextDueLocked(TargetFilter::Any(), {})) arm = *next;
    if (arm == timerArmedNs_) return;
    itimerspec expiry{};
    expiry.it_value.tv_sec = arm / 1'000'000'000;
    expiry.it_value.tv_nsec = arm % 1'000'000'000;
    // Setting the timer again also clears an expiry that was already counted.
    timerfd_settime(timerFd_, TFD_TIMER_ABSTIME, &expiry, nullptr);
    timerArmedNs_ = arm;
}

void MessageQueue::SleepUntil(std::optional<std::int64_t> wakeNs) {
    WakeBatch::WakeHeld();
    int timeout = -1;
    if (wakeNs && !CurrentMonotonicClock().IsManual()) {
        const std::int64_t remaining = *wakeNs - MonotonicNow();
        timeout =
            remaining <= 0
                ? 0
                : static_cast<int>(std::min<std::int64_t>((remaining + kNsPerMs - 1) / kNsPerMs, 0x7FFFFFFF));
    }
    if (timeout == 0) {
        sleeping_.store(false);
        return;
    }
    pollfd pfd{wakeFd_, POLLIN, 0};
    const int ready = poll(&pfd, 1, timeout);
    sleeping_.store(false);
    if (ready > 0) Drain(wakeFd_);
}

namespace {

thread_local WakeBatch* tl_wakeBatch = nullptr;

// How long wakes wait is a matter of the real clock, whatever clock the program runs on.
std::int64_t SteadyNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

WakeBatch::WakeBatch() : outermost_(tl_wakeBatch == nullptr) {
    if (outermost_) tl_wakeBatch = this;
}

WakeBatch::~WakeBatch() {
    // A batch ended on another thread than its own has nothing of that thread's to wake.
    if (!outermost_ || tl_wakeBatch != this) return;
    WakeHeld();
    tl_wakeBatch = nullptr;
}

bool WakeBatch::Defer(const std::shared_ptr<MessageQueue>& queue) {
    WakeBatch* batch = tl_wakeBatch;
    if (batch == nullptr) return false;
    auto& held = batch->held_;
    if (std::find(held.begin(), held.end(), queue) != held.end()) return true;
    try {
        held.push_back(queue);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (held.size() == 1) batch->heldSinceNs_ = SteadyNowNs();
    return true;
}

void WakeBatch::WakeHeldAfter(std::int64_t nanoseconds) {
    if (tl_wakeBatch != this || held_.empty()) return;
    if (SteadyNowNs() - heldSinceNs_ >= nanoseconds) WakeHeld();
}

void WakeBatch::WakeHeld() {
    WakeBatch* batch = tl_wakeBatch;
    if (batch == nullptr) return;
    for (const auto& queue : batch->held_)
        queue->WakeIfSleeping();
    // The room stays for the next burst.
    batch->held_.clear();
}

} // namespace vq
