#include "ModelFixtures.h"
#include "netmodel/AppMacFilter.h"
#include "netmodel/Environment.h"
#include "netmodel/IntegrityText.h"
#include "runtime/EngineGlobals.h"
#include "runtime/HeadlessApp.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace vq {
namespace {

using namespace test;

constexpr const char* Station = "00:a0:c9:12:34:56";
constexpr const char* Server = "00:a0:c9:00:00:01";

class MacOnlyLearningTest : public ::testing::Test {
protected:
    ScopedEngineGlobals globals;
    HeadlessApp app;
    AppMacFilter filter{app};
    Environment model{0, {nullptr, &filter, nullptr}};

    void SetUp() override { app.SetMacOnlyReporting(true); }
};

TEST_F(MacOnlyLearningTest, UnconfiguredMacsAreLearnedOnceWithoutAddresses) {
    const auto frame = IpFrame(Station, "10.0.0.7", Server, "10.0.0.1");
    for (int i = 0; i < 10000; ++i)
        model.TupleForPacket(frame);
    ASSERT_EQ(model.GetHostTable().GetCount(), 2);
    for (const HostAddress* host : model.GetHostTable().GetHosts())
        EXPECT_EQ(host->GetValidVector(), HostAddress::MacValid);
    EXPECT_TRUE(model.CheckIntegrity(0, true)) << IntegrityText();

    // A configured device is learned in full from then on.
    app.AddMacFilterEntry(Station);
    HostAddress* station = model.GetHostTable().LearnSource(frame);
    EXPECT_TRUE(station->HasIp());
    EXPECT_TRUE(model.CheckIntegrity(0, true)) << IntegrityText();
}

TEST_F(MacOnlyLearningTest, ReverseOptionTestsTheOtherSide) {
    const auto frame = IpFrame(Station, "10.0.0.7", Server, "10.0.0.1");
    app.AddMacFilterEntry(Server);
    EXPECT_FALSE(filter.PassesMacFilter(frame, FrameView::Source));
    EXPECT_TRUE(filter.PassesMacFilter(frame, FrameView::Destination));
    app.SetMacOnlyReverse(true);
    EXPECT_TRUE(filter.PassesMacFilter(frame, FrameView::Source));
    EXPECT_FALSE(filter.PassesMacFilter(frame, FrameView::Destination));
    app.SetMacOnlyReporting(false);
    EXPECT_TRUE(filter.PassesMacFilter(frame, FrameView::Destination));
}

TEST_F(MacOnlyLearningTest, FilterChangedFromAnotherThreadWhileLearning) {
    std::atomic<bool> done{false};
    std::thread settings([&] {
        for (int i = 0; !done.load(); ++i) {
            if (i % 2 == 0)
                app.AddMacFilterEntry(Station);
            else
                app.RemoveMacFilterEntry(Station);
            app.SetMacOnlyReverse(i % 3 == 0);
        }
    });
    const auto frame = IpFrame(Station, "10.0.0.7", Server, "10.0.0.1");
    for (int i = 0; i < 10000; ++i)
        model.TupleForPacket(frame);
    done = true;
    settings.join();
    EXPECT_TRUE(model.CheckIntegrity(0, true)) << IntegrityText();
}

} // namespace
} // namespace vq
