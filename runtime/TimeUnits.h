#pragma once

#include <cstdint>

namespace vq {

// The units in which times are counted; any other number is taken as plain ticks.
namespace Unit {
enum : int { Ticks = 0, Microseconds, Milliseconds, Seconds, Minutes, Hours, Days, Weeks };
}

// How a number given for a point in time is read.
enum ConversionMode : int {
    ConversionUnset = 0,    // fractions as ConversionDATE, integers as ConversionImplicit
    ConversionDATE = 1,     // an OLE date in local time; days only
    ConversionCTime = 2,    // accepted, does nothing
    ConversionImplicit = 3, // units since 1601-01-01 UTC
};

// Any unit out of range counts as plain ticks.
constexpr int64_t TicksPerUnit(int unit) {
    constexpr int64_t ticks[] = {
        1, 10, 10'000, 10'000'000, 600'000'000, 36'000'000'000, 864'000'000'000, 6'048'000'000'000};
    return unit >= Unit::Ticks && unit <= Unit::Weeks ? ticks[unit] : 1;
}
// The factor that turns ticks into units, as the nearest double of the reciprocal.
double UnitsPerTick(int unit);
const char* UnitText(int unit);
const char* ConversionModeText(int mode);

// Ticks of a double count, truncated toward zero; a NaN gives 0 and a value beyond the 64-bit range
// the nearest end of it.
int64_t TruncateToTicks(double ticks);

} // namespace vq
