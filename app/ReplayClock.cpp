#include "app/ReplayClock.h"

namespace vq {

void ReplayClock::AdvanceTo(uint64_t fileTime) {
    uint64_t now = m_FileTime.load();
    while (fileTime > now) {
        if (m_FileTime.compare_exchange_weak(now, fileTime)) {
            m_Elapsed.fetch_add(static_cast<int64_t>(fileTime - now) * 100);
            MonotonicClockAdvanced();
            return;
        }
    }
}

} // namespace vq
