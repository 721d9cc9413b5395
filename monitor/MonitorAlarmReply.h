#pragma once

#include "monitor/AlarmThresholds.h"
#include "monitor/MonitorStatisticReply.h"

#include <cstddef>

namespace vq {

// The statistics of an alarm and copies of the thresholds that fired, renumbered from 0.
class MonitorAlarmReply : public MonitorStatisticReply {
    VQ_DECLARE_RUNTIME_CLASS(MonitorAlarmReply)

public:
    MonitorAlarmReply(const void* identifier, const MonitorActionArray* elements,
                      const AlarmThresholds& thresholds, int32_t mode, const TimeRange& range);
    MonitorAlarmReply(const void* identifier, const MonitorAction::ActionSet& subActions,
                      const AlarmThresholds& thresholds, int32_t mode, const TimeRange& range);

    std::size_t GetThresholdCount() const { return m_Thresholds.GetCount(); }
    const AlarmThreshold& GetThreshold(std::size_t index) const { return *m_Thresholds.GetAt(index); }
    const AlarmThresholds& GetThresholds() const { return m_Thresholds; }

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }

private:
    AlarmThresholds m_Thresholds;
};

} // namespace vq
