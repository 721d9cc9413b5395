#pragma once

#include "capture/GenericPacket.h"
#include "capture/decode/LayerSlot.h"

#include <string>

namespace vq {

class NetworkPacket;

// Transport identifiers beyond the IP protocol numbers.
enum TransportProtocol : uint16_t {
    TransportIcmp = 1,
    TransportTcp = 6,
    TransportUdp = 17,
    TransportNone = 255,
    TransportArpBase = 256,
    TransportIpxBase = 272,
    TransportSpx = 277,
    TransportNetBIOS = 336,
    TransportNetBIOSNameManagement = 337,
    TransportNetBIOSDatagram = 338,
    TransportNetBIOSDiagnostic = 339,
    TransportNetBIOSSession = 340,
};

// The third layer: names the transport protocol and chooses the session identifier.
class TransportPacket : public GenericPacket {
public:
    // Room inside a packet for any class of this family.
    using Slot = LayerSlot<TransportPacket, 96>;

    std::string GetName(bool verbose) const override;

    // Builds the transport layer that the network layer's next protocol calls for, or the
    // unknown layer 255 when the network layer has no next layer.
    static TransportPacket& Create(Packet& packet, const NetworkPacket& lower, Slot& slot);

protected:
    TransportPacket(Packet& packet, uint16_t protocol, const GenericPacket& lower)
        : GenericPacket(packet, LayerTransport, protocol, &lower) {}
};

class TransportPacket_Unknown : public TransportPacket {
public:
    TransportPacket_Unknown(Packet& packet, uint16_t protocol, const NetworkPacket& lower);
    uint16_t GetNextProtocol() const override { return 0; }
    bool HasNextLayer() const override { return true; }
};

class TransportPacket_ICMP : public TransportPacket {
public:
    TransportPacket_ICMP(Packet& packet, uint16_t protocol, const NetworkPacket& lower);

    bool IsOpaque() const override { return false; }
    uint16_t GetNextProtocol() const override { return uint16_t(0xE000 + GetType()); }

    uint8_t GetType() const;
    uint8_t GetCode() const;
    uint16_t GetChecksum() const;
    uint32_t GetWord() const;
    uint16_t GetWordHigh() const;
    uint16_t GetWordLow() const;
    uint8_t GetPointer() const;

protected:
    const LengthLimits& Limits() const override;
};

// The ports of TCP and UDP, and which port of a conversation is the server's. The learned port
// sets live for the whole process and are used by the Monitor thread only.
class TransportPacket_TCPUDP : public TransportPacket {
public:
    bool IsOpaque() const override { return false; }
    uint16_t GetNextProtocol() const override { return GetDestinationPort(); }

    // Ports in host order; 0 when not captured.
    uint16_t GetSourcePort() const;
    uint16_t GetDestinationPort() const;
    virtual uint16_t GetChecksum() const = 0;
    bool HasPorts() const { return hasPorts_; }

    static bool IsServerPort(uint16_t port);
    static bool IsWellKnownPort(uint16_t port);
    static bool IsLearnedServerPort(uint16_t port);
    static bool IsLearnedClientPort(uint16_t port);
    static void MarkServerPort(uint16_t port);
    static void MarkClientPort(uint16_t port);
    // Forgets every learned port (tests).
    static void ResetLearnedPorts();

protected:
    TransportPacket_TCPUDP(Packet& packet, uint16_t protocol, const NetworkPacket& lower);

private:
    bool hasPorts_ = false;
};

class TransportPacket_TCP : public TransportPacket_TCPUDP {
public:
    TransportPacket_TCP(Packet& packet, uint16_t protocol, const NetworkPacket& lower);

    bool HasNextLayer() const override;
    uint64_t GetSequence() const override;
    uint16_t GetChecksum() const override;

    uint32_t GetAcknowledgement() const;
    uint8_t GetDataOffset() const;
    uint8_t GetFlags() const;
    bool IsUrg() const { return GetFlags() & 0x20; }
    bool IsAck() const { return GetFlags() & 0x10; }
    bool IsPsh() const { return GetFlags() & 0x08; }
    bool IsRst() const { return GetFlags() & 0x04; }
    bool IsSyn() const { return GetFlags() & 0x02; }
    bool IsFin() const { return GetFlags() & 0x01; }
    uint16_t GetWindow() const;
    uint16_t GetUrgentPointer() const;

protected:
    const LengthLimits& Limits() const override;

private:
    bool valid_ = false;
};

class TransportPacket_UDP : public TransportPacket_TCPUDP {
public:
    TransportPacket_UDP(Packet& packet, uint16_t protocol, const NetworkPacket& lower);

    bool HasNextLayer() const override { return valid_ && !IsCut(); }
    uint16_t GetChecksum() const override;
    uint16_t GetUdpLength() const;

protected:
    const LengthLimits& Limits() const override;

private:
    bool valid_ = false;
};

class TransportPacket_SPX : public TransportPacket {
public:
    TransportPacket_SPX(Packet& packet, uint16_t protocol, const NetworkPacket& lower);

    bool IsOpaque() const override { return false; }
    uint16_t GetNextProtocol() const override { return 0; }
    uint64_t GetSequence() const override;

    uint8_t GetConnectionControl() const;
    bool IsSystemPacket() const { return GetConnectionControl() & 0x80; }
    bool IsSendAcknowledgement() const { return GetConnectionControl() & 0x40; }
    bool IsAttention() const { return GetConnectionControl() & 0x20; }
    bool IsEndOfMessage() const { return GetConnectionControl() & 0x10; }
    uint8_t GetDatastreamType() const;
    uint16_t GetSourceConnection() const;
    uint16_t GetDestinationConnection() const;
    uint16_t GetAcknowledgeNumber() const;
    uint16_t GetAllocationNumber() const;

protected:
    const LengthLimits& Limits() const override;
};

// NetBIOS frames: no header of their own. The frame classes 1 to 4 take the session identifier
// from the NetBEUI command; class 0 has none.
class TransportPacket_NetBIOS : public TransportPacket {
public:
    TransportPacket_NetBIOS(Packet& packet, uint16_t protocol, const NetworkPacket& lower);

    uint16_t GetNextProtocol() const override;
    bool HasNextLayer() const override { return true; }
    const NetworkPacket& GetNetworkLayer() const { return network_; }

private:
    const NetworkPacket& network_;
};

class TransportPacket_NetBIOS_NMP : public TransportPacket_NetBIOS {
public:
    using TransportPacket_NetBIOS::TransportPacket_NetBIOS;
};
class TransportPacket_NetBIOS_UDP : public TransportPacket_NetBIOS {
public:
    using TransportPacket_NetBIOS::TransportPacket_NetBIOS;
};
class TransportPacket_NetBIOS_DMP : public TransportPacket_NetBIOS {
public:
    using TransportPacket_NetBIOS::TransportPacket_NetBIOS;
};
class TransportPacket_NetBIOS_SMP : public TransportPacket_NetBIOS {
public:
    using TransportPacket_NetBIOS::TransportPacket_NetBIOS;
};

} // namespace vq
