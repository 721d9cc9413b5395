#include "FakeHistory.h"
#include "MonitorTestSupport.h"
#include "capture/Adapter.h"
#include "monitor/DatabaseCheckpoint.h"
#include "monitor/HistoryMessages.h"
#include "monitor/MonitorAdapters.h"
#include "platform/registry/Registry.h"
#include "platform/sys/DriverService.h"
#include "platform/thread/QueueRegistry.h"
#include "runtime/MessageIds.h"
#include "runtime/TimeUnits.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

constexpr std::uint32_t kOwnerTaken = 0x0405;

// Tells the main thread which checkpoint owner it took and how many adapters it opened.
class SignallingMonitor : public Monitor {
public:
    explicit SignallingMonitor(ThreadObject* main) : Monitor(main, TimeSpan(8, Unit::Hours)) {}

protected:
    void OnThreadMessage(const QueueEntry& entry) override {
        Monitor::OnThreadMessage(entry);
        if (entry.message == WM_Checkpoint_Install)
            PostThreadMessage(Engine().m_ThreadPool.GetMainThread()->GetThreadId(), kOwnerTaken,
                              GetCheckpointOwner(), GetAdapterSet()->GetAdapterCount());
    }
};

class RecordingDriverService : public DriverService {
public:
    bool OpenServiceManager() override { return Record("open manager", ""); }
    bool OpenDriverService(const std::string& name) override { return Record("open", name); }
    bool StopDriverService(const std::string& name) override { return Record("stop", name); }
    bool DeleteDriverService(const std::string& name) override { return Record("delete", name); }

    std::vector<std::string> calls;

private:
    bool Record(const char* call, const std::string& name) {
        calls.push_back(std::string(call) + " " + name);
        return true;
    }
};

class MonitorLifecycleTest : public ::testing::Test {
protected:
    MonitorLifecycleTest() { SetDriverService(&service); }
    ~MonitorLifecycleTest() override { SetDriverService(nullptr); }

    RecordingDriverService service;
};

TEST_F(MonitorLifecycleTest, StartStopCyclesTakeTheHistoryAsCheckpointOwnerAndLeaveNoThread) {
    const std::string file = vq::test::TestPath("VQ_CAPTURES_DIR") + "/tcpdump-tests/3560_CDP.pcap";
    SetMachineAdapterList(std::vector<std::string>{"\\Device\\replay:" + file + "?speed=100000000",
                                                   "\\Device\\replay:" + file + "?speed=1000000000"});
    for (int cycle = 0; cycle < 50; ++cycle) {
        SCOPED_TRACE(cycle);
        ScopedEngineGlobals engine;
        HeadlessApp app;
        MonitorGlobals& globals = TheMonitorGlobals();
        HistoryService* made = nullptr;
        globals.m_HistoryFactory = [&](const std::string& path, int32_t flags) {
            auto history = std::make_unique<FakeHistory>(path, flags);
            made = history.get();
            return std::unique_ptr<HistoryService>(std::move(history));
        };
        service.calls.clear();

        std::unique_ptr<Monitor> monitor = std::make_unique<SignallingMonitor>(&app);
        monitor->SetHistoryDatabase("history.vqh", 25);
        ASSERT_TRUE(StartWorkerThread(*monitor));
        QueueEntry taken;
        ASSERT_TRUE(MessageQueue::Current().Get(taken, TargetFilter::Any(), {kOwnerTaken, kOwnerTaken}));
        EXPECT_EQ(taken.wParam, reinterpret_cast<std::uintptr_t>(made));
        EXPECT_EQ(taken.lParam, 2);
        EXPECT_EQ(globals.GetHistoryDatabasePath(), "history.vqh");

        StopWorkerThread(monitor);
        EXPECT_EQ(engine.Get().m_ThreadPool.GetSize(), 1u);
        EXPECT_EQ(globals.m_Monitor.load(), nullptr);
        EXPECT_EQ(globals.m_History.load(), nullptr);
        EXPECT_EQ(service.calls, (std::vector<std::string>{"delete REVEZUD5", "delete REVEZUD5",
                                                           "stop REVEZUD5", "delete REVEZUD5"}));
        DrainQueue();
    }
    SetMachineAdapterList(std::nullopt);
}

TEST_F(MonitorLifecycleTest, WithoutAHistoryPathNoHistoryThreadStarts) {
    ScopedEngineGlobals engine;
    HeadlessApp app;
    int made = 0;
    TheMonitorGlobals().m_AdaptersFactory = [](uint32_t slots) {
        return std::make_unique<FakeAdapters>(slots);
    };
    TheMonitorGlobals().m_HistoryFactory = [&](const std::string& path, int32_t flags) {
        ++made;
        return std::unique_ptr<HistoryService>(std::make_unique<FakeHistory>(path, flags));
    };
    std::unique_ptr<Monitor> monitor = std::make_unique<Monitor>(&app, TimeSpan(8, Unit::Hours));
    ASSERT_TRUE(StartWorkerThread(*monitor));
    StopWorkerThread(monitor);
    EXPECT_EQ(made, 0);
    EXPECT_EQ(engine.Get().m_ThreadPool.GetSize(), 1u);
    DrainQueue();
}

} // namespace
} // namespace vq

namespace vq {
namespace {

TEST(MonitorAdaptersTest, TheWaitSlotsAreThoseOfReceivingAdaptersInSlotOrder) {
    ScopedEngineGlobals engine;
    const std::string file = vq::test::TestPath("VQ_CAPTURES_DIR") + "/tcpdump-tests/3560_CDP.pcap";
    SetMachineAdapterList(std::vector<std::string>{"\\Device\\replay:" + file + "?speed=10000000",
                                                   "\\Device\\replay:" + file + "?speed=100000000"});
    {
        MonitorAdapters adapters(Monitor::kEventSlots, nullptr);
        ASSERT_EQ(adapters.GetAdapterCount(), 2);
        EXPECT_EQ(adapters.GetLinkSpeed(1), 100'000'000u);
        std::vector<Event*> events;
        std::vector<int32_t> slots;
        adapters.CollectWaitSlots(events, slots);
        EXPECT_TRUE(slots.empty());

        ASSERT_TRUE(adapters.GetSet().Start({1}));
        adapters.CollectWaitSlots(events, slots);
        const Adapter& second = *adapters.GetSet().GetAdapter(1);
        ASSERT_EQ(slots.size(), std::size_t(second.GetSlotCount()));
        for (std::size_t i = 0; i < slots.size(); ++i) {
            EXPECT_EQ(slots[i], second.GetFirstSlot() + int32_t(i));
            EXPECT_EQ(events[i], adapters.GetSet().GetEvents()[std::size_t(slots[i])]);
        }
        adapters.GetSet().Stop({});
    }
    SetMachineAdapterList(std::nullopt);
}

} // namespace
} // namespace vq
