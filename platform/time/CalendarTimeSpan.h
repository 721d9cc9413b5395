#pragma once

#include <cstdint>
#include <string>

namespace vq {

// A length of time in whole seconds.
class CalendarTimeSpan {
public:
    CalendarTimeSpan() = default;
    explicit CalendarTimeSpan(int64_t seconds) : m_Seconds(seconds) {}
    CalendarTimeSpan(int64_t days, int hours, int minutes, int seconds)
        : m_Seconds(((days * 24 + hours) * 60 + minutes) * 60 + seconds) {}

    int64_t GetTotalSeconds() const { return m_Seconds; }
    int64_t GetDays() const { return m_Seconds / 86'400; }
    int GetHours() const { return int(m_Seconds % 86'400 / 3600); }
    int GetMinutes() const { return int(m_Seconds % 3600 / 60); }
    int GetSeconds() const { return int(m_Seconds % 60); }

    // %D whole days, %H, %M, %S two-digit components of the absolute value, %% a percent sign; any
    // other character is copied.
    std::string Format(const char* format) const;

    CalendarTimeSpan operator+(CalendarTimeSpan other) const {
        return CalendarTimeSpan(m_Seconds + other.m_Seconds);
    }
    CalendarTimeSpan operator-(CalendarTimeSpan other) const {
        return CalendarTimeSpan(m_Seconds - other.m_Seconds);
    }
    auto operator<=>(const CalendarTimeSpan&) const = default;

private:
    int64_t m_Seconds = 0;
};

} // namespace vq
