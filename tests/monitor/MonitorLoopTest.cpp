#include "../netmodel/ModelFixtures.h"
#include "MonitorTestSupport.h"
#include "monitor/MonitorAction.h"
#include "monitor/MonitorActionPool.h"
#include "netmodel/Traffic.h"
#include "platform/sys/Heap.h"
#include "platform/sys/MemoryStatus.h"
#include "platform/thread/QueueRegistry.h"
#include "runtime/TimeUnits.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

constexpr std::uint32_t kPlain = 0x0404;

// A monitor pumped on the test thread; handled messages, serviced slots and ticks go to one log.
class LoopMonitor : public Monitor {
public:
    explicit LoopMonitor(ThreadObject* main) : Monitor(main, TimeSpan(8, Unit::Hours)) {}

    void Attach() {
        BindToCurrentThread();
        InitInstance();
        Adapters().onService = [this](int32_t slot) { log.push_back("slot " + std::to_string(slot)); };
    }
    void Detach() { ExitInstance(); }
    FakeAdapters& Adapters() { return static_cast<FakeAdapters&>(*GetAdapterSet()); }

    void Update(const Timestamp& now) override {
        log.push_back("tick");
        ticks.push_back(now);
        Monitor::Update(now);
    }
    void OnMemoryTimer(const Timestamp& now) override {
        memoryTicks.push_back(now);
        Monitor::OnMemoryTimer(now);
    }

    std::vector<std::string> log;
    std::vector<Timestamp> ticks;
    std::vector<Timestamp> memoryTicks;

protected:
    void OnThreadMessage(const QueueEntry& entry) override {
        if (entry.message == kPlain)
            log.push_back("m" + std::to_string(entry.wParam));
        else
            Monitor::OnThreadMessage(entry);
    }
};

class MonitorLoopTest : public ::testing::Test {
protected:
    MonitorLoopTest() {
        TheMonitorGlobals().m_AdaptersFactory = [](uint32_t slots) {
            return std::make_unique<FakeAdapters>(slots);
        };
        monitor.Attach();
    }
    ~MonitorLoopTest() override {
        monitor.Detach();
        SetMemoryProbe({});
        SetHeapCompactor({});
        DrainQueue();
    }

    void PostPlain(std::uintptr_t n) { PostThreadMessage(CurrentThreadId(), kPlain, n, 0); }
    void Pump(int times) {
        for (int i = 0; i < times; ++i)
            ASSERT_TRUE(monitor.PumpMessage());
    }
    // Pumps what the queue holds now, timers included.
    void PumpReady() {
        QueueEntry e;
        while (MessageQueue::Current().Peek(e, TargetFilter::Any(), {}, PeekKeep))
            monitor.PumpMessage();
    }
    void Advance(std::int64_t ms) {
        clock.AdvanceMilliseconds(ms);
        PumpReady();
    }
    std::int64_t Ms(const Timestamp& t) const {
        return std::int64_t(t.GetTicks() - EngineTestClock::kStart) / 10'000;
    }
    std::vector<std::int64_t> MsOf(const std::vector<Timestamp>& times) const {
        std::vector<std::int64_t> ms;
        for (const Timestamp& t : times)
            ms.push_back(Ms(t));
        return ms;
    }
    int WaitOnce() {
        QueueEntry message;
        int32_t slot = -1;
        return monitor.GetMessageOrPacket(message, slot, 0);
    }

    EngineTestClock clock;
    ScopedEngineGlobals engine;
    ReportingApp app;
    LoopMonitor monitor{&app};
};

TEST_F(MonitorLoopTest, MessagesComeOneByOneBeforeTheLowestSignalledSlot) {
    FakeAdapters& adapters = monitor.Adapters();
    adapters.m_Receiving = true;
    adapters.m_AdapterReceiving = {true};
    adapters.Register(3, 0);
    adapters.Register(7, 0);
    adapters.Signal(7);
    adapters.Signal(3);
    adapters.onService = [&](int32_t slot) {
        monitor.log.push_back("slot " + std::to_string(slot));
        if (slot == 3) PostPlain(4);
    };
    for (std::uintptr_t n : {1, 2, 3})
        PostPlain(n);
    Pump(6);
    EXPECT_EQ(monitor.log, (std::vector<std::string>{"m1", "m2", "m3", "slot 3", "m4", "slot 7"}));
}

TEST_F(MonitorLoopTest, ADueTickComesAfterQueuedMessagesAndBeforeSlots) {
    FakeAdapters& adapters = monitor.Adapters();
    adapters.m_Receiving = true;
    adapters.m_AdapterReceiving = {true};
    adapters.Register(0, 0);
    monitor.StartTick();
    clock.AdvanceMilliseconds(500);
    adapters.Signal(0);
    PostPlain(1);
    Pump(3);
    EXPECT_EQ(monitor.log, (std::vector<std::string>{"m1", "tick", "slot 0"}));
}

TEST_F(MonitorLoopTest, TheWaitCoversOnlyRegisteredSlotsOfReceivingAdapters) {
    struct Case {
        const char* name;
        bool setReceiving;
        std::vector<bool> adapterReceiving;
        int32_t signalled;
        int expected;
    };
    const Case cases[] = {
        {"before any adapter starts", false, {true, true}, 5, Monitor::WAIT_TIMEOUT},
        {"adapter not receiving", true, {true, false}, 20, Monitor::WAIT_TIMEOUT},
        {"receiving adapter", true, {true, false}, 5, Monitor::WAIT_EVENT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DrainQueue();
        FakeAdapters& adapters = static_cast<FakeAdapters&>(*monitor.GetAdapterSet());
        adapters.m_Receiving = c.setReceiving;
        adapters.m_AdapterReceiving = c.adapterReceiving;
        // Slots 5 and 6 belong to adapter 0, 20 and 21 to adapter 1; every other slot is unregistered.
        for (int32_t slot : {5, 6})
            adapters.Register(slot, 0);
        for (int32_t slot : {20, 21})
            adapters.Register(slot, 1);
        adapters.Signal(c.signalled);
        QueueEntry message;
        int32_t slot = -1;
        EXPECT_EQ(monitor.GetMessageOrPacket(message, slot, 0), c.expected);
        if (c.expected == Monitor::WAIT_EVENT) {
            EXPECT_EQ(slot, c.signalled);
        }
    }
    app.PumpPending();
    EXPECT_TRUE(app.reports.empty());
}

TEST_F(MonitorLoopTest, WhileShuttingDownMessagesAreTakenUnhandledAndQuitEndsTheLoop) {
    PostPlain(1);
    engine.Get().m_State.m_ShuttingDown = true;
    PostPlain(2);
    Pump(2);
    EXPECT_TRUE(monitor.log.empty());
    EXPECT_EQ(WaitOnce(), Monitor::WAIT_TIMEOUT);
    PostThreadMessage(CurrentThreadId(), WM_QUIT, 0, 0);
    EXPECT_FALSE(monitor.PumpMessage());
}

TEST_F(MonitorLoopTest, TheTickFallsOnTheUpdateGridAtLeastHalfAStepAway) {
    struct Case {
        std::int64_t armedAt;
        std::int64_t firstTick;
    };
    // The clock starts on a whole second, so these stand for 10:00:00.300 and 10:00:00.100.
    for (const Case& c : {Case{300, 1000}, Case{100, 500}}) {
        SCOPED_TRACE(c.armedAt);
        ScopedEngineGlobals fresh;
        EngineTestClock local;
        TheMonitorGlobals().m_AdaptersFactory = [](uint32_t slots) {
            return std::make_unique<FakeAdapters>(slots);
        };
        LoopMonitor m(&app);
        m.Attach();
        const std::int64_t start = Ms(Timestamp::Now());
        local.AdvanceMilliseconds(c.armedAt);
        m.StartTick();
        for (int i = 0; i < 30; ++i) {
            local.AdvanceMilliseconds(50);
            QueueEntry e;
            while (MessageQueue::Current().Peek(e, TargetFilter::Any(), {}, PeekKeep))
                m.PumpMessage();
            if (i == 10) m.StartTick();
        }
        std::vector<std::int64_t> expected;
        for (std::int64_t t = c.firstTick; t <= c.armedAt + 1500; t += 500)
            expected.push_back(start + t);
        EXPECT_EQ(MsOf(m.ticks), expected);
        m.Detach();
        DrainQueue();
    }
}

TEST_F(MonitorLoopTest, TheDataSetGetsTheAdapterSetAtStartAndTheLastSampleOnEachTick) {
    ScopedEngineGlobals fresh;
    TheMonitorGlobals().m_AdaptersFactory = [](uint32_t slots) {
        return std::make_unique<FakeAdapters>(slots);
    };
    TheMonitorGlobals().m_TrafficFactory = CountingFactory();
    LoopMonitor m(&app);
    m.Attach();
    const ActiveDataSet& data = *m.GetDataSet();
    EXPECT_EQ(StoreOf(data.GetTotal()).bound, m.GetAdapterSet());
    EXPECT_EQ(StoreOf(*data.GetCurrent()).bound, m.GetAdapterSet());
    m.StartTick();
    for (int i = 0; i < 4; ++i) {
        clock.AdvanceMilliseconds(500);
        QueueEntry e;
        while (MessageQueue::Current().Peek(e, TargetFilter::Any(), {}, PeekKeep))
            m.PumpMessage();
    }
    // The running step's store moves over to the last sample on each tick, so the two take turns.
    EXPECT_EQ(StoreOf(data.GetLastSample()).updated.size() + StoreOf(m.GetDataSet()->GetLatest()).updated.size(),
              m.ticks.size());
    EXPECT_FALSE(m.ticks.empty());
    m.Detach();
    DrainQueue();
}

TEST_F(MonitorLoopTest, AfterAStallTheRingCatchesUpOneIntervalPerTick) {
    monitor.StartTick();
    HistoryBuffer& ring = *monitor.GetDataSet()->GetRing();
    const std::int64_t firstEnd = Ms(ring.GetEndTime());
    Advance(firstEnd - 500);
    ASSERT_EQ(ring.GetCurrent(), 1);
    clock.AdvanceMilliseconds(7 * 60'000);
    std::vector<int32_t> currents;
    for (int i = 0; i < 4; ++i) {
        PumpReady();
        currents.push_back(ring.GetCurrent());
        clock.AdvanceMilliseconds(500);
    }
    EXPECT_EQ(currents, (std::vector<int32_t>{2, 3, 3, 3}));
    EXPECT_EQ(Ms(ring.GetEndTime()), firstEnd + 2 * 300'000);
}

// Notes, when its pool ticks it, its name, the frames the current interval holds and the slot.
class TickProbe : public MonitorAction {
public:
    TickProbe(const void* id, std::string name, const ActiveDataSet& data, std::vector<std::string>& log)
        : MonitorAction(id, SOURCE_LIVE, SCOPE_DATA_SET, TARGET_CURRENT, DATA_PERIODIC, TimeSpan(), 0),
          m_Name(std::move(name)), m_Data(data), m_Log(log) {}

    bool OnTick(const Timestamp&) override {
        const Traffic& current = *m_Data.GetCurrent()->GetTraffic()->GetConversations();
        m_Log.push_back(m_Name + " " + std::to_string(current.GetCount()) + " in slot " +
                        std::to_string(m_Data.GetRing()->GetCurrent()));
        return true;
    }
    bool SendUpdate() override { return true; }
    bool SendInitialize() override { return true; }
    std::unique_ptr<MonitorAction> Clone(std::size_t) const override { return nullptr; }
    std::unique_ptr<MonitorActionElement> CreateElement(const MonitorActionElement&) const override {
        return nullptr;
    }

private:
    std::string m_Name;
    const ActiveDataSet& m_Data;
    std::vector<std::string>& m_Log;
};

TEST_F(MonitorLoopTest, EachTickMergesTheStepThenRunsThePoolsInOrderBeforeTheIntervalCloses) {
    MonitorActionPools& pools = TheMonitorGlobals().m_Pools;
    const ActiveDataSet& data = *monitor.GetDataSet();
    std::vector<std::string> seen;
    // Summaries are left out: the interval's end hands the summary pool's actions their new cache.
    const char* names[] = {"alarm", "trend", "conversation"};
    int ids[3] = {};
    for (int pool = TupleOfferSink::Conversation; pool >= 0; --pool)
        pools.Get(TupleOfferSink::Pool(pool))
            .Add(std::make_unique<TickProbe>(&ids[pool], names[pool], data, seen));
    monitor.StartTick();
    const std::int64_t end = Ms(data.GetRing()->GetEndTime());
    Advance(end - 1000 - Ms(Timestamp::Now()));
    seen.clear();

    monitor.GetDataSet()->AddPacket(
        test::IpFrame("00:00:00:00:00:01", "10.0.0.7", "00:00:00:00:00:02", "10.0.0.1"));
    Advance(500);
    monitor.GetDataSet()->AddPacket(
        test::IpFrame("00:00:00:00:00:01", "10.0.0.8", "00:00:00:00:00:02", "10.0.0.1"));
    Advance(500);
    EXPECT_EQ(seen, (std::vector<std::string>{"alarm 1 in slot 1", "trend 1 in slot 1",
                                              "conversation 1 in slot 1", "alarm 2 in slot 1",
                                              "trend 2 in slot 1", "conversation 2 in slot 1"}));
    EXPECT_EQ(data.GetRing()->GetCurrent(), 2);
}

TEST_F(MonitorLoopTest, MemoryLevelsCompactOnceAndOnlyTheCriticalOnePausesCapture) {
    struct Case {
        std::uint64_t available;
        std::uint32_t levelWhileTrimming;
        bool paused;
    };
    const Case cases[] = {
        {600 * 1024, Monitor::kLevelCompact, false},
        {524'288, Monitor::kLevelLow, false},
        {131'072, Monitor::kLevelCritical, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.available);
        ScopedEngineGlobals fresh;
        TheMonitorGlobals().m_AdaptersFactory = [](uint32_t slots) {
            return std::make_unique<FakeAdapters>(slots);
        };
        LoopMonitor m(&app);
        m.Attach();
        std::vector<std::uint32_t> trims;
        SetHeapCompactor([&] {
            trims.push_back(m.GetMemoryLevel());
            return true;
        });
        SetMemoryProbe([&] { return MemoryStatus{c.available}; });
        fresh.Get().m_State.m_CaptureActive = true;
        m.CheckMemory();
        EXPECT_EQ(trims, std::vector<std::uint32_t>{c.levelWhileTrimming});
        EXPECT_EQ(m.Adapters().pauses, c.paused ? 1 : 0);
        EXPECT_EQ(fresh.Get().m_State.m_CaptureActive.load(), !c.paused);
        EXPECT_EQ(fresh.Get().m_State.m_TraceSuppressed.load(), c.paused);
        EXPECT_EQ(m.GetMemoryLevel(), c.paused ? Monitor::kLevelCritical : 0u);
        EXPECT_EQ(m.GetMemoryTimer()->IsRunning(), c.paused);
        m.Detach();
        SetHeapCompactor({});
        DrainQueue();
    }
}

TEST_F(MonitorLoopTest, CapturePausedForMemoryResumesWhenMemoryIsBack) {
    SetHeapCompactor([] { return true; });
    std::uint64_t available = 100'000;
    SetMemoryProbe([&] { return MemoryStatus{available}; });
    engine.Get().m_State.m_CaptureActive = true;
    const std::int64_t start = Ms(Timestamp::Now());
    monitor.CheckMemory();
    ASSERT_FALSE(engine.Get().m_State.m_CaptureActive);
    for (std::int64_t step : {1000, 2000, 4000}) {
        Advance(step - 1);
        Advance(1);
    }
    EXPECT_EQ(MsOf(monitor.memoryTicks),
              (std::vector<std::int64_t>{start + 1000, start + 3000, start + 7000}));
    EXPECT_EQ(monitor.Adapters().resumes, 0);

    available = 131'073;
    Advance(8000);
    EXPECT_EQ(monitor.Adapters().resumes, 1);
    EXPECT_TRUE(engine.Get().m_State.m_CaptureActive);
    EXPECT_FALSE(engine.Get().m_State.m_TraceSuppressed);
    EXPECT_EQ(monitor.GetMemoryLevel(), 0u);
    EXPECT_FALSE(monitor.GetMemoryTimer()->IsRunning());
}

TEST_F(MonitorLoopTest, CapturePausedForAnotherReasonStaysPausedWhenMemoryIsFine) {
    SetMemoryProbe([] { return MemoryStatus{64 * 1024 * 1024}; });
    engine.Get().m_State.m_CaptureActive = false;
    monitor.CheckMemory();
    monitor.CheckMemory();
    EXPECT_EQ(monitor.Adapters().resumes, 0);
    EXPECT_FALSE(engine.Get().m_State.m_CaptureActive);
}

} // namespace
} // namespace vq
