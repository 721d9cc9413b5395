#pragma once

#include <cstdint>
#include <string>

namespace vq {

// A length of time in days (the fraction is the part of a day), with a status like OleDateTime's.
class OleDateTimeSpan {
public:
    enum Status : int32_t { valid = 0, invalid = 1, null = 2 };

    OleDateTimeSpan() = default;
    OleDateTimeSpan(double days) : m_Span(days) {}
    OleDateTimeSpan(int64_t days, int hours, int minutes, int seconds);

    double Value() const { return m_Span; }
    Status GetStatus() const { return m_Status; }
    void SetStatus(Status status) { m_Status = status; }

    double GetTotalDays() const { return m_Span; }
    double GetTotalSeconds() const { return m_Span * 86'400.0; }
    // Components of the span rounded to whole seconds; each carries the span's sign.
    int64_t GetDays() const;
    int GetHours() const;
    int GetMinutes() const;
    int GetSeconds() const;

    // %D whole days, %H, %M, %S two-digit components of the absolute value, %% a percent sign; any
    // other character is copied. A span that is not valid gives an empty text.
    std::string Format(const char* format) const;

    OleDateTimeSpan operator+(const OleDateTimeSpan& other) const;
    OleDateTimeSpan operator-(const OleDateTimeSpan& other) const;
    OleDateTimeSpan operator-() const;
    OleDateTimeSpan& operator+=(const OleDateTimeSpan& other) { return *this = *this + other; }
    OleDateTimeSpan& operator-=(const OleDateTimeSpan& other) { return *this = *this - other; }
    bool operator==(const OleDateTimeSpan& other) const = default;
    auto operator<=>(const OleDateTimeSpan& other) const { return m_Span <=> other.m_Span; }

private:
    int64_t RoundedSeconds() const;

    double m_Span = 0.0;
    Status m_Status = valid;
};

} // namespace vq
