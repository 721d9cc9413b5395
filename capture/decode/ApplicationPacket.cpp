#include "capture/decode/ApplicationPacket.h"

#include "capture/decode/PresentationPacket.h"
#include "capture/decode/ProtocolNames.h"

namespace vq {

namespace {

constexpr ProtocolNameRow kApplicationNames[] = {
    {0, 0, "unknown", "???"},
};

} // namespace

ApplicationPacket& ApplicationPacket::Create(Packet& packet, const PresentationPacket& lower, Slot& slot) {
    uint16_t protocol = lower.HasNextLayer() ? lower.GetNextProtocol() : 0;
    return slot.Emplace<ApplicationPacket_Unknown>(packet, protocol, lower);
}

std::string ApplicationPacket::GetName(bool verbose) const {
    return LookupProtocolName(kApplicationNames, GetProtocol(), verbose, "APPLICATION");
}

} // namespace vq
