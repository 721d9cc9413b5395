#pragma once

#include "config/CCfgEvent.h"

#include <string>

namespace vq {

// An event configured for one device.
class CCfgDeviceEvent : public CCfgEvent {
    VQ_DECLARE_RUNTIME_CLASS(CCfgDeviceEvent)

public:
    CCfgDeviceEvent() = default;
    // The owner and every setting of `other`.
    CCfgDeviceEvent(const CCfgDeviceEvent& other);
    // The settings of `event` for the device named `owner`.
    CCfgDeviceEvent(const std::string& owner, const CCfgEvent& event);

    std::string GetOwnerName() const { return m_OwnerName; }
    void SetOwnerName(const std::string& value) { m_OwnerName = value; }

    // The event's form followed by the owner name.
    void Serialize(ArchiveWriter& archive) const override;
    void Serialize(ArchiveReader& archive) override;

private:
    std::string m_OwnerName;
};

} // namespace vq
