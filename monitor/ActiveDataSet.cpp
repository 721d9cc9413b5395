#include "monitor/ActiveDataSet.h"

#include "monitor/LiveTraffic.h"
#include "netmodel/Environment.h"
#include "runtime/TimeUnits.h"

#include <algorithm>
#include <new>

namespace vq {
namespace {

TimeSpan OrDefault(const TimeSpan& span, int64_t defaultMs) {
    return span.GetTicks() == 0 ? TimeSpan(defaultMs, Unit::Milliseconds) : span;
}

TimeSpan PositiveStep(const TimeSpan& step) {
    if (step.GetTicks() <= 0) throw std::bad_alloc();
    return step;
}

} // namespace

ActiveDataSet::ActiveDataSet(const TimeSpan& history, const TimeSpan& interval, const TimeSpan& updateStep,
                             const TrafficStoreFactory& factory)
    : DataSet(OrDefault(interval, kDefaultIntervalMs), NULL_TIME, KIND_LIVE, factory),
      m_Ring(m_StartTime, OrDefault(history, kDefaultHistoryMs), OrDefault(interval, kDefaultIntervalMs),
             true, factory),
      m_Latest(PositiveStep(OrDefault(updateStep, kDefaultUpdateStepMs)), factory),
      m_UpdateStep(m_Latest.GetLength()), m_LastSample(m_UpdateStep, factory) {}

void ActiveDataSet::SetAdapters(const CaptureAdapters& adapters) {
    DataSet::SetAdapters(adapters);
    m_Latest.BindAdapters(adapters);
    m_LastSample.BindAdapters(adapters);
    m_Adapters = &adapters;
}

void ActiveDataSet::Tick(const Timestamp& now) {
    IntervalData* current = GetCurrent();
    m_LastSample.SetTime(now);
    current->SetTime(now);
    m_Total.SetTime(now);
    // The running step's counters move over whole: a copy would make every conversation again.
    m_LastSample.TakeOver(m_Latest);
    if (m_Adapters) m_LastSample.UpdateAdapters(*m_Adapters);
    current->Add(m_LastSample);
    m_Total.Add(m_LastSample);
    m_Latest.RestartClear();
}

TimeSpan ActiveDataSet::TimeToNextUpdate(const Timestamp& time) const {
    const uint64_t t = (time == NULL_TIME ? Timestamp::Now() : time).GetTicks();
    const int64_t step = m_UpdateStep.GetTicks();
    int64_t r = int64_t(t % uint64_t(step));
    if (r > step / 2) r -= step;
    return TimeSpan(step - r);
}

void ActiveDataSet::Reset(uint32_t flags) {
    if (flags & FLAG_LAST_SAMPLE) m_LastSample.ResetClear();
    if (flags & FLAG_TOTAL) m_Total.ResetClear();
    if (flags & FLAG_RING) m_Ring.Reset();
    m_StartTime = Timestamp::Now();
}

void ActiveDataSet::Restart(uint32_t flags) {
    m_Latest.RestartClear();
    if (flags & FLAG_LAST_SAMPLE) m_LastSample.RestartClear();
    if (flags & FLAG_TOTAL) m_Total.RestartClear();
    const Timestamp now = Timestamp::Now();
    if (flags & FLAG_RING) {
        m_Ring.Restart(now);
        m_StartTime = Timestamp(m_Ring.GetEndTime().GetTicks() - uint64_t(m_Ring.GetInterval().GetTicks()));
    } else {
        m_StartTime = now;
    }
}

void ActiveDataSet::ImportRing(const DataSet& other, Environment& live) {
    const HistoryBuffer* theirs = other.GetRing();
    if (!theirs) return;
    const LiveImport import(live);
    const int32_t count = std::min(m_Ring.GetCount(), theirs->GetCount());
    for (int32_t index = 0; index < count; ++index) {
        const IntervalData* slot = theirs->GetSlot(index);
        if (slot->GetTime() == NULL_TIME) break;
        if (IntervalData* own = m_Ring.GetSlot(index)) own->Import(*slot, live);
    }
}

} // namespace vq
