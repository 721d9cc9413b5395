#include "config/CCfgDeviceEvent.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CCfgDeviceEvent, CCfgEvent)

CCfgDeviceEvent::CCfgDeviceEvent(const CCfgDeviceEvent& other) : CCfgEvent(), m_OwnerName(other.m_OwnerName) {
    CopyFrom(other);
}

CCfgDeviceEvent::CCfgDeviceEvent(const std::string& owner, const CCfgEvent& event) : m_OwnerName(owner) {
    CopyFrom(event);
}

void CCfgDeviceEvent::Serialize(ArchiveWriter& archive) const {
    SerializeWithOwner(archive, m_OwnerName);
}

void CCfgDeviceEvent::Serialize(ArchiveReader& archive) {
    SerializeWithOwner(archive, m_OwnerName);
}

} // namespace vq
