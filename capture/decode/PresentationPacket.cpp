#include "capture/decode/PresentationPacket.h"

#include "capture/decode/ProtocolNames.h"
#include "capture/decode/SessionPacket.h"

namespace vq {

namespace {

constexpr ProtocolNameRow kPresentationNames[] = {
    {0, 0, "unknown", "???"},
    {1, 1, "Network File System", "NFS"},
};

} // namespace

PresentationPacket& PresentationPacket::Create(Packet& packet, const SessionPacket& lower, Slot& slot) {
    uint16_t protocol = lower.HasNextLayer() ? lower.GetNextProtocol() : 0;
    return slot.Emplace<PresentationPacket_Unknown>(packet, protocol, lower);
}

std::string PresentationPacket::GetName(bool verbose) const {
    return LookupProtocolName(kPresentationNames, GetProtocol(), verbose, "PRESENTATION");
}

} // namespace vq
