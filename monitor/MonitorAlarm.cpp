#include "monitor/MonitorAlarm.h"

#include "monitor/MonitorActionMessage.h"
#include "monitor/MonitorAlarmReply.h"

#include <new>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(MonitorAlarm, MonitorStatistic)

namespace {

std::string FormatThresholds(const Object& object, uint32_t flags, int depth) {
    return FormatMember(&static_cast<const MonitorAlarm&>(object).GetThresholds(), flags, depth);
}

} // namespace

MonitorAlarm::MonitorAlarm(const void* identifier, int32_t source, int32_t scope, int32_t target,
                           const TimeSpan& period, uint32_t repetitions)
    : MonitorStatistic(identifier, source, scope, target, DATA_PERIODIC, period, repetitions) {}

MonitorAlarm::MonitorAlarm(const MonitorAlarm& parent, std::size_t selection)
    : MonitorStatistic(parent, selection) {}

MemberTable MonitorAlarm::Members() {
    static constexpr MemberRow rows[] = {{"AlarmThresholds", "Thresholds", 50, &FormatThresholds}};
    return {Class(), rows, &MonitorStatistic::Members};
}

bool MonitorAlarm::SendInitialize() {
    const AlarmThresholds none;
    return SendReply<MonitorAlarmInitializeMessage>(
        MakeReply<MonitorAlarmReply>(none, MODE_INITIALIZE, m_ReplyRange));
}

bool MonitorAlarm::SendUpdate() {
    if (!Check()) return false;
    try {
        // A discrete alarm's own list is empty: its reply carries statistics only.
        return SendReply<MonitorAlarmUpdateMessage>(
            MakeReply<MonitorAlarmReply>(m_Thresholds, MODE_UPDATE, TimeRange()));
    } catch (const std::bad_alloc&) {
        return false;
    }
}

std::unique_ptr<MonitorAction> MonitorAlarm::Clone(std::size_t selection) const {
    return std::make_unique<MonitorAlarm>(*this, selection);
}

bool MonitorAlarm::Check() {
    if (m_SelectionType != SELECTION_DISCRETE) {
        if (!m_Data) return m_Thresholds.Update(0.0);
        return m_Thresholds.Evaluate(*m_Data);
    }
    bool fired = false;
    if (m_SubAction)
        for (const auto& sub : *m_SubAction)
            fired = static_cast<MonitorAlarm&>(*sub).Check() || fired;
    return fired;
}

bool MonitorAlarm::SetThreshold(std::unique_ptr<AlarmThreshold> threshold) {
    if (m_SelectionType == SELECTION_MERGED) return m_Thresholds.Add(std::move(threshold));
    bool set = false;
    if (m_SubAction)
        for (const auto& sub : *m_SubAction) {
            set = static_cast<MonitorAlarm&>(*sub).SetThreshold(std::make_unique<AlarmThreshold>(*threshold));
            if (!set) break;
        }
    return set;
}

} // namespace vq
