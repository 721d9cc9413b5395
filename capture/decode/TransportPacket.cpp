#include "capture/decode/TransportPacket.h"

#include "capture/Packet.h"
#include "capture/decode/DecoderTable.h"
#include "capture/decode/NetworkPacket.h"
#include "capture/decode/ProtocolNames.h"

#include <algorithm>
#include <bitset>

namespace vq {

namespace {

constexpr ProtocolNameRow kTransportNames[] = {
    {1, 1, "Internet Control Message Protocol", "ICMP"},
    {2, 2, "Internet Group Management Protocol", "IGMP"},
    {3, 3, "Gateway-to-Gateway Protocol", "GGP"},
    {6, 6, "Transmission Control Protocol", "TCP"},
    {8, 8, "Exterior Gateway Protocol", "EGP"},
    {17, 17, "User Datagram Protocol", "UDP"},
    {338, 338, "User Datagram Protocol", "UDP"},
    {41, 41, "IP version 6", "IPv6"},
    {43, 43, "IP version 6 ROUTE", "IPv6ROUTE"},
    {44, 44, "IP version 6 FRAG", "IPv6FRAG"},
    {51, 51, "IP version 6 AUTH", "IPv6AUTH"},
    {83, 83, "VINES", "VINES"},
    {255, 255, "unknown", "???"},
    {257, 257, "request", "req"},
    {258, 258, "reply", "rep"},
    {259, 259, "reverse request", "revreq"},
    {260, 260, "reverse reply", "revrep"},
    {261, 261, "Dynamic Reverse request", "drreq"},
    {262, 262, "Dynamic Reverse reply", "drrep"},
    {263, 263, "Dynamic Reverse error", "drerr"},
    {264, 264, "Inverse request", "invreq"},
    {265, 265, "Inverse reply", "invrep"},
    {266, 266, "negative acknowledgement", "nak"},
    {272, 272, "unknown", "unk"},
    {336, 336, "unknown", "unk"},
    {273, 273, "routing information", "rtinfo"},
    {274, 274, "echo", "echo"},
    {275, 275, "error", "err"},
    {276, 276, "Packet Exchange Protocol", "PEP"},
    {277, 277, "Sequenced Packet eXchange", "SPX"},
    {288, 288, "experimental", "exp"},
    {289, 289, "Netware Core Protocol", "NCP"},
    {292, 292, "NetBIOS", "NB"},
    {337, 337, "Name Management Protocol", "NMP"},
    {339, 339, "Diagnostic and Monitoring Protocol", "DMP"},
    {340, 340, "Session Management Protocol", "SMP"},
};

using TransportFactory = TransportPacket& (*)(Packet&, uint16_t, const NetworkPacket&, TransportPacket::Slot&);

template <typename T>
TransportPacket& Make(Packet& packet, uint16_t protocol, const NetworkPacket& lower, TransportPacket::Slot& slot) {
    return slot.Emplace<T>(packet, protocol, lower);
}

constexpr DecoderTable<TransportFactory, 9>
    kTransportDecoders({{
                           {TransportIcmp, Make<TransportPacket_ICMP>},
                           {TransportTcp, Make<TransportPacket_TCP>},
                           {TransportUdp, Make<TransportPacket_UDP>},
                           {TransportSpx, Make<TransportPacket_SPX>},
                           {TransportNetBIOS, Make<TransportPacket_NetBIOS>},
                           {TransportNetBIOSNameManagement, Make<TransportPacket_NetBIOS_NMP>},
                           {TransportNetBIOSDatagram, Make<TransportPacket_NetBIOS_UDP>},
                           {TransportNetBIOSDiagnostic, Make<TransportPacket_NetBIOS_DMP>},
                           {TransportNetBIOSSession, Make<TransportPacket_NetBIOS_SMP>},
                       }},
                       Make<TransportPacket_Unknown>);

constexpr LengthLimits kTcpLimits{20, 24, 0, 0, 20, 65535, 0, 65515, 0, 65515};
constexpr LengthLimits kUdpLimits{8, 8, 0, 0, 8, 65535, 0, 65527, 0, 65527};
constexpr LengthLimits kIcmpLimits{8, 8, 0, 0, 12, 65535, 4, 65527, 4, 65527};
constexpr LengthLimits kSpxLimits{12, 12, 0, 0, 12, 546, 0, 534, 0, 534};

constexpr int32_t kTcpMinimumHeader = 20;
constexpr int32_t kUdpHeader = 8;
constexpr int32_t kIcmpHeader = 8;
constexpr int32_t kSpxHeader = 12;

struct LearnedPorts {
    std::bitset<65536> servers;
    std::bitset<65536> clients;
};

LearnedPorts& Learned() {
    static LearnedPorts ports;
    return ports;
}

} // namespace

TransportPacket& TransportPacket::Create(Packet& packet, const NetworkPacket& lower, Slot& slot) {
    uint16_t protocol = lower.HasNextLayer() ? lower.GetNextProtocol() : uint16_t(TransportNone);
    return kTransportDecoders.Find(protocol)(packet, protocol, lower, slot);
}

std::string TransportPacket::GetName(bool verbose) const {
    return LookupProtocolName(kTransportNames, GetProtocol(), verbose, "TRANSPORT");
}

TransportPacket_Unknown::TransportPacket_Unknown(Packet& packet, uint16_t protocol,
                                                 const NetworkPacket& lower)
    : TransportPacket(packet, protocol, lower) {}

TransportPacket_ICMP::TransportPacket_ICMP(Packet& packet, uint16_t protocol, const NetworkPacket& lower)
    : TransportPacket(packet, protocol, lower) {
    SetHeaderLength(kIcmpHeader);
    if (!Bytes().has(0, kIcmpHeader)) MarkCut();
}

uint8_t TransportPacket_ICMP::GetType() const {
    return Bytes().u8(0).value_or(0);
}
uint8_t TransportPacket_ICMP::GetCode() const {
    return Bytes().u8(1).value_or(0);
}
uint16_t TransportPacket_ICMP::GetChecksum() const {
    return Bytes().be16(2).value_or(0);
}
uint32_t TransportPacket_ICMP::GetWord() const {
    return Bytes().be32(4).value_or(0);
}
uint16_t TransportPacket_ICMP::GetWordHigh() const {
    return Bytes().be16(4).value_or(0);
}
uint16_t TransportPacket_ICMP::GetWordLow() const {
    return Bytes().be16(6).value_or(0);
}
uint8_t TransportPacket_ICMP::GetPointer() const {
    return Bytes().u8(4).value_or(0);
}
const LengthLimits& TransportPacket_ICMP::Limits() const {
    return kIcmpLimits;
}

TransportPacket_TCPUDP::TransportPacket_TCPUDP(Packet& packet, uint16_t protocol, const NetworkPacket& lower)
    : TransportPacket(packet, protocol, lower), hasPorts_(Bytes().has(0, 4)) {}

// Both ports or none: a half-captured pair would make a tuple out of one real port.
uint16_t TransportPacket_TCPUDP::GetSourcePort() const {
    return hasPorts_ ? *Bytes().be16(0) : 0;
}
uint16_t TransportPacket_TCPUDP::GetDestinationPort() const {
    return hasPorts_ ? *Bytes().be16(2) : 0;
}

bool TransportPacket_TCPUDP::IsWellKnownPort(uint16_t port) {
    return port < 1023 || port == 1433 || port == 1755 || port == 7070 || port == 7071;
}
bool TransportPacket_TCPUDP::IsLearnedServerPort(uint16_t port) {
    return Learned().servers.test(port);
}
bool TransportPacket_TCPUDP::IsLearnedClientPort(uint16_t port) {
    return Learned().clients.test(port);
}

bool TransportPacket_TCPUDP::IsServerPort(uint16_t port) {
    return IsWellKnownPort(port) ? !IsLearnedClientPort(port) : IsLearnedServerPort(port);
}

void TransportPacket_TCPUDP::MarkServerPort(uint16_t port) {
    if (IsWellKnownPort(port))
        Learned().clients.reset(port);
    else
        Learned().servers.set(port);
}

void TransportPacket_TCPUDP::MarkClientPort(uint16_t port) {
    if (IsLearnedServerPort(port))
        Learned().servers.reset(port);
    else
        Learned().clients.set(port);
}

void TransportPacket_TCPUDP::ResetLearnedPorts() {
    Learned().servers.reset();
    Learned().clients.reset();
}

TransportPacket_TCP::TransportPacket_TCP(Packet& packet, uint16_t protocol, const NetworkPacket& lower)
    : TransportPacket_TCPUDP(packet, protocol, lower) {
    ByteView header = Bytes();
    int32_t headerLength = GetDataOffset() * 4;
    SetHeaderLength(header.has(0, kTcpMinimumHeader) ? headerLength : kTcpMinimumHeader);
    if (!header.has(0, kTcpMinimumHeader) || !header.has(0, headerLength)) {
        MarkCut();
        return;
    }
    valid_ = headerLength >= kTcpMinimumHeader;
}

// SYN, FIN and RST segments carry no session data worth identifying.
bool TransportPacket_TCP::HasNextLayer() const {
    return valid_ && !IsCut() && (GetFlags() & 7) == 0;
}
uint64_t TransportPacket_TCP::GetSequence() const {
    return Bytes().be32(4).value_or(0);
}
uint16_t TransportPacket_TCP::GetChecksum() const {
    return Bytes().be16(16).value_or(0);
}
uint32_t TransportPacket_TCP::GetAcknowledgement() const {
    return Bytes().be32(8).value_or(0);
}
uint8_t TransportPacket_TCP::GetDataOffset() const {
    return Bytes().u8(12).value_or(0) >> 4;
}
uint8_t TransportPacket_TCP::GetFlags() const {
    return Bytes().u8(13).value_or(0) & 0x3F;
}
uint16_t TransportPacket_TCP::GetWindow() const {
    return Bytes().be16(14).value_or(0);
}
uint16_t TransportPacket_TCP::GetUrgentPointer() const {
    return Bytes().be16(18).value_or(0);
}
const LengthLimits& TransportPacket_TCP::Limits() const {
    return kTcpLimits;
}

TransportPacket_UDP::TransportPacket_UDP(Packet& packet, uint16_t protocol, const NetworkPacket& lower)
    : TransportPacket_TCPUDP(packet, protocol, lower) {
    SetHeaderLength(kUdpHeader);
    ByteView header = Bytes();
    if (!header.has(0, kUdpHeader)) {
        MarkCut();
        return;
    }
    uint16_t stated = GetUdpLength();
    valid_ = stated >= kUdpHeader;
    int32_t room = std::min<int64_t>(GetTotalLength(), int64_t(header.size()));
    SetTotalLength(std::clamp<int32_t>(stated, kUdpHeader, std::max(room, kUdpHeader)));
}

uint16_t TransportPacket_UDP::GetChecksum() const {
    return Bytes().be16(6).value_or(0);
}
uint16_t TransportPacket_UDP::GetUdpLength() const {
    return Bytes().be16(4).value_or(0);
}
const LengthLimits& TransportPacket_UDP::Limits() const {
    return kUdpLimits;
}

TransportPacket_SPX::TransportPacket_SPX(Packet& packet, uint16_t protocol, const NetworkPacket& lower)
    : TransportPacket(packet, protocol, lower) {
    SetHeaderLength(kSpxHeader);
    if (!Bytes().has(0, kSpxHeader)) MarkCut();
}

uint64_t TransportPacket_SPX::GetSequence() const {
    return Bytes().be16(6).value_or(0);
}
uint8_t TransportPacket_SPX::GetConnectionControl() const {
    return Bytes().u8(0).value_or(0);
}
uint8_t TransportPacket_SPX::GetDatastreamType() const {
    return Bytes().u8(1).value_or(0);
}
uint16_t TransportPacket_SPX::GetSourceConnection() const {
    return Bytes().be16(2).value_or(0);
}
uint16_t TransportPacket_SPX::GetDestinationConnection() const {
    return Bytes().be16(4).value_or(0);
}
uint16_t TransportPacket_SPX::GetAcknowledgeNumber() const {
    return Bytes().be16(8).value_or(0);
}
uint16_t TransportPacket_SPX::GetAllocationNumber() const {
    return Bytes().be16(10).value_or(0);
}
const LengthLimits& TransportPacket_SPX::Limits() const {
    return kSpxLimits;
}

TransportPacket_NetBIOS::TransportPacket_NetBIOS(Packet& packet, uint16_t protocol,
                                                 const NetworkPacket& lower)
    : TransportPacket(packet, protocol, lower), network_(lower) {}

uint16_t TransportPacket_NetBIOS::GetNextProtocol() const {
    if (GetProtocol() == TransportNetBIOS) return 0xE1FF;
    // IPX packet types 64 to 68 land on the same identifiers; they carry no NetBEUI command.
    auto netbeui = dynamic_cast<const NetworkPacket_NetBEUI*>(&network_);
    return uint16_t(0xE100 + (netbeui ? netbeui->GetCommand() : 0));
}

} // namespace vq
