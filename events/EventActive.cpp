#include "events/EventActive.h"

#include "config/CCfgEvent.h"
#include "config/CCfgLogGroupLevel.h"
#include "shell/COstrelixSystemDoc.h"
#include "shell/EventInfo.h"

namespace vq {

EventActive::EventActive(EventInfo& info, const OleDateTime& time, const COstrelixSystemDoc& model,
                         int clearMinutes)
    : m_Origin(kConfigured), m_Time(time), m_Info(&info), m_Model(&model), m_ClearMinutes(clearMinutes) {
    Evaluate(1);
    m_GroupName = info.GetLogGroupName(1);
    m_SecondaryGroupName = info.GetLogGroupName(2);
}

EventActive::EventActive(std::unique_ptr<SystemEventInfo> info, const OleDateTime& time, int clearMinutes)
    : m_Reported(true), m_Origin(kSystem), m_Time(time), m_SystemInfo(std::move(info)),
      m_ClearMinutes(clearMinutes) {
    Evaluate(1);
}

EventActive::~EventActive() {
    if (m_Info && m_Info->m_ActiveEntry == this) m_Info->m_ActiveEntry = nullptr;
}

void EventActive::CountHit() {
    if (m_Reported) return;
    if (m_Origin == kSystem) {
        m_Reported = true;
        return;
    }
    if (m_Info->m_Kind != EventInfo::kDevice && m_Info->m_Kind != EventInfo::kNetwork) return;
    ++m_HitCount;
    if (m_Info->m_CfgEvent && m_HitCount > m_Info->m_CfgEvent->GetLimit()) m_Reported = true;
}

void EventActive::ClearIfNormal() {
    if (m_Reported && m_Origin == kConfigured && m_Info->GetResetWhenNormal()) m_Reported = false;
}

int EventActive::Evaluate(int step) {
    const CCfgLogGroupLevel* level =
        m_Origin == kConfigured
            ? m_Model->FindLogGroupLevel(m_Info->GetLogGroupName(1), m_Info->GetLevelName(1))
            : nullptr;
    if (!level) {
        m_NextState = step == 1 ? kReset : kRemoved;
        m_Minutes = m_ClearMinutes;
        return m_NextState;
    }
    if (step == 1) {
        m_NextState = level->GetAckRequired() ? kAcknowledged : kReset;
        m_Minutes = level->GetAckRequired() ? level->GetAutoAckMinutes() : m_ClearMinutes;
    } else if (step == 2) {
        m_NextState = kReset;
        m_Minutes = 1;
    } else if (step >= 3) {
        m_NextState = kRemoved;
        m_Minutes = 1;
    }
    return m_NextState;
}

} // namespace vq
