#include "monitor/DataSet.h"

namespace vq {
namespace {

Timestamp AlignDown(const Timestamp& time, const TimeSpan& interval) {
    const int64_t step = interval.GetTicks();
    return step > 0 ? Timestamp(time.GetTicks() - time.GetTicks() % uint64_t(step)) : time;
}

} // namespace

DataSet::DataSet(const TimeSpan& interval, const Timestamp& start, uint8_t kind,
                 const TrafficStoreFactory& factory)
    : m_Kind(kind), m_CreateTime(start == NULL_TIME ? Timestamp::Now() : start),
      m_StartTime(AlignDown(m_CreateTime, interval)), m_Total(kind, factory) {}

DataSet::~DataSet() = default;

void DataSet::SetAdapters(const CaptureAdapters& adapters) {
    m_Total.BindAdapters(adapters);
    HistoryBuffer* ring = GetRing();
    if (!ring) return;
    for (int32_t i = 0; i < ring->GetCount(); ++i)
        if (IntervalData* slot = ring->GetSlot(i)) slot->BindAdapters(adapters);
}

IntervalData* DataSet::GetSlot(int32_t index) const {
    HistoryBuffer* ring = GetRing();
    return ring ? ring->GetSlot(index) : nullptr;
}

IntervalData* DataSet::GetCurrent() const {
    HistoryBuffer* ring = GetRing();
    return ring ? ring->GetSlot(ring->GetCurrent()) : nullptr;
}

IntervalData* DataSet::GetOldest() const {
    HistoryBuffer* ring = GetRing();
    return ring ? ring->GetSlot(ring->GetOldest()) : nullptr;
}

IntervalData* DataSet::GetFromCurrent(int32_t n) const {
    HistoryBuffer* ring = GetRing();
    return ring ? ring->GetSlot(ring->Offset(ring->GetCurrent(), n)) : nullptr;
}

IntervalData* DataSet::GetFromOldest(int32_t n) const {
    HistoryBuffer* ring = GetRing();
    return ring ? ring->GetSlot(ring->Offset(ring->GetOldest(), n)) : nullptr;
}

int32_t DataSet::SlotsIn(const TimeSpan& span, const HistoryBuffer& ring) const {
    const int64_t interval = ring.GetInterval().GetTicks();
    return span.GetTicks() > interval ? int32_t(span.GetTicks() / interval) : 0;
}

IntervalData* DataSet::IntervalFromCurrent(const TimeSpan& span) const {
    HistoryBuffer* ring = GetRing();
    return ring ? ring->GetSlot(ring->Offset(ring->GetCurrent(), SlotsIn(span, *ring))) : nullptr;
}

IntervalData* DataSet::IntervalFromOldest(const TimeSpan& span) const {
    HistoryBuffer* ring = GetRing();
    return ring ? ring->GetSlot(ring->Offset(ring->GetOldest(), -SlotsIn(span, *ring))) : nullptr;
}

int32_t DataSet::Next(int32_t index) const {
    HistoryBuffer* ring = GetRing();
    return ring ? ring->Offset(index, 1) : -1;
}

int32_t DataSet::Prev(int32_t index) const {
    HistoryBuffer* ring = GetRing();
    return ring ? ring->Offset(index, -1) : -1;
}

int32_t DataSet::IndexOf(const Timestamp& time) const {
    HistoryBuffer* ring = GetRing();
    return ring ? ring->IndexOf(time) : -1;
}

IntervalData* DataSet::IntervalAt(const Timestamp& time) const {
    return GetSlot(IndexOf(time));
}

} // namespace vq
