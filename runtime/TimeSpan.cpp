#include "runtime/TimeSpan.h"

#include "platform/core/StringTable.h"

namespace vq {

int TimeSpan::Compare(const TimeSpan& other) const {
    if (m_Ticks < other.m_Ticks) return 1;
    if (m_Ticks > other.m_Ticks) return -1;
    return 0;
}

int64_t TimeSpan::GetUnits(int unit) const {
    if (TicksPerUnit(unit) == 1) return m_Ticks;
    return TruncateToTicks(double(m_Ticks) * UnitsPerTick(unit));
}

void TimeSpan::GetUnits(double& out, int unit) const {
    out = double(m_Ticks) * UnitsPerTick(unit);
}

int64_t TimeSpan::ScaleDouble(double count, int unit) {
    return TruncateToTicks(count * double(TicksPerUnit(unit)));
}

bool TimeSpan::GetSystemTime(SystemTime& out) const {
    return m_Ticks >= 0 && FileTimeToSystemTime(uint64_t(m_Ticks), out);
}

bool TimeSpan::SetSystemTime(const SystemTime& time) {
    uint64_t ticks;
    if (!SystemTimeToFileTime(time, ticks)) return false;
    m_Ticks = int64_t(ticks);
    return true;
}

bool TimeSpan::AddSystemTime(const SystemTime& time) {
    uint64_t ticks;
    if (!SystemTimeToFileTime(time, ticks)) return false;
    AddTicks(int64_t(ticks));
    return true;
}

bool TimeSpan::SubtractSystemTime(const SystemTime& time) {
    uint64_t ticks;
    if (!SystemTimeToFileTime(time, ticks)) return false;
    SubtractTicks(int64_t(ticks));
    return true;
}

OleDateTimeSpan TimeSpan::GetOleDateTimeSpan() const {
    double days;
    GetUnits(days, Unit::Days);
    return OleDateTimeSpan(days);
}

void TimeSpan::SetOleDateTimeSpan(const OleDateTimeSpan& span) {
    SetUnits(span.Value(), Unit::Days);
}

void TimeSpan::AddOleDateTimeSpan(const OleDateTimeSpan& span) {
    AddUnits(span.Value(), Unit::Days);
}

void TimeSpan::SubtractOleDateTimeSpan(const OleDateTimeSpan& span) {
    SubtractUnits(span.Value(), Unit::Days);
}

CalendarTimeSpan TimeSpan::GetCTimeSpan() const {
    return CalendarTimeSpan(m_Ticks / int64_t(TicksPerSecond));
}

void TimeSpan::SetCTimeSpan(const CalendarTimeSpan& span) {
    SetUnits(span.GetTotalSeconds(), Unit::Seconds);
}

void TimeSpan::AddCTimeSpan(const CalendarTimeSpan& span) {
    AddUnits(span.GetTotalSeconds(), Unit::Seconds);
}

void TimeSpan::SubtractCTimeSpan(const CalendarTimeSpan& span) {
    SubtractUnits(span.GetTotalSeconds(), Unit::Seconds);
}

std::string TimeSpan::Format(const char* format) const {
    return GetOleDateTimeSpan().Format(format);
}

std::string TimeSpan::Format(uint32_t stringId) const {
    return Format(StringTable::Get(stringId).c_str());
}

TimeSpan operator-(const TimeSpan& a, const TimeSpan& b) {
    TimeSpan difference(a);
    difference.Subtract(b);
    return difference;
}

} // namespace vq
