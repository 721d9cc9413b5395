#pragma once

#include "capture/GenericPacket.h"
#include "capture/decode/LayerSlot.h"

#include <string>

namespace vq {

class SessionPacket;

class PresentationPacket : public GenericPacket {
public:
    // Room inside a packet for any class of this family.
    using Slot = LayerSlot<PresentationPacket, 80>;

    std::string GetName(bool verbose) const override;

    static PresentationPacket& Create(Packet& packet, const SessionPacket& lower, Slot& slot);

protected:
    PresentationPacket(Packet& packet, uint16_t protocol, const GenericPacket& lower)
        : GenericPacket(packet, LayerPresentation, protocol, &lower) {}
};

class PresentationPacket_Unknown : public PresentationPacket {
public:
    PresentationPacket_Unknown(Packet& packet, uint16_t protocol, const GenericPacket& lower)
        : PresentationPacket(packet, protocol, lower) {}
    uint16_t GetNextProtocol() const override { return 0; }
    bool HasNextLayer() const override { return true; }
};

} // namespace vq
