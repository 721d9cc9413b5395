#include "Decoded.h"
#include "netmodel/MacAddressRange.h"

#include <gtest/gtest.h>

namespace vq::test {
namespace {

using Ethernet_ = DataLinkPacket_Ethernet;

const char* kDst = "00:11:22:33:44:66";
const char* kSrc = "00:11:22:33:44:55";

TEST(DataLinkPacketTest, FramingByLengthTypeWordAndLlcHeader) {
    struct Case {
        uint16_t lengthType;
        const char* llc;
        int32_t frameType;
        uint16_t nextProtocol;
        int32_t headerLength;
    };
    const Case cases[] = {
        {1514, "06 06 03", Ethernet_::FrameLlc, 0x0800, 17},
        {1515, "06 06 03", Ethernet_::FrameEthernetII, 1515, 14},
        {0x0800, "45 00 00", Ethernet_::FrameEthernetII, 0x0800, 14},
        {100, "ff ff 01", Ethernet_::FrameRaw8023, 0x8137, 14},
        {100, "ff ff 03", Ethernet_::FrameLlc, 0, 17},
        {100, "aa aa 03 00 00 00 08 00", Ethernet_::FrameSnap, 0x0800, 22},
        {100, "ab aa 03 00 00 00 08 06", Ethernet_::FrameSnap, 0x0806, 22},
        {100, "aa aa 03 00 00 0c 20 00", Ethernet_::FrameSnapOrganisation, 0x2000, 22},
        {100, "f0 f0 03", Ethernet_::FrameLlc, 0xFF18, 17},
        {100, "f0 f0 7f", Ethernet_::FrameLlcUnnumbered, 0xFF19, 17},
        {100, "f0 f0 01 00", Ethernet_::FrameLlcSupervisory, 0xFF19, 18},
        {100, "f0 f0 00 00", Ethernet_::FrameLlc, 0xFF18, 18},
        {100, "42 44 03", Ethernet_::FrameUnassignedLlc, 0, 17},
        {100, "42 43 03", Ethernet_::FrameLlc, 0, 17},
        {100, "e0 e0 03", Ethernet_::FrameLlc, 0x8137, 17},
        {100, "98 98 03", Ethernet_::FrameLlc, 0x0806, 17},
        {100, "07 06 03", Ethernet_::FrameLlc, 0x0800, 17},
        {100, "f1 f0 03", Ethernet_::FrameLlc, 0xFF18, 17},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.lengthType) + " " + c.llc);
        Decoded packet(Concat({Ethernet(kDst, kSrc, c.lengthType), Hex(c.llc), Bytes(40)}));
        auto& ethernet = dynamic_cast<const Ethernet_&>(*packet->GetDataLink());
        EXPECT_EQ(ethernet.GetFrameType(), c.frameType);
        EXPECT_EQ(ethernet.GetNextProtocol(), c.nextProtocol);
        EXPECT_EQ(ethernet.GetHeaderLength(), c.headerLength);
        EXPECT_EQ(ethernet.GetPayloadOffset(), size_t(c.headerLength));
        EXPECT_EQ(packet->GetNetwork()->GetHeaderOffset(), size_t(c.headerLength));
        EXPECT_FALSE(packet->IsShort());
    }
}

TEST(DataLinkPacketTest, LlcAndSnapNotCapturedGiveNoNextLayer) {
    const char* cuts[] = {"", "aa", "aa aa 03 00 00 00 08", "f0 f0 01"};
    for (const char* llc : cuts) {
        SCOPED_TRACE(llc);
        Decoded packet(Concat({Ethernet(kDst, kSrc, 100), Hex(llc)}));
        const DataLinkPacket& dataLink = *packet->GetDataLink();
        EXPECT_FALSE(dataLink.HasNextLayer());
        EXPECT_EQ(dataLink.GetPayloadOffset(), packet->GetLength());
        EXPECT_EQ(packet->GetNetwork()->GetProtocol(), 0);
        EXPECT_EQ(dataLink.GetSourceText(), "00:11:22:33:44:55");
        EXPECT_TRUE(packet->IsShort());
    }
}

TEST(DataLinkPacketTest, AddressesOnlyWhenTheHeaderWasCaptured) {
    Bytes frame = Ethernet("ff:ff:ff:ff:ff:ff", kSrc, 0x0800);
    Decoded whole(frame);
    EXPECT_EQ(whole->GetDataLink()->GetDestinationText(), "ff:ff:ff:ff:ff:ff");
    EXPECT_EQ(whole->GetDataLink()->GetDestinationKind(), 2);
    EXPECT_EQ(whole->GetDataLink()->GetSourceKind(), 1);

    frame.resize(13);
    Decoded cut(frame);
    const DataLinkPacket& dataLink = *cut->GetDataLink();
    EXPECT_EQ(dataLink.GetProtocol(), 1);
    EXPECT_EQ(dataLink.GetSourceAddress(), nullptr);
    EXPECT_EQ(dataLink.GetDestinationText(), "00:00:00:00:00:00");
    EXPECT_EQ(dataLink.GetDestinationKind(), 0);
    EXPECT_FALSE(dataLink.HasNextLayer());
    EXPECT_TRUE(cut->IsShort());
}

TEST(DataLinkPacketTest, KindsFollowTheAddressClassification) {
    std::vector<std::string> destinations = {"ff:ff:ff:ff:ff:ff", "00:11:22:33:44:66", "01:00:5e:00:00:01",
                                             "09:00:07:00:00:fd", "ab:00:02:12:34:56", "fe:ff:ff:ff:ff:ff"};
    for (const auto& range : WellKnownMulticastTable())
        destinations.push_back(range.GetLow().GetText());
    for (const auto& text : destinations) {
        SCOPED_TRACE(text);
        Decoded packet(Concat({Ethernet(text, kSrc, 0x0800), Bytes(46)}));
        EXPECT_EQ(packet->GetDataLink()->GetDestinationKind(), MacAddress(text.c_str(), true).GetKind());
    }
}

TEST(DataLinkPacketTest, Names) {
    struct Case {
        int32_t medium;
        const char* verbose;
        const char* brief;
    };
    // The medium code becomes the identifier of a medium without a decoder.
    const Case cases[] = {
        {0, "Ethernet", "ether"},
        {2, "Token Ting", "token"},
        {4, "FDDI", "FDDI"},
        {3, "unknown WAN", "WAN"},
        {11, "Point-to-Point Protocol", "PPP"},
        {12, "Serial Line IP", "SLIP"},
        {19, "DATALINK(13)", "13"},
        {10, "DATALINK(14)", "14"},
        {20, "DATALINK(20)", "20"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.medium);
        Decoded packet(Bytes(60), c.medium);
        EXPECT_EQ(packet->GetDataLink()->GetName(true), c.verbose);
        EXPECT_EQ(packet->GetDataLink()->GetName(false), c.brief);
    }
}

TEST(DataLinkPacketTest, LayersWithoutAddressesAnswerPlaceholderTexts) {
    Decoded wan(Bytes(60), 3);
    Decoded unknown(Bytes(60), 8);
    for (const DataLinkPacket* dataLink : {wan->GetDataLink(), unknown->GetDataLink()}) {
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(dataLink->GetSourceAddress())), "SRC?");
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(dataLink->GetDestinationAddress())), "DST?");
        EXPECT_EQ(dataLink->GetSourceText(), "src?");
        EXPECT_EQ(dataLink->GetDestinationText(), "src?");
        EXPECT_TRUE(dataLink->IsOpaque());
        EXPECT_TRUE(dataLink->HasNextLayer());
    }
    EXPECT_TRUE(wan->IsDataLinkFromAdapter());
    EXPECT_FALSE(unknown->IsDataLinkFromAdapter());
}

TEST(DataLinkPacketTest, LengthLimits) {
    Decoded ethernet(Concat({Ethernet(kDst, kSrc, 0x0800), Bytes(46)}));
    const DataLinkPacket& e = *ethernet->GetDataLink();
    EXPECT_EQ(e.GetMinHeaderLength(), 14);
    EXPECT_EQ(e.GetMaxHeaderLength(), 22);
    EXPECT_EQ(e.GetMinLength(), 60);
    EXPECT_EQ(e.GetMaxLength(), 1514);
    EXPECT_EQ(e.GetMaximumLength(), 1514);
    EXPECT_EQ(e.GetMaxPayloadLength(), 1500);
    EXPECT_EQ(e.GetTotalLength(), 60);
    EXPECT_EQ(e.GetRoom(), 1500);
    EXPECT_EQ(ethernet->GetNetwork()->GetMaximumLength(), 1500);
}

} // namespace
} // namespace vq::test
