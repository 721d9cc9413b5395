#include "history/AddressMap.h"

#include "platform/net/FakeResolver.h"

#include <gtest/gtest.h>

namespace vq::history {
namespace {

TEST(AddressMapTest, AddRebuildsStoredMacAddresses) {
    struct Case {
        const char* text;
        const char* name;
        uint8_t type;
        int kind;
    };
    const Case cases[] = {
        {"00:11:22:33:44:55", nullptr, 0, MacAddress::Ordinary},
        {"ff:ff:ff:ff:ff:ff", nullptr, 0, MacAddress::Broadcast},
        {"00:11:22:33:44:55", nullptr, 2, 2},
        {"00:11:22:33:44:55", "printer", 0, MacAddress::Ordinary},
        {"ff:ff:ff:ff:ff:ff", "all", 7, 7},
    };
    MacAddressMap map;
    std::vector<std::unique_ptr<MacAddress>> owner;
    int64_t index = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " type " + std::to_string(c.type));
        auto address = map.Add(index, c.text, c.name, c.type);
        ASSERT_TRUE(address);
        EXPECT_EQ(address->GetText(), c.text);
        EXPECT_EQ(address->GetKind(), c.kind);
        EXPECT_EQ(address->GetNameCount(), c.name != nullptr ? 1 : 0);
        if (c.name != nullptr) {
            EXPECT_EQ(address->GetNameAt(0), c.name);
        }
        EXPECT_EQ(map.Find(index), address.get());
        EXPECT_EQ(map.FindIndex(address.get()), index);
        owner.push_back(std::move(address));
        ++index;
    }
}

TEST(AddressMapTest, TwoAddsUnderOneIndexKeepTheSecondForwardAndBothBack) {
    IpxAddressMap map;
    auto first = map.Add(3, "00000001,001122334455", nullptr, 0);
    auto second = map.Add(3, "00000002,001122334455", "server", 0);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(map.Find(3), second.get());
    EXPECT_EQ(map.FindIndex(first.get()), 3);
    EXPECT_EQ(map.FindIndex(second.get()), 3);
    EXPECT_EQ(map.GetReverseCount(), 2u);
    EXPECT_EQ(map.Find(4), nullptr);
}

TEST(AddressMapTest, IpTextsAreReadNumericallyAndNeverLookedUp) {
    auto resolver = std::make_shared<net::FakeResolver>();
    resolver->AddHost("host.invalid", {{10, 9, 8, 7}});
    net::ScopedResolver scoped(resolver);
    IpAddressMap map;

    auto address = map.Add(1, "10.1.2.3", "gateway", 0);
    ASSERT_TRUE(address);
    EXPECT_EQ(address->GetText(), "10.1.2.3");
    EXPECT_EQ(address->GetKind(), IpAddress::Unicast);
    EXPECT_EQ(address->GetNameAt(0), "gateway");

    for (const char* text : {"host.invalid", "10.1.2", "10.1.2.300", "", " 10.1.2.3"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(map.Add(2, text, "name", 0));
        EXPECT_EQ(map.Find(2), &IpAddress::Invalid());
        EXPECT_FALSE(map.FindIndex(&IpAddress::Invalid()));
    }
    EXPECT_EQ(resolver->HostCalls(), 0);
    EXPECT_EQ(map.GetReverseCount(), 1u);
}

} // namespace
} // namespace vq::history
