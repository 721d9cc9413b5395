// Builds one layer from any identifier and arbitrary bytes through its family's factory. Input: a
// family byte (0 network, 1 transport, 2 session, 3 presentation), the identifier (2 bytes,
// big-endian), the protocol of the layer below (1 byte), then the layer's bytes.

#include "FuzzAnswers.h"

#include <cstring>

namespace {

using namespace vq;

// Lower layers that answer a chosen next protocol.
struct DataLink : DataLinkPacket_Unknown {
    DataLink(Packet& packet, uint16_t next) : DataLinkPacket_Unknown(packet, 8), next_(next) {}
    uint16_t GetNextProtocol() const override { return next_; }
    uint16_t next_;
};
struct Network : NetworkPacket_Unknown {
    Network(Packet& packet, const GenericPacket& lower, uint16_t next)
        : NetworkPacket_Unknown(packet, 0x0800, lower), next_(next) {}
    uint16_t GetNextProtocol() const override { return next_; }
    uint16_t next_;
};
struct Transport : TransportPacket_Unknown {
    Transport(Packet& packet, uint16_t protocol, const NetworkPacket& lower, uint16_t next)
        : TransportPacket_Unknown(packet, protocol, lower), next_(next) {}
    uint16_t GetNextProtocol() const override { return next_; }
    uint16_t next_;
};
struct Session : SessionPacket_Unknown {
    Session(Packet& packet, const GenericPacket& lower, uint16_t next)
        : SessionPacket_Unknown(packet, 53, lower), next_(next) {}
    uint16_t GetNextProtocol() const override { return next_; }
    uint16_t next_;
};

void Ask(const GenericPacket& layer, const Packet& packet) {
    fuzz::Check(layer.GetPayloadOffset() <= packet.GetLength());
    fuzz::Check(layer.GetPayloadLength() >= 0);
    (void)layer.GetName(true);
    (void)layer.GetNextProtocol();
    (void)layer.HasNextLayer();
    (void)layer.GetSequence();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    uint8_t family = data[0] % 4;
    uint16_t identifier = uint16_t(data[1] << 8 | data[2]);
    uint16_t parent = data[3];
    size_t length = size - 4;
    std::unique_ptr<uint8_t[]> bytes(length ? new uint8_t[length] : nullptr);
    if (length) std::memcpy(bytes.get(), data + 4, length);
    fuzz::Adapter adapter(8);
    Packet packet(std::move(bytes), uint32_t(length), adapter, 0, Timestamp(), 1);

    DataLink dataLink(packet, family == 0 ? identifier : 0x0800);
    if (family == 0) {
        NetworkPacket::Slot slot;
        Ask(NetworkPacket::Create(packet, dataLink, slot), packet);
        return 0;
    }
    Network network(packet, dataLink, family == 1 ? identifier : parent);
    if (family == 1) {
        TransportPacket::Slot slot;
        Ask(TransportPacket::Create(packet, network, slot), packet);
        return 0;
    }
    Transport transport(packet, parent, network, family == 2 ? identifier : 53);
    if (family == 2) {
        SessionPacket::Slot slot;
        Ask(SessionPacket::Create(packet, transport, slot), packet);
        return 0;
    }
    Session session(packet, transport, identifier);
    PresentationPacket::Slot slot;
    Ask(PresentationPacket::Create(packet, session, slot), packet);
    return 0;
}
