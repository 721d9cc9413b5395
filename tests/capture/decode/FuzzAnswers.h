#pragma once

#include "capture/Packet.h"
#include "capture/PacketAdapter.h"
#include "capture/decode/ApplicationPacket.h"
#include "capture/decode/DataLinkPacket.h"
#include "capture/decode/NetworkPacket.h"
#include "capture/decode/PresentationPacket.h"
#include "capture/decode/SessionPacket.h"
#include "capture/decode/TransportPacket.h"

#include <cstdlib>

namespace vq::fuzz {

// An adapter that owns every hardware address with an even first byte and has no IPv4 address,
// so the learning path runs as often as the checks.
class Adapter : public PacketAdapter {
public:
    explicit Adapter(int32_t medium) : medium_(medium) {}
    int32_t GetMedium() const override { return medium_; }
    bool IsOwnAddress(std::span<const uint8_t, 6> mac, bool) const override { return mac[0] % 2 == 0; }
    bool IsOwnIpAddress(uint32_t address, bool) const override { return address % 3 == 0; }
    bool HasIpAddress() const override { return false; }
    void LearnIpAddress(const std::string& text) override { learned = text; }
    std::string learned;

private:
    int32_t medium_;
};

inline void Check(bool condition) {
    if (!condition) std::abort();
}

// Every answer of every layer; positions must stay within the capture.
inline void AskEverything(const Packet& packet) {
    const uint8_t* end = packet.GetData() + packet.GetLength();
    for (int32_t kind = LayerDataLink; kind <= LayerApplication; ++kind) {
        const GenericPacket* layer = packet.GetLayer(kind);
        Check(layer != nullptr);
        Check(layer->GetPayloadOffset() <= packet.GetLength());
        Check(layer->GetHeaderOffset() <= layer->GetPayloadOffset());
        Check(!layer->GetPayloadStart() || layer->GetPayloadStart() <= end);
        Check(layer->GetPayloadLength() >= 0 && layer->GetRoom() >= 0);
        Check(!layer->GetName(true).empty() && !layer->GetName(false).empty());
        (void)layer->GetNextProtocol();
        (void)layer->HasNextLayer();
        (void)layer->GetSequence();
        (void)layer->IsOpaque();
        (void)layer->GetMaxDataLength();
    }
    const DataLinkPacket& dataLink = *packet.GetDataLink();
    (void)dataLink.GetSourceText();
    (void)dataLink.GetDestinationText();
    if (auto ethernet = dynamic_cast<const DataLinkPacket_Ethernet*>(&dataLink)) {
        (void)ethernet->GetSource();
        (void)ethernet->GetLlcHeader();
        (void)ethernet->GetSnapHeader();
    }
    const NetworkPacket& network = *packet.GetNetwork();
    (void)network.GetSourceDisplay();
    (void)network.GetDestinationDisplay();
    if (auto arp = dynamic_cast<const NetworkPacket_ARP*>(&network)) {
        (void)arp->GetSenderHardwareAddress();
        (void)arp->GetTargetHardwareAddress();
    }
    if (auto ipx = dynamic_cast<const NetworkPacket_IPX*>(&network)) (void)ipx->GetSource();
    if (auto netbeui = dynamic_cast<const NetworkPacket_NetBEUI*>(&network)) (void)netbeui->GetDestination();
    if (auto ports = dynamic_cast<const TransportPacket_TCPUDP*>(packet.GetTransport())) {
        (void)ports->GetChecksum();
        (void)TransportPacket_TCPUDP::IsServerPort(ports->GetSourcePort());
    }
    if (auto dns = dynamic_cast<const SessionPacket_DNS*>(packet.GetSession()))
        (void)dns->GetAdditionalCount();
}

} // namespace vq::fuzz
