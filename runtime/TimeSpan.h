#pragma once

#include "platform/time/CalendarTimeSpan.h"
#include "platform/time/FileTime.h"
#include "platform/time/OleDateTimeSpan.h"
#include "platform/time/SystemTime.h"
#include "runtime/TimeUnits.h"

#include <concepts>
#include <cstdint>
#include <limits>
#include <string>

namespace vq {

// A signed duration in 100-ns ticks. Sums and differences wrap around in 64 bits. A plain value
// of eight bytes, without virtual functions, like the times it measures between.
class TimeSpan {
public:
    constexpr TimeSpan() = default;
    // count × the ticks of the unit, exactly.
    constexpr explicit TimeSpan(int64_t count, int unit = Unit::Ticks) : m_Ticks(Scale(count, unit)) {}
    constexpr TimeSpan(const TimeSpan&) = default;
    TimeSpan& operator=(const TimeSpan&) = default;

    // 1 when this span is shorter than the other, -1 when longer, 0 when equal.
    int Compare(const TimeSpan& other) const;

    // Whole units, truncated toward zero after scaling by the unit's reciprocal in double precision.
    int64_t GetUnits(int unit) const;
    void GetUnits(int32_t& out, int unit) const { out = int32_t(GetUnits(unit)); }
    void GetUnits(uint32_t& out, int unit) const { out = uint32_t(GetUnits(unit)); }
    void GetUnits(int64_t& out, int unit) const { out = GetUnits(unit); }
    void GetUnits(double& out, int unit) const;

    template <std::integral T> void SetUnits(T count, int unit) { m_Ticks = Scale(int64_t(count), unit); }
    void SetUnits(double count, int unit) { m_Ticks = ScaleDouble(count, unit); }
    template <std::integral T> void AddUnits(T count, int unit) {
        Add(FromTicks(Scale(int64_t(count), unit)));
    }
    void AddUnits(double count, int unit) { Add(FromTicks(ScaleDouble(count, unit))); }
    template <std::integral T> void SubtractUnits(T count, int unit) {
        Subtract(FromTicks(Scale(int64_t(count), unit)));
    }
    void SubtractUnits(double count, int unit) { Subtract(FromTicks(ScaleDouble(count, unit))); }

    void Assign(const TimeSpan& other) { m_Ticks = other.m_Ticks; }
    void Add(const TimeSpan& other) { m_Ticks = int64_t(uint64_t(m_Ticks) + uint64_t(other.m_Ticks)); }
    void Subtract(const TimeSpan& other) { m_Ticks = int64_t(uint64_t(m_Ticks) - uint64_t(other.m_Ticks)); }

    constexpr int64_t GetTicks() const { return m_Ticks; }
    FileTime GetFileTime() const { return FileTime::FromTicks(uint64_t(m_Ticks)); }
    void SetTicks(int64_t ticks) { m_Ticks = ticks; }
    void SetTicks(const FileTime& ticks) { m_Ticks = int64_t(ticks.Ticks()); }
    void AddTicks(int64_t ticks) { Add(FromTicks(ticks)); }
    void AddTicks(const FileTime& ticks) { AddTicks(int64_t(ticks.Ticks())); }
    void SubtractTicks(int64_t ticks) { Subtract(FromTicks(ticks)); }
    void SubtractTicks(const FileTime& ticks) { SubtractTicks(int64_t(ticks.Ticks())); }
    // The tick count read as a file time; false for a negative span.
    bool GetSystemTime(SystemTime& out) const;
    // A system time taken as its file-time tick count; false (and nothing changed) for invalid fields.
    bool SetSystemTime(const SystemTime& time);
    bool AddSystemTime(const SystemTime& time);
    bool SubtractSystemTime(const SystemTime& time);

    OleDateTimeSpan GetOleDateTimeSpan() const;
    void SetOleDateTimeSpan(const OleDateTimeSpan& span);
    void AddOleDateTimeSpan(const OleDateTimeSpan& span);
    void SubtractOleDateTimeSpan(const OleDateTimeSpan& span);
    CalendarTimeSpan GetCTimeSpan() const;
    void SetCTimeSpan(const CalendarTimeSpan& span);
    void AddCTimeSpan(const CalendarTimeSpan& span);
    void SubtractCTimeSpan(const CalendarTimeSpan& span);

    // The span as days, formatted by OleDateTimeSpan::Format.
    std::string Format(const char* format) const;
    std::string Format(uint32_t stringId) const;

    static TimeSpan FromTicks(int64_t ticks) { return TimeSpan(ticks); }

    friend constexpr bool operator==(const TimeSpan& a, const TimeSpan& b) { return a.m_Ticks == b.m_Ticks; }

private:
    static constexpr int64_t Scale(int64_t count, int unit) {
        return int64_t(uint64_t(count) * uint64_t(TicksPerUnit(unit)));
    }
    static int64_t ScaleDouble(double count, int unit);

    int64_t m_Ticks = 0;
};

TimeSpan operator-(const TimeSpan& a, const TimeSpan& b);

// Constant-initialised: ready before any dynamic initialiser of any file runs.
inline constinit const TimeSpan ZERO_SPAN{};
inline constinit const TimeSpan MAX_SPAN{std::numeric_limits<int64_t>::max()};
inline constinit const TimeSpan MIN_SPAN{std::numeric_limits<int64_t>::min()};

} // namespace vq
