#pragma once

#include <atomic>
#include <cstdint>

namespace vq {

// The source of the current time and of the high-resolution counter. One clock is installed for the
// whole process; tests install a manual one so that every reader of the time sees the same,
// controlled value.
class Clock {
public:
    virtual ~Clock() = default;
    // Current UTC time as a file time.
    virtual uint64_t FileTimeNow() const = 0;
    // Current reading of the counter, counting CounterFrequency() per second from an arbitrary origin.
    virtual int64_t CounterNow() const = 0;
    // Counts per second; 0 or less when there is no counter.
    virtual int64_t CounterFrequency() const = 0;
};

// The wall clock and the monotonic nanosecond clock.
class SystemClock final : public Clock {
public:
    uint64_t FileTimeNow() const override;
    int64_t CounterNow() const override;
    int64_t CounterFrequency() const override { return 1'000'000'000; }
};

// A clock that moves only when told to; its counter follows its time.
class ManualClock : public Clock {
public:
    explicit ManualClock(uint64_t fileTime = 0, int64_t counterFrequency = 1'000'000'000)
        : m_Now(fileTime), m_Frequency(counterFrequency) {}

    uint64_t FileTimeNow() const override { return m_Now.load(); }
    int64_t CounterNow() const override;
    int64_t CounterFrequency() const override { return m_Frequency.load(); }

    void Set(uint64_t fileTime) { m_Now.store(fileTime); }
    void Advance(int64_t ticks) { m_Now.fetch_add(uint64_t(ticks)); }
    void SetCounterFrequency(int64_t frequency) { m_Frequency.store(frequency); }

private:
    std::atomic<uint64_t> m_Now;
    std::atomic<int64_t> m_Frequency;
};

// The installed clock; the system clock unless another was installed.
Clock& CurrentClock() noexcept;
// Installs `clock` (nullptr: the system clock) and answers the one it replaces. The caller keeps
// ownership and keeps the clock alive while it is installed.
Clock* InstallClock(Clock* clock) noexcept;

// Installs a clock for the lifetime of the guard, then puts back the one before.
class ScopedClock {
public:
    explicit ScopedClock(Clock& clock) : m_Previous(InstallClock(&clock)) {}
    ~ScopedClock() { InstallClock(m_Previous); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    Clock* m_Previous;
};

} // namespace vq
