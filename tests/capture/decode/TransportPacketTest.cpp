#include "Decoded.h"

#include <gtest/gtest.h>

namespace vq::test {
namespace {

const char* kDst = "00:11:22:33:44:66";
const char* kSrc = "00:11:22:33:44:55";

Bytes TcpFrame(uint16_t sourcePort, uint16_t destinationPort, uint8_t flags, size_t dataLength = 0) {
    return Concat({Ethernet(kDst, kSrc, 0x0800), Ipv4(6, "10.0.0.1", "10.0.0.2", uint16_t(20 + dataLength)),
                   Tcp(sourcePort, destinationPort, flags), Bytes(dataLength)});
}

Bytes UdpFrame(uint16_t sourcePort, uint16_t destinationPort, Bytes payload) {
    return Concat({Ethernet(kDst, kSrc, 0x0800),
                   Ipv4(17, "10.0.0.1", "10.0.0.2", uint16_t(8 + payload.size())),
                   Udp(sourcePort, destinationPort, uint16_t(payload.size())), payload});
}

class TransportPacketTest : public ::testing::Test {
protected:
    void SetUp() override { TransportPacket_TCPUDP::ResetLearnedPorts(); }
    void TearDown() override { TransportPacket_TCPUDP::ResetLearnedPorts(); }
};

TEST_F(TransportPacketTest, SessionIdentifierFromTransport) {
    struct Case {
        const char* name;
        Bytes frame;
        uint16_t session;
    };
    const Case cases[] = {
        {"TCP SYN", TcpFrame(1025, 53, 0x02, 12), 0},
        {"TCP FIN", TcpFrame(1025, 80, 0x11), 0},
        {"TCP RST", TcpFrame(1025, 80, 0x04), 0},
        {"TCP data to 53", TcpFrame(1025, 53, 0x18, 14), 53},
        {"UDP from 53 to 1025", UdpFrame(53, 1025, Dns(0x8180)), 1025},
        {"ICMP echo",
         Concat(
             {Ethernet(kDst, kSrc, 0x0800), Ipv4(1, "10.0.0.1", "10.0.0.2", 8), Hex("0800 0000 0001 0001")}),
         0xE008},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded packet(c.frame);
        EXPECT_EQ(packet->GetSession()->GetProtocol(), c.session);
    }
}

TEST_F(TransportPacketTest, MalformedHeadersGiveNoNextLayer) {
    struct Case {
        const char* name;
        Bytes frame;
        bool ports;
        bool isShort;
    };
    Bytes offsetFour = TcpFrame(1025, 80, 0x18, 8);
    offsetFour[14 + 20 + 12] = 0x40;
    Bytes optionsCut = TcpFrame(1025, 80, 0x18);
    optionsCut[14 + 20 + 12] = 0x60;
    Bytes udpShortLength = UdpFrame(1025, 53, Dns(0));
    udpShortLength[14 + 20 + 5] = 7;
    Bytes tcpPortsOnly = TcpFrame(1025, 80, 0x18);
    tcpPortsOnly.resize(14 + 20 + 4);
    Bytes udpPortsCut = UdpFrame(1025, 53, {});
    udpPortsCut.resize(14 + 20 + 3);
    const Case cases[] = {
        {"TCP data offset 4", offsetFour, true, false},     {"TCP options cut", optionsCut, true, true},
        {"UDP length 7", udpShortLength, true, false},      {"TCP cut after ports", tcpPortsOnly, true, true},
        {"UDP cut inside ports", udpPortsCut, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded packet(c.frame);
        auto& transport = dynamic_cast<const TransportPacket_TCPUDP&>(*packet->GetTransport());
        EXPECT_FALSE(transport.HasNextLayer());
        EXPECT_EQ(packet->GetSession()->GetProtocol(), 0);
        EXPECT_EQ(transport.HasPorts(), c.ports);
        EXPECT_EQ(transport.GetSourcePort(), c.ports ? 1025 : 0);
        EXPECT_EQ(packet->IsShort(), c.isShort);
    }
}

TEST_F(TransportPacketTest, UdpLengthIsClampedToTheDatagram) {
    Bytes frame = UdpFrame(1025, 53, Dns(0));
    frame[14 + 20 + 4] = 0x10; // 4096
    Decoded packet(frame);
    EXPECT_EQ(packet->GetTransport()->GetTotalLength(), 20);
    EXPECT_EQ(packet->GetSession()->GetProtocol(), 53);
    EXPECT_EQ(packet->GetSession()->GetTotalLength(), 12);
}

TEST_F(TransportPacketTest, WellKnownPorts) {
    struct Case {
        uint16_t port;
        bool wellKnown;
    };
    const Case cases[] = {{0, true},    {80, true},   {1022, true}, {1023, false}, {1024, false},
                          {1433, true}, {1755, true}, {7070, true}, {7071, true},  {7072, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port);
        EXPECT_EQ(TransportPacket_TCPUDP::IsWellKnownPort(c.port), c.wellKnown);
        EXPECT_EQ(TransportPacket_TCPUDP::IsServerPort(c.port), c.wellKnown);
    }
}

TEST_F(TransportPacketTest, LearnedPortsCorrectTheServerDecision) {
    TransportPacket_TCPUDP::MarkClientPort(80);
    EXPECT_FALSE(TransportPacket_TCPUDP::IsServerPort(80));
    EXPECT_TRUE(TransportPacket_TCPUDP::IsLearnedClientPort(80));
    TransportPacket_TCPUDP::MarkServerPort(80);
    EXPECT_TRUE(TransportPacket_TCPUDP::IsServerPort(80));
    EXPECT_FALSE(TransportPacket_TCPUDP::IsLearnedServerPort(80));

    TransportPacket_TCPUDP::MarkServerPort(8080);
    EXPECT_TRUE(TransportPacket_TCPUDP::IsServerPort(8080));
    TransportPacket_TCPUDP::MarkClientPort(8080);
    EXPECT_FALSE(TransportPacket_TCPUDP::IsServerPort(8080));
    EXPECT_FALSE(TransportPacket_TCPUDP::IsLearnedClientPort(8080));
    TransportPacket_TCPUDP::MarkClientPort(8080);
    EXPECT_TRUE(TransportPacket_TCPUDP::IsLearnedClientPort(8080));
}

TEST_F(TransportPacketTest, HeaderFields) {
    Decoded packet(TcpFrame(1025, 80, 0x12));
    auto& tcp = dynamic_cast<const TransportPacket_TCP&>(*packet->GetTransport());
    EXPECT_EQ(tcp.GetSourcePort(), 1025);
    EXPECT_EQ(tcp.GetDestinationPort(), 80);
    EXPECT_EQ(tcp.GetSequence(), 0x01020304u);
    EXPECT_EQ(tcp.GetDataOffset(), 5);
    EXPECT_TRUE(tcp.IsSyn());
    EXPECT_TRUE(tcp.IsAck());
    EXPECT_FALSE(tcp.IsFin());
    EXPECT_EQ(tcp.GetWindow(), 8192);
    EXPECT_EQ(tcp.GetName(true), "Transmission Control Protocol");
}

TEST_F(TransportPacketTest, Names) {
    struct Case {
        uint8_t ipProtocol;
        const char* verbose;
        const char* brief;
    };
    const Case cases[] = {
        {1, "Internet Control Message Protocol", "ICMP"},
        {2, "Internet Group Management Protocol", "IGMP"},
        {17, "User Datagram Protocol", "UDP"},
        {83, "VINES", "VINES"},
        {255, "unknown", "???"},
        {99, "TRANSPORT(99)", "99"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.ipProtocol));
        Decoded packet(Concat(
            {Ethernet(kDst, kSrc, 0x0800), Ipv4(c.ipProtocol, "10.0.0.1", "10.0.0.2", 20), Bytes(20)}));
        EXPECT_EQ(packet->GetTransport()->GetName(true), c.verbose);
        EXPECT_EQ(packet->GetTransport()->GetName(false), c.brief);
    }
}

} // namespace
} // namespace vq::test
