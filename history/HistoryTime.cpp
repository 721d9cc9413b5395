#include "history/HistoryTime.h"

#include "platform/time/OleDateTime.h"
#include "runtime/TimeUnits.h"

#include <cmath>

namespace vq::history {
namespace {

// Days from 1601-01-01, where the tick count starts, to 1899-12-30, where OLE dates start.
constexpr int64_t kOleEpochDays = 109'205;
constexpr int64_t kSecondsPerDay = 86'400;
constexpr double kMinDate = -657'434.0;  // 0100-01-01
constexpr double kMaxDate = 2'958'465.0; // 9999-12-31

} // namespace

double ToStoredTime(const Timestamp& time) {
    const int64_t ticks = int64_t(time.GetTicks()) - kOleEpochDays * TicksPerUnit(Unit::Days);
    const double days = double(ticks) / double(TicksPerUnit(Unit::Days));
    return OleDateTime::FromLinearDays(days);
}

std::optional<Timestamp> FromStoredTime(double value) {
    if (!std::isfinite(value) || value < kMinDate || value >= kMaxDate + 1.0) return std::nullopt;
    const double seconds = std::round(OleDateTime::ToLinearDays(value) * double(kSecondsPerDay));
    const int64_t sinceEpoch = int64_t(seconds) + kOleEpochDays * kSecondsPerDay;
    if (sinceEpoch < 0) return std::nullopt;
    return Timestamp(uint64_t(sinceEpoch) * uint64_t(TicksPerUnit(Unit::Seconds)));
}

double ToStoredMinutes(const TimeSpan& span) {
    return double(span.GetTicks()) / double(TicksPerUnit(Unit::Minutes));
}

std::optional<TimeSpan> FromStoredMinutes(double minutes) {
    constexpr double kLimit = 1e12; // about two million years, far inside 64-bit ticks
    if (!std::isfinite(minutes) || std::fabs(minutes) > kLimit) return std::nullopt;
    const double milliseconds = std::round(minutes * 60'000.0);
    return TimeSpan(int64_t(milliseconds), Unit::Milliseconds);
}

} // namespace vq::history
