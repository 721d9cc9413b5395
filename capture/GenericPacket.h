#pragma once

#include "capture/ByteView.h"

#include <cstdint>
#include <string>

namespace vq {

class Packet;

// Layer kinds of the layer objects: one identifier space per kind.
enum LayerKind : int32_t {
    LayerDataLink = 2,
    LayerNetwork = 3,
    LayerTransport = 4,
    LayerSession = 5,
    LayerPresentation = 6,
    LayerApplication = 7,
};

// Smallest and largest header, trailer, unit, payload and data of a protocol. Each decoder keeps
// one constant set; the framework answers the length questions from it.
struct LengthLimits {
    int32_t minHeader = 0, maxHeader = 0;
    int32_t minTrailer = 0, maxTrailer = 0;
    int32_t minLength = 0, maxLength = 0;
    int32_t minPayload = 0, maxPayload = 0;
    int32_t minData = 0, maxData = 0;
};

// One decoded protocol layer of a packet. A layer reads the frame in place through a view that
// ends at the captured end; the lengths it states come from headers and are never used to read.
class GenericPacket {
public:
    virtual ~GenericPacket() = default;
    GenericPacket(const GenericPacket&) = delete;
    GenericPacket& operator=(const GenericPacket&) = delete;

    virtual std::string GetName(bool verbose) const = 0;
    virtual bool IsOpaque() const { return true; }
    virtual uint16_t GetNextProtocol() const = 0;
    virtual bool HasNextLayer() const { return !cut_; }
    virtual uint64_t GetSequence() const;

    int32_t GetMinHeaderLength() const { return Limits().minHeader; }
    int32_t GetMaxHeaderLength() const { return Limits().maxHeader; }
    int32_t GetMinTrailerLength() const { return Limits().minTrailer; }
    int32_t GetMaxTrailerLength() const { return Limits().maxTrailer; }
    int32_t GetMinLength() const { return Limits().minLength; }
    int32_t GetMaxLength() const { return Limits().maxLength; }
    int32_t GetMinPayloadLength() const { return Limits().minPayload; }
    int32_t GetMaxPayloadLength() const { return Limits().maxPayload; }
    int32_t GetMinDataLength() const { return Limits().minData; }
    int32_t GetMaxDataLength() const { return Limits().maxData; }

    // Derived lengths are floored at 0: a header may claim more than the unit holds.
    int32_t GetPayloadAndTrailerLength() const { return Floor(totalLength_ - headerLength_); }
    int32_t GetPayloadLength() const { return Floor(totalLength_ - headerLength_ - trailerLength_); }
    int32_t GetMaximumLength() const { return maximumLength_; }
    int32_t GetRoom() const { return Floor(maximumLength_ - headerLength_); }
    int32_t GetPayloadRoom() const { return Floor(maximumLength_ - headerLength_ - trailerLength_); }

    const Packet& GetPacket() const { return packet_; }
    int32_t GetLayerKind() const { return layerKind_; }
    uint16_t GetProtocol() const { return protocol_; }
    uint16_t GetParentProtocol() const { return parentProtocol_; }
    int32_t GetHeaderLength() const { return headerLength_; }
    int32_t GetTrailerLength() const { return trailerLength_; }
    int32_t GetTotalLength() const { return totalLength_; }
    int32_t GetSourceKind() const { return sourceKind_; }
    int32_t GetDestinationKind() const { return destinationKind_; }

    // Offsets into the frame: where this layer's header starts and where its payload starts.
    size_t GetHeaderOffset() const { return headerOffset_; }
    size_t GetPayloadOffset() const { return payloadOffset_; }
    const uint8_t* GetPayloadStart() const;
    const uint8_t* GetDataStart() const { return GetPayloadStart(); }

    // True when the layer's fixed header was not fully captured.
    bool IsCut() const { return cut_; }

protected:
    // A layer starts where the layer below has its payload; the data link starts at the frame.
    GenericPacket(Packet& packet, int32_t layerKind, uint16_t protocol, const GenericPacket* lower);

    virtual const LengthLimits& Limits() const;

    // The captured bytes from this layer's header to the end of the capture.
    ByteView Bytes() const;

    // Sets the header length; the payload starts after it, but never past the captured end.
    void SetHeaderLength(int32_t length);
    // The fixed header was not fully captured: no next layer, payload at the captured end, and
    // the packet is marked short.
    void MarkCut();
    void SetTotalLength(int32_t length) { totalLength_ = length; }
    void SetMaximumLength(int32_t length) { maximumLength_ = length; }
    void SetKinds(int32_t source, int32_t destination) {
        sourceKind_ = source;
        destinationKind_ = destination;
    }

private:
    static int32_t Floor(int32_t value) { return value < 0 ? 0 : value; }

    Packet& packet_;
    int32_t layerKind_;
    uint16_t protocol_;
    uint16_t parentProtocol_;
    int32_t headerLength_ = 0;
    int32_t trailerLength_ = 0;
    int32_t totalLength_;
    int32_t maximumLength_;
    size_t headerOffset_;
    size_t payloadOffset_;
    int32_t sourceKind_ = 0;
    int32_t destinationKind_ = 0;
    bool cut_ = false;
};

} // namespace vq
