#pragma once

#include "monitor/MonitorStatistic.h"
#include "monitor/MonitorStatisticReply.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vq {

// The reply of a trend; its class tells the requester which request it answers.
class MonitorTrendReply : public MonitorStatisticReply {
    VQ_DECLARE_RUNTIME_CLASS(MonitorTrendReply)

public:
    using MonitorStatisticReply::MonitorStatisticReply;
};

// Sends its requester a copy of its statistics every period, whatever the values: one point per
// element for a chart or a log line.
class MonitorTrend : public MonitorStatistic {
    VQ_DECLARE_RUNTIME_CLASS(MonitorTrend)

public:
    MonitorTrend(const void* identifier, int32_t source, int32_t scope, int32_t target, int32_t dataType,
                 const TimeSpan& period, uint32_t repetitions);
    MonitorTrend(const MonitorTrend& parent, std::size_t selection);

    int32_t GetHistoryKind() const override { return 2; }
    // Out of memory goes on to the install code.
    bool SendInitialize() override;
    // Out of memory loses this period's update; the trend stays installed.
    bool SendUpdate() override;
    std::unique_ptr<MonitorAction> Clone(std::size_t selection) const override;
};

} // namespace vq
