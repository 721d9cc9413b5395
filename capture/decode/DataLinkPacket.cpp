#include "capture/decode/DataLinkPacket.h"

#include "capture/Packet.h"
#include "capture/PacketAdapter.h"
#include "capture/decode/DecoderTable.h"
#include "capture/decode/ProtocolNames.h"

namespace vq {

namespace {

constexpr ProtocolNameRow kDataLinkNames[] = {
    {0, 0, "unknown", "???"},
    {1, 1, "Ethernet", "ether"},
    {2, 2, "Token Ting", "token"},
    {3, 3, "ARCnet", "arc"},
    {4, 4, "FDDI", "FDDI"},
    {5, 5, "unknown WAN", "WAN"},
    {6, 6, "HDLC", "HDLC"},
    {7, 7, "SDLC", "SDLC"},
    {8, 8, "LAPB", "LAPB"},
    {9, 9, "LAPD", "LAPD"},
    {10, 10, "Frame Relay", "frame"},
    {11, 11, "Point-to-Point Protocol", "PPP"},
    {12, 12, "Serial Line IP", "SLIP"},
};

constexpr uint8_t kSourceText[] = "SRC?";
constexpr uint8_t kDestinationText[] = "DST?";

constexpr size_t kMacLength = 6;
constexpr size_t kEthernetHeader = 14;
constexpr int32_t kEthernetMaximum = 1514;

using DataLinkFactory = DataLinkPacket& (*)(Packet&, uint16_t medium, DataLinkPacket::Slot&);

template <typename T> DataLinkPacket& Make(Packet& packet, uint16_t, DataLinkPacket::Slot& slot) {
    return slot.Emplace<T>(packet);
}

DataLinkPacket& MakeUnknown(Packet& packet, uint16_t medium, DataLinkPacket::Slot& slot) {
    return slot.Emplace<DataLinkPacket_Unknown>(packet, medium);
}

// Medium codes: 0 802.3, 3 WAN, 5 DIX, 10 IrDA, 19 PPP framed by the NDIS WAN driver.
constexpr DecoderTable<DataLinkFactory, 5> kDataLinkDecoders({{
                                                                 {0, Make<DataLinkPacket_Ethernet>},
                                                                 {3, Make<DataLinkPacket_Wan>},
                                                                 {5, Make<DataLinkPacket_Ethernet>},
                                                                 {10, Make<DataLinkPacket_NdisIrda>},
                                                                 {19, Make<DataLinkPacket_NdisPPP>},
                                                             }},
                                                             MakeUnknown);

constexpr LengthLimits kEthernetLimits{14, 22, 0, 0, 60, 1514, 46, 1500, 46, 1500};
constexpr LengthLimits kHdlcLimits{3, 4, 3, 3, 6, 1514, 3, 1511, 0, 1508};
constexpr LengthLimits kLapdLimits{3, 3, 3, 3, 6, 1514, 3, 1511, 0, 1508};
constexpr LengthLimits kFrameRelayLimits{3, 5, 3, 3, 6, 1514, 3, 1511, 0, 1508};
constexpr LengthLimits kPppLimits{5, 5, 3, 3, 8, 1508, 3, 1503, 0, 1500};

} // namespace

DataLinkPacket& DataLinkPacket::Create(Packet& packet, Slot& slot) {
    int32_t medium = packet.GetMedium();
    if (medium < 0 || medium > 0xFFFF) return MakeUnknown(packet, uint16_t(medium), slot);
    return kDataLinkDecoders.Find(uint16_t(medium))(packet, uint16_t(medium), slot);
}

DataLinkPacket::DataLinkPacket(Packet& packet, uint16_t protocol, int32_t lengthAdjustment)
    : GenericPacket(packet, LayerDataLink, protocol, nullptr), lengthAdjustment_(lengthAdjustment) {}

std::string DataLinkPacket::GetName(bool verbose) const {
    return LookupProtocolName(kDataLinkNames, GetProtocol(), verbose, "DATALINK");
}

DataLinkPacket_Unknown::DataLinkPacket_Unknown(Packet& packet, uint16_t protocol)
    : DataLinkPacket(packet, protocol, 0) {}

const uint8_t* DataLinkPacket_Unknown::GetSourceAddress() const {
    return kSourceText;
}
const uint8_t* DataLinkPacket_Unknown::GetDestinationAddress() const {
    return kDestinationText;
}
const uint8_t* DataLinkPacket_Wan::GetSourceAddress() const {
    return kSourceText;
}
const uint8_t* DataLinkPacket_Wan::GetDestinationAddress() const {
    return kDestinationText;
}

DataLinkPacket_Ethernet::DataLinkPacket_Ethernet(Packet& packet, uint16_t protocol, int32_t lengthAdjustment)
    : DataLinkPacket(packet, protocol, lengthAdjustment) {
    SetMaximumLength(kEthernetMaximum);
    SetHeaderLength(kEthernetHeader);
    ByteView frame = Bytes();
    if (!frame.has(0, kEthernetHeader)) {
        MarkCut();
        return;
    }
    MarkAddresses();
    SetKinds(MacAddress::ClassifyBytes(frame.data() + 6), MacAddress::ClassifyBytes(frame.data()));
    // A length/type word above the largest 802.3 length is an EtherType.
    if (GetLengthType() > kEthernetMaximum) {
        frameType_ = FrameEthernetII;
        return;
    }
    ParseLlc(frame);
}

void DataLinkPacket_Ethernet::ParseLlc(const ByteView& frame) {
    if (!frame.has(14, 3)) {
        MarkCut();
        return;
    }
    uint8_t dsap = frame.data()[14];
    uint8_t ssap = frame.data()[15];
    uint8_t control = frame.data()[16];
    // Novell's raw 802.3: the IPX checksum 0xFFFF where the SAPs would be.
    if (dsap == 0xFF && ssap == 0xFF && control <= 2) {
        frameType_ = FrameRaw8023;
        return;
    }
    hasLlc_ = true;
    frameType_ = FrameLlc;
    SetHeaderLength(17);
    if ((dsap ^ ssap) & 0xFE) {
        frameType_ = FrameUnassignedLlc;
        return;
    }
    if ((dsap & 0xFE) == 0xAA) {
        if (!frame.has(17, 5)) {
            MarkCut();
            return;
        }
        hasSnap_ = true;
        SetHeaderLength(22);
        frameType_ =
            frame.data()[17] | frame.data()[18] | frame.data()[19] ? FrameSnapOrganisation : FrameSnap;
        return;
    }
    if (dsap != 0xF0) return;
    // NetBIOS: information and supervisory frames carry a second control byte.
    switch (control & 3) {
    case 3:
        if (control & 0xEC) frameType_ = FrameLlcUnnumbered;
        return;
    case 1:
        frameType_ = FrameLlcSupervisory;
        break;
    default:
        break;
    }
    SetHeaderLength(18);
    if (!frame.has(17, 1)) MarkCut();
}

uint16_t DataLinkPacket_Ethernet::GetLengthType() const {
    return Bytes().be16(12).value_or(0);
}

uint16_t DataLinkPacket_Ethernet::MapSap(uint8_t sap) {
    static constexpr struct {
        uint8_t sap;
        uint16_t protocol;
    } map[] = {{0x06, 0x0800}, {0x98, 0x0806}, {0xE0, 0x8137}, {0xF0, 0xFF18}};
    for (const auto& row : map) {
        if (row.sap == sap) return row.protocol;
    }
    return 0;
}

uint16_t DataLinkPacket_Ethernet::GetNextProtocol() const {
    ByteView frame = Bytes();
    switch (frameType_) {
    case FrameRaw8023:
        return 0x8137;
    case FrameEthernetII:
        return GetLengthType();
    case FrameLlc: {
        uint8_t dsap = frame.u8(14).value_or(0);
        uint8_t ssap = frame.u8(15).value_or(0);
        uint16_t protocol = MapSap(dsap);
        return protocol == 0 && ssap != dsap ? MapSap(ssap) : protocol;
    }
    case FrameLlcInformation:
    case FrameLlcSupervisory:
    case FrameLlcUnnumbered:
        return 0xFF19;
    case FrameSnap:
    case FrameSnapOrganisation:
        return frame.be16(20).value_or(0);
    default:
        return 0;
    }
}

const uint8_t* DataLinkPacket_Ethernet::GetLlcHeader() const {
    return hasLlc_ ? Bytes().bytes(14, 3) : nullptr;
}
const uint8_t* DataLinkPacket_Ethernet::GetSnapHeader() const {
    return hasSnap_ ? Bytes().bytes(17, 5) : nullptr;
}

const uint8_t* DataLinkPacket_Ethernet::GetSourceAddress() const {
    return HasAddresses() ? Bytes().bytes(6, kMacLength) : nullptr;
}
const uint8_t* DataLinkPacket_Ethernet::GetDestinationAddress() const {
    return HasAddresses() ? Bytes().bytes(0, kMacLength) : nullptr;
}

MacAddress DataLinkPacket_Ethernet::GetSource() const {
    return HasAddresses() ? MacAddress(GetSourceAddress(), true) : MacAddress();
}
MacAddress DataLinkPacket_Ethernet::GetDestination() const {
    return HasAddresses() ? MacAddress(GetDestinationAddress(), true) : MacAddress();
}

std::string DataLinkPacket_Ethernet::GetSourceText() const {
    return HasAddresses() ? GetSource().GetText() : MacAddress::Invalid().GetText();
}
std::string DataLinkPacket_Ethernet::GetDestinationText() const {
    return HasAddresses() ? GetDestination().GetText() : MacAddress::Invalid().GetText();
}

bool DataLinkPacket_Ethernet::IsFromAdapter(const PacketAdapter& adapter) const {
    return HasAddresses() && adapter.IsOwnAddress(std::span<const uint8_t, 6>(GetSourceAddress(), 6), true);
}
bool DataLinkPacket_Ethernet::IsToAdapter(const PacketAdapter& adapter) const {
    return HasAddresses() &&
           adapter.IsOwnAddress(std::span<const uint8_t, 6>(GetDestinationAddress(), 6), true);
}

const LengthLimits& DataLinkPacket_Ethernet::Limits() const {
    return kEthernetLimits;
}
const LengthLimits& DataLinkPacket_HDLC::Limits() const {
    return kHdlcLimits;
}
const LengthLimits& DataLinkPacket_LAPD::Limits() const {
    return kLapdLimits;
}
const LengthLimits& DataLinkPacket_FrameRelay::Limits() const {
    return kFrameRelayLimits;
}
const LengthLimits& DataLinkPacket_PPP::Limits() const {
    return kPppLimits;
}

} // namespace vq
