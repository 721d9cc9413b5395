#include "Decoded.h"

#include <gtest/gtest.h>

namespace vq::test {
namespace {

const Bytes kUdpToDns = Concat({Ethernet("ff:ff:ff:ff:ff:ff", "00:11:22:33:44:55", 0x0800),
                                Ipv4(17, "10.0.0.7", "10.0.0.1", 20), Udp(1025, 53, 12), Dns(0x0100)});

TEST(PacketTest, DecodesSixLayersBottomUpEachStartingWhereTheLowerPayloadStarts) {
    Decoded packet(kUdpToDns);
    const uint16_t expected[] = {1, 0x0800, 17, 53, 0x100, 0};
    for (int32_t kind = LayerDataLink; kind <= LayerApplication; ++kind) {
        SCOPED_TRACE(kind);
        const GenericPacket* layer = packet->GetLayer(kind);
        ASSERT_NE(layer, nullptr);
        EXPECT_EQ(layer->GetLayerKind(), kind);
        EXPECT_EQ(layer->GetProtocol(), expected[kind - LayerDataLink]);
        if (kind == LayerDataLink) continue;
        const GenericPacket* lower = packet->GetLayer(kind - 1);
        EXPECT_EQ(layer->GetParentProtocol(), lower->GetProtocol());
        EXPECT_EQ(layer->GetHeaderOffset(), lower->GetPayloadOffset());
        EXPECT_EQ(layer->GetTotalLength(), lower->GetPayloadLength());
    }
    EXPECT_EQ(packet->GetNetwork()->GetPayloadOffset(), 34u);
    EXPECT_EQ(packet->GetSession()->GetPayloadOffset(), 54u);
    EXPECT_FALSE(packet->IsShort());
}

TEST(PacketTest, DecodeRunsOnceAndAnalyseHandsThePacketToTheSink) {
    struct Sink : PacketSink {
        bool AddPacket(Packet& p) override {
            seen.push_back(p.GetNetwork());
            return true;
        }
        std::vector<const NetworkPacket*> seen;
    } sink;
    Decoded packet(kUdpToDns);
    const NetworkPacket* network = packet->GetNetwork();
    EXPECT_TRUE(packet.packet->Analyse(sink));
    packet.packet->Decode();
    EXPECT_TRUE(packet.packet->Analyse(sink));
    ASSERT_EQ(sink.seen.size(), 2u);
    EXPECT_EQ(sink.seen[0], network);
    EXPECT_EQ(sink.seen[1], network);
}

TEST(PacketTest, KindIsTheFirstBroadcastOrMulticastOfAnyLayer) {
    struct Case {
        const char* destinationMac;
        const char* destinationIp;
        int32_t destinationKind;
    };
    const Case cases[] = {
        {"ff:ff:ff:ff:ff:ff", "10.0.0.1", 2},   {"00:11:22:33:44:66", "10.0.0.1", 0},
        {"00:11:22:33:44:66", "10.0.0.255", 2}, {"00:11:22:33:44:66", "224.0.0.5", 3},
        {"ff:ff:ff:ff:ff:ff", "224.0.0.5", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.destinationIp);
        Decoded packet(Concat({Ethernet(c.destinationMac, "00:11:22:33:44:55", 0x0800),
                               Ipv4(17, "10.0.0.7", c.destinationIp, 8), Udp(1, 2, 0)}));
        EXPECT_EQ(packet->GetSourceKind(), 0);
        EXPECT_EQ(packet->GetDestinationKind(), c.destinationKind);
    }
}

TEST(PacketTest, UnknownMediumGivesUnknownLayersAllTheWayUp) {
    Decoded packet(kUdpToDns, 8);
    EXPECT_EQ(packet->GetDataLink()->GetProtocol(), 8);
    EXPECT_EQ(packet->GetDataLink()->GetName(true), "LAPB");
    EXPECT_EQ(packet->GetNetwork()->GetName(true), "unknown");
    EXPECT_EQ(packet->GetNetwork()->GetName(false), "???");
    EXPECT_EQ(packet->GetTransport()->GetProtocol(), 0);
    EXPECT_EQ(packet->GetTransport()->GetName(true), "TRANSPORT(0)");
    EXPECT_EQ(packet->GetTransport()->GetName(false), "0");
    EXPECT_EQ(packet->GetSession()->GetName(true), "unknown");
    EXPECT_EQ(packet->GetPresentation()->GetName(true), "unknown");
    EXPECT_EQ(packet->GetApplication()->GetName(false), "???");
    EXPECT_EQ(Decoded(kUdpToDns, 77)->GetDataLink()->GetName(true), "DATALINK(77)");
}

TEST(PacketTest, DataLinkByMedium) {
    struct Case {
        int32_t medium;
        uint16_t protocol;
        int64_t frameLength;
        bool fromAdapter;
    };
    const Case cases[] = {
        {0, 1, 64, false}, {5, 1, 64, false}, {3, 5, 60, true}, {10, 14, 60, false}, {19, 13, 54, false},
    };
    Bytes frame = Concat({Ethernet("00:11:22:33:44:66", "00:11:22:33:44:55", 0x0800),
                          Ipv4(17, "10.0.0.7", "10.0.0.1", 8), Udp(1, 2, 0), Bytes(18)});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.medium);
        Decoded packet(frame, c.medium);
        EXPECT_EQ(packet->GetDataLink()->GetProtocol(), c.protocol);
        EXPECT_EQ(packet->GetFrameLength(), c.frameLength);
        EXPECT_EQ(packet->IsDataLinkFromAdapter(), c.fromAdapter);
    }
}

TEST(PacketTest, FrameCutToTheBufferKeepsItsOriginalLength) {
    FakeAdapter adapter;
    Bytes frame = Concat({Ethernet("00:11:22:33:44:66", "00:11:22:33:44:55", 0x0800), Bytes(1522)});
    Packet packet(frame.data(), 1536, adapter, 0, Timestamp(), 1, 9000);
    packet.Decode();
    EXPECT_EQ(packet.GetLength(), 1536u);
    EXPECT_EQ(packet.GetFrameLength(), 9004);
}

TEST(PacketTest, AdapterLearnsItsAddressOnlyFromItsOwnFramesWithAUsableSource) {
    struct Case {
        const char* sourceMac;
        const char* sourceIp;
        bool learned;
    };
    const Case cases[] = {
        {"02:00:00:00:00:01", "10.0.0.7", true},         {"02:00:00:00:00:01", "0.0.0.0", false},
        {"02:00:00:00:00:01", "255.255.255.255", false}, {"02:00:00:00:00:01", "224.0.0.1", false},
        {"02:00:00:00:00:01", "127.0.0.1", false},       {"02:00:00:00:00:01", "240.0.0.1", false},
        {"02:00:00:00:00:02", "10.0.0.7", false},        {"02:00:00:00:00:03", "10.0.0.7", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.sourceMac) + " " + c.sourceIp);
        FakeAdapter adapter;
        adapter.SetMac({2, 0, 0, 0, 0, 1});
        adapter.otherMacs.push_back({2, 0, 0, 0, 0, 2});
        Decoded packet(Concat({Ethernet("ff:ff:ff:ff:ff:ff", c.sourceMac, 0x0800),
                               Ipv4(17, c.sourceIp, "255.255.255.255", 8), Udp(68, 67, 0)}),
                       adapter);
        EXPECT_EQ(packet.adapter.learned.size(), c.learned ? 1u : 0u);
        if (c.learned) {
            EXPECT_EQ(packet.adapter.learned[0], c.sourceIp);
        }
        EXPECT_EQ(packet->IsNetworkFromAdapter(), c.learned);
    }
}

TEST(PacketTest, AdapterChecksAskEveryAdapterOfTheSet) {
    FakeAdapter adapter;
    adapter.SetMac({2, 0, 0, 0, 0, 1});
    adapter.SetIp(0x0A000007);
    adapter.otherMacs.push_back({2, 0, 0, 0, 0, 2});
    adapter.otherIps.push_back(0x0A000009);
    Decoded packet(Concat({Ethernet("02:00:00:00:00:02", "02:00:00:00:00:01", 0x0800),
                           Ipv4(6, "10.0.0.7", "10.0.0.9", 20), Tcp(1, 2, 0x10)}),
                   adapter);
    EXPECT_TRUE(packet->IsDataLinkFromAdapter());
    EXPECT_TRUE(packet->IsDataLinkToAdapter());
    EXPECT_TRUE(packet->IsNetworkFromAdapter());
    EXPECT_TRUE(packet->IsNetworkToAdapter());
    EXPECT_TRUE(packet.adapter.learned.empty());
}

// What the network model reads of a decoded frame: addresses only from layers that hold them
// whole, endpoints only for TCP and UDP over IPv4.
TEST(PacketTest, ReadsAsTheModelsFrame) {
    const Bytes ipxHeader = Hex("ffff 001e 00 04  00000002 0a0b0c0d0e0f 0452  00000001 010203040506 4000");
    struct Case {
        const char* name;
        Bytes frame;
        int32_t medium;
        Bytes sourceMac;
        uint16_t etherType;
        Bytes sourceIp, destinationIp, sourceIpx;
        std::array<uint16_t, FrameView::LayerCount> ids;
        bool endpoints;
    };
    const Bytes noMac(6, 0);
    const Case cases[] = {
        {"udp",
         kUdpToDns,
         0,
         Hex("001122334455"),
         0x0800,
         Hex("0a000007"),
         Hex("0a000001"),
         {},
         {1, 0x0800, 17, 53, 0x100, 0},
         true},
        {"tcp",
         Concat({Ethernet("00:11:22:33:44:66", "00:11:22:33:44:55", 0x0800),
                 Ipv4(6, "10.0.0.7", "10.0.0.9", 20), Tcp(80, 40000, 0x12)}),
         0,
         Hex("001122334455"),
         0x0800,
         Hex("0a000007"),
         Hex("0a000009"),
         {},
         {1, 0x0800, 6, 0, 0, 0},
         true},
        {"arp",
         Concat({Ethernet("ff:ff:ff:ff:ff:ff", "00:11:22:33:44:55", 0x0806), Arp(1, "10.0.0.7", "10.0.0.1")}),
         0,
         Hex("001122334455"),
         0x0806,
         Hex("0a000007"),
         Hex("0a000001"),
         {},
         {1, 0x0806, 257, 0, 0, 0},
         false},
        {"ipx",
         Concat({Ethernet("0a:0b:0c:0d:0e:0f", "01:02:03:04:05:06", 0x8137), ipxHeader}),
         0,
         Hex("010203040506"),
         0x8137,
         {},
         {},
         Hex("00000001 010203040506"),
         {1, 0x8137, 276, 0, 0, 0},
         false},
        {"ip header cut",
         Concat({Ethernet("00:11:22:33:44:66", "00:11:22:33:44:55", 0x0800), Bytes(10)}),
         0,
         Hex("001122334455"),
         0x0800,
         {},
         {},
         {},
         {1, 0x0800, 255, 0, 0, 0},
         false},
        {"no hardware addresses", kUdpToDns, 8, noMac, 0, {}, {}, {}, {8, 0, 0, 0, 0, 0}, false},
    };
    auto bytes = [](const uint8_t* data, size_t size) { return data ? Bytes(data, data + size) : Bytes(); };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded decoded(c.frame, c.medium);
        const FrameView& frame = *decoded.packet;
        EXPECT_EQ(bytes(frame.GetMac(FrameView::Source), 6), c.sourceMac);
        EXPECT_EQ(frame.GetEtherType(), c.etherType);
        EXPECT_EQ(bytes(frame.GetIp(FrameView::Source), 4), c.sourceIp);
        EXPECT_EQ(bytes(frame.GetIp(FrameView::Destination), 4), c.destinationIp);
        EXPECT_EQ(bytes(frame.GetIpx(FrameView::Source), 10), c.sourceIpx);
        for (int layer = 0; layer < FrameView::LayerCount; ++layer)
            EXPECT_EQ(frame.GetProtocolId(FrameView::Layer(layer)), c.ids[size_t(layer)]) << layer;
        FrameView::Endpoint source, destination;
        EXPECT_EQ(frame.GetTransportEndpoints(source, destination), c.endpoints);
        EXPECT_EQ(frame.GetAdapterNumber(), 0);
    }
    Decoded udp(kUdpToDns);
    FrameView::Endpoint source, destination;
    ASSERT_TRUE(udp.packet->GetTransportEndpoints(source, destination));
    EXPECT_EQ(source, (FrameView::Endpoint{0x0A000007, 1025}));
    EXPECT_EQ(destination, (FrameView::Endpoint{0x0A000001, 53}));
    EXPECT_TRUE(udp.packet->IsWellKnownPort(53));
    EXPECT_FALSE(udp.packet->IsWellKnownPort(1025));
}

TEST(PacketTest, ReadsAsAnEmptyFrameBeforeDecoding) {
    FakeAdapter adapter;
    const Bytes frame = kUdpToDns;
    const Packet packet(frame.data(), uint32_t(frame.size()), adapter, 0, Timestamp(5), 1);
    EXPECT_EQ(Bytes(packet.GetMac(FrameView::Destination), packet.GetMac(FrameView::Destination) + 6),
              Bytes(6, 0));
    EXPECT_EQ(packet.GetIp(FrameView::Source), nullptr);
    EXPECT_EQ(packet.GetEtherType(), 0);
    EXPECT_EQ(packet.GetProtocolId(FrameView::DataLink), 0);
    EXPECT_EQ(packet.GetTimeStamp(), Timestamp(5));
}

} // namespace
} // namespace vq::test
