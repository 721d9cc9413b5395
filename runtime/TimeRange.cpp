#include "runtime/TimeRange.h"

#include "platform/core/Format.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(TimeRange, Describable)

namespace {

constexpr const char* DumpFormat = "%Y/%m/%d/%H:%M:%S";
constexpr uint32_t MaxCount = 4'294'967'295u;

TimeSpan Times(const TimeSpan& period, uint64_t count) {
    return TimeSpan(int64_t(uint64_t(period.GetTicks()) * count));
}

} // namespace

TimeRange::TimeRange(const TimeSpan& period, uint32_t count) : m_Count(count), m_Period(period) {
    if (count != 0) m_Definition |= CountGiven;
    if (period.GetTicks() != 0) m_Definition |= PeriodGiven;
    if (m_Definition == (CountGiven | PeriodGiven)) m_Total = Times(period, count);
}

void TimeRange::InitAnchored(const Timestamp& start, const Timestamp& end, uint32_t definition) {
    m_RangeStart = start;
    m_RangeEnd = end;
    m_Valid = IsSet(start) && IsSet(end);
    m_Definition = definition | (m_Valid || IsSet(start) ? StartAnchored : EndAnchored);
    if (m_Valid) m_Total = end - start;
}

TimeRange::TimeRange(const Timestamp& start, const Timestamp& end) {
    InitAnchored(start, end, CountGiven);
    if (m_Valid) {
        m_Period = m_Total;
        m_Count = 1;
    }
}

TimeRange::TimeRange(const Timestamp& start, const Timestamp& end, const TimeSpan& period) {
    InitAnchored(start, end, PeriodGiven);
    if (m_Valid) SetPeriod(period);
}

TimeRange::TimeRange(const Timestamp& start, const Timestamp& end, uint32_t count) {
    InitAnchored(start, end, CountGiven);
    if (m_Valid) SetCount(count);
}

TimeRange::TimeRange(const Timestamp& start, const TimeSpan& period, uint32_t count)
    : m_RangeStart(start), m_Count(count), m_Period(period), m_Definition(PeriodGiven | StartAnchored) {
    if (count == 0) return;
    m_Definition |= CountGiven;
    m_Total = Times(period, count);
    if (IsSet(start)) {
        m_Valid = 1;
        m_RangeEnd = start + m_Total;
    }
}

TimeRange::TimeRange(const TimeSpan& period, const Timestamp& end, uint32_t count)
    : m_RangeEnd(end), m_Count(count), m_Period(period), m_Total(Times(period, count)),
      m_Definition(PeriodGiven | EndAnchored) {
    if (count == 0) return;
    m_Definition |= CountGiven;
    if (IsSet(end)) {
        m_Valid = 1;
        m_RangeStart = end;
        m_RangeStart.Subtract(m_Total);
    }
}

void TimeRange::Assign(const TimeRange& other) {
    m_RangeStart = other.m_RangeStart;
    m_RangeEnd = other.m_RangeEnd;
    m_Period = other.m_Period;
    m_Count = other.m_Count;
    m_Total = other.m_Total;
    m_Valid = other.m_Valid;
}

Timestamp TimeRange::PeriodStart(uint32_t i) const {
    if (i >= m_Count || !IsSet(m_RangeStart)) return NULL_TIME;
    return m_RangeStart + Times(m_Period, i);
}

Timestamp TimeRange::PeriodEnd(uint32_t i) const {
    if (i >= m_Count || !IsSet(m_RangeEnd)) return NULL_TIME;
    Timestamp end = m_RangeEnd;
    end.Subtract(Times(m_Period, i));
    return end;
}

bool TimeRange::SetCount(uint32_t n) {
    if (n == 0) return false;
    const int64_t period = m_Total.GetTicks() / int64_t(n);
    if (period == 0) return false;
    m_Count = n;
    m_Period = TimeSpan(period);
    return true;
}

bool TimeRange::SetPeriod(const TimeSpan& p) {
    // A negative period or total would leave a negative count in the unsigned field.
    if (p.GetTicks() <= 0) return false;
    const int64_t n = m_Total.GetTicks() / p.GetTicks();
    if (n < 0 || n >= int64_t(MaxCount)) return false;
    m_Period = p;
    m_Count = n == 0 ? 1 : uint32_t(n);
    return true;
}

bool TimeRange::Anchor(const Timestamp& start, const Timestamp& end) {
    const uint32_t given = m_Definition & (CountGiven | PeriodGiven);
    if (given == (CountGiven | PeriodGiven)) {
        const TimeRange moved(start, m_Period, m_Count);
        if (moved.m_RangeEnd.Compare(end) != 0) return false;
        Assign(moved);
    } else if (given == CountGiven) {
        Assign(TimeRange(start, end, m_Count));
    } else if (given == PeriodGiven) {
        Assign(TimeRange(start, end, m_Period));
    } else {
        Assign(TimeRange(start, end));
    }
    return true;
}

std::string TimeRange::Format(const char* format) const {
    if (format == nullptr) return {};
    return vq::Format(format, m_RangeStart.Format(DumpFormat).c_str(), m_RangeEnd.Format(DumpFormat).c_str());
}

std::string TimeRange::FormatStart(const Object& object, uint32_t, int) {
    return static_cast<const TimeRange&>(object).m_RangeStart.Format(DumpFormat);
}

std::string TimeRange::FormatEnd(const Object& object, uint32_t, int) {
    return static_cast<const TimeRange&>(object).m_RangeEnd.Format(DumpFormat);
}

MemberTable TimeRange::DescribedMembers() const {
    static constexpr MemberRow rows[] = {{"m_RangeStart", "start", 12, &TimeRange::FormatStart},
                                         {"m_RangeEnd", "end", 12, &TimeRange::FormatEnd}};
    return {Class(), rows};
}

const TimeRange& EMPTY_RANGE() {
    static const TimeRange empty(ZERO_SPAN, 0);
    return empty;
}

} // namespace vq
