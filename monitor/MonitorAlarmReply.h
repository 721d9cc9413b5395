#pragma once

#include "monitor/AlarmThresholds.h"
#include "monitor/MonitorStatisticReply.h"

#include <cstddef>

namespace vq {

// The statistics of an alarm and copies of the thresholds that fired, renumbered from 0.
class MonitorAlarmReply : public MonitorStatisticReply {
public:
    MonitorAlarmReply(const void* identifier, const MonitorActionArray* elements,
                      const AlarmThresholds& thresholds, int32_t mode, const TimeRange& range);
    MonitorAlarmReply(const void* identifier, const MonitorAction::ActionSet& subActions,
                      const AlarmThresholds& thresholds, int32_t mode, const TimeRange& range);

    std::size_t GetThresholdCount() const { return m_Thresholds.GetCount(); }
    const AlarmThreshold& GetThreshold(std::size_t index) const { return *m_Thresholds.GetAt(index); }

private:
    AlarmThresholds m_Thresholds;
};

} // namespace vq
