#include "shell/EventInfo.h"

#include "config/CCfgEvent.h"

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

} // namespace vq
