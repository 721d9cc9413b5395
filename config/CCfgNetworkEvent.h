#pragma once

#include "config/CCfgEvent.h"

#include <string>

namespace vq {

// An event configured for one network interface. It shares the run-time class and the archive
// form of CCfgEvent: the owner name is not archived, and an archived network event reads back as a
// plain event.
class CCfgNetworkEvent : public CCfgEvent {
public:
    CCfgNetworkEvent() = default;
    // The settings of `event`; the owner name stays empty.
    explicit CCfgNetworkEvent(const CCfgEvent& event) { CopyFrom(event); }
    CCfgNetworkEvent(const CCfgNetworkEvent& other)
        : CCfgNetworkEvent(static_cast<const CCfgEvent&>(other)) {}

    std::string GetOwnerName() const { return m_OwnerName; }
    void SetOwnerName(const std::string& value) { m_OwnerName = value; }

private:
    std::string m_OwnerName;
};

} // namespace vq
