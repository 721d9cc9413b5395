#include "monitor/MonitorTrend.h"

#include "monitor/MonitorActionMessage.h"

#include <new>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(MonitorTrendReply, MonitorStatisticReply)
VQ_IMPLEMENT_RUNTIME_CLASS(MonitorTrend, MonitorStatistic)

MonitorTrend::MonitorTrend(const void* identifier, int32_t source, int32_t scope, int32_t target,
                           int32_t dataType, const TimeSpan& period, uint32_t repetitions)
    : MonitorStatistic(identifier, source, scope, target, dataType, period, repetitions) {}

MonitorTrend::MonitorTrend(const MonitorTrend& parent, std::size_t selection)
    : MonitorStatistic(parent, selection) {}

bool MonitorTrend::SendInitialize() {
    return SendReply<MonitorTrendInitializeMessage>(
        MakeReply<MonitorTrendReply>(MODE_INITIALIZE, m_ReplyRange));
}

bool MonitorTrend::SendUpdate() {
    try {
        return SendReply<MonitorTrendUpdateMessage>(MakeReply<MonitorTrendReply>(MODE_UPDATE, TimeRange()));
    } catch (const std::bad_alloc&) {
        return false;
    }
}

std::unique_ptr<MonitorAction> MonitorTrend::Clone(std::size_t selection) const {
    return std::make_unique<MonitorTrend>(*this, selection);
}

} // namespace vq
