#pragma once

#include "capture/GenericPacket.h"
#include "capture/decode/LayerSlot.h"
#include "netmodel/MacAddress.h"

#include <string>

namespace vq {

class PacketAdapter;

// Data-link protocol identifiers; an unknown medium keeps its medium code as identifier.
enum DataLinkProtocol : uint16_t {
    DataLinkUnknown = 0,
    DataLinkEthernet = 1,
    DataLinkTokenRing = 2,
    DataLinkArcnet = 3,
    DataLinkFddi = 4,
    DataLinkWan = 5,
    DataLinkHdlc = 6,
    DataLinkSdlc = 7,
    DataLinkLapb = 8,
    DataLinkLapd = 9,
    DataLinkFrameRelay = 10,
    DataLinkPpp = 11,
    DataLinkSlip = 12,
    DataLinkNdisPpp = 13,
    DataLinkIrda = 14,
};

// The first layer of every packet: names the data-link protocols and answers the hardware
// address questions of host learning and the adapter checks.
class DataLinkPacket : public GenericPacket {
public:
    // Room inside a packet for any class of this family.
    using Slot = LayerSlot<DataLinkPacket, 96>;

    std::string GetName(bool verbose) const override;

    // Added to the captured length to give the frame length.
    int32_t GetLengthAdjustment() const { return lengthAdjustment_; }
    // True when the frame holds both hardware addresses whole.
    bool HasAddresses() const { return hasAddresses_; }

    virtual bool IsFromAdapter(const PacketAdapter& adapter) const = 0;
    virtual bool IsToAdapter(const PacketAdapter& adapter) const = 0;
    // The six raw address bytes, or a short text ("SRC?", "DST?") for layers without addresses,
    // or null when the address was not captured.
    virtual const uint8_t* GetSourceAddress() const = 0;
    virtual const uint8_t* GetDestinationAddress() const = 0;
    virtual std::string GetSourceText() const = 0;
    virtual std::string GetDestinationText() const = 0;

    // Builds the data-link layer that the packet's medium calls for.
    static DataLinkPacket& Create(Packet& packet, Slot& slot);

protected:
    DataLinkPacket(Packet& packet, uint16_t protocol, int32_t lengthAdjustment);
    void MarkAddresses() { hasAddresses_ = true; }

private:
    int32_t lengthAdjustment_;
    bool hasAddresses_ = false;
};

// A medium without a decoder: parses nothing and keeps the medium code as identifier.
class DataLinkPacket_Unknown : public DataLinkPacket {
public:
    DataLinkPacket_Unknown(Packet& packet, uint16_t protocol);

    uint16_t GetNextProtocol() const override { return 0; }
    bool HasNextLayer() const override { return true; }
    bool IsFromAdapter(const PacketAdapter&) const override { return false; }
    bool IsToAdapter(const PacketAdapter&) const override { return false; }
    const uint8_t* GetSourceAddress() const override;
    const uint8_t* GetDestinationAddress() const override;
    std::string GetSourceText() const override { return "src?"; }
    std::string GetDestinationText() const override { return "src?"; }
};

// Ethernet II, raw 802.3 and 802.2 LLC/SNAP framing.
class DataLinkPacket_Ethernet : public DataLinkPacket {
public:
    // Frame types.
    enum FrameType : int32_t {
        FrameUnassignedLlc = 0,
        FrameRaw8023 = 1,
        FrameEthernetII = 2,
        FrameLlc = 3,
        FrameLlcInformation = 4,
        FrameLlcSupervisory = 5,
        FrameLlcUnnumbered = 6,
        FrameSnap = 7,
        FrameSnapOrganisation = 8,
    };

    explicit DataLinkPacket_Ethernet(Packet& packet) : DataLinkPacket_Ethernet(packet, DataLinkEthernet, 4) {}

    bool IsOpaque() const override { return false; }
    uint16_t GetNextProtocol() const override;
    bool IsFromAdapter(const PacketAdapter& adapter) const override;
    bool IsToAdapter(const PacketAdapter& adapter) const override;
    const uint8_t* GetSourceAddress() const override;
    const uint8_t* GetDestinationAddress() const override;
    std::string GetSourceText() const override;
    std::string GetDestinationText() const override;

    int32_t GetFrameType() const { return frameType_; }
    uint16_t GetLengthType() const;
    // The 802.2 header and the SNAP header, null when the frame has none.
    const uint8_t* GetLlcHeader() const;
    const uint8_t* GetSnapHeader() const;
    // The addresses, classified; the invalid form when the header was not captured.
    MacAddress GetSource() const;
    MacAddress GetDestination() const;

protected:
    DataLinkPacket_Ethernet(Packet& packet, uint16_t protocol, int32_t lengthAdjustment);
    const LengthLimits& Limits() const override;

private:
    void ParseLlc(const ByteView& frame);
    static uint16_t MapSap(uint8_t sap);

    int32_t frameType_ = FrameUnassignedLlc;
    bool hasLlc_ = false;
    bool hasSnap_ = false;
};

// PPP framed by the NDIS WAN driver, handed up with an Ethernet header.
class DataLinkPacket_NdisPPP : public DataLinkPacket_Ethernet {
public:
    explicit DataLinkPacket_NdisPPP(Packet& packet) : DataLinkPacket_Ethernet(packet, DataLinkNdisPpp, -6) {}
};

// IrDA, handed up with an Ethernet header.
class DataLinkPacket_NdisIrda : public DataLinkPacket_Ethernet {
public:
    explicit DataLinkPacket_NdisIrda(Packet& packet) : DataLinkPacket_Ethernet(packet, DataLinkIrda, 0) {}
};

// A WAN link: no addresses; every frame counts as the adapter's own.
class DataLinkPacket_Wan : public DataLinkPacket {
public:
    explicit DataLinkPacket_Wan(Packet& packet) : DataLinkPacket_Wan(packet, DataLinkWan) {}

    uint16_t GetNextProtocol() const override { return 0; }
    bool HasNextLayer() const override { return true; }
    bool IsFromAdapter(const PacketAdapter&) const override { return true; }
    bool IsToAdapter(const PacketAdapter&) const override { return true; }
    const uint8_t* GetSourceAddress() const override;
    const uint8_t* GetDestinationAddress() const override;
    std::string GetSourceText() const override { return "src?"; }
    std::string GetDestinationText() const override { return "src?"; }

protected:
    DataLinkPacket_Wan(Packet& packet, uint16_t protocol) : DataLinkPacket(packet, protocol, 0) {}
};

// The HDLC family: named and sized, never created by the factory.
class DataLinkPacket_HDLC : public DataLinkPacket_Wan {
public:
    explicit DataLinkPacket_HDLC(Packet& packet) : DataLinkPacket_HDLC(packet, DataLinkHdlc) {}
    bool IsOpaque() const override { return false; }

protected:
    DataLinkPacket_HDLC(Packet& packet, uint16_t protocol) : DataLinkPacket_Wan(packet, protocol) {}
    const LengthLimits& Limits() const override;
};

class DataLinkPacket_SDLC : public DataLinkPacket_HDLC {
public:
    explicit DataLinkPacket_SDLC(Packet& packet) : DataLinkPacket_HDLC(packet, DataLinkSdlc) {}
};

class DataLinkPacket_LAPB : public DataLinkPacket_HDLC {
public:
    explicit DataLinkPacket_LAPB(Packet& packet) : DataLinkPacket_HDLC(packet, DataLinkLapb) {}
};

class DataLinkPacket_LAPD : public DataLinkPacket_HDLC {
public:
    explicit DataLinkPacket_LAPD(Packet& packet) : DataLinkPacket_HDLC(packet, DataLinkLapd) {}

protected:
    const LengthLimits& Limits() const override;
};

class DataLinkPacket_FrameRelay : public DataLinkPacket_HDLC {
public:
    explicit DataLinkPacket_FrameRelay(Packet& packet) : DataLinkPacket_HDLC(packet, DataLinkFrameRelay) {}

protected:
    const LengthLimits& Limits() const override;
};

class DataLinkPacket_PPP : public DataLinkPacket_HDLC {
public:
    explicit DataLinkPacket_PPP(Packet& packet) : DataLinkPacket_HDLC(packet, DataLinkPpp) {}

protected:
    const LengthLimits& Limits() const override;
};

} // namespace vq
