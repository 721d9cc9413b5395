#pragma once

#include "FakeAdapter.h"
#include "Frames.h"
#include "capture/Packet.h"
#include "capture/decode/ApplicationPacket.h"
#include "capture/decode/DataLinkPacket.h"
#include "capture/decode/NetworkPacket.h"
#include "capture/decode/PresentationPacket.h"
#include "capture/decode/SessionPacket.h"
#include "capture/decode/TransportPacket.h"

#include <memory>

namespace vq::test {

// A frame decoded on a fake adapter. The frame lives in a heap block of exactly its size, so
// AddressSanitizer reports any read past the captured bytes.
class Decoded {
public:
    // originalLength: the length on the wire when the capture cut the frame.
    explicit Decoded(const Bytes& frame, int32_t medium = 0, uint32_t originalLength = 0) : adapter(medium) {
        Decode(frame, originalLength);
    }
    Decoded(const Bytes& frame, FakeAdapter fake) : adapter(std::move(fake)) { Decode(frame, 0); }

    const Packet& operator*() const { return *packet; }
    const Packet* operator->() const { return packet.get(); }
    uint16_t Protocol(int32_t layerKind) const { return packet->GetLayer(layerKind)->GetProtocol(); }

    FakeAdapter adapter;
    std::unique_ptr<Packet> packet;

private:
    void Decode(const Bytes& frame, uint32_t originalLength) {
        std::unique_ptr<uint8_t[]> block(frame.empty() ? nullptr : new uint8_t[frame.size()]);
        std::copy(frame.begin(), frame.end(), block.get());
        packet = std::make_unique<Packet>(std::move(block), uint32_t(frame.size()), adapter, 0, Timestamp(),
                                          7, originalLength);
        packet->Decode();
    }
};

} // namespace vq::test
