#include "platform/time/Clock.h"

#include "platform/time/FileTime.h"

#include <ctime>

namespace vq {

namespace {

SystemClock& TheSystemClock() {
    static SystemClock clock;
    return clock;
}

std::atomic<Clock*>& Installed() {
    static std::atomic<Clock*> installed{&TheSystemClock()};
    return installed;
}

} // namespace

uint64_t SystemClock::FileTimeNow() const {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return UnixEpochTicks + uint64_t(now.tv_sec) * TicksPerSecond + uint64_t(now.tv_nsec) / 100;
}

int64_t SystemClock::CounterNow() const {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Ticks times frequency overflows 64 bits within days of the epoch.
__extension__ typedef __int128 WideCount;

int64_t ManualClock::CounterNow() const {
    const WideCount counts = WideCount(m_Now.load()) * m_Frequency.load() / WideCount(TicksPerSecond);
    return int64_t(counts);
}

Clock& CurrentClock() noexcept {
    return *Installed().load(std::memory_order_acquire);
}

Clock* InstallClock(Clock* clock) noexcept {
    return Installed().exchange(clock != nullptr ? clock : &TheSystemClock(), std::memory_order_acq_rel);
}

} // namespace vq
