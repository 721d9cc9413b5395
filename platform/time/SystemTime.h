#pragma once

#include <cstdint>

namespace vq {

// A broken-down date and time. Which clock it shows (UTC or local) is up to the holder.
struct SystemTime {
    uint16_t year = 0;
    uint16_t month = 0;     // 1..12
    uint16_t dayOfWeek = 0; // 0 = Sunday; ignored on input
    uint16_t day = 0;       // 1..31
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;

    friend bool operator==(const SystemTime&, const SystemTime&) = default;
};

inline constexpr int MinSystemYear = 1601;
inline constexpr int MaxSystemYear = 30827;

bool IsLeapYear(int64_t year);
int DaysInMonth(int64_t year, int month);
// Proleptic Gregorian calendar, day 0 = 1970-01-01.
int64_t DaysFromCivil(int64_t year, int month, int day);
void CivilFromDays(int64_t days, int64_t& year, int& month, int& day);
// 0 = Sunday.
int WeekdayFromDays(int64_t days);

// Refuses ticks from 2^63 on, as the platform conversion does; fills every field including dayOfWeek.
bool FileTimeToSystemTime(uint64_t ticks, SystemTime& out);
// Refuses years outside 1601..30827 and any field out of range; the day of week is not checked.
bool SystemTimeToFileTime(const SystemTime& time, uint64_t& ticks);

} // namespace vq
