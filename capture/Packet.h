#pragma once

#include "capture/ByteView.h"
#include "capture/GenericPacket.h"
#include "capture/decode/ApplicationPacket.h"
#include "capture/decode/DataLinkPacket.h"
#include "capture/decode/NetworkPacket.h"
#include "capture/decode/PresentationPacket.h"
#include "capture/decode/SessionPacket.h"
#include "capture/decode/TransportPacket.h"
#include "netmodel/FrameView.h"
#include "runtime/Timestamp.h"

#include <cstdint>
#include <memory>

namespace vq {

class PacketAdapter;
class Packet;

// Where an analysed packet goes (the live data set).
class PacketSink {
public:
    virtual ~PacketSink() = default;
    virtual bool AddPacket(Packet& packet) = 0;
};

// One captured frame with its six protocol layers, decoded on first use into room the packet
// holds itself, so decoding allocates nothing. A packet built on a receive buffer only points at
// the frame and must die before the buffer is posted again. Once
// decoded it is also what the network model reads of a frame; before, it reads as an empty frame.
class Packet final : public FrameView {
public:
    // A packet on bytes owned by someone else (a receive buffer).
    Packet(const uint8_t* data, uint32_t length, PacketAdapter& adapter, uint32_t lost, Timestamp time,
           uint64_t sequence, uint32_t originalLength = 0);
    // A packet that owns its frame bytes.
    Packet(std::unique_ptr<uint8_t[]> data, uint32_t length, PacketAdapter& adapter, uint32_t lost,
           Timestamp time, uint64_t sequence, uint32_t originalLength = 0);
    ~Packet() override;
    Packet(const Packet&) = delete;
    Packet& operator=(const Packet&) = delete;

    // Decodes all six layers bottom up, once; later calls do nothing.
    void Decode();
    // Decodes when not yet decoded and hands the packet to the sink.
    bool Analyse(PacketSink& sink);

    // Captured length plus what the data link adds to it (the frame check sequence of Ethernet),
    // taken from the original length when the frame was cut to the buffer.
    uint32_t GetFrameLength() const override;

    // What the network model reads. Addresses come only from layers that hold them whole; a data
    // link without hardware addresses reads as the all-zero address.
    const uint8_t* GetMac(Side side) const override { return mac_[side]; }
    uint16_t GetEtherType() const override;
    const uint8_t* GetIp(Side side) const override { return ip_[side]; }
    const uint8_t* GetIpx(Side side) const override { return ipx_[side]; }
    uint16_t GetProtocolId(Layer layer) const override;
    bool GetTransportEndpoints(Endpoint& source, Endpoint& destination) const override;
    bool IsWellKnownPort(uint16_t port) const override;
    Timestamp GetTimeStamp() const override { return time_; }
    int GetAdapterNumber() const override;

    bool OwnsData() const { return owned_ != nullptr; }
    PacketAdapter& GetAdapter() const { return adapter_; }
    int32_t GetMedium() const { return medium_; }
    Timestamp GetTime() const { return time_; }
    // A replay counts a frame stamped before its clock at the clock's time.
    void SetTime(const Timestamp& time) { time_ = time; }
    uint64_t GetSequence() const { return sequence_; }
    uint32_t GetLost() const { return lost_; }
    const uint8_t* GetData() const { return data_; }
    uint32_t GetLength() const { return length_; }
    uint32_t GetOriginalLength() const { return originalLength_; }
    ByteView View() const { return ByteView(data_, length_); }

    const DataLinkPacket* GetDataLink() const { return dataLink_.get(); }
    const NetworkPacket* GetNetwork() const { return network_.get(); }
    const TransportPacket* GetTransport() const { return transport_.get(); }
    const SessionPacket* GetSession() const { return session_.get(); }
    const PresentationPacket* GetPresentation() const { return presentation_.get(); }
    const ApplicationPacket* GetApplication() const { return application_.get(); }
    // Layer by kind (2 to 7); null for other kinds or before decoding.
    const GenericPacket* GetLayer(int32_t layerKind) const;

    bool IsDataLinkFromAdapter() const { return dataLinkFromAdapter_; }
    bool IsDataLinkToAdapter() const { return dataLinkToAdapter_; }
    bool IsNetworkFromAdapter() const { return networkFromAdapter_; }
    bool IsNetworkToAdapter() const { return networkToAdapter_; }
    int32_t GetSourceKind() const { return sourceKind_; }
    int32_t GetDestinationKind() const { return destinationKind_; }

    // True when some layer's fixed header was cut off by the capture.
    bool IsShort() const { return short_; }
    void MarkShort() { short_ = true; }

private:
    void Merge(const GenericPacket& layer);
    void LearnOrCheckNetworkSource();
    void TakeAddresses();
    bool CarriesPorts() const;

    std::unique_ptr<uint8_t[]> owned_;
    PacketAdapter& adapter_;
    int32_t medium_;
    Timestamp time_;
    uint64_t sequence_;
    uint32_t lost_;
    const uint8_t* data_;
    uint32_t length_;
    uint32_t originalLength_;
    // The layers point at one another and at the packet: the packet neither copies nor moves.
    DataLinkPacket::Slot dataLink_;
    NetworkPacket::Slot network_;
    TransportPacket::Slot transport_;
    SessionPacket::Slot session_;
    PresentationPacket::Slot presentation_;
    ApplicationPacket::Slot application_;
    bool dataLinkFromAdapter_ = false;
    bool dataLinkToAdapter_ = false;
    bool networkFromAdapter_ = false;
    bool networkToAdapter_ = false;
    bool short_ = false;
    int32_t sourceKind_ = 0;
    int32_t destinationKind_ = 0;
    uint16_t protocols_[LayerCount] = {};
    // Taken once when decoding, since host learning asks for each several times.
    const uint8_t* mac_[2];
    const uint8_t* ip_[2] = {nullptr, nullptr};
    const uint8_t* ipx_[2] = {nullptr, nullptr};
    bool hasEndpoints_ = false;
};

} // namespace vq
