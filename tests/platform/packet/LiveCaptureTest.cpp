#include "platform/packet/PacketDriver.h"
#include "tests/platform/packet/TestCaptureFiles.h"
#include "tests/platform/packet/VethPair.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <linux/if_packet.h>
#include <map>
#include <net/if.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace vq {
namespace {

using namespace std::chrono_literals;

const uint8_t kForeignMac[6] = {0x02, 0, 0, 0, 0, 0x99};

uint32_t Request(PacketHandle handle, uint32_t type, uint32_t oid, void* buffer, uint32_t size) {
    NdisRequest request;
    request.type = type;
    request.oid = oid;
    request.buffer = buffer;
    request.bufferLength = size;
    return W32N_MakeNdisRequest(handle, request, nullptr, 1);
}

uint32_t SetFilter(PacketHandle handle, uint32_t filter) {
    return Request(handle, NdisRequest::kSet, ndis::kOidCurrentPacketFilter, &filter, 4);
}

struct Buffer {
    Overlapped overlapped;
    uint32_t bytes = 0;
    DriverRecord record{};
    Event event;
};

// Takes frames in posting order until `want` marked frames came or nothing more arrives.
std::map<uint32_t, std::pair<uint32_t, uint64_t>> Collect(PacketHandle handle, std::vector<Buffer>& ring,
                                                          size_t& current, size_t want) {
    std::map<uint32_t, std::pair<uint32_t, uint64_t>> marked; // marker -> (length, sequence)
    while (marked.size() < want) {
        Buffer& buffer = ring[current];
        if (!test::WaitFor(buffer.event, 2s)) break;
        const DriverRecord& record = buffer.record;
        if (record.capturedLength >= 18 && record.data[12] == 0x88 && record.data[13] == 0xB5) {
            uint32_t marker = uint32_t(record.data[14]) << 24 | record.data[15] << 16 | record.data[16] << 8 |
                              record.data[17];
            EXPECT_TRUE(
                marked.emplace(marker, std::make_pair(record.originalLength, record.sequence)).second);
        }
        EXPECT_EQ(W32N_PacketRead(handle, &buffer.record, &buffer.bytes, &buffer.overlapped, 0), 0);
        current = (current + 1) % ring.size();
    }
    return marked;
}

TEST(LiveCapture, VethFramesArriveWholeCountedAndOnlyWhileAccepted) {
    if (geteuid() != 0)
        GTEST_SKIP() << "live capture needs root to create a network namespace and a veth pair";
    test::VethPair veth;
    if (!veth.Ready()) GTEST_SKIP() << "cannot create a network namespace with a veth pair here";

    PacketHandle handle = W32N_OpenAdapter(("\\Device\\" + veth.Local()).c_str());
    ASSERT_NE(handle, kInvalidPacketHandle) << W32N_GetLastError();

    uint8_t address[32] = {};
    ASSERT_EQ(Request(handle, NdisRequest::kQuery, ndis::kOid8023CurrentAddress, address, 32), 0u);
    auto mac = test::SysfsMac(veth.Local());
    EXPECT_TRUE(std::equal(mac.begin(), mac.end(), address));
    uint32_t word = 0;
    ASSERT_EQ(Request(handle, NdisRequest::kQuery, ndis::kOidMaximumTotalSize, &word, 4), 0u);
    EXPECT_EQ(word, 1514u);
    ASSERT_EQ(Request(handle, NdisRequest::kQuery, ndis::kOidLinkSpeed, &word, 4), 0u);
    EXPECT_EQ(uint64_t(word) * 100, 10000000000ULL);
    char vendor[80] = {};
    ASSERT_EQ(Request(handle, NdisRequest::kQuery, ndis::kOidVendorDescription, vendor, 80), 0u);
    EXPECT_STREQ(vendor, "veth");

    std::vector<Buffer> ring(16);
    for (auto& buffer : ring) {
        buffer.overlapped.event = &buffer.event;
        ASSERT_EQ(W32N_PacketRead(handle, &buffer.record, &buffer.bytes, &buffer.overlapped, 0), 0);
    }
    size_t current = 0;

    // Nothing is taken before the filter opens.
    veth.SendFromPeer({test::MakeEthernetFrame(60, 999, mac.data())});
    ASSERT_EQ(SetFilter(handle, ndis::kFilterDirectedPromiscuous), 0u);

    std::vector<std::vector<uint8_t>> fromPeer, fromLocal;
    std::map<uint32_t, uint32_t> sizes;
    for (uint32_t i = 0; i < 40; ++i) {
        size_t size = 60 + (i * 97) % 1455;
        fromPeer.push_back(test::MakeEthernetFrame(size, i, i % 2 ? kForeignMac : mac.data()));
        sizes[i] = uint32_t(size);
    }
    for (uint32_t i = 100; i < 110; ++i) {
        fromLocal.push_back(test::MakeEthernetFrame(100 + i, i, kForeignMac, mac.data()));
        sizes[i] = 100 + i;
    }
    veth.SendFromPeer(fromPeer);
    veth.SendFromLocal(fromLocal);

    auto marked = Collect(handle, ring, current, sizes.size());
    ASSERT_EQ(marked.size(), sizes.size());
    EXPECT_FALSE(marked.count(999)) << "a frame sent while nothing was accepted arrived";
    uint64_t first = UINT64_MAX, last = 0;
    for (const auto& [marker, got] : marked) {
        SCOPED_TRACE(marker);
        EXPECT_EQ(got.first, sizes[marker]);
        first = std::min(first, got.second);
        last = std::max(last, got.second);
    }
    EXPECT_EQ(last - first + 1, marked.size()) << "frames were lost";

    ASSERT_EQ(SetFilter(handle, 0), 0u);
    veth.SendFromPeer({test::MakeEthernetFrame(60, 1000, mac.data())});
    ASSERT_EQ(SetFilter(handle, 0), 0u);
    EXPECT_FALSE(test::WaitFor(ring[current].event, 200ms)) << "a frame arrived while paused";
    EXPECT_EQ(W32N_CloseAdapter(handle), 0);
}

TEST(LiveCapture, OpenWithoutRawCapabilityFailsWithEperm) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to drop a capability it holds";
    test::VethPair veth;
    if (!veth.Ready()) GTEST_SKIP() << "cannot create a network namespace with a veth pair here";
    PacketHandle handle;
    int error;
    {
        test::WithoutRawCapability without;
        handle = W32N_OpenAdapter(("\\Device\\" + veth.Local()).c_str());
        error = W32N_GetLastError();
    }
    EXPECT_EQ(handle, kInvalidPacketHandle);
    EXPECT_EQ(error, EPERM);
}

} // namespace
} // namespace vq
