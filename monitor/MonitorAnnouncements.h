#pragma once

#include "netmodel/AnnouncementSink.h"

namespace vq {

// Hands the live model's host announcements to the main thread as WM_State_Address.
class MonitorAnnouncements final : public AnnouncementSink {
public:
    bool Announce(uint32_t changeBits, std::unique_ptr<HostAddress> host) override;
};

} // namespace vq
