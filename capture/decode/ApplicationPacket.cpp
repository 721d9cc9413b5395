#include "capture/decode/ApplicationPacket.h"

#include "capture/decode/PresentationPacket.h"
#include "capture/decode/ProtocolNames.h"

namespace vq {

namespace {

constexpr ProtocolNameRow kApplicationNames[] = {
    {0, 0, "unknown", "???"},
};

} // namespace

std::unique_ptr<ApplicationPacket> ApplicationPacket::Create(Packet& packet,
                                                             const PresentationPacket& lower) {
    uint16_t protocol = lower.HasNextLayer() ? lower.GetNextProtocol() : 0;
    return std::make_unique<ApplicationPacket_Unknown>(packet, protocol, lower);
}

std::string ApplicationPacket::GetName(bool verbose) const {
    return LookupProtocolName(kApplicationNames, GetProtocol(), verbose, "APPLICATION");
}

} // namespace vq
