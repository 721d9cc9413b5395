#include "capture/decode/NetworkPacket.h"

#include "capture/Packet.h"
#include "capture/PacketAdapter.h"
#include "capture/decode/DataLinkPacket.h"
#include "capture/decode/DecoderTable.h"
#include "capture/decode/ProtocolNames.h"

#include <algorithm>
#include <array>

namespace vq {

namespace {

constexpr ProtocolNameRow kNetworkNames[] = {
    {0, 0, "unknown", "???"},
    {0x0600, 0x0600, "Xerox IDP", "IDP"},
    {0x0800, 0x0800, "Internet Protocol", "IP"},
    {0x0805, 0x0805, "X.25", "X25"},
    {0x0806, 0x0806, "Address Resolution Protocol", "ARP"},
    {0x0BAD, 0x0BAF, "Banyan VINES", "VINES"},
    {0x6004, 0x6004, "DEC LAT", "LAT"},
    {0x6000, 0x6009, "DEC", "DEC"},
    {0x8035, 0x8035, "Reverse ARP", "RARP"},
    {0x809B, 0x809B, "AppleTalk", "ATalk"},
    {0x80F3, 0x80F3, "AppleTalk ARP", "ATalkARP"},
    {0x8137, 0x8138, "Novell IPX", "IPX"},
    {0x86DD, 0x86DD, "IP version 6", "IPv6"},
    {0x9000, 0x9000, "internal loopback", "loop"},
    {0xFF18, 0xFF18, "NetBEUI", "NB"},
    {0xFF19, 0xFF19, "NetBEUI-LLC", "NBllc"},
};

constexpr uint8_t kSourceText[] = "SRC?";
constexpr uint8_t kDestinationText[] = "DST?";

using NetworkFactory = NetworkPacket& (*)(Packet&, uint16_t, const GenericPacket&, NetworkPacket::Slot&);

template <typename T>
NetworkPacket& Make(Packet& packet, uint16_t protocol, const GenericPacket& lower, NetworkPacket::Slot& slot) {
    return slot.Emplace<T>(packet, protocol, lower);
}

constexpr DecoderTable<NetworkFactory, 7>
    kNetworkDecoders({{
                         {NetworkIp, Make<NetworkPacket_IP>},
                         {NetworkArp, Make<NetworkPacket_ARP>},
                         {NetworkRarp, Make<NetworkPacket_ARP>},
                         {NetworkIpx, Make<NetworkPacket_IPX>},
                         {NetworkIpxAlternate, Make<NetworkPacket_IPX>},
                         {NetworkNetBEUI, Make<NetworkPacket_NetBEUI>},
                         {NetworkNetbeuiCtrl, Make<NetworkPacket_NetbeuiCtrl>},
                     }},
                     Make<NetworkPacket_Unknown>);

constexpr LengthLimits kIpLimits{20, 60, 0, 0, 20, 65535, 0, 65515, 0, 65515};
constexpr LengthLimits kArpLimits{8, 12, 0, 0, 8, 65535, 0, 65527, 0, 65527};
constexpr LengthLimits kIpxLimits{30, 30, 0, 0, 30, 576, 0, 546, 0, 546};
constexpr LengthLimits kNetBEUILimits{14, 44, 0, 0, 14, 1064, 0, 1050, 0, 1050};
constexpr LengthLimits kNetbeuiCtrlLimits{0, 0, 0, 0, 0, 1064, 0, 1064, 0, 1064};

constexpr size_t kIpMinimumHeader = 20;
constexpr size_t kIpxHeader = 30;
constexpr size_t kIpxAddressLength = 10;
constexpr size_t kNetBEUISessionHeader = 14;
constexpr size_t kNetBEUINamesHeader = 44;
constexpr size_t kNetBIOSNameLength = 16;

// A header states its unit's length: it is kept between the header's own length and the bytes
// actually captured, so no length derived from it reaches past the capture.
int32_t ClampStated(uint32_t stated, int32_t header, size_t captured) {
    int64_t upper = std::max<int64_t>(header, int64_t(captured));
    return int32_t(std::clamp<int64_t>(stated, header, upper));
}

// NetBIOS frame class by command byte: name management, datagram, diagnostic, session.
constexpr std::array<uint8_t, 32> kNetBIOSClasses = [] {
    std::array<uint8_t, 32> classes{};
    for (int command : {0, 1, 2, 13})
        classes[command] = NetworkPacket_NetBEUI::ClassNameManagement;
    for (int command : {8, 9})
        classes[command] = NetworkPacket_NetBEUI::ClassDatagram;
    for (int command : {3, 7, 15, 19})
        classes[command] = NetworkPacket_NetBEUI::ClassDiagnostic;
    for (int command : {10, 14, 20, 21, 22, 23, 24, 25, 26, 27, 28, 31})
        classes[command] = NetworkPacket_NetBEUI::ClassSession;
    return classes;
}();

} // namespace

NetworkPacket& NetworkPacket::Create(Packet& packet, const DataLinkPacket& lower, Slot& slot) {
    uint16_t protocol = lower.HasNextLayer() ? lower.GetNextProtocol() : 0;
    return kNetworkDecoders.Find(protocol)(packet, protocol, lower, slot);
}

std::string NetworkPacket::GetName(bool verbose) const {
    return LookupProtocolName(kNetworkNames, GetProtocol(), verbose, "NETWORK");
}

bool NetworkPacket::IsFromAdapter(const PacketAdapter&) const {
    return false;
}
bool NetworkPacket::IsToAdapter(const PacketAdapter&) const {
    return false;
}
const uint8_t* NetworkPacket::GetSourceAddress() const {
    return kSourceText;
}
const uint8_t* NetworkPacket::GetDestinationAddress() const {
    return kDestinationText;
}

IpAddress Ipv4Addresses::Address(uint32_t address) {
    const uint8_t bytes[] = {uint8_t(address >> 24), uint8_t(address >> 16), uint8_t(address >> 8),
                             uint8_t(address)};
    return IpAddress(bytes, true);
}

int32_t Ipv4Addresses::Kind(uint32_t address) {
    const uint8_t bytes[] = {uint8_t(address >> 24), uint8_t(address >> 16), uint8_t(address >> 8),
                             uint8_t(address)};
    return IpAddress::ClassifyBytes(bytes);
}

NetworkPacket_IP::NetworkPacket_IP(Packet& packet, uint16_t protocol, const GenericPacket& lower)
    : NetworkPacket(packet, protocol, lower) {
    ByteView header = Bytes();
    auto first = header.u8(0);
    if (!first) {
        SetHeaderLength(kIpMinimumHeader);
        MarkCut();
        return;
    }
    int32_t headerLength = (*first & 0x0F) * 4;
    SetHeaderLength(headerLength);
    if (*first >> 4 != 4 || headerLength < int32_t(kIpMinimumHeader)) return;
    if (header.has(12, 8)) {
        addresses_ = {*header.be32(12), *header.be32(16), true};
        SetKinds(Ipv4Addresses::Kind(addresses_.source), Ipv4Addresses::Kind(addresses_.destination));
    }
    if (!header.has(0, headerLength)) {
        MarkCut();
        return;
    }
    uint16_t stated = *header.be16(2);
    SetTotalLength(ClampStated(stated, headerLength, header.size()));
    valid_ = stated >= headerLength;
}

bool NetworkPacket_IP::HasNextLayer() const {
    return valid_ && !IsCut() && GetFragmentOffset() == 0;
}

bool NetworkPacket_IP::IsFromAdapter(const PacketAdapter& adapter) const {
    return addresses_.present && adapter.IsOwnIpAddress(addresses_.source, true);
}
bool NetworkPacket_IP::IsToAdapter(const PacketAdapter& adapter) const {
    return addresses_.present && adapter.IsOwnIpAddress(addresses_.destination, true);
}
const uint8_t* NetworkPacket_IP::GetSourceAddress() const {
    return addresses_.present ? Bytes().bytes(12, 4) : nullptr;
}
const uint8_t* NetworkPacket_IP::GetDestinationAddress() const {
    return addresses_.present ? Bytes().bytes(16, 4) : nullptr;
}

uint8_t NetworkPacket_IP::GetVersion() const {
    return Bytes().u8(0).value_or(0) >> 4;
}
uint8_t NetworkPacket_IP::GetHeaderWords() const {
    return Bytes().u8(0).value_or(0) & 0x0F;
}
uint8_t NetworkPacket_IP::GetTypeOfService() const {
    return Bytes().u8(1).value_or(0);
}
uint16_t NetworkPacket_IP::GetDatagramLength() const {
    return Bytes().be16(2).value_or(0);
}
uint16_t NetworkPacket_IP::GetIdentification() const {
    return Bytes().be16(4).value_or(0);
}
uint16_t NetworkPacket_IP::GetFragmentOffset() const {
    return Bytes().be16(6).value_or(0) & 0x1FFF;
}
uint8_t NetworkPacket_IP::GetTimeToLive() const {
    return Bytes().u8(8).value_or(0);
}
uint8_t NetworkPacket_IP::GetIpProtocol() const {
    return Bytes().u8(9).value_or(0);
}
uint16_t NetworkPacket_IP::GetChecksum() const {
    return Bytes().be16(10).value_or(0);
}
const LengthLimits& NetworkPacket_IP::Limits() const {
    return kIpLimits;
}

NetworkPacket_ARP::NetworkPacket_ARP(Packet& packet, uint16_t protocol, const GenericPacket& lower)
    : NetworkPacket(packet, protocol, lower) {
    ByteView header = Bytes();
    uint16_t hardware = header.be16(0).value_or(0);
    SetHeaderLength(hardware == 1 ? 28 : hardware == 16 || hardware == 19 || hardware == 21 ? 12 : 8);
    if (!header.has(0, 8)) {
        MarkCut();
        return;
    }
    bool ipv4 = GetProtocolType() == 0x0800 && GetProtocolLength() == 4;
    size_t hardwareLength = GetHardwareLength();
    senderOffset_ = 8 + hardwareLength;
    targetOffset_ = 12 + 2 * hardwareLength;
    if (ipv4 && header.has(0, 16 + 2 * hardwareLength)) {
        uint16_t operation = GetOperation();
        // A reverse request asks for the target's address, so it has none; a reverse reply
        // carries the assigned address in the target field.
        hasTarget_ = operation != 3;
        addresses_ = {*header.be32(senderOffset_), hasTarget_ ? *header.be32(targetOffset_) : 0, true};
        SetKinds(Ipv4Addresses::Kind(addresses_.source), Ipv4Addresses::Kind(addresses_.destination));
    }
    if (!header.has(0, GetHeaderLength()) || (ipv4 && !addresses_.present)) MarkCut();
}

bool NetworkPacket_ARP::IsFromAdapter(const PacketAdapter& adapter) const {
    return addresses_.present && adapter.IsOwnIpAddress(addresses_.source, true);
}
bool NetworkPacket_ARP::IsToAdapter(const PacketAdapter& adapter) const {
    return addresses_.present && hasTarget_ && adapter.IsOwnIpAddress(addresses_.destination, true);
}
const uint8_t* NetworkPacket_ARP::GetSourceAddress() const {
    return addresses_.present ? Bytes().bytes(senderOffset_, 4) : nullptr;
}
const uint8_t* NetworkPacket_ARP::GetDestinationAddress() const {
    return addresses_.present && hasTarget_ ? Bytes().bytes(targetOffset_, 4) : nullptr;
}

uint16_t NetworkPacket_ARP::GetHardwareType() const {
    return Bytes().be16(0).value_or(0);
}
uint16_t NetworkPacket_ARP::GetProtocolType() const {
    return Bytes().be16(2).value_or(0);
}
uint8_t NetworkPacket_ARP::GetHardwareLength() const {
    return Bytes().u8(4).value_or(0);
}
uint8_t NetworkPacket_ARP::GetProtocolLength() const {
    return Bytes().u8(5).value_or(0);
}
uint16_t NetworkPacket_ARP::GetOperation() const {
    return Bytes().be16(6).value_or(0);
}
const uint8_t* NetworkPacket_ARP::GetSenderHardwareAddress() const {
    return Bytes().bytes(8, GetHardwareLength());
}
const uint8_t* NetworkPacket_ARP::GetTargetHardwareAddress() const {
    size_t length = GetHardwareLength();
    return Bytes().bytes(12 + length, length);
}
const LengthLimits& NetworkPacket_ARP::Limits() const {
    return kArpLimits;
}

NetworkPacket_IPX::NetworkPacket_IPX(Packet& packet, uint16_t protocol, const GenericPacket& lower)
    : NetworkPacket(packet, protocol, lower) {
    SetHeaderLength(kIpxHeader);
    ByteView header = Bytes();
    if (!header.has(0, kIpxHeader)) {
        MarkCut();
        return;
    }
    SetTotalLength(ClampStated(*header.be16(2), kIpxHeader, header.size()));
}

const uint8_t* NetworkPacket_IPX::GetSourceAddress() const {
    return IsCut() ? nullptr : Bytes().bytes(18, kIpxAddressLength);
}
const uint8_t* NetworkPacket_IPX::GetDestinationAddress() const {
    return IsCut() ? nullptr : Bytes().bytes(6, kIpxAddressLength);
}
IpxAddress NetworkPacket_IPX::GetSource() const {
    return IsCut() ? IpxAddress() : IpxAddress(GetSourceAddress(), true);
}
IpxAddress NetworkPacket_IPX::GetDestination() const {
    return IsCut() ? IpxAddress() : IpxAddress(GetDestinationAddress(), true);
}
std::string NetworkPacket_IPX::GetSourceText() const {
    return IsCut() ? IpxAddress::Invalid().GetText() : GetSource().GetText();
}
std::string NetworkPacket_IPX::GetDestinationText() const {
    return IsCut() ? IpxAddress::Invalid().GetText() : GetDestination().GetText();
}

uint16_t NetworkPacket_IPX::GetChecksum() const {
    return Bytes().be16(0).value_or(0);
}
uint16_t NetworkPacket_IPX::GetIpxLength() const {
    return Bytes().be16(2).value_or(0);
}
uint8_t NetworkPacket_IPX::GetTransportControl() const {
    return Bytes().u8(4).value_or(0);
}
uint8_t NetworkPacket_IPX::GetPacketType() const {
    return Bytes().u8(5).value_or(0);
}
uint16_t NetworkPacket_IPX::GetDestinationSocket() const {
    return Bytes().be16(16).value_or(0);
}
uint16_t NetworkPacket_IPX::GetSourceSocket() const {
    return Bytes().be16(28).value_or(0);
}
const LengthLimits& NetworkPacket_IPX::Limits() const {
    return kIpxLimits;
}

NetworkPacket_NetBEUI::NetworkPacket_NetBEUI(Packet& packet, uint16_t protocol, const GenericPacket& lower)
    : NetworkPacket(packet, protocol, lower) {
    ByteView header = Bytes();
    if (!header.has(0, kNetBEUISessionHeader)) {
        SetHeaderLength(kNetBEUISessionHeader);
        MarkCut();
        return;
    }
    // The one little-endian length of the frame.
    uint16_t headerLength = *header.le16(0);
    uint8_t command = *header.u8(4);
    frameClass_ =
        command < kNetBIOSClasses.size() ? int32_t(kNetBIOSClasses[command]) : int32_t(ClassUnknown);
    SetHeaderLength(headerLength);
    hasNames_ = headerLength >= kNetBEUINamesHeader && header.has(0, kNetBEUINamesHeader);
    if (!header.has(0, headerLength)) MarkCut();
}

const uint8_t* NetworkPacket_NetBEUI::GetSourceAddress() const {
    return hasNames_ ? Bytes().bytes(28, kNetBIOSNameLength) : nullptr;
}
const uint8_t* NetworkPacket_NetBEUI::GetDestinationAddress() const {
    return hasNames_ ? Bytes().bytes(12, kNetBIOSNameLength) : nullptr;
}
NbAddress NetworkPacket_NetBEUI::GetSource() const {
    return hasNames_ ? NbAddress(GetSourceAddress(), false) : NbAddress();
}
NbAddress NetworkPacket_NetBEUI::GetDestination() const {
    return hasNames_ ? NbAddress(GetDestinationAddress(), false) : NbAddress();
}
std::string NetworkPacket_NetBEUI::GetSourceText() const {
    return hasNames_ ? GetSource().GetText() : NbAddress::Invalid().GetText();
}
std::string NetworkPacket_NetBEUI::GetDestinationText() const {
    return hasNames_ ? GetDestination().GetText() : NbAddress::Invalid().GetText();
}

uint16_t NetworkPacket_NetBEUI::GetNetbeuiHeaderLength() const {
    return Bytes().le16(0).value_or(0);
}
uint8_t NetworkPacket_NetBEUI::GetCommand() const {
    return Bytes().u8(4).value_or(0);
}
uint8_t NetworkPacket_NetBEUI::GetData1() const {
    return Bytes().u8(5).value_or(0);
}
uint16_t NetworkPacket_NetBEUI::GetData2() const {
    return Bytes().le16(6).value_or(0);
}
uint16_t NetworkPacket_NetBEUI::GetTransmitCorrelator() const {
    return Bytes().le16(8).value_or(0);
}
uint16_t NetworkPacket_NetBEUI::GetResponseCorrelator() const {
    return Bytes().le16(10).value_or(0);
}
const LengthLimits& NetworkPacket_NetBEUI::Limits() const {
    return kNetBEUILimits;
}

const LengthLimits& NetworkPacket_NetbeuiCtrl::Limits() const {
    return kNetbeuiCtrlLimits;
}

} // namespace vq
