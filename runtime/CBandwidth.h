#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vq {

// Link bandwidths in bits per second: the standard speeds the editors offer, and the text form
// with the units GB, MB and KB (powers of ten) in both directions.
class CBandwidth {
public:
    virtual ~CBandwidth() = default;

    static constexpr int kEntryCount = 27;

    // The position of the speed in the standard table, -1 when it is not there.
    static int IndexOf(std::int64_t speed);
    // The standard speed at the index, -1 for an index outside the table.
    static std::int64_t GetAt(int index);
    // One truncated decimal and the unit, "%d " below 1,000, empty for speeds of 0 and below.
    static std::string Format(std::int64_t speed);
    // The number before the first unit, with an optional decimal fraction read exactly; without a
    // unit a whole number. 0 for a text without a readable number or a number that overflows.
    static std::int64_t Parse(std::string_view text);
};

} // namespace vq
