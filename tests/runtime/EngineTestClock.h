#pragma once

#include "platform/thread/MonotonicClock.h"
#include "platform/time/Clock.h"

#include <cstdint>

namespace vq {

// One manual clock for the whole engine: time values read it as wall time and the thread layer's
// timers and waits as monotonic time. Installed for its lifetime.
class EngineTestClock : public MonotonicClock {
public:
    // 2026-01-01 00:00:00 UTC.
    static constexpr std::uint64_t kStart = 134'116'992'000'000'000ULL;

    EngineTestClock() : m_Wall(kStart), m_Installed(m_Wall) { SetMonotonicClock(this); }
    ~EngineTestClock() override { SetMonotonicClock(nullptr); }

    std::int64_t NowNanoseconds() const override { return std::int64_t(m_Wall.FileTimeNow() - kStart) * 100; }
    bool IsManual() const override { return true; }

    void AdvanceMilliseconds(std::int64_t ms) {
        m_Wall.Advance(ms * 10'000);
        MonotonicClockAdvanced();
    }

private:
    ManualClock m_Wall;
    ScopedClock m_Installed;
};

} // namespace vq
