#include "netmodel/HostEqualityIndex.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <set>
#include <vector>

namespace vq {
namespace {

// Addresses held by the test, so that hosts share them without taking them over.
struct Addresses {
    explicit Addresses(const void* holder) {
        for (const char* text : {"00:a0:c9:00:00:01", "00:a0:c9:00:00:02"})
            macs.push_back(std::make_unique<MacAddress>(text, true));
        // 10.0.0.0 is a network address: a wildcard over its network.
        for (const char* text : {"10.0.0.1", "10.0.0.2", "10.0.0.0"})
            ips.push_back(std::make_unique<IpAddress>(text, true));
        const uint8_t node1[10] = {0, 0, 0, 1, 0, 0, 0, 0, 0, 1};
        // A node of zero is a wildcard too.
        const uint8_t node0[10] = {0, 0, 0, 1, 0, 0, 0, 0, 0, 0};
        ipxs.push_back(std::make_unique<IpxAddress>(node1, true));
        ipxs.push_back(std::make_unique<IpxAddress>(node0, true));
        for (auto& address : macs)
            address->SetOwner(holder);
        for (auto& address : ips)
            address->SetOwner(holder);
        for (auto& address : ipxs)
            address->SetOwner(holder);
    }
    std::vector<std::unique_ptr<MacAddress>> macs;
    std::vector<std::unique_ptr<IpAddress>> ips;
    std::vector<std::unique_ptr<IpxAddress>> ipxs;
};

// A host with a random choice of families and addresses, none at all included.
std::unique_ptr<HostAddress> RandomHost(Addresses& addresses, std::mt19937& random) {
    auto host = std::make_unique<HostAddress>(uint8_t(0));
    if (random() % 3 != 0) host->SetMac(*addresses.macs[random() % addresses.macs.size()], HostAddress::AUTH);
    if (random() % 2 != 0) host->SetIp(*addresses.ips[random() % addresses.ips.size()], HostAddress::AUTH);
    if (random() % 3 == 0) host->SetIpx(*addresses.ipxs[random() % addresses.ipxs.size()], HostAddress::AUTH);
    return host;
}

// Every stored host equal to the probe, in the order of the index's ranks.
std::set<std::pair<uint64_t, const HostAddress*>>
Expected(const std::vector<std::pair<HostAddress*, uint64_t>>& stored, const HostAddress& probe) {
    std::set<std::pair<uint64_t, const HostAddress*>> equal;
    for (const auto& [host, order] : stored)
        if (host->Compare(probe) == 0) equal.insert({order, host});
    return equal;
}

// Hosts come, go and change their addresses (gaining, losing and swapping families, wildcards
// among them) in a seeded order; after every step each host, stored or not, finds exactly the
// stored hosts a scan finds, and the first of them by rank.
TEST(HostEqualityIndexTest, EqualsOfEveryHostStayThoseOfAScanWhileHostsComeGoAndChange) {
    std::mt19937 random(7);
    Addresses addresses(&random);
    std::vector<std::unique_ptr<HostAddress>> hosts;
    for (int i = 0; i < 30; ++i)
        hosts.push_back(RandomHost(addresses, random));
    HostEqualityIndex index;
    std::vector<std::pair<HostAddress*, uint64_t>> stored;
    uint64_t nextOrder = 0;

    for (int step = 0; step < 3000; ++step) {
        HostAddress& host = *hosts[random() % hosts.size()];
        auto it = std::find_if(stored.begin(), stored.end(),
                               [&](const auto& entry) { return entry.first == &host; });
        switch (random() % 3) {
        case 0:
            if (it == stored.end()) {
                index.Insert(host, nextOrder);
                stored.push_back({&host, nextOrder++});
            }
            break;
        case 1:
            if (it != stored.end()) {
                index.Remove(host);
                stored.erase(it);
            }
            break;
        default:
            host.Copy(*RandomHost(addresses, random), ShallowCopy);
            break;
        }
        for (const auto& probe : hosts) {
            SCOPED_TRACE(testing::Message() << "step " << step << " probe " << probe->GetText(false));
            std::set<std::pair<uint64_t, const HostAddress*>> found;
            index.ForEachEqual(*probe, [&](HostAddress& equal, uint64_t order) {
                EXPECT_TRUE(found.insert({order, &equal}).second) << "visited twice";
            });
            const auto expected = Expected(stored, *probe);
            ASSERT_EQ(found, expected);
            ASSERT_EQ(index.FindFirstEqual(*probe), expected.empty() ? nullptr : expected.begin()->second);
        }
    }
    ASSERT_EQ(index.Size(), stored.size());
}

} // namespace
} // namespace vq
