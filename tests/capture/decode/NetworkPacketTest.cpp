#include "Decoded.h"

#include <gtest/gtest.h>

namespace vq::test {
namespace {

const char* kDst = "00:11:22:33:44:66";
const char* kSrc = "00:11:22:33:44:55";

Bytes IpFrame(Bytes ip, Bytes payload) {
    return Concat({Ethernet(kDst, kSrc, 0x0800), ip, payload});
}

TEST(NetworkPacketTest, IpHeaderLengthAndFragments) {
    struct Case {
        const char* name;
        uint8_t versionAndLength;
        uint16_t flagsAndOffset;
        uint16_t transport;
        size_t transportOffset;
        uint64_t sequence;
    };
    const Case cases[] = {
        {"options", 0x46, 0, 6, 38, 0x01020304},
        {"first fragment", 0x45, 0x2000, 6, 34, 0x01020304},
        {"later fragment", 0x45, 0x00B9, 255, 34, 7},
        {"don't fragment", 0x45, 0x4000, 6, 34, 0x01020304},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded packet(IpFrame(Ipv4(6, "10.0.0.1", "10.0.0.2", 20, c.flagsAndOffset, c.versionAndLength),
                               Tcp(1025, 80, 0x18)));
        EXPECT_EQ(packet->GetTransport()->GetProtocol(), c.transport);
        EXPECT_EQ(packet->GetTransport()->GetHeaderOffset(), c.transportOffset);
        EXPECT_EQ(packet->GetTransport()->GetSequence(), c.sequence);
        EXPECT_EQ(packet->GetNetwork()->GetSequence(), c.flagsAndOffset & 0x1FFFu);
        EXPECT_EQ(packet->GetNetwork()->GetSourceText(), "10.0.0.1");
    }
}

TEST(NetworkPacketTest, MalformedIpHeadersGiveNoNextLayer) {
    struct Case {
        const char* name;
        Bytes ip;
        bool addresses;
        bool isShort;
    };
    Bytes lengthBelowHeader = Ipv4(17, "10.0.0.1", "10.0.0.2", 0);
    lengthBelowHeader[3] = 12;
    Bytes cutOptions = Ipv4(17, "10.0.0.1", "10.0.0.2", 0, 0, 0x4F);
    cutOptions.resize(24);
    Bytes addressesCut = Ipv4(17, "10.0.0.1", "10.0.0.2", 8);
    addressesCut.resize(19);
    const Case cases[] = {
        {"version 6", Ipv4(17, "10.0.0.1", "10.0.0.2", 8, 0, 0x65), false, false},
        {"header words 4", Ipv4(17, "10.0.0.1", "10.0.0.2", 8, 0, 0x44), false, false},
        {"total length below header", lengthBelowHeader, true, false},
        {"options cut, addresses captured", cutOptions, true, true},
        {"addresses cut", addressesCut, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded packet(Concat({Ethernet(kDst, kSrc, 0x0800), c.ip}));
        const auto& ip = dynamic_cast<const NetworkPacket_IP&>(*packet->GetNetwork());
        EXPECT_FALSE(ip.HasNextLayer());
        EXPECT_EQ(packet->GetTransport()->GetProtocol(), 255);
        EXPECT_EQ(ip.HasAddresses(), c.addresses);
        EXPECT_EQ(ip.GetSourceText(), c.addresses ? "10.0.0.1" : "0.0.0.0");
        EXPECT_EQ(packet->IsShort(), c.isShort);
    }
}

TEST(NetworkPacketTest, StatedLengthIsClampedToTheCapture) {
    Bytes ip = Ipv4(17, "10.0.0.1", "10.0.0.2", 1000);
    Decoded packet(IpFrame(ip, Udp(1, 2, 1000)));
    EXPECT_EQ(packet->GetNetwork()->GetTotalLength(), 28);
    EXPECT_EQ(packet->GetTransport()->GetTotalLength(), 8);
    EXPECT_EQ(packet->GetTransport()->GetPayloadLength(), 0);
    EXPECT_EQ(packet->GetTransport()->GetProtocol(), 17);
}

TEST(NetworkPacketTest, ArpAndRarpAddresses) {
    struct Case {
        uint16_t etherType;
        uint16_t operation;
        uint16_t hardwareType;
        const char* source;
        const char* target;
        int32_t headerLength;
    };
    // A reverse request does not know the target's address; a reverse reply carries it.
    const Case cases[] = {
        {0x0806, 1, 1, "10.0.0.1", "10.0.0.2", 28},  {0x0806, 2, 1, "10.0.0.2", "10.0.0.1", 28},
        {0x8035, 3, 1, "10.0.0.9", "0.0.0.0", 28},   {0x8035, 4, 1, "10.0.0.1", "10.0.0.42", 28},
        {0x0806, 1, 16, "10.0.0.1", "10.0.0.2", 12}, {0x0806, 1, 6, "10.0.0.1", "10.0.0.2", 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operation);
        Decoded packet(Concat({Ethernet("ff:ff:ff:ff:ff:ff", kSrc, c.etherType),
                               Arp(c.operation, c.source, c.target, c.hardwareType), Bytes(18)}));
        const NetworkPacket& arp = *packet->GetNetwork();
        EXPECT_EQ(arp.GetProtocol(), c.etherType);
        EXPECT_EQ(arp.GetSourceText(), c.source);
        EXPECT_EQ(arp.GetDestinationText(), c.target);
        EXPECT_EQ(arp.GetHeaderLength(), c.headerLength);
        EXPECT_EQ(packet->GetTransport()->GetProtocol(), 256 + c.operation);
    }
}

TEST(NetworkPacketTest, ArpAddressesNeedIpv4AndTheWholeAddressBlock) {
    Bytes arp = Arp(1, "10.0.0.1", "10.0.0.2");
    Bytes otherProtocol = arp;
    otherProtocol[2] = 0x86, otherProtocol[3] = 0xDD;
    Decoded ipv6(Concat({Ethernet(kDst, kSrc, 0x0806), otherProtocol}));
    EXPECT_EQ(ipv6->GetNetwork()->GetSourceText(), "0.0.0.0");
    EXPECT_FALSE(ipv6->IsShort());

    arp.resize(27);
    Decoded cut(Concat({Ethernet(kDst, kSrc, 0x0806), arp}));
    EXPECT_EQ(cut->GetNetwork()->GetSourceText(), "0.0.0.0");
    EXPECT_EQ(cut->GetNetwork()->GetDestinationAddress(), nullptr);
    EXPECT_EQ(cut->GetTransport()->GetProtocol(), 255);
    EXPECT_TRUE(cut->IsShort());
}

TEST(NetworkPacketTest, IpxAddressesAndPacketType) {
    Bytes ipx = Hex("ffff 0030 00 05"
                    "00000001 ffffffffffff 0452"
                    "0000002a 00a0c9123456 4003");
    Decoded packet(Concat({Ethernet(kDst, kSrc, 100), ipx, Bytes(12)}));
    const NetworkPacket& network = *packet->GetNetwork();
    EXPECT_EQ(network.GetProtocol(), 0x8137);
    EXPECT_EQ(network.GetSourceText(), "0000002a,00a0c9123456");
    EXPECT_EQ(network.GetDestinationText(), "00000001,ffffffffffff");
    EXPECT_EQ(packet->GetTransport()->GetProtocol(), 277);
    EXPECT_EQ(packet->GetTransport()->GetName(false), "SPX");
}

TEST(NetworkPacketTest, NetBEUIFrameClassesAndNames) {
    Bytes nameQuery = Concat({Hex("2c00 ffef 0a 00 0000 0000 0000"), Bytes(16, 'D'), Bytes(16, 'S')});
    nameQuery[12 + 15] = 0;
    Bytes dataOnlyLast = Hex("0e00 ffef 16 00 0000 0000 0000 0102");
    struct Case {
        const char* name;
        Bytes netbeui;
        uint16_t transport;
        uint16_t session;
        const char* source;
        const char* destination;
    };
    const Case cases[] = {
        {"NAME_QUERY", nameQuery, 340, 0xE10A, "SSSSSSSSSSSSSSSS", "DDDDDDDDDDDDDDD"},
        {"DATA_ONLY_LAST", dataOnlyLast, 340, 0xE116, "000000000000000", "000000000000000"},
        {"unknown command", Hex("0e00 ffef 40 00 0000 0000 0000 0102"), 336, 0xE1FF, "000000000000000",
         "000000000000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded packet(Concat({Ethernet("03:00:00:00:00:01", kSrc, 100), Hex("f0 f0 03"), c.netbeui}));
        const NetworkPacket& network = *packet->GetNetwork();
        EXPECT_EQ(network.GetProtocol(), 0xFF18);
        EXPECT_EQ(network.GetSourceText(), c.source);
        EXPECT_EQ(network.GetDestinationText(), c.destination);
        EXPECT_EQ(packet->GetTransport()->GetProtocol(), c.transport);
        EXPECT_EQ(packet->GetSession()->GetProtocol(), c.session);
        EXPECT_FALSE(packet->IsShort());
    }
}

TEST(NetworkPacketTest, NetBEUINamesNeedTheirBytesCaptured) {
    Bytes header = Concat({Hex("2c00 ffef 0a 00 0000 0000 0000"), Bytes(32, 'N')});
    header.resize(43);
    Decoded packet(Concat({Ethernet(kDst, kSrc, 100), Hex("f0 f0 03"), header}));
    EXPECT_EQ(packet->GetNetwork()->GetSourceAddress(), nullptr);
    EXPECT_EQ(packet->GetNetwork()->GetPayloadOffset(), packet->GetLength());
    EXPECT_TRUE(packet->IsShort());
}

TEST(NetworkPacketTest, NetbeuiControlHasNoAddresses) {
    Decoded packet(Concat({Ethernet(kDst, kSrc, 100), Hex("f0 f0 7f"), Bytes(43)}));
    const NetworkPacket& network = *packet->GetNetwork();
    EXPECT_EQ(network.GetProtocol(), 0xFF19);
    EXPECT_EQ(network.GetSourceAddress(), nullptr);
    EXPECT_EQ(network.GetSourceDisplay(), "n/a");
    EXPECT_EQ(network.GetDestinationName(), "n/a");
    EXPECT_FALSE(network.IsOpaque());
}

TEST(NetworkPacketTest, Names) {
    struct Case {
        uint16_t etherType;
        const char* verbose;
        const char* brief;
    };
    const Case cases[] = {
        {0x6002, "DEC", "DEC"},
        {0x6004, "DEC LAT", "LAT"},
        {0x1234, "NETWORK(4660)", "4660"},
        {0x0BAE, "Banyan VINES", "VINES"},
        {0x8138, "Novell IPX", "IPX"},
        {0x8035, "Reverse ARP", "RARP"},
        {0x86DD, "IP version 6", "IPv6"},
        {0x9000, "internal loopback", "loop"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.etherType);
        Decoded packet(Concat({Ethernet(kDst, kSrc, c.etherType), Bytes(46)}));
        EXPECT_EQ(packet->GetNetwork()->GetName(true), c.verbose);
        EXPECT_EQ(packet->GetNetwork()->GetName(false), c.brief);
    }
    Decoded unknown(Concat({Ethernet(kDst, kSrc, 0x1234), Bytes(46)}));
    EXPECT_EQ(unknown->GetNetwork()->GetSourceText(), "src?");
    EXPECT_EQ(unknown->GetNetwork()->GetDestinationText(), "src?");
}

} // namespace
} // namespace vq::test
