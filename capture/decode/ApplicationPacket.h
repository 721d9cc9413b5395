#pragma once

#include "capture/GenericPacket.h"
#include "capture/decode/LayerSlot.h"

#include <string>

namespace vq {

class PresentationPacket;

class ApplicationPacket : public GenericPacket {
public:
    // Room inside a packet for any class of this family.
    using Slot = LayerSlot<ApplicationPacket, 80>;

    std::string GetName(bool verbose) const override;

    static ApplicationPacket& Create(Packet& packet, const PresentationPacket& lower, Slot& slot);

protected:
    ApplicationPacket(Packet& packet, uint16_t protocol, const GenericPacket& lower)
        : GenericPacket(packet, LayerApplication, protocol, &lower) {}
};

class ApplicationPacket_Unknown : public ApplicationPacket {
public:
    ApplicationPacket_Unknown(Packet& packet, uint16_t protocol, const GenericPacket& lower)
        : ApplicationPacket(packet, protocol, lower) {}
    uint16_t GetNextProtocol() const override { return 0; }
    bool HasNextLayer() const override { return true; }
};

} // namespace vq
