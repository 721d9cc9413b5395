#include "capture/Packet.h"

#include "capture/PacketAdapter.h"
#include "capture/decode/ApplicationPacket.h"
#include "capture/decode/DataLinkPacket.h"
#include "capture/decode/NetworkPacket.h"
#include "capture/decode/PresentationPacket.h"
#include "capture/decode/SessionPacket.h"
#include "capture/decode/TransportPacket.h"

namespace vq {

namespace {

// An address an adapter may take as its own: ordinary unicast, not loopback or reserved.
bool IsUsableUnicast(uint32_t address) {
    uint32_t first = address >> 24;
    return Ipv4Addresses::Kind(address) == 1 && first != 127 && first < 240;
}

} // namespace

Packet::Packet(const uint8_t* data, uint32_t length, PacketAdapter& adapter, uint32_t lost, Timestamp time,
               uint64_t sequence, uint32_t originalLength)
    : adapter_(adapter), medium_(adapter.GetMedium()), time_(time), sequence_(sequence), lost_(lost),
      data_(data), length_(data ? length : 0), originalLength_(originalLength ? originalLength : length_) {}

Packet::Packet(std::unique_ptr<uint8_t[]> data, uint32_t length, PacketAdapter& adapter, uint32_t lost,
               Timestamp time, uint64_t sequence, uint32_t originalLength)
    : Packet(data.get(), length, adapter, lost, time, sequence, originalLength) {
    owned_ = std::move(data);
}

Packet::~Packet() = default;

void Packet::Decode() {
    if (dataLink_) return;
    dataLink_ = DataLinkPacket::Create(*this);
    Merge(*dataLink_);
    dataLinkFromAdapter_ = dataLink_->IsFromAdapter(adapter_);
    dataLinkToAdapter_ = dataLink_->IsToAdapter(adapter_);
    network_ = NetworkPacket::Create(*this, *dataLink_);
    Merge(*network_);
    LearnOrCheckNetworkSource();
    networkToAdapter_ = network_->IsToAdapter(adapter_);
    transport_ = TransportPacket::Create(*this, *network_);
    Merge(*transport_);
    session_ = SessionPacket::Create(*this, *transport_);
    Merge(*session_);
    presentation_ = PresentationPacket::Create(*this, *session_);
    Merge(*presentation_);
    application_ = ApplicationPacket::Create(*this, *presentation_);
    Merge(*application_);
}

// An adapter without a configured address learns it from the first frame it sends itself; any
// other frame only says whether its source is one of the adapters' addresses.
void Packet::LearnOrCheckNetworkSource() {
    if (dataLinkFromAdapter_ && !adapter_.HasIpAddress()) {
        auto ip = dynamic_cast<const NetworkPacket_IP*>(network_.get());
        const uint8_t* mac = dataLink_->GetSourceAddress();
        if (ip && ip->HasAddresses() && IsUsableUnicast(ip->GetSourceValue()) && mac &&
            adapter_.IsOwnAddress(std::span<const uint8_t, 6>(mac, 6), false)) {
            adapter_.LearnIpAddress(ip->GetSourceText());
            networkFromAdapter_ = true;
            return;
        }
    }
    networkFromAdapter_ = network_->IsFromAdapter(adapter_);
}

bool Packet::Analyse(PacketSink& sink) {
    Decode();
    return sink.AddPacket(*this);
}

int64_t Packet::GetFrameLength() const {
    return int64_t(originalLength_) + (dataLink_ ? dataLink_->GetLengthAdjustment() : 0);
}

const GenericPacket* Packet::GetLayer(int32_t layerKind) const {
    switch (layerKind) {
    case LayerDataLink:
        return dataLink_.get();
    case LayerNetwork:
        return network_.get();
    case LayerTransport:
        return transport_.get();
    case LayerSession:
        return session_.get();
    case LayerPresentation:
        return presentation_.get();
    case LayerApplication:
        return application_.get();
    default:
        return nullptr;
    }
}

// The packet's kind is the first broadcast or multicast kind that a layer reports.
void Packet::Merge(const GenericPacket& layer) {
    if (sourceKind_ <= 1 && layer.GetSourceKind() > 1) sourceKind_ = layer.GetSourceKind();
    if (destinationKind_ <= 1 && layer.GetDestinationKind() > 1)
        destinationKind_ = layer.GetDestinationKind();
}

} // namespace vq
