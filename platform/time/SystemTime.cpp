#include "platform/time/SystemTime.h"

#include "platform/time/FileTime.h"

namespace vq {

namespace {

// 1601-01-01 counted from 1970-01-01.
constexpr int64_t FileTimeEpochDays = -134'774;

int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

} // namespace

bool IsLeapYear(int64_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int64_t year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Counts in 400-year eras starting on 1 March, so the leap day is the last day of its year.
int64_t DaysFromCivil(int64_t year, int month, int day) {
    year -= month <= 2;
    const int64_t era = FloorDiv(year, 400);
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146'097 + dayOfEra - 719'468;
}

void CivilFromDays(int64_t days, int64_t& year, int& month, int& day) {
    days += 719'468;
    const int64_t era = FloorDiv(days, 146'097);
    const int64_t dayOfEra = days - era * 146'097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    day = int(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = int(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = yearOfEra + era * 400 + (month <= 2);
}

int WeekdayFromDays(int64_t days) {
    // 1970-01-01 was a Thursday.
    int64_t weekday = (days + 4) % 7;
    return int(weekday < 0 ? weekday + 7 : weekday);
}

bool FileTimeToSystemTime(uint64_t ticks, SystemTime& out) {
    if (ticks >= FileTimeLimit) return false;
    const int64_t days = int64_t(ticks / TicksPerDay) + FileTimeEpochDays;
    uint64_t rest = ticks % TicksPerDay;
    int64_t year;
    int month, day;
    CivilFromDays(days, year, month, day);
    out.year = uint16_t(year);
    out.month = uint16_t(month);
    out.day = uint16_t(day);
    out.dayOfWeek = uint16_t(WeekdayFromDays(days));
    out.hour = uint16_t(rest / (3600 * TicksPerSecond));
    rest %= 3600 * TicksPerSecond;
    out.minute = uint16_t(rest / (60 * TicksPerSecond));
    rest %= 60 * TicksPerSecond;
    out.second = uint16_t(rest / TicksPerSecond);
    out.milliseconds = uint16_t(rest % TicksPerSecond / TicksPerMillisecond);
    return true;
}

bool SystemTimeToFileTime(const SystemTime& time, uint64_t& ticks) {
    if (time.year < MinSystemYear || time.year > MaxSystemYear || time.month < 1 || time.month > 12 ||
        time.day < 1 || time.day > DaysInMonth(time.year, time.month) || time.hour > 23 || time.minute > 59 ||
        time.second > 59 || time.milliseconds > 999)
        return false;
    const int64_t days = DaysFromCivil(time.year, time.month, time.day) - FileTimeEpochDays;
    ticks = uint64_t(days) * TicksPerDay +
            ((time.hour * 60 + time.minute) * 60 + time.second) * TicksPerSecond +
            time.milliseconds * TicksPerMillisecond;
    return true;
}

} // namespace vq
