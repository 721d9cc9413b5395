#include "monitor/IntervalData.h"

namespace vq {

IntervalData::IntervalData(const TimeSpan& length, const TrafficStoreFactory& factory)
    : DataRoot(1, factory), m_Length(length) {}

} // namespace vq
