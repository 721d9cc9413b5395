#include "platform/thread/MonotonicClock.h"

#include "platform/thread/QueueRegistry.h"

#include <ctime>

namespace vq {
namespace {

class RealMonotonicClock final : public MonotonicClock {
public:
    std::int64_t NowNanoseconds() const override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return std::int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
    }
    bool IsManual() const override { return false; }
};

RealMonotonicClock realClock;
std::atomic<MonotonicClock*> installed{&realClock};

} // namespace

MonotonicClock& CurrentMonotonicClock() {
    return *installed.load(std::memory_order_acquire);
}

void SetMonotonicClock(MonotonicClock* clock) {
    installed.store(clock ? clock : &realClock, std::memory_order_release);
    MonotonicClockAdvanced();
}

void MonotonicClockAdvanced() {
    QueueRegistry::Instance().ForEach([](MessageQueue& queue) { queue.OnClockChanged(); });
}

void ManualMonotonicClock::Advance(std::int64_t nanoseconds) {
    now_.fetch_add(nanoseconds);
    if (&CurrentMonotonicClock() == this) MonotonicClockAdvanced();
}

} // namespace vq
