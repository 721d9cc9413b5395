#pragma once

#include <atomic>
#include <cstdint>

namespace vq {

// The clock that timers, message times and wait time-outs run on. The real one is CLOCK_MONOTONIC;
// tests install a manual one so that nothing depends on how fast the machine is.
class MonotonicClock {
public:
    virtual ~MonotonicClock() = default;
    virtual std::int64_t NowNanoseconds() const = 0;
    // A manual clock never moves by itself: waits then sleep until it is advanced, instead of
    // letting the kernel time them out.
    virtual bool IsManual() const = 0;
};

// The installed clock; the real one unless a test installed another.
MonotonicClock& CurrentMonotonicClock();
// Installs a clock (null restores the real one). The caller keeps it alive while installed.
void SetMonotonicClock(MonotonicClock* clock);
// Every queue looks at its timers and time-outs again; a manual clock calls this after moving.
void MonotonicClockAdvanced();

inline std::int64_t MonotonicNow() {
    return CurrentMonotonicClock().NowNanoseconds();
}

// A clock that moves only when told to. Advancing it wakes every queue whose timer or wait
// time-out has fallen due.
class ManualMonotonicClock : public MonotonicClock {
public:
    explicit ManualMonotonicClock(std::int64_t start = 0) : now_(start) {}
    std::int64_t NowNanoseconds() const override { return now_.load(); }
    bool IsManual() const override { return true; }
    void Advance(std::int64_t nanoseconds);
    void AdvanceMilliseconds(std::int64_t milliseconds) { Advance(milliseconds * 1'000'000); }

private:
    std::atomic<std::int64_t> now_;
};

} // namespace vq
