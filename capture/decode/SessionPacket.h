#pragma once

#include "capture/GenericPacket.h"
#include "capture/decode/LayerSlot.h"

#include <string>

namespace vq {

class TransportPacket;

// The fourth layer: identified by the TCP or UDP destination port, the ICMP type or the NetBIOS
// command. Only DNS is parsed.
class SessionPacket : public GenericPacket {
public:
    // Room inside a packet for any class of this family.
    using Slot = LayerSlot<SessionPacket, 96>;

    std::string GetName(bool verbose) const override;

    static SessionPacket& Create(Packet& packet, const TransportPacket& lower, Slot& slot);

protected:
    SessionPacket(Packet& packet, uint16_t protocol, const GenericPacket& lower)
        : GenericPacket(packet, LayerSession, protocol, &lower) {}
};

class SessionPacket_Unknown : public SessionPacket {
public:
    SessionPacket_Unknown(Packet& packet, uint16_t protocol, const GenericPacket& lower)
        : SessionPacket(packet, protocol, lower) {}
    uint16_t GetNextProtocol() const override { return 0; }
    bool HasNextLayer() const override { return true; }
};

class SessionPacket_DNS : public SessionPacket {
public:
    SessionPacket_DNS(Packet& packet, uint16_t protocol, const GenericPacket& lower);

    bool IsOpaque() const override { return false; }
    uint16_t GetNextProtocol() const override { return uint16_t(0x100 + GetOperationCode()); }
    bool HasNextLayer() const override { return hasHeader_; }

    // Header fields; a field that was not captured reads 0.
    uint16_t GetIdentification() const;
    bool IsResponse() const { return Flags() & 0x8000; }
    uint8_t GetOperationCode() const { return Flags() >> 11 & 0x0F; }
    bool IsAuthoritative() const { return Flags() & 0x0400; }
    bool IsTruncated() const { return Flags() & 0x0200; }
    bool IsRecursionDesired() const { return Flags() & 0x0100; }
    bool IsRecursionAvailable() const { return Flags() & 0x0080; }
    uint8_t GetResponseCode() const { return Flags() & 0x0F; }
    uint16_t GetQuestionCount() const;
    uint16_t GetAnswerCount() const;
    uint16_t GetAuthorityCount() const;
    uint16_t GetAdditionalCount() const;

protected:
    const LengthLimits& Limits() const override;

private:
    uint16_t Flags() const;
    uint16_t Field(size_t at) const;

    // Over TCP a message starts after its 2-byte length.
    size_t prefix_ = 0;
    bool hasHeader_ = false;
};

} // namespace vq
