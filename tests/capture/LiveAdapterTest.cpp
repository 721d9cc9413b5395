#include "capture/Adapter.h"
#include "capture/AdapterSet.h"
#include "tests/capture/CaptureTestSupport.h"
#include "tests/platform/packet/VethPair.h"

#include <gtest/gtest.h>
#include <map>

namespace vq {
namespace {

using test::AdapterListScope;
using test::RecordingReports;
using test::RecordingSink;

const uint8_t kForeignMac[6] = {0x02, 0, 0, 0, 0, 0x77};

TEST(LiveAdapter, VethFramesReachTheSinkWholeAndOnlyWhileCapturing) {
    if (geteuid() != 0)
        GTEST_SKIP() << "live capture needs root to create a network namespace and a veth pair";
    test::VethPair veth;
    if (!veth.Ready()) GTEST_SKIP() << "cannot create a network namespace with a veth pair here";
    AdapterListScope scope({"\\Device\\" + veth.Local()});
    RecordingReports reports;
    RecordingSink sink;
    AdapterSet set(48, reports, &sink);
    ASSERT_EQ(set.GetSize(), 1);
    const AdapterInfo& info = set.GetAdapter(0)->GetInfo();
    auto mac = test::SysfsMac(veth.Local());
    EXPECT_EQ(info.productName, veth.Local() + " (veth)");
    EXPECT_TRUE(std::equal(mac.begin(), mac.end(), info.currentAddress.begin()));
    EXPECT_EQ(info.ipAddressText, "10.213.7.1");
    EXPECT_EQ(info.ipMaskText, "255.255.255.0");
    EXPECT_EQ(info.maxTotalSize, 1514u);
    EXPECT_EQ(info.linkSpeed, 10000000000u);
    EXPECT_EQ(set.GetAdapter(0)->GetSlotCount(), 48);

    ASSERT_TRUE(set.Start({}));
    std::map<int64_t, uint32_t> sizes;
    std::vector<std::vector<uint8_t>> fromPeer, fromLocal;
    for (uint32_t i = 0; i < 60; ++i) {
        uint32_t size = 60 + (i * 131) % 1455;
        fromPeer.push_back(test::MakeEthernetFrame(size, i, i % 3 ? mac.data() : kForeignMac));
        sizes[i] = size;
    }
    for (uint32_t i = 500; i < 505; ++i) {
        fromLocal.push_back(test::MakeEthernetFrame(64, i, kForeignMac, mac.data()));
        sizes[i] = 64;
    }
    veth.SendFromPeer(fromPeer);
    veth.SendFromLocal(fromLocal);
    auto marked = [&] {
        size_t count = 0;
        for (const auto& frame : sink.frames)
            count += frame.marker >= 0 ? 1 : 0;
        return count;
    };
    test::ServiceUntil(set, [&] { return marked() == sizes.size(); });
    ASSERT_EQ(marked(), sizes.size());
    for (const auto& frame : sink.frames) {
        EXPECT_EQ(frame.lost, 0u);
        if (frame.marker < 0) continue;
        SCOPED_TRACE(frame.marker);
        ASSERT_TRUE(sizes.count(frame.marker));
        EXPECT_EQ(frame.length, sizes[frame.marker]);
        EXPECT_EQ(frame.frameLength, sizes[frame.marker] + 4);
        sizes.erase(frame.marker);
    }

    set.Pause({});
    size_t beforePause = sink.frames.size();
    veth.SendFromPeer({test::MakeEthernetFrame(100, 900, mac.data())});
    test::ServiceUntil(
        set, [] { return false; }, 200);
    EXPECT_EQ(sink.frames.size(), beforePause) << "a frame arrived while paused";
}

TEST(LiveAdapter, OpenWithoutRawCapabilityIsReportedWithTheErrorNumber) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to drop a capability it holds";
    test::VethPair veth;
    if (!veth.Ready()) GTEST_SKIP() << "cannot create a network namespace with a veth pair here";
    AdapterListScope scope({"\\Device\\" + veth.Local()});
    RecordingReports reports;
    test::WithoutRawCapability without;
    AdapterSet set(48, reports);
    EXPECT_EQ(set.GetSize(), 0);
    const auto* report = reports.Find("W32N_OpenAdapter:");
    ASSERT_TRUE(report);
    EXPECT_EQ(report->text, "W32N_OpenAdapter: 1 Operation not permitted");
    EXPECT_EQ(report->severity, 7);
    EXPECT_EQ(report->className, "WD_Adapter");
    EXPECT_EQ(report->methodName, "Open");
}

} // namespace
} // namespace vq
