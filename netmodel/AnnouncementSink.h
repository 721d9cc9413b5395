#pragma once

#include <cstdint>
#include <memory>

namespace vq {

class HostAddress;

// Where host learning reports addresses that became authoritative (or came in misrouted or
// duplicate): on the live model, the WM_State_Address message to the main thread.
class AnnouncementSink {
public:
    virtual ~AnnouncementSink() = default;
    // Takes the copy whatever the outcome; a refused announcement is dropped with it.
    virtual bool Announce(uint32_t changeBits, std::unique_ptr<HostAddress> host) = 0;
};

} // namespace vq
