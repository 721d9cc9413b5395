#include "monitor/MonitorAlarmReply.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(MonitorAlarmReply, MonitorStatisticReply)

namespace {

std::string FormatThresholds(const Object& object, uint32_t flags, int depth) {
    return FormatMember(&static_cast<const MonitorAlarmReply&>(object).GetThresholds(), flags, depth);
}

} // namespace

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

MemberTable MonitorAlarmReply::Members() {
    static constexpr MemberRow rows[] = {{"AlarmThresholds", "Thresholds", 50, &FormatThresholds}};
    return {Class(), rows, &MonitorStatisticReply::Members};
}

} // namespace vq
