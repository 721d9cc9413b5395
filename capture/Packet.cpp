#include "capture/Packet.h"

#include "capture/PacketAdapter.h"

#include <algorithm>

namespace vq {

namespace {

const uint8_t kNoMac[6] = {};

// An address an adapter may take as its own: ordinary unicast, not loopback or reserved.
bool IsUsableUnicast(uint32_t address) {
    uint32_t first = address >> 24;
    return Ipv4Addresses::Kind(address) == 1 && first != 127 && first < 240;
}

} // namespace

Packet::Packet(const uint8_t* data, uint32_t length, PacketAdapter& adapter, uint32_t lost, Timestamp time,
               uint64_t sequence, uint32_t originalLength)
    : adapter_(adapter), medium_(adapter.GetMedium()), time_(time), sequence_(sequence), lost_(lost),
      data_(data), length_(data ? length : 0),
      originalLength_(originalLength ? originalLength : length_), mac_{kNoMac, kNoMac} {}

Packet::Packet(std::unique_ptr<uint8_t[]> data, uint32_t length, PacketAdapter& adapter, uint32_t lost,
               Timestamp time, uint64_t sequence, uint32_t originalLength)
    : Packet(data.get(), length, adapter, lost, time, sequence, originalLength) {
    owned_ = std::move(data);
}

Packet::~Packet() = default;

void Packet::Decode() {
    if (dataLink_) return;
    const DataLinkPacket& dataLink = DataLinkPacket::Create(*this, dataLink_);
    Merge(dataLink);
    dataLinkFromAdapter_ = dataLink.IsFromAdapter(adapter_);
    dataLinkToAdapter_ = dataLink.IsToAdapter(adapter_);
    const NetworkPacket& network = NetworkPacket::Create(*this, dataLink, network_);
    Merge(network);
    LearnOrCheckNetworkSource();
    networkToAdapter_ = network.IsToAdapter(adapter_);
    const TransportPacket& transport = TransportPacket::Create(*this, network, transport_);
    Merge(transport);
    const SessionPacket& session = SessionPacket::Create(*this, transport, session_);
    Merge(session);
    const PresentationPacket& presentation = PresentationPacket::Create(*this, session, presentation_);
    Merge(presentation);
    Merge(ApplicationPacket::Create(*this, presentation, application_));
    TakeAddresses();
}

// Only the layer classes that read their addresses from the frame are asked: the others answer
// with a short placeholder text.
void Packet::TakeAddresses() {
    if (dataLink_->HasAddresses()) {
        mac_[Source] = dataLink_->GetSourceAddress();
        mac_[Destination] = dataLink_->GetDestinationAddress();
    }
    switch (network_->GetProtocol()) {
    case NetworkIp:
    case NetworkArp:
    case NetworkRarp:
        ip_[Source] = network_->GetSourceAddress();
        ip_[Destination] = network_->GetDestinationAddress();
        break;
    case NetworkIpx:
    case NetworkIpxAlternate:
        ipx_[Source] = network_->GetSourceAddress();
        ipx_[Destination] = network_->GetDestinationAddress();
        break;
    default:
        break;
    }
    if (network_->GetProtocol() == NetworkIp && ip_[Source] && ip_[Destination] && CarriesPorts()) {
        hasEndpoints_ = static_cast<const TransportPacket_TCPUDP&>(*transport_).HasPorts();
    }
}

// An adapter without a configured address learns it from the first frame it sends itself; any
// other frame only says whether its source is one of the adapters' addresses.
void Packet::LearnOrCheckNetworkSource() {
    if (dataLinkFromAdapter_ && !adapter_.HasIpAddress() && network_->GetProtocol() == NetworkIp) {
        // The network decoders make the IP class for exactly this protocol.
        const auto& ip = static_cast<const NetworkPacket_IP&>(*network_);
        const uint8_t* mac = dataLink_->GetSourceAddress();
        if (ip.HasAddresses() && IsUsableUnicast(ip.GetSourceValue()) && mac &&
            adapter_.IsOwnAddress(std::span<const uint8_t, 6>(mac, 6), false)) {
            adapter_.LearnIpAddress(ip.GetSourceText());
            networkFromAdapter_ = true;
            return;
        }
    }
    networkFromAdapter_ = network_->IsFromAdapter(adapter_);
}

// The transport decoders make the port-carrying class for exactly these protocols.
bool Packet::CarriesPorts() const {
    const uint16_t protocol = transport_->GetProtocol();
    return protocol == TransportTcp || protocol == TransportUdp;
}

bool Packet::Analyse(PacketSink& sink) {
    Decode();
    return sink.AddPacket(*this);
}

uint32_t Packet::GetFrameLength() const {
    const int64_t length = int64_t(originalLength_) + (dataLink_ ? dataLink_->GetLengthAdjustment() : 0);
    return uint32_t(std::clamp<int64_t>(length, 0, UINT32_MAX));
}

uint16_t Packet::GetEtherType() const {
    return network_ ? network_->GetProtocol() : 0;
}

uint16_t Packet::GetProtocolId(Layer layer) const {
    return unsigned(layer) < LayerCount ? protocols_[layer] : 0;
}

bool Packet::GetTransportEndpoints(Endpoint& source, Endpoint& destination) const {
    if (!hasEndpoints_) return false;
    const auto& ip = static_cast<const NetworkPacket_IP&>(*network_);
    const auto& ports = static_cast<const TransportPacket_TCPUDP&>(*transport_);
    source = {ip.GetSourceValue(), ports.GetSourcePort()};
    destination = {ip.GetDestinationValue(), ports.GetDestinationPort()};
    return true;
}

bool Packet::IsWellKnownPort(uint16_t port) const {
    return TransportPacket_TCPUDP::IsWellKnownPort(port);
}

int Packet::GetAdapterNumber() const {
    return adapter_.GetAdapterNumber();
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

// The packet's kind is the first broadcast or multicast kind that a layer reports. The layer's
// protocol is kept by layer, since tuple keys ask for every layer's on each frame.
void Packet::Merge(const GenericPacket& layer) {
    protocols_[layer.GetLayerKind() - LayerDataLink] = layer.GetProtocol();
    if (sourceKind_ <= 1 && layer.GetSourceKind() > 1) sourceKind_ = layer.GetSourceKind();
    if (destinationKind_ <= 1 && layer.GetDestinationKind() > 1)
        destinationKind_ = layer.GetDestinationKind();
}

} // namespace vq
