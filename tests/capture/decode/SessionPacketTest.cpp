#include "Decoded.h"

#include <gtest/gtest.h>

namespace vq::test {
namespace {

const char* kDst = "00:11:22:33:44:66";
const char* kSrc = "00:11:22:33:44:55";

Bytes TcpFrame(uint16_t destinationPort, Bytes data) {
    return Concat({Ethernet(kDst, kSrc, 0x0800), Ipv4(6, "10.0.0.1", "10.0.0.2", uint16_t(20 + data.size())),
                   Tcp(1025, destinationPort, 0x18), data});
}

Bytes UdpFrame(uint16_t destinationPort, Bytes payload) {
    return Concat({Ethernet(kDst, kSrc, 0x0800),
                   Ipv4(17, "10.0.0.1", "10.0.0.2", uint16_t(8 + payload.size())),
                   Udp(1025, destinationPort, uint16_t(payload.size())), payload});
}

TEST(SessionPacketTest, DnsOperationCodeGivesThePresentationIdentifier) {
    struct Case {
        const char* name;
        Bytes frame;
        uint16_t presentation;
        bool isShort;
    };
    Bytes cutHeader = UdpFrame(53, Dns(0x2800));
    cutHeader.resize(cutHeader.size() - 1);
    Bytes udpLengthEight = UdpFrame(53, Dns(0x0100));
    udpLengthEight[14 + 20 + 5] = 8;
    const Case cases[] = {
        {"standard query", UdpFrame(53, Dns(0x0100)), 0x100, false},
        {"authoritative answer", UdpFrame(53, Dns(0x8580)), 0x100, false},
        {"inverse query", UdpFrame(53, Dns(0x0800)), 0x101, false},
        {"update", UdpFrame(53, Dns(0x2800)), 0x105, false},
        {"over TCP after the length prefix", TcpFrame(53, Concat({Hex("001c"), Dns(0x1000)})), 0x102, false},
        {"header cut", cutHeader, 0, true},
        {"TCP segment without data", TcpFrame(53, {}), 0, false},
        {"UDP length leaves no room for a header", udpLengthEight, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded packet(c.frame, 0, uint32_t(c.frame.size() + c.isShort));
        EXPECT_EQ(packet->GetSession()->GetProtocol(), 53);
        EXPECT_EQ(packet->GetPresentation()->GetProtocol(), c.presentation);
        EXPECT_EQ(packet->IsShort(), c.isShort);
    }
    Decoded query(UdpFrame(53, Dns(0x0100)));
    EXPECT_EQ(query->GetPresentation()->GetName(true), "PRESENTATION(256)");
    EXPECT_EQ(query->GetPresentation()->GetName(false), "256");
    auto& dns = dynamic_cast<const SessionPacket_DNS&>(*query->GetSession());
    EXPECT_EQ(dns.GetIdentification(), 0xBEEF);
    EXPECT_TRUE(dns.IsRecursionDesired());
    EXPECT_FALSE(dns.IsResponse());
    EXPECT_EQ(dns.GetQuestionCount(), 1);
}

TEST(SessionPacketTest, Names) {
    struct Case {
        const char* name;
        Bytes frame;
        const char* verbose;
        const char* brief;
    };
    const Case cases[] = {
        {"TCP 514", TcpFrame(514, Bytes(4)), "Remote Command (Unix)", "RCMD"},
        {"UDP 514", UdpFrame(514, Bytes(4)), "System Log (Unix)", "SYSLOG"},
        {"TCP 512", TcpFrame(512, Bytes(4)), "Remote Execution (Unix)", "REXEC"},
        {"UDP 513", UdpFrame(513, Bytes(4)), "Who Is On (Unix)", "WHO"},
        {"TCP 8080", TcpFrame(8080, Bytes(4)), "SESSION(8080)", "8080"},
        {"UDP 525", UdpFrame(525, Bytes(4)), "Time Daemon", "TIMED"},
        {"TCP 80", TcpFrame(80, Bytes(4)), "Hypertext Transfer Protocol", "HTTP"},
        {"UDP 1", UdpFrame(1, Bytes(4)), "SESSION(1)", "1"},
        {"ICMP echo",
         Concat(
             {Ethernet(kDst, kSrc, 0x0800), Ipv4(1, "10.0.0.1", "10.0.0.2", 8), Hex("0800 0000 0001 0001")}),
         "Echo", "echo"},
        {"ICMP unreachable",
         Concat(
             {Ethernet(kDst, kSrc, 0x0800), Ipv4(1, "10.0.0.1", "10.0.0.2", 8), Hex("0303 0000 0000 0000")}),
         "Destination Unreachable", "unreach"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded packet(c.frame);
        EXPECT_EQ(packet->GetSession()->GetName(true), c.verbose);
        EXPECT_EQ(packet->GetSession()->GetName(false), c.brief);
    }
}

} // namespace
} // namespace vq::test
