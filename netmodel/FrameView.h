#pragma once

#include "runtime/Timestamp.h"

#include <cstdint>

namespace vq {

// What the network model reads of one captured frame. The decoders implement it; the model never
// sees raw bytes, so every address it gets has already been bounds-checked by a decoder.
class FrameView {
public:
    enum Side : int { Source = 0, Destination = 1 };
    enum Layer : int { DataLink = 0, Network, Transport, Session, Presentation, Application, LayerCount };

    // A TCP or UDP endpoint of an IPv4 frame, both numbers in host order.
    struct Endpoint {
        uint32_t address = 0;
        uint16_t port = 0;
        friend bool operator==(const Endpoint&, const Endpoint&) = default;
    };

    virtual ~FrameView() = default;

    // The data-link address of a side: 6 bytes.
    virtual const uint8_t* GetMac(Side side) const = 0;
    // The EtherType the network layer recorded; 0 when there is none.
    virtual uint16_t GetEtherType() const = 0;
    // 4 bytes in network order, or null when the frame carries no IP address for the side.
    virtual const uint8_t* GetIp(Side side) const = 0;
    // 10 bytes (network, node), or null.
    virtual const uint8_t* GetIpx(Side side) const = 0;
    // The id the decoder of a layer reports; 0 for a layer the frame does not have.
    virtual uint16_t GetProtocolId(Layer layer) const = 0;
    // True only for TCP and UDP over IPv4 (the data link leads to EtherType 0x0800, the network layer
    // to protocol 6 or 17), with both endpoints filled in.
    virtual bool GetTransportEndpoints(Endpoint& source, Endpoint& destination) const = 0;
    // The transport decoder's own test.
    virtual bool IsWellKnownPort(uint16_t port) const = 0;
    virtual Timestamp GetTimeStamp() const = 0;
    // Captured length plus the data-link trailer (the FCS on Ethernet).
    virtual uint32_t GetFrameLength() const = 0;
    virtual int GetAdapterNumber() const = 0;
};

} // namespace vq
