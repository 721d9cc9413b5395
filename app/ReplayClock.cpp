#include "app/ReplayClock.h"

namespace vq {

namespace {

// Waking every queue costs system calls; the replay's frames come microseconds apart, while timers
// run in steps of 10 ms and more. So the queues look again only when the time enters a new step.
constexpr uint64_t kWakeStepTicks = 100'000; // 10 ms

} // namespace

void ReplayClock::AdvanceTo(uint64_t fileTime) {
    uint64_t now = m_FileTime.load();
    while (fileTime > now) {
        if (m_FileTime.compare_exchange_weak(now, fileTime)) {
            m_Elapsed.fetch_add(static_cast<int64_t>(fileTime - now) * 100);
            if (fileTime / kWakeStepTicks != now / kWakeStepTicks) MonotonicClockAdvanced();
            return;
        }
    }
}

} // namespace vq
