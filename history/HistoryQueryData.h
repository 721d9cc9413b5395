#pragma once

#include "netmodel/Environment.h"
#include "netmodel/Traffic.h"
#include "runtime/TimeSpan.h"
#include "runtime/Timestamp.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vq::history {

// What a history query rebuilt from the file: its own model, the totals and a full ring of
// intervals, oldest first and newest last. The ring holds at least two slots; slots before the
// first stored interval keep a null time and no traffic.
struct HistoryQueryData {
    // The entry's first and last stored times (null when nothing is stored).
    Timestamp m_FirstTime;
    Timestamp m_LastTime;
    // The range the ring covers: m_Start is one interval before the oldest slot's end.
    Timestamp m_Start;
    Timestamp m_End;
    TimeSpan m_Interval;
    std::unique_ptr<Environment> m_Environment;
    std::unique_ptr<Traffic> m_Total;
    std::vector<Timestamp> m_SlotTimes;
    std::vector<std::unique_ptr<Traffic>> m_Slots;

    int32_t GetCount() const { return int32_t(m_Slots.size()); }
    // The slot a time belongs to, as the data sets' rings answer it: the oldest for times up to
    // its end, the newest for times from its end on, else the first slot ending at or after it.
    int32_t IndexOf(const Timestamp& time) const;
};

} // namespace vq::history
