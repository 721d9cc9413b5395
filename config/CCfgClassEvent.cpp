#include "config/CCfgClassEvent.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CCfgClassEvent, CCfgEvent)

CCfgClassEvent::CCfgClassEvent(const CCfgClassEvent& other) : CCfgEvent(), m_OwnerName(other.m_OwnerName) {
    CopyFrom(other);
}

void CCfgClassEvent::Serialize(ArchiveWriter& archive) const {
    SerializeWithOwner(archive, m_OwnerName);
}

void CCfgClassEvent::Serialize(ArchiveReader& archive) {
    SerializeWithOwner(archive, m_OwnerName);
}

} // namespace vq
