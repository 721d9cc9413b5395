#pragma once

#include "config/CCfgEvent.h"

#include <string>

namespace vq {

// An event configured for one device class.
class CCfgClassEvent : public CCfgEvent {
    VQ_DECLARE_RUNTIME_CLASS(CCfgClassEvent)

public:
    CCfgClassEvent() = default;
    // The owner and every setting of `other`.
    CCfgClassEvent(const CCfgClassEvent& other);

    std::string GetOwnerName() const { return m_OwnerName; }
    void SetOwnerName(const std::string& value) { m_OwnerName = value; }

    // The event's form followed by the owner name.
    void Serialize(ArchiveWriter& archive) const override;
    void Serialize(ArchiveReader& archive) override;

private:
    std::string m_OwnerName;
};

} // namespace vq
