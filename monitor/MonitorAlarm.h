#pragma once

#include "monitor/AlarmThresholds.h"
#include "monitor/MonitorStatistic.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vq {

// Adds up its statistics once per period, feeds the sum to its thresholds and tells the requester
// only when one of them fired. Its counts are always those of one period.
class MonitorAlarm : public MonitorStatistic {
    VQ_DECLARE_RUNTIME_CLASS(MonitorAlarm)

public:
    MonitorAlarm(const void* identifier, int32_t source, int32_t scope, int32_t target,
                 const TimeSpan& period, uint32_t repetitions);
    // The sub-action for one selection; its thresholds come from the parent's SetThreshold.
    MonitorAlarm(const MonitorAlarm& parent, std::size_t selection);

    // The statistics without thresholds; nothing is tested. Out of memory goes on to the install
    // code.
    bool SendInitialize() override;
    // Sends only when a threshold fired; out of memory loses this period's trigger, the thresholds
    // keep their states.
    bool SendUpdate() override;
    std::unique_ptr<MonitorAction> Clone(std::size_t selection) const override;

    // Feeds the current statistics to the thresholds, of every sub-action of a discrete alarm;
    // true when any fired.
    virtual bool Check();
    // Takes the threshold in every case. A merged alarm keeps it; a discrete one gives each
    // sub-action a copy, so call it once the elements exist.
    virtual bool SetThreshold(std::unique_ptr<AlarmThreshold> threshold);

    const AlarmThresholds& GetThresholds() const { return m_Thresholds; }

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }

private:
    AlarmThresholds m_Thresholds;
};

} // namespace vq
