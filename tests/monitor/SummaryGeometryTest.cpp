#include "MonitorTestSupport.h"
#include "monitor/MonitorControlMessage.h"
#include "monitor/MonitorSummary.h"
#include "runtime/TimeUnits.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace vq {
namespace {

// The main thread: keeps the ring's shape from the start answer and counts the answers.
class KeepingApp : public HeadlessApp {
public:
    int answers = 0;

    void WaitForAnswers(int count) {
        while (answers < count)
            PumpMessage();
    }

protected:
    void OnThreadMessage(std::uint32_t, ThreadMessage* message) override {
        if (!message->Receive()) return;
        if (auto* start = dynamic_cast<MonitorControlStartMessage*>(message))
            TheMonitorGlobals().m_RingGeometry.Keep(start->GetGeometry());
        if (dynamic_cast<MonitorControlMessage*>(message)) ++answers;
        if (message->Complete()) delete message;
    }
};

// A requester builds its summaries on its own thread while the monitor thread makes, renews and
// drops its live data set: what it takes of the ring is the copy the main thread keeps.
TEST(SummaryGeometryTest, SummariesBuiltAwayFromTheMonitorTakeTheKeptRingShape) {
    ScopedEngineGlobals engine;
    KeepingApp app;
    ASSERT_TRUE(app.Register());
    TheMonitorGlobals().m_AdaptersFactory = [](uint32_t slots) {
        return std::make_unique<FakeAdapters>(slots);
    };

    std::atomic<bool> done{false};
    std::atomic<int> built{0};
    std::atomic<int> wrong{0};
    int owner = 0;
    std::thread requester([&] {
        while (!done.load()) {
            MonitorSummary summary(&owner, SOURCE_LIVE_RING, SCOPE_TUPLES, TimeSpan(5, Unit::Minutes), 0);
            summary.AddPeriod(TimeSpan(8, Unit::Hours));
            const bool right =
                summary.GetIntervalLength().GetTicks() == TimeSpan(300'000, Unit::Milliseconds).GetTicks() &&
                summary.GetSlotCount() == 97 && summary.GetPeriodList()->GetAt(0).GetPeriod() == 96;
            wrong += right ? 0 : 1;
            ++built;
        }
    });
    for (int cycle = 0; cycle < 10; ++cycle) {
        SCOPED_TRACE(cycle);
        engine.Get().m_State.m_ShuttingDown = false;
        auto monitor = std::make_unique<Monitor>(&app, TimeSpan(8, Unit::Hours));
        ASSERT_TRUE(StartWorkerThread(*monitor));
        ASSERT_TRUE((new MonitorControlStartMessage(true, true))->Send(monitor.get()));
        app.WaitForAnswers(2 * cycle + 1);
        ASSERT_TRUE((new MonitorControlRestartMessage(true, true))->Send(monitor.get()));
        app.WaitForAnswers(2 * cycle + 2);
        StopWorkerThread(monitor);
    }
    while (built.load() < 100)
        std::this_thread::yield();
    done = true;
    requester.join();
    EXPECT_EQ(wrong.load(), 0);
    DrainQueue();
}

} // namespace
} // namespace vq
