#pragma once

#include "monitor/DataRoot.h"
#include "monitor/HistoryBuffer.h"
#include "monitor/IntervalData.h"
#include "runtime/TimeSpan.h"
#include "runtime/Timestamp.h"

#include <cstdint>

namespace vq {

class CaptureAdapters;

// What every monitor action reads traffic through: the totals and a ring of intervals, live or
// rebuilt from the history database.
class DataSet {
public:
    enum Kind : uint8_t { KIND_HISTORY = 0, KIND_LIVE = 1 };

    virtual ~DataSet();
    DataSet(const DataSet&) = delete;
    DataSet& operator=(const DataSet&) = delete;

    // Hands the adapter set to the totals and every interval of the ring.
    virtual void SetAdapters(const CaptureAdapters& adapters);
    // Null when the set has no ring.
    virtual HistoryBuffer* GetRing() const = 0;

    // The interval accessors answer null, and the index operations -1, without a ring.
    IntervalData* GetSlot(int32_t index) const;
    IntervalData* GetCurrent() const;
    IntervalData* GetOldest() const;
    // The interval n slots after the current or the oldest one.
    IntervalData* GetFromCurrent(int32_t n) const;
    IntervalData* GetFromOldest(int32_t n) const;
    // For a span above one interval: span ÷ interval slots after the current one, or before the
    // oldest one; otherwise the current or the oldest slot.
    IntervalData* IntervalFromCurrent(const TimeSpan& span) const;
    IntervalData* IntervalFromOldest(const TimeSpan& span) const;
    int32_t Next(int32_t index) const;
    int32_t Prev(int32_t index) const;
    int32_t IndexOf(const Timestamp& time) const;
    IntervalData* IntervalAt(const Timestamp& time) const;

    uint8_t GetKind() const { return m_Kind; }
    const Timestamp& GetCreateTime() const { return m_CreateTime; }
    const Timestamp& GetStartTime() const { return m_StartTime; }
    TotalData& GetTotal() { return m_Total; }
    const TotalData& GetTotal() const { return m_Total; }

protected:
    // A null start stands for now; the start is aligned down to the interval when one is given.
    DataSet(const TimeSpan& interval, const Timestamp& start, uint8_t kind,
            const TrafficStoreFactory& factory);

    uint8_t m_Kind;
    Timestamp m_CreateTime;
    Timestamp m_StartTime;
    TotalData m_Total;

private:
    int32_t SlotsIn(const TimeSpan& span, const HistoryBuffer& ring) const;
};

} // namespace vq
