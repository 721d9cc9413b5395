#include "runtime/TimeUnits.h"

#include <cmath>
#include <limits>

namespace vq {

namespace {

bool ValidUnit(int unit) {
    return unit >= Unit::Ticks && unit <= Unit::Weeks;
}

} // namespace

double UnitsPerTick(int unit) {
    static constexpr double factors[] = {1.0,       0.1,          0.0001,        1e-7,
                                         1.0 / 6e8, 1.0 / 3.6e10, 1.0 / 8.64e11, 1.0 / 6.048e12};
    return ValidUnit(unit) ? factors[unit] : 1.0;
}

const char* UnitText(int unit) {
    static constexpr const char* texts[] = {"<units>", "microseconds", "milliseconds", "seconds",
                                            "minutes", "hours",        "days",         "weeks"};
    return ValidUnit(unit) ? texts[unit] : "<unit invalid>";
}

const char* ConversionModeText(int mode) {
    static constexpr const char* texts[] = {"ConversionUnset", "ConversionDATE", "ConversionCTime",
                                            "ConversionImplicit"};
    return mode >= 0 && mode <= 3 ? texts[mode] : "<unit invalid>";
}

int64_t TruncateToTicks(double ticks) {
    // 2^63 is exact as a double; every double below it converts without overflow.
    constexpr double limit = 9'223'372'036'854'775'808.0;
    if (std::isnan(ticks)) return 0;
    if (ticks >= limit) return std::numeric_limits<int64_t>::max();
    if (ticks < -limit) return std::numeric_limits<int64_t>::min();
    return int64_t(ticks);
}

} // namespace vq
