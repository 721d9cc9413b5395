#pragma once

#include "capture/GenericPacket.h"
#include "capture/decode/LayerSlot.h"
#include "netmodel/IpAddress.h"
#include "netmodel/IpxAddress.h"
#include "netmodel/NbAddress.h"

#include <string>

namespace vq {

class DataLinkPacket;
class PacketAdapter;

// Network protocol identifiers of our own beyond the EtherTypes.
enum NetworkProtocol : uint16_t {
    NetworkUnknown = 0,
    NetworkIp = 0x0800,
    NetworkArp = 0x0806,
    NetworkRarp = 0x8035,
    NetworkIpx = 0x8137,
    NetworkIpxAlternate = 0x8138,
    NetworkNetBEUI = 0xFF18,
    NetworkNetbeuiCtrl = 0xFF19,
};

// The second layer: network addresses for host learning and tuples, and the transport identifier.
// The base answers as a layer without addresses.
class NetworkPacket : public GenericPacket {
public:
    // Room inside a packet for any class of this family.
    using Slot = LayerSlot<NetworkPacket, 112>;

    std::string GetName(bool verbose) const override;

    virtual bool IsFromAdapter(const PacketAdapter& adapter) const;
    virtual bool IsToAdapter(const PacketAdapter& adapter) const;
    // The raw address bytes in the frame, a short text for layers without addresses, or null.
    virtual const uint8_t* GetSourceAddress() const;
    virtual const uint8_t* GetDestinationAddress() const;
    virtual std::string GetSourceDisplay() const { return GetSourceName(); }
    virtual std::string GetSourceText() const { return "src?"; }
    virtual std::string GetSourceName() const { return GetSourceText(); }
    virtual std::string GetDestinationDisplay() const { return GetDestinationName(); }
    virtual std::string GetDestinationText() const { return "src?"; }
    virtual std::string GetDestinationName() const { return GetDestinationText(); }

    // Builds the network layer that the data link's next protocol calls for.
    static NetworkPacket& Create(Packet& packet, const DataLinkPacket& lower, Slot& slot);

protected:
    NetworkPacket(Packet& packet, uint16_t protocol, const GenericPacket& lower)
        : GenericPacket(packet, LayerNetwork, protocol, &lower) {}
};

class NetworkPacket_Unknown : public NetworkPacket {
public:
    NetworkPacket_Unknown(Packet& packet, uint16_t protocol, const GenericPacket& lower)
        : NetworkPacket(packet, protocol, lower) {}
    uint16_t GetNextProtocol() const override { return 0; }
    bool HasNextLayer() const override { return true; }
};

// A source and a destination IPv4 address taken from the frame; both 0 when not captured.
struct Ipv4Addresses {
    uint32_t source = 0;
    uint32_t destination = 0;
    bool present = false;

    // address: first octet most significant.
    static IpAddress Address(uint32_t address);
    static std::string Text(uint32_t address) { return Address(address).GetText(); }
    static int32_t Kind(uint32_t address);
};

class NetworkPacket_IP : public NetworkPacket {
public:
    NetworkPacket_IP(Packet& packet, uint16_t protocol, const GenericPacket& lower);

    bool IsOpaque() const override { return false; }
    uint16_t GetNextProtocol() const override { return GetIpProtocol(); }
    bool HasNextLayer() const override;
    uint64_t GetSequence() const override { return GetFragmentOffset(); }
    bool IsFromAdapter(const PacketAdapter& adapter) const override;
    bool IsToAdapter(const PacketAdapter& adapter) const override;
    const uint8_t* GetSourceAddress() const override;
    const uint8_t* GetDestinationAddress() const override;
    std::string GetSourceText() const override { return Ipv4Addresses::Text(addresses_.source); }
    std::string GetSourceName() const override { return GetSource().GetName(0); }
    std::string GetDestinationText() const override { return Ipv4Addresses::Text(addresses_.destination); }
    std::string GetDestinationName() const override { return GetDestination().GetName(0); }
    // The addresses, classified; 0.0.0.0 (invalid) when absent.
    IpAddress GetSource() const { return Ipv4Addresses::Address(addresses_.source); }
    IpAddress GetDestination() const { return Ipv4Addresses::Address(addresses_.destination); }

    // Header fields; a field that was not captured reads 0.
    uint8_t GetVersion() const;
    uint8_t GetHeaderWords() const;
    uint8_t GetTypeOfService() const;
    uint16_t GetDatagramLength() const;
    uint16_t GetIdentification() const;
    uint16_t GetFragmentOffset() const;
    uint8_t GetTimeToLive() const;
    uint8_t GetIpProtocol() const;
    uint16_t GetChecksum() const;
    // Addresses as numbers, first octet most significant; 0 when absent.
    uint32_t GetSourceValue() const { return addresses_.source; }
    uint32_t GetDestinationValue() const { return addresses_.destination; }
    bool HasAddresses() const { return addresses_.present; }

protected:
    const LengthLimits& Limits() const override;

private:
    Ipv4Addresses addresses_;
    bool valid_ = false;
};

class NetworkPacket_ARP : public NetworkPacket {
public:
    NetworkPacket_ARP(Packet& packet, uint16_t protocol, const GenericPacket& lower);

    bool IsOpaque() const override { return false; }
    uint16_t GetNextProtocol() const override { return uint16_t(256 + GetOperation()); }
    bool IsFromAdapter(const PacketAdapter& adapter) const override;
    bool IsToAdapter(const PacketAdapter& adapter) const override;
    const uint8_t* GetSourceAddress() const override;
    const uint8_t* GetDestinationAddress() const override;
    std::string GetSourceText() const override { return Ipv4Addresses::Text(addresses_.source); }
    std::string GetSourceName() const override { return GetSource().GetName(0); }
    std::string GetDestinationText() const override { return Ipv4Addresses::Text(addresses_.destination); }
    std::string GetDestinationName() const override { return GetDestination().GetName(0); }
    // The addresses, classified; 0.0.0.0 (invalid) when absent.
    IpAddress GetSource() const { return Ipv4Addresses::Address(addresses_.source); }
    IpAddress GetDestination() const { return Ipv4Addresses::Address(addresses_.destination); }

    uint16_t GetHardwareType() const;
    uint16_t GetProtocolType() const;
    uint8_t GetHardwareLength() const;
    uint8_t GetProtocolLength() const;
    uint16_t GetOperation() const;
    // The sender and target hardware addresses, null when not captured.
    const uint8_t* GetSenderHardwareAddress() const;
    const uint8_t* GetTargetHardwareAddress() const;
    uint32_t GetSourceValue() const { return addresses_.source; }
    uint32_t GetDestinationValue() const { return addresses_.destination; }
    bool HasAddresses() const { return addresses_.present; }

protected:
    const LengthLimits& Limits() const override;

private:
    Ipv4Addresses addresses_;
    size_t senderOffset_ = 0;
    size_t targetOffset_ = 0;
    bool hasTarget_ = false;
};

class NetworkPacket_IPX : public NetworkPacket {
public:
    NetworkPacket_IPX(Packet& packet, uint16_t protocol, const GenericPacket& lower);

    bool IsOpaque() const override { return false; }
    uint16_t GetNextProtocol() const override { return uint16_t(272 + GetPacketType()); }
    bool HasNextLayer() const override { return !IsCut(); }
    // Network and node, 10 bytes; null when not captured.
    const uint8_t* GetSourceAddress() const override;
    const uint8_t* GetDestinationAddress() const override;
    std::string GetSourceText() const override;
    std::string GetDestinationText() const override;

    uint16_t GetChecksum() const;
    uint16_t GetIpxLength() const;
    uint8_t GetTransportControl() const;
    uint8_t GetPacketType() const;
    uint16_t GetDestinationSocket() const;
    uint16_t GetSourceSocket() const;
    // The addresses; the invalid form when not captured.
    IpxAddress GetSource() const;
    IpxAddress GetDestination() const;

protected:
    const LengthLimits& Limits() const override;
};

class NetworkPacket_NetBEUI : public NetworkPacket {
public:
    // NetBIOS frame classes.
    enum FrameClass : int32_t {
        ClassUnknown = 0,
        ClassNameManagement = 1,
        ClassDatagram = 2,
        ClassDiagnostic = 3,
        ClassSession = 4,
    };

    NetworkPacket_NetBEUI(Packet& packet, uint16_t protocol, const GenericPacket& lower);

    bool IsOpaque() const override { return false; }
    uint16_t GetNextProtocol() const override { return uint16_t(336 + frameClass_); }
    // The 16-byte names, null when the header has none or they were not captured.
    const uint8_t* GetSourceAddress() const override;
    const uint8_t* GetDestinationAddress() const override;
    std::string GetSourceText() const override;
    std::string GetDestinationText() const override;

    int32_t GetFrameClass() const { return frameClass_; }
    uint16_t GetNetbeuiHeaderLength() const;
    uint8_t GetCommand() const;
    uint8_t GetData1() const;
    uint16_t GetData2() const;
    uint16_t GetTransmitCorrelator() const;
    uint16_t GetResponseCorrelator() const;
    bool HasNames() const { return hasNames_; }
    // The names; the invalid form when the header has none.
    NbAddress GetSource() const;
    NbAddress GetDestination() const;

protected:
    const LengthLimits& Limits() const override;

private:
    int32_t frameClass_ = ClassUnknown;
    bool hasNames_ = false;
};

// LLC supervisory and unnumbered frames on the NetBIOS SAP: no addresses.
class NetworkPacket_NetbeuiCtrl : public NetworkPacket {
public:
    NetworkPacket_NetbeuiCtrl(Packet& packet, uint16_t protocol, const GenericPacket& lower)
        : NetworkPacket(packet, protocol, lower) {}

    bool IsOpaque() const override { return false; }
    uint16_t GetNextProtocol() const override { return 0; }
    bool HasNextLayer() const override { return true; }
    const uint8_t* GetSourceAddress() const override { return nullptr; }
    const uint8_t* GetDestinationAddress() const override { return nullptr; }
    std::string GetSourceText() const override { return "n/a"; }
    std::string GetDestinationText() const override { return "n/a"; }

protected:
    const LengthLimits& Limits() const override;
};

} // namespace vq
