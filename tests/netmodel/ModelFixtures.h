#pragma once

#include "netmodel/AdapterList.h"
#include "netmodel/AnnouncementSink.h"
#include "netmodel/FrameView.h"
#include "netmodel/HostAddress.h"
#include "netmodel/IpAddress.h"
#include "netmodel/IpxAddress.h"
#include "netmodel/MacAddress.h"
#include "netmodel/TupleOfferSink.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vq::test {

using Mac = std::array<uint8_t, 6>;
using Ip = std::array<uint8_t, 4>;
using Ipx = std::array<uint8_t, 10>;

inline Mac MacOf(const char* text) {
    const MacAddress address(text, false);
    Mac bytes;
    std::copy_n(address.GetAddressBytes(), 6, bytes.begin());
    return bytes;
}

inline Ip IpOf(const char* text) {
    const IpAddress address(text, false);
    Ip bytes;
    std::copy_n(address.GetAddressBytes(), 4, bytes.begin());
    return bytes;
}

inline uint32_t HostOrder(const Ip& ip) {
    return uint32_t(ip[0]) << 24 | uint32_t(ip[1]) << 16 | uint32_t(ip[2]) << 8 | ip[3];
}

// A decoded frame as the model reads it.
class FakeFrame : public FrameView {
public:
    std::array<Mac, 2> mac{};
    uint16_t etherType = 0;
    std::array<std::optional<Ip>, 2> ip;
    std::array<std::optional<Ipx>, 2> ipx;
    std::array<uint16_t, LayerCount> ids{};
    std::optional<std::array<Endpoint, 2>> endpoints;
    uint64_t ticks = 1;
    uint32_t length = 64;
    int adapter = 0;

    const uint8_t* GetMac(Side side) const override { return mac[side].data(); }
    uint16_t GetEtherType() const override { return etherType; }
    const uint8_t* GetIp(Side side) const override { return ip[side] ? ip[side]->data() : nullptr; }
    const uint8_t* GetIpx(Side side) const override { return ipx[side] ? ipx[side]->data() : nullptr; }
    uint16_t GetProtocolId(Layer layer) const override { return ids[layer]; }
    bool GetTransportEndpoints(Endpoint& source, Endpoint& destination) const override {
        if (!endpoints) return false;
        source = (*endpoints)[Source];
        destination = (*endpoints)[Destination];
        return true;
    }
    bool IsWellKnownPort(uint16_t port) const override { return port < 1024; }
    Timestamp GetTimeStamp() const override { return Timestamp(ticks); }
    uint32_t GetFrameLength() const override { return length; }
    int GetAdapterNumber() const override { return adapter; }
};

// An IPv4 frame (EtherType 0x0800, ids 1 and 2 for data link and network); ports make it UDP.
inline FakeFrame IpFrame(const char* sourceMac, const char* sourceIp, const char* destinationMac,
                         const char* destinationIp, uint16_t sourcePort = 0, uint16_t destinationPort = 0) {
    FakeFrame frame;
    frame.mac = {MacOf(sourceMac), MacOf(destinationMac)};
    frame.etherType = 0x0800;
    frame.ip = {IpOf(sourceIp), IpOf(destinationIp)};
    frame.ids[FrameView::DataLink] = 1;
    frame.ids[FrameView::Network] = 2;
    if (sourcePort != 0 || destinationPort != 0) {
        frame.ids[FrameView::Transport] = 17;
        frame.endpoints =
            std::array<FrameView::Endpoint, 2>{FrameView::Endpoint{HostOrder(*frame.ip[0]), sourcePort},
                                               FrameView::Endpoint{HostOrder(*frame.ip[1]), destinationPort}};
    }
    return frame;
}

inline FakeFrame MacFrame(const char* sourceMac, const char* destinationMac, uint16_t etherType = 0x8100) {
    FakeFrame frame;
    frame.mac = {MacOf(sourceMac), MacOf(destinationMac)};
    frame.etherType = etherType;
    frame.ids[FrameView::DataLink] = 1;
    frame.ids[FrameView::Network] = 9;
    return frame;
}

struct Announcement {
    uint32_t bits;
    std::unique_ptr<HostAddress> host;
};

class RecordingAnnouncements : public AnnouncementSink {
public:
    bool Announce(uint32_t changeBits, std::unique_ptr<HostAddress> host) override {
        received.push_back({changeBits, std::move(host)});
        return true;
    }
    std::vector<Announcement> received;
};

class RecordingOffers : public TupleOfferSink {
public:
    void AttachTuple(Pool pool, Tuple& tuple) override { offers.push_back({pool, &tuple}); }
    std::vector<std::pair<Pool, Tuple*>> offers;
};

// Adapters as the live model reads them: `count` alike, but for their names.
class TestAdapterList : public AdapterList {
public:
    explicit TestAdapterList(int count = 3) : m_Count(count) {}
    int GetAdapterCount() const override { return m_Count; }
    std::string GetServiceName(int index) const override { return "eth" + std::to_string(index); }
    std::string GetDescription(int) const override { return "test adapter"; }
    std::string GetIpAddressText(int) const override { return "10.0.0.254"; }
    const uint8_t* GetCurrentAddress(int) const override { return m_Mac.data(); }
    uint32_t GetMedium(int) const override { return 0; }
    uint32_t GetMaximumTotalSize(int) const override { return 1514; }
    uint64_t GetLinkSpeed(int) const override { return 1'000'000; }

private:
    int m_Count;
    Mac m_Mac = MacOf("00:a0:c9:ff:ff:01");
};

} // namespace vq::test
