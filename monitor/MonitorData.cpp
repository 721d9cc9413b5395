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

const MonitorData& Request(const Object& object) {
    return static_cast<const MonitorData&>(object);
}

std::string FormatIdentifier(const Object& object, uint32_t, int) {
    return FormatMember(Request(object).GetIdentifier(), "$%p");
}
std::string FormatTarget(const Object& object, uint32_t, int) {
    return MonitorData::TargetName(Request(object).GetTarget());
}
std::string FormatDataType(const Object& object, uint32_t, int) {
    return MonitorData::DataTypeName(Request(object).GetDataType());
}
std::string FormatPeriod(const Object& object, uint32_t, int) {
    return FormatMember(Request(object).GetPeriod(), "%#Hh %#Mm %#Ss");
}
std::string FormatCreateTime(const Object& object, uint32_t, int) {
    return FormatMember(Request(object).GetCreateTime(), "%Y/%m/%d/%H:%M:%S");
}
std::string FormatUpdateTime(const Object& object, uint32_t, int) {
    return FormatMember(Request(object).GetUpdateTime(), "%Y/%m/%d/%H:%M:%S");
}
std::string FormatRepetitions(const Object& object, uint32_t, int) {
    return FormatMember(Request(object).GetRepetitions(), "%u");
}

constexpr MemberRow kRequestRows[] = {
    {"m_Identifier", "ID", 10, &FormatIdentifier},      {"m_Target", "Target", 15, &FormatTarget},
    {"m_DataType", "DataType", 16, &FormatDataType},    {"m_Period", "Period", 10, &FormatPeriod},
    {"m_CreateTime", "CreateT", 10, &FormatCreateTime}, {"m_UpdateTime", "UpdateT", 10, &FormatUpdateTime},
    {"m_Repetitions", "Reps", 10, &FormatRepetitions},
};

const MonitorDataReply& Reply(const Object& object) {
    return static_cast<const MonitorDataReply&>(object);
}

std::string FormatReplyIdentifier(const Object& object, uint32_t, int) {
    return FormatMember(Reply(object).GetIdentifier(), "$%p");
}
std::string FormatReplyMode(const Object& object, uint32_t, int) {
    return FormatMember(int(Reply(object).GetMode()), "%d");
}
std::string FormatReplyRange(const Object& object, uint32_t flags, int depth) {
    return FormatMember(&Reply(object).GetRange(), flags, depth);
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

const char* MonitorData::TargetName(int32_t target) {
    switch (target) {
    case TARGET_NONE:
        return "TARGET_NONE";
    case TARGET_TOTAL:
        return "TARGET_TOTAL";
    case TARGET_CURRENT:
        return "TARGET_CURRENT";
    case TARGET_LATEST:
        return "TARGET_LATEST";
    default:
        return "target?";
    }
}

const char* MonitorData::DataTypeName(int32_t dataType) {
    switch (dataType) {
    case DATA_NONE:
        return "DATA_NONE";
    case DATA_PERIODIC:
        return "DATA_PERIODIC";
    case DATA_CUMULATIVE:
        return "DATA_CUMULATIVE";
    default:
        return "type?";
    }
}

MemberTable MonitorData::Members() {
    return {Class(), kRequestRows};
}

MonitorDataItemDisplay::MonitorDataItemDisplay(const TimeSpan& maxAge, int32_t minCount, int32_t maxCount)
    : m_MaxAge(maxAge), m_MinCount(minCount), m_MaxCount(maxCount) {}

MonitorDataItemDisplay::MonitorDataItemDisplay(int32_t minCount, int32_t maxCount)
    : m_MinCount(minCount), m_MaxCount(maxCount) {}

MonitorDataReply::MonitorDataReply(const void* identifier, int32_t mode, const TimeRange& range)
    : m_Identifier(identifier), m_Mode(mode), m_Range(range) {}

MemberTable MonitorDataReply::Members() {
    static constexpr MemberRow rows[] = {
        {"m_Identifier", "ID", 10, &FormatReplyIdentifier},
        {"m_Mode", "mode", 10, &FormatReplyMode},
        {"m_Range", "range", 20, &FormatReplyRange},
    };
    return {Class(), rows};
}

} // namespace vq
