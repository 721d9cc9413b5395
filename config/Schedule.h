#pragma once

#include "platform/time/OleDateTime.h"

#include <cstdint>
#include <string>

namespace vq {

// A schedule value is a date-time whose year says what kind of schedule it is.
inline constexpr int kSchedulePeriod = 1899;   // every (value - 1899-01-01 00:00)
inline constexpr int kScheduleDaily = 1900;    // hour and minute
inline constexpr int kScheduleWeekly = 1901;   // weekday, hour and minute
inline constexpr int kScheduleMonthly = 1902;  // day of the month, hour and minute
inline constexpr int kScheduleAnnually = 1903; // day, month, hour and minute
inline constexpr int kScheduleOff = 1910;      // never fires; reads like a period
// Any other year is a single point in time.

// January 1 00:00:00 of `year`.
OleDateTime ScheduleStart(int year);

// The text form: the kind's prefix and the value in the kind's pattern; "????" for a point in time.
std::string FormatSchedule(const OleDateTime& value);

// Kind codes of the editors: 1-4 daily to annually, 10 off, 5 a point in time (the value is kept);
// every other code makes a period of length zero.
void SetScheduleKind(int kind, OleDateTime& value);

// Whether a period, daily, weekly, monthly or annual value lies at least one whole minute after
// January 1 of its own year.
bool ScheduleHasTime(const OleDateTime& value);

// The length of a period in whole seconds, at least 1.
double ScheduleDurationSeconds(const OleDateTime& value);

// Re-arms a periodic check every time its period has elapsed, ticked once a minute. The time left
// is kept in whole seconds so that repeated one-minute steps land exactly on zero.
struct ScheduleCountdown {
    OleDateTime value;
    int64_t remainingSeconds = 0;
};

// Stores `value`; a period loads its length (never below 0), any other kind loads 0.
void ScheduleStartCountdown(const OleDateTime& value, ScheduleCountdown& countdown);
// One minute passes. True when a period has elapsed, and the countdown then starts over; always
// false for a value that is not a period.
bool ScheduleCountdownTick(ScheduleCountdown& countdown);

} // namespace vq
