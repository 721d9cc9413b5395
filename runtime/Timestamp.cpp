#include "runtime/Timestamp.h"

#include "platform/core/StringTable.h"
#include "platform/time/Clock.h"
#include "platform/time/LocalTime.h"

#include <cmath>
#include <limits>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(Timestamp, Describable)

namespace {

constexpr const char* DumpFormat = "%Y/%m/%d/%H:%M:%S";

// A time as the dumps see it: a describable of class Timestamp, at the time's own address.
class TimestampDump final : public Describable {
public:
    explicit TimestampDump(const Timestamp& time) : m_Time(time) {}
    const RuntimeClass& GetRuntimeClass() const override { return Timestamp::Class(); }

protected:
    MemberTable DescribedMembers() const override {
        static constexpr MemberRow rows[] = {{"m_Time", "Time", 19, &FormatTime}};
        return {Timestamp::Class(), rows};
    }
    const void* DescribedAddress() const override { return &m_Time; }

private:
    static std::string FormatTime(const Object& object, uint32_t, int) {
        return static_cast<const TimestampDump&>(object).m_Time.GetOleDateTime().Format(DumpFormat);
    }

    const Timestamp& m_Time;
};

bool ReadsAsDate(int unit, int mode) {
    return (mode == ConversionUnset || mode == ConversionDATE) && unit == Unit::Days;
}

} // namespace

void Timestamp::SetNow() {
    m_Time = CurrentClock().FileTimeNow();
}

Timestamp Timestamp::Now() {
    Timestamp now;
    now.SetNow();
    return now;
}

int Timestamp::Compare(const Timestamp& other) const {
    const uint64_t resolution = uint64_t(ClockResolution());
    if (m_Time < other.m_Time) return other.m_Time - m_Time > resolution ? 1 : 0;
    if (m_Time > other.m_Time) return m_Time - other.m_Time > resolution ? -1 : 0;
    return 0;
}

int64_t Timestamp::GetUnits(int unit) const {
    if (TicksPerUnit(unit) == 1) return int64_t(m_Time);
    return TruncateToTicks(double(m_Time) * UnitsPerTick(unit));
}

void Timestamp::GetUnits(double& out, int unit) const {
    out = double(m_Time) * UnitsPerTick(unit);
}

int Timestamp::DaysToSeconds(double days) {
    const double seconds = std::trunc(days * 86'400.0 + 5.787037037037037e-6);
    // Beyond the 32-bit range the count saturates rather than wrapping to an arbitrary time.
    if (std::isnan(seconds)) return 0;
    if (seconds >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (seconds <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return int(seconds);
}

bool Timestamp::SetSystemTime(const SystemTime& utc) {
    uint64_t ticks;
    if (!SystemTimeToFileTime(utc, ticks)) return false;
    m_Time = ticks;
    return true;
}

bool Timestamp::AddSystemTime(const SystemTime& time) {
    uint64_t ticks;
    if (!SystemTimeToFileTime(time, ticks)) return false;
    m_Time += ticks;
    return true;
}

bool Timestamp::SubtractSystemTime(const SystemTime& time) {
    uint64_t ticks;
    if (!SystemTimeToFileTime(time, ticks)) return false;
    m_Time -= ticks;
    return true;
}

OleDateTime Timestamp::GetOleDateTime() const {
    uint64_t local;
    SystemTime fields;
    if (UtcToLocalFileTime(m_Time, local) && FileTimeToSystemTime(local, fields)) return OleDateTime(fields);
    OleDateTime invalid;
    invalid.SetStatus(OleDateTime::invalid);
    return invalid;
}

bool Timestamp::SetOleDateTime(const OleDateTime& date) {
    SystemTime fields;
    uint64_t local, utc;
    if (!date.GetAsSystemTime(fields) || !SystemTimeToFileTime(fields, local) ||
        !LocalToUtcFileTime(local, utc))
        return false;
    m_Time = utc;
    return true;
}

CalendarTime Timestamp::GetCTime() const {
    const int64_t sinceEpoch = int64_t(m_Time - UnixEpochTicks);
    int64_t seconds = sinceEpoch / int64_t(TicksPerSecond);
    if (sinceEpoch % int64_t(TicksPerSecond) < 0) --seconds;
    return CalendarTime(seconds);
}

void Timestamp::SetCTime(const CalendarTime& time) {
    m_Time = UnixEpochTicks + uint64_t(time.GetTime()) * TicksPerSecond;
}

void Timestamp::GetValue(double& out, int unit, int mode) const {
    if (ReadsAsDate(unit, mode)) {
        const OleDateTime date = GetOleDateTime();
        if (date.GetStatus() == OleDateTime::valid) out = date.Value();
    } else if (mode == ConversionImplicit) {
        GetUnits(out, unit);
    }
}

void Timestamp::SetFromDouble(double value, int unit, int mode) {
    if (ReadsAsDate(unit, mode)) {
        SetOleDateTime(OleDateTime(value));
    } else if (mode == ConversionImplicit) {
        // A count that lands outside the tick range is no time at all: the value stays as it was.
        const double ticks = std::trunc(value * double(TicksPerUnit(unit)));
        if (ticks >= 0.0 && ticks < 18'446'744'073'709'551'616.0) m_Time = uint64_t(ticks);
    }
}

void Timestamp::GetValue(int64_t& out, int unit, int mode) const {
    if (mode == ConversionUnset || mode == ConversionImplicit) out = GetUnits(unit);
}

void Timestamp::SetValue(int64_t value, int unit, int mode) {
    if (mode == ConversionUnset || mode == ConversionImplicit)
        m_Time = uint64_t(value) * uint64_t(TicksPerUnit(unit));
}

std::string Timestamp::Format(const char* format) const {
    if (m_Time == NULL_TIME.m_Time) return "<<NULL_TIME>>";
    if (m_Time == MAX_TIME.m_Time) return "<<MAX_TIME>>";
    return GetOleDateTime().Format(format);
}

std::string Timestamp::Format(uint32_t stringId) const {
    return GetOleDateTime().Format(StringTable::Get(stringId).c_str());
}

Timestamp Timestamp::Align(const Timestamp& time, const TimeSpan& period, int mode) {
    const int64_t ticks = period.GetTicks();
    if (ticks <= 0) return time;
    // The remainder is taken unsigned: read as signed, a time from 2^63 on would align to a
    // boundary after itself. Below 2^63 both readings agree.
    const int64_t remainder = int64_t(time.m_Time % uint64_t(ticks));
    const uint64_t floor = time.m_Time - uint64_t(remainder);
    switch (mode) {
    case 1:
        return Timestamp(floor);
    case 2:
        return Timestamp(floor + uint64_t(ticks));
    default:
        return Timestamp(remainder > ticks / 2 ? floor + uint64_t(ticks) : floor);
    }
}

std::string Timestamp::DescribeObject(uint32_t flags, int depth) const {
    return TimestampDump(*this).DescribeObject(flags, depth);
}

std::string Timestamp::DescribeBody(uint32_t flags, int depth) const {
    return TimestampDump(*this).DescribeBody(flags, depth);
}

std::string Timestamp::DescribeMembers(uint32_t flags, int depth, bool trailingSeparator) const {
    return TimestampDump(*this).DescribeMembers(flags, depth, trailingSeparator);
}

std::string Timestamp::DescribeColumns(uint32_t flags, bool trailingSeparator) const {
    return TimestampDump(*this).DescribeColumns(flags, trailingSeparator);
}

TimeSpan operator-(const Timestamp& a, const Timestamp& b) {
    return b.SpanTo(a);
}

Timestamp operator+(const Timestamp& time, const TimeSpan& span) {
    return Timestamp(time, span);
}

const Timestamp& OLE_ZERO_TIME() {
    static const Timestamp zero(OleDateTime(0.0));
    return zero;
}

int64_t ClockResolution() {
    const int64_t frequency = CurrentClock().CounterFrequency();
    return frequency > 0 ? 10'000'000 / frequency : 10'000;
}

uint64_t CurrentFileTime() {
    return CurrentClock().FileTimeNow();
}

bool CurrentLocalFileTime(uint64_t& out) {
    return UtcToLocalFileTime(CurrentClock().FileTimeNow(), out);
}

bool CurrentSystemTime(SystemTime& out, bool local) {
    const uint64_t now = CurrentClock().FileTimeNow();
    uint64_t shifted = now;
    if (local && !UtcToLocalFileTime(now, shifted)) return false;
    return FileTimeToSystemTime(shifted, out);
}

} // namespace vq
