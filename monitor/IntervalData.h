#pragma once

#include "monitor/DataRoot.h"
#include "runtime/TimeSpan.h"

namespace vq {

// The traffic of one interval of the ring, or of one update step.
class IntervalData : public DataRoot {
public:
    IntervalData(const TimeSpan& length, const TrafficStoreFactory& factory);

    const TimeSpan& GetLength() const { return m_Length; }

private:
    TimeSpan m_Length;
};

} // namespace vq
