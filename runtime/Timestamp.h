#pragma once

#include "platform/time/CalendarTime.h"
#include "platform/time/FileTime.h"
#include "platform/time/OleDateTime.h"
#include "platform/time/SystemTime.h"
#include "runtime/MemberDescription.h"
#include "runtime/TimeSpan.h"

#include <concepts>
#include <cstdint>
#include <string>

namespace vq {

// A point in time: 100-ns ticks since 1601-01-01 00:00 UTC. Moving it wraps around in 64 bits.
// A plain value of eight bytes: every conversation holds several, so it carries no table of virtual
// functions; it dumps itself through a describable view made for the call.
class Timestamp {
public:
    // The class dumps name.
    static const RuntimeClass& Class();

    constexpr Timestamp() = default;
    constexpr explicit Timestamp(uint64_t ticks) : m_Time(ticks) {}
    Timestamp(const Timestamp& time, const TimeSpan& span)
        : m_Time(time.m_Time + uint64_t(span.GetTicks())) {}
    // A count of units read by the conversion mode, as SetValue.
    Timestamp(int64_t count, int unit, int mode) { SetValue(count, unit, mode); }
    explicit Timestamp(const OleDateTime& date) { SetOleDateTime(date); }
    explicit Timestamp(const CalendarTime& time) { SetCTime(time); }
    constexpr Timestamp(const Timestamp&) = default;
    Timestamp& operator=(const Timestamp&) = default;

    // The current UTC time of the installed clock.
    void SetNow();
    static Timestamp Now();

    // 1 when this time is earlier than the other by more than ClockResolution(), -1 when later by
    // more, 0 otherwise. Not an ordering when the resolution is above 0: never sort with it.
    int Compare(const Timestamp& other) const;

    // Ticks since 1601 in whole units; unit 0 gives the raw value.
    int64_t GetUnits(int unit) const;
    void GetUnits(double& out, int unit) const;

    void Assign(const Timestamp& other) { m_Time = other.m_Time; }
    void Add(const TimeSpan& span) { m_Time += uint64_t(span.GetTicks()); }
    void Subtract(const TimeSpan& span) { m_Time -= uint64_t(span.GetTicks()); }
    void Set(const Timestamp& time, const TimeSpan& span) {
        m_Time = time.m_Time + uint64_t(span.GetTicks());
    }
    // other − this.
    TimeSpan SpanTo(const Timestamp& other) const { return TimeSpan(int64_t(other.m_Time - m_Time)); }

    template <std::integral T> void AddUnits(T count, int unit) { Add(SpanOf(count, unit)); }
    template <std::integral T> void SubtractUnits(T count, int unit) { Subtract(SpanOf(count, unit)); }
    void AddUnits(double count, int unit) { Add(SpanOf(count, unit)); }
    void SubtractUnits(double count, int unit) { Subtract(SpanOf(count, unit)); }
    // Days as whole seconds (32-bit, truncated after a small rounding allowance).
    void AddDays(double days) { AddSeconds(DaysToSeconds(days)); }
    void SubtractDays(double days) { SubtractSeconds(DaysToSeconds(days)); }
    void AddSeconds(int seconds) { AddUnits(seconds, Unit::Seconds); }
    void SubtractSeconds(int seconds) { SubtractUnits(seconds, Unit::Seconds); }

    constexpr uint64_t GetTicks() const { return m_Time; }
    FileTime GetFileTime() const { return FileTime::FromTicks(m_Time); }
    void SetTicks(uint64_t ticks) { m_Time = ticks; }
    void SetTicks(const FileTime& ticks) { m_Time = ticks.Ticks(); }
    void AddTicks(uint64_t ticks) { m_Time += ticks; }
    void AddTicks(const FileTime& ticks) { m_Time += ticks.Ticks(); }
    void SubtractTicks(uint64_t ticks) { m_Time -= ticks; }
    void SubtractTicks(const FileTime& ticks) { m_Time -= ticks.Ticks(); }
    // UTC fields; false from 2^63 ticks on.
    bool GetSystemTime(SystemTime& utc) const { return FileTimeToSystemTime(m_Time, utc); }
    // False (and nothing changed) for fields the platform refuses.
    bool SetSystemTime(const SystemTime& utc);
    bool AddSystemTime(const SystemTime& time);
    bool SubtractSystemTime(const SystemTime& time);

    // Local time without the milliseconds; invalid when the time has no local date in the OLE range.
    OleDateTime GetOleDateTime() const;
    // The date taken as local time; false (and nothing changed) when it cannot be converted.
    bool SetOleDateTime(const OleDateTime& date);
    CalendarTime GetCTime() const;
    void SetCTime(const CalendarTime& time);

    // Modes 0 and 1 with days: the OLE date in local time; mode 3: ticks scaled to the unit.
    void GetValue(double& out, int unit, int mode) const;
    void SetFromDouble(double value, int unit, int mode);
    // Modes 0 and 3: whole units since 1601.
    void GetValue(int64_t& out, int unit, int mode) const;
    void SetValue(int64_t value, int unit, int mode);
    // Counts of 32 bits are not a time: accepted and ignored.
    void GetValue(int32_t&, int, int) const {}
    void GetValue(uint32_t&, int, int) const {}
    void SetValue(int32_t, int, int) {}
    void SetValue(uint32_t, int, int) {}

    // The special texts for NULL_TIME and MAX_TIME, otherwise the local time by strftime codes.
    std::string Format(const char* format) const;
    // A format from the string table; no special texts.
    std::string Format(uint32_t stringId) const;

    // The boundary of `period` on the absolute clock: mode 1 the one before, mode 2 the one after,
    // otherwise the nearer one with a tie going down. A period of 0 or less leaves the time as it is.
    static Timestamp Align(const Timestamp& time, const TimeSpan& period, int mode);

    friend constexpr bool operator==(const Timestamp& a, const Timestamp& b) { return a.m_Time == b.m_Time; }

    // The dumps every describable value gives (see Describable), with this time's address.
    std::string DescribeObject(uint32_t flags, int depth) const;
    std::string DescribeBody(uint32_t flags, int depth) const;
    std::string DescribeMembers(uint32_t flags, int depth, bool trailingSeparator) const;
    std::string DescribeColumns(uint32_t flags, bool trailingSeparator) const;

private:
    template <typename T> static TimeSpan SpanOf(T count, int unit) {
        TimeSpan span;
        span.SetUnits(count, unit);
        return span;
    }
    static int DaysToSeconds(double days);

    uint64_t m_Time = 0;
};

TimeSpan operator-(const Timestamp& a, const Timestamp& b);
Timestamp operator+(const Timestamp& time, const TimeSpan& span);

// Constant-initialised: ready before any dynamic initialiser of any file runs.
inline constinit const Timestamp NULL_TIME{};
inline constinit const Timestamp MAX_TIME{~uint64_t(0)};
// 1970-01-01 00:00:00 UTC.
inline constinit const Timestamp CTIME_ZERO_TIME{UnixEpochTicks};
// 1899-12-30 00:00 local time; depends on the time zone, so it is built on first use.
const Timestamp& OLE_ZERO_TIME();
// The tolerance of Timestamp::Compare in ticks: 10,000,000 / counter frequency, 10,000 without a
// counter. Follows the installed clock.
int64_t ClockResolution();

// The current time in other shapes, all from the installed clock.
uint64_t CurrentFileTime();
// False when the local time cannot be had.
bool CurrentLocalFileTime(uint64_t& out);
// False when the time cannot be broken down.
bool CurrentSystemTime(SystemTime& out, bool local = false);

} // namespace vq
