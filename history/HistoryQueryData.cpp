#include "history/HistoryQueryData.h"

#include <algorithm>

namespace vq::history {

int32_t HistoryQueryData::IndexOf(const Timestamp& time) const {
    const int32_t newest = GetCount() - 1;
    if (newest <= 0) return newest;
    // Slot times ascend (the null ones lead), so the first slot ending at or after the time is
    // found by bisection: a walk per row would cost the whole ring on long histories.
    auto found = std::lower_bound(
        m_SlotTimes.begin(), m_SlotTimes.end(), time,
        [](const Timestamp& slot, const Timestamp& t) { return slot.GetTicks() < t.GetTicks(); });
    if (found == m_SlotTimes.end()) return newest;
    return int32_t(found - m_SlotTimes.begin());
}

} // namespace vq::history
