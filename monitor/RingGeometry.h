#pragma once

#include "runtime/TimeSpan.h"
#include "runtime/TimeUnits.h"

#include <cstdint>
#include <mutex>

namespace vq {

// The shape of the live interval ring: what a summary needs to know of it.
struct RingGeometry {
    static constexpr int64_t kDefaultIntervalMs = 300'000;
    static constexpr int32_t kDefaultSlotCount = 97;

    TimeSpan m_Interval{kDefaultIntervalMs, Unit::Milliseconds};
    int32_t m_SlotCount = kDefaultSlotCount;
};

// The requesters' copy of the live ring's shape, kept from the monitor's start answer: what other
// threads build reads this copy, never the monitor's live data set. It holds the defaults until the
// first answer arrives.
class RingGeometryCopy {
public:
    void Keep(const RingGeometry& geometry);
    RingGeometry Get() const;

private:
    mutable std::mutex m_Mutex;
    RingGeometry m_Geometry;
};

} // namespace vq
