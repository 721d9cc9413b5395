#pragma once

#include "platform/time/CalendarTimeSpan.h"
#include "platform/time/SystemTime.h"

#include <cstdint>
#include <string>

namespace vq {

// A moment to the second, counted from 1970-01-01 00:00 UTC; its fields and texts are local time.
class CalendarTime {
public:
    CalendarTime() = default;
    explicit CalendarTime(int64_t seconds) : m_Seconds(seconds) {}

    // The moment of local fields; false (and nothing set) for fields out of range.
    static bool FromLocal(const SystemTime& local, CalendarTime& out);
    // The current time of the installed clock, to the second.
    static CalendarTime GetCurrentTime();

    int64_t GetTime() const { return m_Seconds; }
    // Local fields, milliseconds 0; false when the platform cannot break the moment down.
    bool GetAsSystemTime(SystemTime& local) const;
    // strftime codes in the "C" locale over the local fields; empty when they cannot be had.
    std::string Format(const char* format) const;

    CalendarTime operator+(CalendarTimeSpan span) const {
        return CalendarTime(m_Seconds + span.GetTotalSeconds());
    }
    CalendarTime operator-(CalendarTimeSpan span) const {
        return CalendarTime(m_Seconds - span.GetTotalSeconds());
    }
    CalendarTimeSpan operator-(CalendarTime other) const {
        return CalendarTimeSpan(m_Seconds - other.m_Seconds);
    }
    auto operator<=>(const CalendarTime&) const = default;

private:
    int64_t m_Seconds = 0;
};

} // namespace vq
