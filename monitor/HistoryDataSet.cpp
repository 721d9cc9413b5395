#include "monitor/HistoryDataSet.h"

#include "runtime/TimeUnits.h"

namespace vq {

HistoryDataSet::HistoryDataSet() : DataSet(TimeSpan(), NULL_TIME, KIND_HISTORY, {}) {
    m_CreateTime = NULL_TIME;
    m_StartTime = NULL_TIME;
}

HistoryDataSet::HistoryDataSet(const DatabaseRequest& request, const TimeSpan& interval,
                               const Timestamp& firstTime, const Timestamp& lastTime, const Timestamp& from,
                               const Timestamp& to, const RingFiller& fill,
                               const TrafficStoreFactory& factory)
    : DataSet(interval, from, KIND_HISTORY, factory), m_Request(request), m_FirstTime(firstTime),
      m_LastTime(lastTime) {
    TimeSpan span(int64_t(to.GetTicks() - from.GetTicks()));
    if (span.GetTicks() != 0) span = TimeSpan(span.GetTicks() - TimeSpan(5, Unit::Minutes).GetTicks());
    m_Ring = std::make_unique<HistoryBuffer>(m_StartTime, span, interval, false, factory);
    if ((fill ? fill(*m_Ring) : 0) == 0) m_Ring->GetSlot(0)->SetTime(NULL_TIME);
}

} // namespace vq
