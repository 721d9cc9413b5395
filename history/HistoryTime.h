#pragma once

#include "runtime/TimeSpan.h"
#include "runtime/Timestamp.h"

#include <optional>

namespace vq::history {

// EndTime columns hold the OLE date of the UTC instant: local time repeats an hour each autumn,
// which would give two intervals one stored time.
double ToStoredTime(const Timestamp& time);
// Rounded to the nearest second, since the double cannot hold the ticks exactly. None for a value
// that is no date of the years 100 to 9999.
std::optional<Timestamp> FromStoredTime(double value);

// A time moved back by a span.
inline Timestamp Before(const Timestamp& time, const TimeSpan& span) {
    return Timestamp(time, TimeSpan(-span.GetTicks()));
}

// Durations are stored in minutes with fraction.
double ToStoredMinutes(const TimeSpan& span);
// Rounded to the nearest millisecond; none for a value that is not finite or does not fit.
std::optional<TimeSpan> FromStoredMinutes(double minutes);

} // namespace vq::history
