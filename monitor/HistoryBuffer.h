#pragma once

#include "monitor/IntervalData.h"
#include "monitor/TrafficStore.h"
#include "runtime/TimeSpan.h"
#include "runtime/Timestamp.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vq {

// The ring of intervals of a data set. A growing ring starts with two slots in use and fills the
// rest one interval at a time; once full, the oldest slot is the one after the current one.
class HistoryBuffer {
public:
    // Fails with std::bad_alloc when the span holds fewer than two intervals, which includes an
    // interval that is not positive.
    HistoryBuffer(const Timestamp& start, const TimeSpan& history, const TimeSpan& interval, bool growing,
                  TrafficStoreFactory factory);
    HistoryBuffer(const HistoryBuffer&) = delete;
    HistoryBuffer& operator=(const HistoryBuffer&) = delete;

    bool IsIntervalOver(const Timestamp& now) const { return now.GetTicks() >= m_EndTime.GetTicks(); }
    // Closes the current interval and opens the next. The end time moves on even when opening
    // fails; the failure is passed on afterwards.
    void Advance();
    // Closes the current interval and opens the one that holds `now`. After a jump of the clock
    // the intervals in between are emptied in passing; none of them is closed on its own.
    void AdvanceTo(const Timestamp& now);
    // Empties every interval; the current one keeps its time.
    void Reset();
    // Starts over from now, not aligned. New slots are made before the old ones go: when that
    // fails, the old ones are kept, restart-cleared, and the failure is reported.
    void Restart(const Timestamp& now);

    // Wraps once in either direction.
    int32_t Offset(int32_t index, int32_t offset) const;
    // The slot holding a time: the oldest for times before all data, the current one for times
    // after the last update.
    int32_t IndexOf(const Timestamp& time) const;
    // Null outside the ring.
    IntervalData* GetSlot(int32_t index) const;

    bool IsGrowing() const { return m_Growing; }
    const TimeSpan& GetInterval() const { return m_Interval; }
    const TimeSpan& GetSpan() const { return m_Span; }
    const Timestamp& GetEndTime() const { return m_EndTime; }
    int32_t GetCount() const { return m_Count; }
    int32_t GetOldest() const { return m_Oldest; }
    int32_t GetCurrent() const { return m_Current; }

private:
    std::vector<std::unique_ptr<IntervalData>> MakeSlots() const;
    void ResetIndexes();

    bool m_Growing;
    TimeSpan m_Interval;
    TimeSpan m_Span;
    Timestamp m_EndTime;
    int32_t m_Count = 0;
    int32_t m_Oldest = 0;
    int32_t m_Current = 0;
    TrafficStoreFactory m_Factory;
    std::vector<std::unique_ptr<IntervalData>> m_Slots;
};

} // namespace vq
