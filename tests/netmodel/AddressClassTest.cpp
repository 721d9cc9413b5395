#include "netmodel/IpAddress.h"
#include "netmodel/IpxAddress.h"
#include "netmodel/MacAddress.h"
#include "netmodel/MacAddressRange.h"
#include "netmodel/NbAddress.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>

namespace vq {
namespace {

int MacKind(const char* text) {
    return MacAddress(text, true).GetKind();
}

TEST(MacAddressKind, WellKnownMulticastEntriesAndRangeEndsAreKindThree) {
    for (const auto& range : WellKnownMulticastTable()) {
        SCOPED_TRACE(range.GetLow().GetText());
        EXPECT_EQ(MacKind(range.GetLow().GetText().c_str()), MacAddress::WellKnownMulticast);
        if (!range.IsSingle()) {
            EXPECT_EQ(MacKind(range.GetHigh().GetText().c_str()), MacAddress::WellKnownMulticast);
        }
    }
    struct Case {
        const char* text;
        int kind;
    };
    const Case cases[] = {
        {"ff:ff:ff:ff:ff:ff", MacAddress::Broadcast},
        {"ab:00:02:12:34:56", MacAddress::WellKnownMulticast},
        {"ab:00:03:80:00:01", MacAddress::WellKnownMulticast},
        {"09:00:07:00:00:fd", MacAddress::Ordinary},
        {"09:00:06:ff:ff:ff", MacAddress::Ordinary},
        {"01:80:c2:00:00:01", MacAddress::Ordinary},
        {"ab:00:00:04:ff:ff", MacAddress::Ordinary},
        {"ab:00:04:00:ff:ff", MacAddress::WellKnownMulticast},
        {"ab:00:04:01:00:00", MacAddress::WellKnownMulticast},
        {"ab:00:04:02:00:00", MacAddress::Ordinary},
        {"ab:00:04:00:00:00", MacAddress::WellKnownMulticast},
        {"cf:00:00:00:00:01", MacAddress::Ordinary},
        {"00:00:00:00:00:00", MacAddress::Ordinary},
        {"ff:ff:ff:ff:ff:fe", MacAddress::Ordinary},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(MacKind(c.text), c.kind);
    }
    EXPECT_TRUE(MacAddress("00:00:00:00:00:00", true).IsValid());
    EXPECT_EQ(MacAddress("01:80:c2:00:00:00", false).GetKind(), MacAddress::Unclassified);
}

TEST(MacAddressKind, BinarySearchAgreesWithAScanOfTheTable) {
    std::mt19937 random(7);
    const auto table = WellKnownMulticastTable();
    for (const auto& range : table) {
        for (int round = 0; round < 200; ++round) {
            uint8_t bytes[6];
            std::memcpy(bytes, range.GetLow().GetAddressBytes(), 6);
            for (int i = 2 + round % 4; i < 6; ++i)
                bytes[i] = static_cast<uint8_t>(random());
            MacAddress candidate(bytes, false);
            bool scanned = false;
            for (const auto& other : table)
                scanned = scanned || other.Contains(candidate);
            EXPECT_EQ(RangeTableContains(table, candidate), scanned) << candidate.GetText();
        }
    }
}

TEST(IpAddressKind, KindsMasksAndDerivedAddresses) {
    struct Case {
        const char* text;
        int kind;
        uint32_t mask;
    };
    const Case cases[] = {
        {"224.0.0.5", IpAddress::Multicast, 0xFF000000},
        {"239.255.255.255", IpAddress::Multicast, 0xFF000000},
        {"240.0.0.1", IpAddress::Unicast, 0xFF000000},
        {"255.255.255.255", IpAddress::Broadcast, 0xFF000000},
        {"10.1.2.255", IpAddress::Broadcast, 0xFF000000},
        {"192.168.0.255", IpAddress::Broadcast, 0xFFFFFF00},
        {"10.1.2.3", IpAddress::Unicast, 0xFF000000},
        {"10.0.0.1", IpAddress::Unicast, 0xFF000000},
        {"172.16.0.1", IpAddress::Unicast, 0xFFFF0000},
        {"192.168.1.1", IpAddress::Unicast, 0xFFFFFF00},
        {"127.0.0.1", IpAddress::Unicast, 0xFF000000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        IpAddress address(c.text, true);
        EXPECT_EQ(address.GetKind(), c.kind);
        EXPECT_EQ(address.GetClassMask(), c.mask);
    }
    IpAddress address("172.16.5.9", true);
    EXPECT_EQ(address.GetNetwork(), 0xAC100000u);
    EXPECT_EQ(address.GetBroadcast(), 0xAC10FFFFu);
    EXPECT_EQ(address.GetHostPart(), 0x0509u);
    EXPECT_FALSE(address.IsNetworkAddress());
    EXPECT_TRUE(IpAddress("172.16.0.0", true).IsNetworkAddress());
    EXPECT_EQ(IpAddress::Invalid().GetClassMask(), 0u);
    EXPECT_EQ(IpAddress("10.1.2.3", false).GetKind(), IpAddress::Unclassified);
}

TEST(IpAddressKind, HostLongRoundTripsInBothOrders) {
    IpAddress address;
    address.SetHostLong(0x0A010203, false, true);
    EXPECT_EQ(address.GetText(), "10.1.2.3");
    EXPECT_EQ(address.GetHostLong(true), 0x0A010203u);
    IpAddress copy;
    copy.SetHostLong(address.GetHostLong(false), true, true);
    EXPECT_TRUE(copy.IsEqual(address));
    address.SetHostLong(0, false, true);
    EXPECT_FALSE(address.IsValid());
}

TEST(IpAddressCompare, OrderAndWildcards) {
    struct Case {
        const char* a;
        const char* b;
        bool wildcard;
        int result;
    };
    const Case cases[] = {
        {"10.0.0.0", "10.20.30.40", true, 0},     {"10.0.0.0", "10.20.30.40", false, 1},
        {"10.20.30.40", "10.0.0.0", false, -1},   {"10.20.30.40", "10.20.30.40", false, 0},
        {"10.20.30.40", "11.0.0.0", true, 1},     {"172.16.0.0", "172.16.9.9", true, 0},
        {"172.16.0.0", "172.17.9.9", true, 1},    {"192.168.1.0", "192.168.1.77", true, 0},
        {"192.168.1.0", "192.168.2.77", true, 1}, {"10.1.2.3", "10.1.2.4", true, 1},
        {"10.1.2.4", "10.1.2.3", true, -1},       {"200.0.0.1", "9.0.0.1", false, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        EXPECT_EQ(IpAddress(c.a, true).Compare(IpAddress(c.b, true), c.wildcard), c.result);
    }
    std::vector<IpAddress> sorted{IpAddress("10.0.0.9", true), IpAddress("9.0.0.1", true)};
    std::sort(sorted.begin(), sorted.end(), IpAddressLess{});
    EXPECT_EQ(sorted.front().GetText(), "9.0.0.1");
}

TEST(AddressCompare, SignsOfMacIpxAndNetBios) {
    EXPECT_EQ(MacAddress("00:00:00:00:00:01", false).Compare(MacAddress("00:00:00:00:00:02", false)), 1);
    EXPECT_EQ(MacAddress("00:00:00:00:00:02", false).Compare(MacAddress("00:00:00:00:00:01", false)), -1);
    EXPECT_EQ(MacAddress("00:00:00:00:00:02", false).Compare(MacAddress("0000-0000-0002", false)), 0);

    const IpxAddress low("00000001,000000000001", true);
    const IpxAddress high("00000001,000000000002", true);
    EXPECT_EQ(low.Compare(high), 1);
    EXPECT_EQ(high.Compare(low), -1);
    EXPECT_EQ(IpxAddress("00000001,000000000000", true).Compare(high, true), 0);
    EXPECT_EQ(IpxAddress("00000001,000000000000", true).Compare(high, false), 1);
    EXPECT_EQ(IpxAddress("00000002,000000000000", true).Compare(high, true), -1);
    EXPECT_EQ(IpxAddress("00000000,ffffffffffff", true).GetKind(), IpxAddress::BroadcastNode);
    EXPECT_EQ(high.GetKind(), IpxAddress::Ordinary);

    EXPECT_EQ(NbAddress("ALPHA", false).Compare(NbAddress("BETA", false)), -1);
    EXPECT_EQ(NbAddress("BETA", false).Compare(NbAddress("ALPHA", false)), 1);
    EXPECT_EQ(NbAddress("BETA", false).Compare(NbAddress("BETA", false)), 0);
}

TEST(AddressKey, KeysHoldEveryByte) {
    EXPECT_EQ(MacAddress("01:02:03:04:05:06", false).GetTableKey().value, 0x010203040506u);
    EXPECT_EQ(IpAddress("10.0.0.1", false).GetTableKey().value, 0x0A000001u);
    const IpxAddress a("1234abcd,00a0c9123456", false);
    const IpxAddress b("5678abcd,00a0c9123456", false);
    EXPECT_EQ(a.GetTableKey().value, b.GetTableKey().value); // same dump bucket as before
    EXPECT_NE(a.GetTableKey(), b.GetTableKey());
    EXPECT_NE(std::hash<IpxAddress>{}(a), std::hash<IpxAddress>{}(b));
    EXPECT_NE(NbAddress("WORKSTATION1", false).GetTableKey(), NbAddress("WORKSTATION2", false).GetTableKey());
}

} // namespace
} // namespace vq
