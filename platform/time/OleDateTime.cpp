#include "platform/time/OleDateTime.h"

#include "platform/time/Clock.h"
#include "platform/time/LocalTime.h"
#include "platform/time/TimeFormat.h"

#include <array>
#include <cctype>
#include <cmath>

namespace vq {

namespace {

constexpr int MinYear = 100;
constexpr int MaxYear = 9999;
constexpr int64_t SecondsPerDay = 86'400;
// 0100-01-01 00:00 and the last second of 9999-12-31 as linear day counts.
constexpr double MinLinear = -657'434.0;
constexpr double MaxLinear = 2'958'466.0 - 1.0 / SecondsPerDay;

int64_t ZeroDay() {
    static const int64_t day = DaysFromCivil(1899, 12, 30);
    return day;
}

bool InRange(double linear) {
    return linear >= MinLinear - 0.5 / SecondsPerDay && linear < MaxLinear + 0.5 / SecondsPerDay;
}

} // namespace

double OleDateTime::ToLinearDays(double date) {
    if (date >= 0.0) return date;
    const double day = std::ceil(date);
    return day + (day - date);
}

double OleDateTime::FromLinearDays(double days) {
    if (days >= 0.0) return days;
    const double day = std::floor(days);
    return day - (days - day);
}

OleDateTime::OleDateTime(double date) : m_Date(date) {
    if (!InRange(ToLinearDays(date))) m_Status = invalid;
}

OleDateTime::OleDateTime(int year, int month, int day, int hour, int minute, int second) {
    SetDateTime(year, month, day, hour, minute, second);
}

OleDateTime::OleDateTime(const SystemTime& time) {
    SetDateTime(time.year, time.month, time.day, time.hour, time.minute, time.second);
}

OleDateTime OleDateTime::GetCurrentTime() {
    const uint64_t now = CurrentClock().FileTimeNow();
    uint64_t local;
    SystemTime fields;
    OleDateTime result;
    if (UtcToLocalFileTime(now, local) && FileTimeToSystemTime(local, fields))
        result = OleDateTime(fields);
    else
        result.m_Status = invalid;
    return result;
}

bool OleDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second) {
    if (year < MinYear || year > MaxYear || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 ||
        second > 59) {
        m_Date = 0.0;
        m_Status = invalid;
        return false;
    }
    const int64_t days = DaysFromCivil(year, month, day) - ZeroDay();
    const int64_t seconds = (hour * 60 + minute) * 60 + second;
    m_Date = FromLinearDays(double(days) + double(seconds) / SecondsPerDay);
    m_Status = valid;
    return true;
}

bool OleDateTime::Break(Fields& fields) const {
    if (m_Status != valid) return false;
    const double linear = ToLinearDays(m_Date);
    if (!InRange(linear)) return false;
    const int64_t total = int64_t(std::floor(linear * SecondsPerDay + 0.5));
    int64_t days = total / SecondsPerDay;
    int64_t seconds = total % SecondsPerDay;
    if (seconds < 0) {
        seconds += SecondsPerDay;
        --days;
    }
    days += ZeroDay();
    CivilFromDays(days, fields.year, fields.month, fields.day);
    fields.hour = int(seconds / 3600);
    fields.minute = int(seconds % 3600 / 60);
    fields.second = int(seconds % 60);
    fields.weekday = WeekdayFromDays(days);
    fields.yearDay = int(days - DaysFromCivil(fields.year, 1, 1)) + 1;
    return true;
}

int OleDateTime::GetYear() const {
    Fields f;
    return Break(f) ? int(f.year) : -1;
}

int OleDateTime::GetMonth() const {
    Fields f;
    return Break(f) ? f.month : -1;
}

int OleDateTime::GetDay() const {
    Fields f;
    return Break(f) ? f.day : -1;
}

int OleDateTime::GetHour() const {
    Fields f;
    return Break(f) ? f.hour : -1;
}

int OleDateTime::GetMinute() const {
    Fields f;
    return Break(f) ? f.minute : -1;
}

int OleDateTime::GetSecond() const {
    Fields f;
    return Break(f) ? f.second : -1;
}

int OleDateTime::GetDayOfWeek() const {
    Fields f;
    return Break(f) ? f.weekday + 1 : -1;
}

int OleDateTime::GetDayOfYear() const {
    Fields f;
    return Break(f) ? f.yearDay : -1;
}

bool OleDateTime::GetAsSystemTime(SystemTime& time) const {
    Fields f;
    if (!Break(f)) return false;
    time = SystemTime{uint16_t(f.year), uint16_t(f.month),  uint16_t(f.weekday), uint16_t(f.day),
                      uint16_t(f.hour), uint16_t(f.minute), uint16_t(f.second),  0};
    return true;
}

std::tm OleDateTime::ToTm(const Fields& f) const {
    std::tm tm{};
    tm.tm_year = int(f.year) - 1900;
    tm.tm_mon = f.month - 1;
    tm.tm_mday = f.day;
    tm.tm_hour = f.hour;
    tm.tm_min = f.minute;
    tm.tm_sec = f.second;
    tm.tm_wday = f.weekday;
    tm.tm_yday = f.yearDay - 1;
    tm.tm_isdst = -1;
    return tm;
}

std::string OleDateTime::Format(const char* format) const {
    Fields f;
    if (!Break(f)) return {};
    return FormatTimeFields(format, ToTm(f));
}

OleDateTime OleDateTime::operator+(const OleDateTimeSpan& span) const {
    OleDateTime result;
    if (m_Status == invalid || span.GetStatus() == OleDateTimeSpan::invalid) {
        result.m_Status = invalid;
    } else if (m_Status == null || span.GetStatus() == OleDateTimeSpan::null) {
        result.m_Status = null;
    } else {
        result = OleDateTime(FromLinearDays(ToLinearDays(m_Date) + span.Value()));
    }
    return result;
}

OleDateTimeSpan OleDateTime::operator-(const OleDateTime& other) const {
    OleDateTimeSpan span(ToLinearDays(m_Date) - ToLinearDays(other.m_Date));
    if (m_Status == invalid || other.m_Status == invalid)
        span.SetStatus(OleDateTimeSpan::invalid);
    else if (m_Status == null || other.m_Status == null)
        span.SetStatus(OleDateTimeSpan::null);
    return span;
}

bool OleDateTime::operator==(const OleDateTime& other) const {
    return m_Status == other.m_Status && ToLinearDays(m_Date) == ToLinearDays(other.m_Date);
}

bool OleDateTime::operator<(const OleDateTime& other) const {
    return ToLinearDays(m_Date) < ToLinearDays(other.m_Date);
}

} // namespace vq

namespace vq {
namespace {

// A left-to-right reader of the fields of a date and time text.
class DateTimeText {
public:
    explicit DateTimeText(std::string_view text) : m_text(text) {}

    bool AtEnd() const { return m_pos == m_text.size(); }
    bool Blanks() {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t'))
            ++m_pos;
        return m_pos > start;
    }
    // One to maxDigits decimal digits.
    bool Number(int& value, std::size_t maxDigits) {
        std::size_t digits = 0;
        value = 0;
        while (m_pos < m_text.size() && digits < maxDigits && std::isdigit(static_cast<unsigned char>(m_text[m_pos]))) {
            value = value * 10 + (m_text[m_pos++] - '0');
            ++digits;
        }
        return digits > 0 && (m_pos == m_text.size() || !std::isdigit(static_cast<unsigned char>(m_text[m_pos])));
    }
    bool Char(char c) {
        if (m_pos < m_text.size() && m_text[m_pos] == c) return ++m_pos, true;
        return false;
    }
    std::string_view Word() {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && std::isalpha(static_cast<unsigned char>(m_text[m_pos])))
            ++m_pos;
        return m_text.substr(start, m_pos - start);
    }
    std::size_t Position() const { return m_pos; }
    void Rewind(std::size_t position) { m_pos = position; }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// 1 to 12 for an English month name or its three-letter abbreviation, else 0.
int MonthNumber(std::string_view word) {
    static constexpr std::array<std::string_view, 12> kNames = {
        "January", "February", "March", "April", "May", "June", "July", "August", "September", "October",
        "November", "December"};
    for (std::size_t i = 0; i < kNames.size(); ++i)
        if (SameLetters(word, kNames[i]) || SameLetters(word, kNames[i].substr(0, 3)))
            return static_cast<int>(i) + 1;
    return 0;
}

bool ReadDate(DateTimeText& in, int& year, int& month, int& day) {
    const std::size_t start = in.Position();
    int first = 0;
    if (!in.Number(first, 4)) return false;
    const std::size_t afterFirst = in.Position();
    if (afterFirst - start == 4 && in.Char('-'))
        return (year = first, in.Number(month, 2)) && in.Char('-') && in.Number(day, 2);
    if (afterFirst - start <= 2 && in.Char('/'))
        return (month = first, in.Number(day, 2)) && in.Char('/') && in.Number(year, 4);
    if (afterFirst - start <= 2 && in.Blanks()) {
        day = first;
        month = MonthNumber(in.Word());
        return month != 0 && in.Blanks() && in.Number(year, 4);
    }
    return false;
}

bool ReadTime(DateTimeText& in, int& hour, int& minute, int& second) {
    second = 0;
    if (!in.Number(hour, 2) || !in.Char(':') || !in.Number(minute, 2)) return false;
    if (in.Char(':') && !in.Number(second, 2)) return false;
    const std::size_t beforeSuffix = in.Position();
    in.Blanks();
    const std::string_view suffix = in.Word();
    if (suffix.empty()) {
        in.Rewind(beforeSuffix);
        return hour <= 23;
    }
    const bool pm = SameLetters(suffix, "PM");
    if (!pm && !SameLetters(suffix, "AM")) return false;
    if (hour < 1 || hour > 12) return false;
    hour = hour % 12 + (pm ? 12 : 0);
    return true;
}

} // namespace

bool OleDateTime::ParseDateTime(std::string_view text) {
    DateTimeText in(text);
    in.Blanks();
    int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
    const std::size_t start = in.Position();
    bool ok = ReadDate(in, year, month, day);
    if (ok) {
        const std::size_t afterDate = in.Position();
        if (in.Blanks() && !in.AtEnd()) {
            ok = ReadTime(in, hour, minute, second);
        } else {
            in.Rewind(afterDate);
        }
    } else {
        in.Rewind(start);
        year = 1899, month = 12, day = 30;
        ok = ReadTime(in, hour, minute, second);
    }
    in.Blanks();
    if (ok && in.AtEnd() && SetDateTime(year, month, day, hour, minute, second)) return true;
    m_Date = 0;
    m_Status = invalid;
    return false;
}

} // namespace vq
