#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace vq {

// Chart geometry truncates toward zero. Values from stored charts may be anything, so those
// beyond the 32-bit range stop at its ends and NaN counts as 0 instead of being undefined.
inline std::int32_t TruncToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (value <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

inline constexpr double kRadiansPerDegree = 0.017453292222222222;

} // namespace vq
