#include "capture/GenericPacket.h"

#include "capture/Packet.h"

#include <algorithm>

namespace vq {

namespace {

constexpr LengthLimits kNoLimits{};

int32_t ToLength(uint32_t length) {
    return int32_t(std::min<uint32_t>(length, INT32_MAX));
}

} // namespace

GenericPacket::GenericPacket(Packet& packet, int32_t layerKind, uint16_t protocol, const GenericPacket* lower)
    : packet_(packet), layerKind_(layerKind), protocol_(protocol),
      parentProtocol_(lower ? lower->protocol_ : 0),
      totalLength_(lower ? lower->GetPayloadLength() : ToLength(packet.GetLength())),
      maximumLength_(lower ? lower->GetRoom() : 0), headerOffset_(lower ? lower->payloadOffset_ : 0),
      payloadOffset_(headerOffset_) {}

uint64_t GenericPacket::GetSequence() const {
    return packet_.GetSequence();
}

const LengthLimits& GenericPacket::Limits() const {
    return kNoLimits;
}

ByteView GenericPacket::Bytes() const {
    return packet_.View().from(headerOffset_);
}

const uint8_t* GenericPacket::GetPayloadStart() const {
    return packet_.View().from(payloadOffset_).data();
}

void GenericPacket::SetHeaderLength(int32_t length) {
    headerLength_ = length;
    size_t remainder = Bytes().size();
    payloadOffset_ = headerOffset_ + std::min(size_t(std::max(length, 0)), remainder);
}

void GenericPacket::MarkCut() {
    cut_ = true;
    payloadOffset_ = packet_.GetLength();
    packet_.MarkShort();
}

} // namespace vq
