#pragma once

#include "platform/thread/MonotonicClock.h"
#include "platform/time/Clock.h"

#include <atomic>
#include <cstdint>

namespace vq {

// The time of a replay: it stands still until a replayed frame moves it forward to the frame's own
// time stamp, so that ticks, intervals and checkpoints fall by capture time at any replay speed.
// It is both the clock behind the current time and the one timers run on; it never goes back.
class ReplayClock final : public Clock, public MonotonicClock {
public:
    explicit ReplayClock(uint64_t fileTime) : m_FileTime(fileTime) {}

    uint64_t FileTimeNow() const override { return m_FileTime.load(); }
    int64_t CounterNow() const override { return NowNanoseconds(); }
    int64_t CounterFrequency() const override { return 1'000'000'000; }
    int64_t NowNanoseconds() const override { return m_Elapsed.load(); }
    bool IsManual() const override { return true; }

    // Moves the time to `fileTime` when that is later; wakes the timers that fell due.
    void AdvanceTo(uint64_t fileTime);

private:
    std::atomic<uint64_t> m_FileTime;
    // Nanoseconds since the clock was made, for the timers.
    std::atomic<int64_t> m_Elapsed{0};
};

} // namespace vq
