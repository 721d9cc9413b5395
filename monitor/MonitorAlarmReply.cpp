#include "monitor/MonitorAlarmReply.h"

namespace vq {

MonitorAlarmReply::MonitorAlarmReply(const void* identifier, const MonitorActionArray* elements,
                                     const AlarmThresholds& thresholds, int32_t mode, const TimeRange& range)
    : MonitorStatisticReply(identifier, elements, mode, range) {
    m_Thresholds.CopyFired(thresholds);
}

MonitorAlarmReply::MonitorAlarmReply(const void* identifier, const MonitorAction::ActionSet& subActions,
                                     const AlarmThresholds& thresholds, int32_t mode, const TimeRange& range)
    : MonitorStatisticReply(identifier, subActions, mode, range) {
    m_Thresholds.CopyFired(thresholds);
}

} // namespace vq
