#include "monitor/MonitorData.h"

#include "monitor/HistoryMap.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(MonitorData, Describable)
VQ_IMPLEMENT_RUNTIME_CLASS(MonitorDataReply, Describable)

namespace {

// Ticks since 1601, so week periods start on Mondays.
Timestamp FirstDueTime(const Timestamp& created, const TimeSpan& period) {
    const int64_t step = period.GetTicks();
    if (step <= 0) return created;
    const uint64_t due = created.GetTicks() + uint64_t(step);
    return Timestamp(due - due % uint64_t(step));
}

} // namespace

MonitorData::MonitorData(const void* identifier, int32_t source, int32_t scope, int32_t target,
                         int32_t dataType, const TimeSpan& period, uint32_t repetitions, std::string name)
    : m_Target(target), m_DataType(dataType), m_Period(period), m_CreateTime(Timestamp::Now()),
      m_UpdateTime(FirstDueTime(m_CreateTime, period)), m_Repetitions(repetitions), m_Identifier(identifier),
      m_Scope(scope), m_Source(source), m_Name(std::move(name)) {}

MonitorData::MonitorData(const MonitorData& other)
    : Describable(), m_Target(other.m_Target), m_DataType(other.m_DataType), m_Period(other.m_Period),
      m_CreateTime(other.m_CreateTime), m_UpdateTime(other.m_UpdateTime), m_Repetitions(other.m_Repetitions),
      m_Identifier(other.m_Identifier), m_Scope(other.m_Scope), m_Source(other.m_Source),
      m_Name(other.m_Name), m_ReplyRange(other.m_Range) {}

MonitorData::~MonitorData() {
    if (m_WaitingIn) m_WaitingIn->RemoveWaiting(*this);
}

void MonitorData::Uninstall() {
    delete this;
}

MemberTable MonitorData::Members() {
    return {Class(), {}};
}

MonitorDataItemDisplay::MonitorDataItemDisplay(const TimeSpan& maxAge, int32_t minCount, int32_t maxCount)
    : m_MaxAge(maxAge), m_MinCount(minCount), m_MaxCount(maxCount) {}

MonitorDataItemDisplay::MonitorDataItemDisplay(int32_t minCount, int32_t maxCount)
    : m_MinCount(minCount), m_MaxCount(maxCount) {}

MonitorDataReply::MonitorDataReply(const void* identifier, int32_t mode, const TimeRange& range)
    : m_Identifier(identifier), m_Mode(mode), m_Range(range) {}

MemberTable MonitorDataReply::Members() {
    return {Class(), {}};
}

} // namespace vq
