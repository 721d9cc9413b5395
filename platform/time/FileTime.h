#pragma once

#include <cstdint>

namespace vq {

// File time: 100-ns ticks since 1601-01-01 00:00 UTC.
inline constexpr uint64_t TicksPerMillisecond = 10'000;
inline constexpr uint64_t TicksPerSecond = 10'000'000;
inline constexpr uint64_t TicksPerDay = 86'400 * TicksPerSecond;
// 1970-01-01 00:00 UTC as a file time.
inline constexpr uint64_t UnixEpochTicks = 116'444'736'000'000'000;
// The platform's date conversions refuse file times from here on.
inline constexpr uint64_t FileTimeLimit = uint64_t(1) << 63;

// A 64-bit tick count kept as two 32-bit halves, the layout in which file times are exchanged.
struct FileTime {
    uint32_t low = 0;
    uint32_t high = 0;

    static constexpr FileTime FromTicks(uint64_t ticks) { return {uint32_t(ticks), uint32_t(ticks >> 32)}; }
    constexpr uint64_t Ticks() const { return uint64_t(high) << 32 | low; }
    friend constexpr bool operator==(const FileTime&, const FileTime&) = default;
};

} // namespace vq
