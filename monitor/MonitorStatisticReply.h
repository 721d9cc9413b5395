#pragma once

#include "monitor/MonitorAction.h"
#include "monitor/MonitorData.h"
#include "monitor/StatisticArray.h"

#include <memory>

namespace vq {

// Copies of a statistic action's elements, hosts included, so the reply stays valid whatever
// becomes of the action and of the model it counted in.
class MonitorStatisticReply : public MonitorDataReply {
    VQ_DECLARE_RUNTIME_CLASS(MonitorStatisticReply)

public:
    // Every element of the array; none without an array.
    MonitorStatisticReply(const void* identifier, const MonitorActionArray* elements, int32_t mode,
                          const TimeRange& range);
    // One element per sub-action, in order: its first element, or its template (with zero counts)
    // while a dynamic sub-action has made none yet, so that element i stands for selection i. A
    // sub-action with neither gives nothing.
    MonitorStatisticReply(const void* identifier, const MonitorAction::ActionSet& subActions, int32_t mode,
                          const TimeRange& range);

    StatisticArray* GetArray() const { return m_Array.get(); }

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }

private:
    std::unique_ptr<StatisticArray> m_Array;
};

} // namespace vq
