#include "shell/EventInfo.h"

#include "config/CCfgClass.h"
#include "config/CCfgDevice.h"
#include "config/CCfgEvent.h"
#include "config/CCfgNet.h"

#include <atomic>

namespace vq {
namespace {

std::uint64_t NextSerial() {
    static std::atomic<std::uint64_t> serial{0};
    return ++serial;
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(EventInfo, Object)

EventInfo::EventInfo() : m_Schedule(1910, 1, 1, 0, 0, 0), m_Serial(NextSerial()) {}

EventInfo::EventInfo(const EventInfo& other)
    : Object(), m_RemainingDays(other.m_RemainingDays), m_Schedule(other.m_Schedule), m_Owner(other.m_Owner),
      m_Type(other.m_Type), m_Kind(other.m_Kind), m_Object(other.m_Object), m_CfgEvent(other.m_CfgEvent),
      m_Serial(NextSerial()) {}

bool EventInfo::GetResetWhenNormal() const {
    return (m_Kind == kDevice || m_Kind == kNetwork) && m_CfgEvent && m_CfgEvent->GetResetWhenNormal();
}

bool EventInfo::HasRecord() const {
    return (m_Kind == kDevice || m_Kind == kNetwork) && m_CfgEvent;
}

std::string EventInfo::GetTypeName() const {
    return GetEventTypeName(m_Type);
}

std::string EventInfo::GetObjectName() const {
    if (auto* device = dynamic_cast<const CCfgDevice*>(m_Object); device && m_Kind == kDevice) return device->GetName();
    if (auto* cls = dynamic_cast<const CCfgClass*>(m_Object); cls && m_Kind == kClass) return cls->GetName();
    if (auto* network = dynamic_cast<const CCfgNet*>(m_Object); network && m_Kind == kNetwork) return network->GetName();
    return m_Kind == kSystem ? "Configure " : "Oops!";
}

std::string EventInfo::GetObjectDescription() const {
    if (auto* device = dynamic_cast<const CCfgDevice*>(m_Object); device && m_Kind == kDevice)
        return device->GetDescription();
    if (auto* cls = dynamic_cast<const CCfgClass*>(m_Object); cls && m_Kind == kClass) return cls->GetDescription();
    if (auto* network = dynamic_cast<const CCfgNet*>(m_Object); network && m_Kind == kNetwork)
        return network->GetDescription();
    return m_Kind == kSystem ? "" : "Oops!";
}

std::string EventInfo::GetDisplayMessage() const {
    if (m_Kind == kSystem) return "Configure ";
    if (m_Kind < kDevice || m_Kind > kNetwork) return "Oops!";
    return m_CfgEvent ? m_CfgEvent->GetMessage() : "";
}

std::string EventInfo::GetMessage() const {
    return HasRecord() ? m_CfgEvent->GetMessage() : "";
}

std::string EventInfo::GetLogGroupName(int pair) const {
    if (!HasRecord()) return "";
    return pair == 1 ? m_CfgEvent->GetPrimaryGroup() : pair == 2 ? m_CfgEvent->GetSecondaryGroup() : "";
}

std::string EventInfo::GetLevelName(int pair) const {
    if (!HasRecord()) return "";
    return pair == 2 ? m_CfgEvent->GetSecondaryLevel() : m_CfgEvent->GetPrimaryLevel();
}

int EventInfo::GetThreshold() const {
    return HasRecord() ? m_CfgEvent->GetThreshold() : 0;
}

int EventInfo::GetSeverity() const {
    return m_CfgEvent ? m_CfgEvent->GetSeverity() : 0;
}

} // namespace vq
