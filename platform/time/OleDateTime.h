#pragma once

#include "platform/time/OleDateTimeSpan.h"
#include "platform/time/SystemTime.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace vq {

// A local date and time as days since 1899-12-30 00:00, the fraction being the time of day. Before
// that day the integer part counts the days back and the fraction's absolute value is still the
// time of day forward from midnight: 1899-12-29 06:00 is -1.25. Every computation therefore goes
// through a linear day count, never through the stored value directly. Years 100 to 9999;
// components are taken to the nearest second.
class OleDateTime {
public:
    enum Status : int32_t { valid = 0, invalid = 1, null = 2 };

    OleDateTime() = default;
    // A value outside the years 100 to 9999 (or not a number) gives an invalid date.
    explicit OleDateTime(double date);
    // Fields out of range give an invalid date.
    OleDateTime(int year, int month, int day, int hour, int minute, int second);
    // The milliseconds are dropped; the day of week is not read.
    explicit OleDateTime(const SystemTime& time);

    // The current local time of the installed clock, to the second.
    static OleDateTime GetCurrentTime();

    bool SetDateTime(int year, int month, int day, int hour, int minute, int second);
    // Takes "M/D/YYYY", "YYYY-MM-DD" or "D Mon YYYY" (English month names), each optionally
    // followed by "H:MM[:SS]" with an optional AM or PM, or a time alone on day 0. The whole text
    // must be used and every field valid; otherwise the date becomes invalid and false is answered.
    bool ParseDateTime(std::string_view text);
    double Value() const { return m_Date; }
    Status GetStatus() const { return m_Status; }
    void SetStatus(Status status) { m_Status = status; }

    // All answer -1 for a date that is not valid. Day of week: 1 = Sunday.
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const;
    int GetDayOfYear() const;
    // Milliseconds 0, day of week 0 = Sunday.
    bool GetAsSystemTime(SystemTime& time) const;

    // strftime codes in the "C" locale; a date that is not valid gives an empty text.
    std::string Format(const char* format) const;

    OleDateTime operator+(const OleDateTimeSpan& span) const;
    OleDateTime operator-(const OleDateTimeSpan& span) const { return *this + -span; }
    OleDateTimeSpan operator-(const OleDateTime& other) const;
    OleDateTime& operator+=(const OleDateTimeSpan& span) { return *this = *this + span; }
    OleDateTime& operator-=(const OleDateTimeSpan& span) { return *this = *this - span; }
    bool operator==(const OleDateTime& other) const;
    bool operator<(const OleDateTime& other) const;
    bool operator>(const OleDateTime& other) const { return other < *this; }
    bool operator<=(const OleDateTime& other) const { return !(other < *this); }
    bool operator>=(const OleDateTime& other) const { return !(*this < other); }

    static double ToLinearDays(double date);
    static double FromLinearDays(double days);

private:
    struct Fields {
        int64_t year;
        int month, day, hour, minute, second, weekday, yearDay;
    };
    bool Break(Fields& fields) const;
    std::tm ToTm(const Fields& fields) const;

    double m_Date = 0.0;
    Status m_Status = valid;
};

} // namespace vq
