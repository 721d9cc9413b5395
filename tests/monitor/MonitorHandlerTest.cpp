#include "../netmodel/ModelFixtures.h"
#include "FakeHistory.h"
#include "MonitorTestSupport.h"
#include "monitor/HistoryMessages.h"
#include "monitor/MonitorAction.h"
#include "monitor/MonitorActionMessage.h"
#include "monitor/MonitorAlarm.h"
#include "monitor/MonitorControlMessage.h"
#include "monitor/MonitorConversation.h"
#include "monitor/MonitorSummary.h"
#include "monitor/MonitorTrend.h"
#include "netmodel/AdapterList.h"
#include "netmodel/Environment.h"
#include "platform/thread/PlatformThread.h"
#include "platform/thread/QueueRegistry.h"
#include "runtime/GeneralThreadMessage.h"
#include "runtime/MessageIds.h"
#include "runtime/TimeUnits.h"

#include <array>
#include <atomic>
#include <functional>
#include <future>
#include <gtest/gtest.h>

namespace vq {
namespace {

using Pool = TupleOfferSink::Pool;

MonitorActionPool& PoolOf(Pool pool) {
    return TheMonitorGlobals().m_Pools.Get(pool);
}

struct KindLog {
    std::array<std::atomic<int>, 4> deleted{};
    std::array<std::atomic<int>, 4> resets{};
};

// Behaves towards the handlers as the real kinds do: answers when started and on every tick,
// leaves its pool when uninstalled; the summary-like one answers again after a reset.
class TestKind : public MonitorAction {
public:
    enum Fault { NONE, LEAVE_UNINSTALLED, NO_MEMORY_FOR_ADAPTERS, NO_MEMORY_TO_START };

    TestKind(Pool kind, const void* identifier, KindLog& log, Fault fault = NONE,
             int32_t source = SOURCE_LIVE)
        : MonitorAction(identifier, source, SCOPE_DATA_SET, TARGET_TOTAL, DATA_PERIODIC, TimeSpan(), 0),
          m_Kind(kind), m_Log(log), m_Fault(fault) {}
    ~TestKind() override { ++m_Log.deleted[m_Kind]; }

    void SetAdapters(const CaptureAdapters& adapters) override {
        if (m_Fault == NO_MEMORY_FOR_ADAPTERS) throw std::bad_alloc();
        MonitorAction::SetAdapters(adapters);
    }
    bool Start(DataSet* dataSet) override {
        if (m_Fault == NO_MEMORY_TO_START) throw std::bad_alloc();
        const bool started = MonitorAction::Start(dataSet);
        if (m_Fault == LEAVE_UNINSTALLED) SetInstalled(false);
        return started;
    }
    bool Reset(bool) override {
        ++m_Log.resets[m_Kind];
        if (m_Kind == Pool::Summary) SendInitialize();
        return true;
    }
    void Uninstall() override {
        PoolOf(m_Kind).Remove(*this);
        delete this;
    }
    bool SendInitialize() override { return Answer(true); }
    bool SendUpdate() override { return Answer(false); }
    std::unique_ptr<MonitorAction> Clone(std::size_t) const override { return nullptr; }
    std::unique_ptr<MonitorActionElement> CreateElement(const MonitorActionElement&) const override {
        return nullptr;
    }

private:
    template <typename Initialize, typename Update>
    ThreadMessage* Make(bool initialize, MonitorDataReply* reply) {
        if (initialize) return new Initialize(reply, false, true);
        return new Update(reply, false, true);
    }
    bool Answer(bool initialize) {
        auto* reply =
            new MonitorDataReply(GetIdentifier(), initialize ? MODE_INITIALIZE : MODE_UPDATE, TimeRange());
        ThreadMessage* message = nullptr;
        switch (m_Kind) {
        case Pool::Alarm:
            message = Make<MonitorAlarmInitializeMessage, MonitorAlarmUpdateMessage>(initialize, reply);
            break;
        case Pool::Trend:
            message = Make<MonitorTrendInitializeMessage, MonitorTrendUpdateMessage>(initialize, reply);
            break;
        case Pool::Conversation:
            message = Make<MonitorConversationInitializeMessage, MonitorConversationUpdateMessage>(initialize,
                                                                                                   reply);
            break;
        default:
            message = Make<MonitorSummaryInitializeMessage, MonitorSummaryUpdateMessage>(initialize, reply);
            break;
        }
        if (message->Send(GetReplyThread())) return true;
        delete message;
        return false;
    }

    Pool m_Kind;
    KindLog& m_Log;
    Fault m_Fault;
};

ThreadMessage* InstallRequest(MonitorAction* action, Pool kind) {
    switch (kind) {
    case Pool::Alarm:
        return new MonitorAlarmRequestMessage(action, false, true);
    case Pool::Trend:
        return new MonitorTrendRequestMessage(action, false, true);
    case Pool::Conversation:
        return new MonitorConversationRequestMessage(action, false, true);
    default:
        return new MonitorSummaryRequestMessage(action, false, true);
    }
}

ThreadMessage* CancelRequest(const void* identifier, Pool kind) {
    switch (kind) {
    case Pool::Alarm:
        return new MonitorAlarmCancelMessage(identifier, false, true);
    case Pool::Trend:
        return new MonitorTrendCancelMessage(identifier, false, true);
    case Pool::Conversation:
        return new MonitorConversationCancelMessage(identifier, false, true);
    default:
        return new MonitorSummaryCancelMessage(identifier, false, true);
    }
}

struct Received {
    std::uint32_t id;
    std::vector<uint16_t> adapters;
};

// The main thread: records what it accepts and keeps the ring's shape from the start answer.
class MainApp : public HeadlessApp {
public:
    std::vector<Received> received;
    std::vector<std::string> reports;

    std::vector<std::uint32_t> Ids() const {
        std::vector<std::uint32_t> ids;
        for (const Received& r : received)
            ids.push_back(r.id);
        return ids;
    }

protected:
    void OnThreadMessage(std::uint32_t id, ThreadMessage* message) override {
        if (!message->Receive()) return;
        Received record{id, {}};
        if (auto* control = dynamic_cast<MonitorControlMessage*>(message))
            record.adapters = control->GetAdapters();
        if (auto* start = dynamic_cast<MonitorControlStartMessage*>(message))
            TheMonitorGlobals().m_RingGeometry.Keep(start->GetGeometry());
        if (auto* report = dynamic_cast<NotificationThreadMessage*>(message))
            reports.push_back(report->GetText());
        // The live model's host announcements come whenever a frame teaches it a host.
        if (id != WM_State_Address) received.push_back(record);
        if (message->Complete()) delete message;
    }
};

class MonitorHandlerTest : public ::testing::Test {
protected:
    // Counting frames only, unless the real kinds need the live model's conversations.
    explicit MonitorHandlerTest(bool countOnly = true, bool withHistory = false) {
        app.Register();
        MonitorGlobals& globals = TheMonitorGlobals();
        if (countOnly) globals.m_TrafficFactory = CountingFactory();
        globals.m_AdaptersFactory = [this](uint32_t slots) {
            auto made = std::make_unique<FakeAdapters>(slots);
            made->SetCapable({true, true, false});
            made->adapterList = &adapterList;
            adapters = made.get();
            return std::unique_ptr<CaptureAdapters>(std::move(made));
        };
        monitor = std::make_unique<ProbeMonitor>(&app);
        if (withHistory) {
            globals.m_HistoryFactory = [this](const std::string&, int32_t) {
                auto made = std::make_unique<FakeHistory>();
                history = made.get();
                return std::unique_ptr<HistoryService>(std::move(made));
            };
            monitor->SetHistoryDatabase("fake.vqh", 25);
        }
        EXPECT_TRUE(StartWorkerThread(*monitor));
    }
    ~MonitorHandlerTest() override {
        StopWorkerThread(monitor);
        DrainQueue();
    }

    void WaitFor(std::uint32_t id) { ASSERT_TRUE(WaitForMain(id)); }
    void Post(std::function<void()>& work) { ASSERT_TRUE(PostToMonitor(*monitor, work)); }
    // Runs on the monitor thread once it handled everything sent before.
    void OnMonitor(std::function<void()> work) { ASSERT_TRUE(RunOnMonitor(*monitor, std::move(work))); }
    // The monitor handles what was sent to it, then the main thread what it got.
    void Settle() {
        OnMonitor([] {});
        app.PumpPending();
    }
    void Send(ThreadMessage* message) { ASSERT_TRUE(message->Send(monitor.get())); }
    void StartMonitor() {
        Send(new MonitorControlStartMessage(true, true));
        Settle();
        app.received.clear();
    }
    void Install(Pool kind, const void* identifier, TestKind::Fault fault = TestKind::NONE) {
        Send(InstallRequest(new TestKind(kind, identifier, log, fault), kind));
    }
    void InstallAllKinds() {
        for (int kind = 0; kind < Pool::PoolCount; ++kind)
            Install(Pool(kind), &ids[kind]);
    }
    void Tick() { ASSERT_TRUE(TickMonitor(clock, *monitor)); }
    static Environment& Live() { return *TheMonitorGlobals().m_Environment; }

    EngineTestClock clock;
    // Outlive the engine state, whose pools and model may still refer to them at its end.
    KindLog log;
    int ids[Pool::PoolCount] = {};
    TestAdapterList adapterList;
    ScopedEngineGlobals engine;
    MainApp app;
    FakeAdapters* adapters = nullptr;
    FakeHistory* history = nullptr;
    std::unique_ptr<Monitor> monitor;
};

class MonitorHistoryHandlerTest : public MonitorHandlerTest {
protected:
    MonitorHistoryHandlerTest() : MonitorHandlerTest(true, true) {}

    std::uintptr_t RequestIdentifier(std::size_t index) {
        EXPECT_GT(history->WaitFor(WM_Database_Request, index + 1), index);
        return history->Taken<HistoryDatabaseRequestMessage>(WM_Database_Request)[index]
            ->GetRequest()
            ->m_Identifier;
    }
    void Reply(std::uintptr_t identifier) {
        Send(new HistoryDatabaseReplyMessage(
            std::make_unique<DatabaseReply>(identifier, nullptr, std::make_unique<Environment>(uint8_t(0))),
            false, true));
    }
};

TEST_F(MonitorHandlerTest, StartAnswersTheCapturingAdaptersInIndexOrderWithTheRingShape) {
    EXPECT_EQ(TheMonitorGlobals().m_RingGeometry.Get().m_SlotCount, 97);
    auto* start = new MonitorControlStartMessage(true, true);
    for (uint16_t index : {2, 1, 0})
        start->AddAdapter(index);
    Send(start);
    Send(new MonitorControlStartMessage(false, true));
    Settle();

    ASSERT_EQ(app.Ids(), std::vector<std::uint32_t>{WM_Monitor_Start});
    EXPECT_EQ(app.received[0].adapters, (std::vector<uint16_t>{0, 1}));
    const RingGeometry kept = TheMonitorGlobals().m_RingGeometry.Get();
    EXPECT_EQ(kept.m_Interval.GetTicks(), TimeSpan(300'000, Unit::Milliseconds).GetTicks());
    EXPECT_EQ(kept.m_SlotCount, 97);
    OnMonitor([&] {
        EXPECT_EQ(adapters->calls, (std::vector<std::string>{"start 2,1,0", "start"}));
        EXPECT_TRUE(monitor->GetTickTimer()->IsEnabled());
    });
    // The first tick falls on the next update boundary; the second start did not move it.
    Tick();
}

// What another thread builds reads the main thread's copy, never the monitor's live ring.
TEST_F(MonitorHandlerTest, OtherThreadsReadTheKeptRingShapeWhileTheMonitorStartsRestartsAndStops) {
    std::atomic<bool> done{false};
    std::atomic<int> reads{0};
    std::atomic<int> wrong{0};
    RingGeometryCopy& kept = TheMonitorGlobals().m_RingGeometry;
    PlatformThread builder;
    ASSERT_TRUE(builder.Start([&] {
        const int64_t interval = TimeSpan(300'000, Unit::Milliseconds).GetTicks();
        while (!done.load()) {
            const RingGeometry geometry = kept.Get();
            if (geometry.m_Interval.GetTicks() != interval || geometry.m_SlotCount != 97) ++wrong;
            ++reads;
        }
    }));
    StartMonitor();
    Send(new MonitorControlRestartMessage(true, true));
    Settle();
    Send(new MonitorControlStartMessage(true, true));
    Settle();
    StopWorkerThread(monitor);
    while (reads.load() == 0) {
    }
    done = true;
    builder.Join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(app.Ids(), (std::vector<std::uint32_t>{WM_Monitor_Restart, WM_Monitor_Start}));
}

TEST_F(MonitorHandlerTest, InstallAndCancelReachThePoolOfEachKind) {
    StartMonitor();
    const std::uint32_t initializeIds[] = {WM_Alarm_Initialize, WM_Trend_Initialize,
                                           WM_Conversation_Initialize, WM_Summary_Initialize};
    for (int k = 0; k < Pool::PoolCount; ++k) {
        const Pool kind = Pool(k);
        SCOPED_TRACE(k);
        app.received.clear();
        Install(kind, &ids[k]);
        Send(CancelRequest(&ids[(k + 1) % Pool::PoolCount], kind));
        Settle();
        EXPECT_EQ(app.Ids(), std::vector<std::uint32_t>{initializeIds[k]});
        OnMonitor([&] { EXPECT_NE(PoolOf(kind).Find(&ids[k]), nullptr); });

        // A second install under the identifier takes the first out completely.
        Install(kind, &ids[k]);
        Settle();
        EXPECT_EQ(log.deleted[k], 1);
        Send(CancelRequest(&ids[k], kind));
        Send(CancelRequest(&ids[k], kind));
        Settle();
        EXPECT_EQ(log.deleted[k], 2);
        OnMonitor([&] { EXPECT_EQ(PoolOf(kind).GetCount(), 0u); });
    }
}

TEST_F(MonitorHandlerTest, AnActionStartedButNotInstalledIsUninstalledAtOnce) {
    StartMonitor();
    Install(Pool::Trend, &ids[0], TestKind::LEAVE_UNINSTALLED);
    Settle();
    EXPECT_EQ(app.Ids(), std::vector<std::uint32_t>{WM_Trend_Initialize});
    EXPECT_EQ(log.deleted[Pool::Trend], 1);
    OnMonitor([&] { EXPECT_EQ(PoolOf(Pool::Trend).GetCount(), 0u); });
}

// Out of memory is reported and the request still completed: an action the pool never took is
// freed, one that failed to start stays installed.
TEST_F(MonitorHandlerTest, OutOfMemoryWhileInstallingIsReportedAndLeavesNoActionToNobody) {
    StartMonitor();
    Install(Pool::Conversation, &ids[0], TestKind::NO_MEMORY_FOR_ADAPTERS);
    Settle();
    EXPECT_EQ(app.reports, std::vector<std::string>{"CMemoryException"});
    EXPECT_EQ(log.deleted[Pool::Conversation], 1);

    Install(Pool::Alarm, &ids[1], TestKind::NO_MEMORY_TO_START);
    Settle();
    EXPECT_EQ(app.reports.size(), 2u);
    OnMonitor([&] {
        EXPECT_EQ(PoolOf(Pool::Conversation).GetCount(), 0u);
        EXPECT_NE(PoolOf(Pool::Alarm).Find(&ids[1]), nullptr);
    });
    EXPECT_EQ(log.deleted[Pool::Alarm], 0);
    EXPECT_EQ(engine.Get().m_MessagePool.GetSize(), 0u);
}

TEST_F(MonitorHandlerTest, ResetStartsTheDisplayActionsOverAndKeepsAlarmsRingAndLastSample) {
    StartMonitor();
    InstallAllKinds();
    OnMonitor([&] {
        ActiveDataSet& data = *monitor->GetDataSet();
        for (int i = 0; i < 3; ++i)
            static_cast<CountingStore*>(data.GetLatest().GetTraffic())->AddOne();
        data.Tick(Timestamp::Now());
        adapters->calls.clear();
    });
    app.PumpPending();
    app.received.clear();

    auto* reset = new MonitorControlResetMessage(true, true);
    reset->SetFlags(ActiveDataSet::FLAG_TOTAL);
    reset->AddAdapter(1);
    Send(reset);
    Settle();

    // The summary's new first answer follows the reset's answer.
    EXPECT_EQ(app.Ids(), (std::vector<std::uint32_t>{WM_Monitor_Reset, WM_Summary_Initialize}));
    EXPECT_EQ(app.received[0].adapters, std::vector<uint16_t>{1});
    EXPECT_EQ(log.resets[Pool::Alarm], 0);
    for (Pool kind : {Pool::Trend, Pool::Conversation, Pool::Summary})
        EXPECT_EQ(log.resets[kind], 1);
    OnMonitor([&] {
        const ActiveDataSet& data = *monitor->GetDataSet();
        EXPECT_EQ(CountOf(data.GetTotal()), 0);
        EXPECT_EQ(CountOf(data.GetLastSample()), 3);
        const HistoryBuffer& ring = *data.GetRing();
        EXPECT_EQ(CountOf(*ring.GetSlot(ring.GetCurrent())), 3);
        EXPECT_EQ(adapters->calls, (std::vector<std::string>{"pause 1", "after stop 1", "resume 1"}));
        EXPECT_EQ(PoolOf(Pool::Alarm).GetCount(), 1u);
    });
}

TEST_F(MonitorHandlerTest, RestartDropsEveryActionAndEveryMessageInFlightAndKeepsTicking) {
    StartMonitor();
    InstallAllKinds();
    OnMonitor([] {
        const test::FakeFrame frame =
            test::IpFrame("00:00:00:00:00:01", "10.0.0.7", "00:00:00:00:00:02", "10.0.0.1");
        ASSERT_NE(Live().TupleForPacket(frame), nullptr);
    });
    // Every kind's Initialize and first Update wait unread on the main thread.
    Tick();

    // Queued behind the restart while the monitor is busy: an install and, to the main thread, a
    // fixed report.
    std::promise<void> gate;
    std::function<void()> busy = [future = gate.get_future().share()] { future.wait(); };
    Post(busy);
    Send(new MonitorControlRestartMessage(true, true));
    KindLog late;
    Send(new MonitorTrendRequestMessage(new TestKind(Pool::Trend, &late, late), false, true));
    ASSERT_TRUE(SendNotification(&GetFixedReport(REPORT_MEMORY)));
    gate.set_value();
    WaitFor(kProbeRunDone);
    Send(CancelRequest(&ids[Pool::Trend], Pool::Trend));
    Settle();

    EXPECT_EQ(app.Ids(), (std::vector<std::uint32_t>{WM_General_Notify, WM_Monitor_Restart}));
    EXPECT_EQ(app.reports, std::vector<std::string>{"CMemoryException"});
    for (int kind = 0; kind < Pool::PoolCount; ++kind)
        EXPECT_EQ(log.deleted[kind], 1);
    EXPECT_EQ(late.deleted[Pool::Trend], 1);
    OnMonitor([&] {
        for (int kind = 0; kind < Pool::PoolCount; ++kind)
            EXPECT_EQ(PoolOf(Pool(kind)).GetCount(), 0u);
        std::size_t position = 0;
        EXPECT_EQ(Live().GetTuplePool().GetNextTuple(position), nullptr);
        EXPECT_EQ(Live().GetHostTable().GetCount(), 0);
        EXPECT_EQ(Live().GetInterfaceTable().GetCount(), 3);
        EXPECT_EQ(adapters->calls, (std::vector<std::string>{"start", "pause", "after stop", "resume"}));
        EXPECT_TRUE(monitor->GetTickTimer()->IsEnabled());
    });
    Tick();
    app.PumpPending();
    EXPECT_EQ(app.received.size(), 2u);
    EXPECT_EQ(engine.Get().m_MessagePool.GetSize(), 0u);
}

TEST_F(MonitorHandlerTest, AdapterCommandsActOnTheListedAdapters) {
    StartMonitor();
    OnMonitor([&] { adapters->calls.clear(); });
    const std::pair<ThreadMessage*, const char*> commands[] = {
        {new MonitorControlPauseMessage(false, true), "pause 2"},
        {new MonitorControlUnpauseMessage(false, true), "resume 2"},
        {new MonitorControlStartCaptureMessage(false, true), "capture on 2"},
        {new MonitorControlStopCaptureMessage(false, true), "capture off 2"},
        {new MonitorControlStopMessage(false, true), "stop 2"},
    };
    std::vector<std::string> expected;
    for (const auto& [message, call] : commands) {
        static_cast<MonitorControlMessage*>(message)->AddAdapter(2);
        Send(message);
        expected.push_back(call);
    }
    expected.push_back("after stop 2");
    Send(new MonitorControlLookupMessage(true, 7, false, true));
    Settle();
    OnMonitor([&] {
        EXPECT_EQ(adapters->calls, expected);
        EXPECT_TRUE(Live().GetMacTable().GetLookup());
        EXPECT_TRUE(Live().GetIpTable().GetLookup());
        EXPECT_TRUE(Live().GetIpxTable().GetLookup());
    });
    EXPECT_EQ(engine.Get().m_MessagePool.GetSize(), 0u);
}

TEST_F(MonitorHandlerTest, OptionMessagesSetClearOrKeepEachSwitch) {
    GlobalState& state = engine.Get().m_State;
    state.m_AnnounceOptions[5] = 1;
    auto* announce = new MonitorStateAnnounceMessage(1, false, true);
    announce->SetOption(1, 7);
    announce->SetOption(6, 2);
    Send(announce);
    auto* check = new MonitorStateIntegrityCheckMessage(2, false, true);
    check->SetOption(0, 1);
    check->SetOption(3, 1);
    Send(check);
    Settle();

    const uint8_t expectedAnnounce[] = {1, 1, 1, 1, 1, 1};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(state.m_AnnounceOptions[i], expectedAnnounce[i]) << i;
    EXPECT_EQ(state.m_AnnounceFlag, 0);
    const uint8_t expectedChecks[] = {1, 0, 0, 1, 0, 0, 0};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(state.m_IntegrityOptions[i], expectedChecks[i]) << i;

    auto* clear = new MonitorStateAnnounceMessage(0, false, true);
    clear->SetOption(1, 1);
    Send(clear);
    Settle();
    EXPECT_EQ(state.m_AnnounceOptions[0], 0);
    EXPECT_EQ(state.m_AnnounceFlag, 1);
}

TEST_F(MonitorHandlerTest, AnswersAndGeneralMessagesAreTakenAndFreedWithoutEffect) {
    StartMonitor();
    Send(new MonitorTrendUpdateMessage(new MonitorDataReply(nullptr, MODE_UPDATE, TimeRange()), false, true));
    Send(new MonitorAlarmUpdateMessage(nullptr, false, true));
    Send(new GeneralThreadMessage(WM_General_Command, 0, false, true));
    for (std::uintptr_t kind : {0, 1, 2, 3, 4, 5, 6, 9})
        Send(new GeneralThreadMessage(WM_General_Dump, kind, false, true));
    Send(new GeneralThreadMessage(WM_General_Reply, 42, true, true));
    // No history thread to take it: the log message is freed.
    Send(new GeneralThreadMessage(WM_Database_Log, 0, false, true));
    Settle();
    EXPECT_EQ(app.Ids(), std::vector<std::uint32_t>{WM_General_Reply});
    EXPECT_EQ(engine.Get().m_MessagePool.GetSize(), 0u);
}

// The real kinds through the handlers, with frames counted between the commands.
class MonitorKindsHandlerTest : public MonitorHandlerTest {
protected:
    MonitorKindsHandlerTest() : MonitorHandlerTest(false) {}

    static std::unique_ptr<Tuple> Receiving(const char* address) {
        IpAddress ip(address, true);
        return std::make_unique<Tuple>(ip, KEY_Destination, true);
    }
    void InstallKinds() {
        auto alarm = std::make_unique<MonitorAlarm>(&ids[0], SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT,
                                                    TimeSpan(5, Unit::Seconds), 0);
        alarm->AddSelection(Receiving("10.0.0.1"));
        alarm->AddDefaultElement();
        Send(new MonitorAlarmRequestMessage(alarm.release(), false, true));
        auto trend = std::make_unique<MonitorTrend>(&ids[1], SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT,
                                                    DATA_PERIODIC, TimeSpan(5, Unit::Seconds), 0);
        trend->AddSelection(Receiving("10.0.0.1"));
        trend->AddDefaultElement();
        Send(new MonitorTrendRequestMessage(trend.release(), false, true));
        auto conversation =
            std::make_unique<MonitorConversation>(&ids[2], SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT,
                                                  DATA_PERIODIC, 0, TimeSpan(5, Unit::Seconds), 0);
        conversation->AddSelection(Receiving("10.0.0.1"));
        conversation->AddDiscreteElements();
        Send(new MonitorConversationRequestMessage(conversation.release(), false, true));
        auto summary = std::make_unique<MonitorSummary>(&ids[3], SOURCE_LIVE_RING, SCOPE_TUPLES,
                                                        TimeSpan(5, Unit::Minutes), 0);
        summary->AddSelection(Receiving("10.0.0.1"));
        for (int64_t minutes : {5, 60, 480})
            summary->AddPeriod(TimeSpan(minutes, Unit::Minutes));
        summary->AddDiscreteElements();
        Send(new MonitorSummaryRequestMessage(summary.release(), false, true));
    }
    void Feed(int frames) {
        OnMonitor([&] {
            const test::FakeFrame frame =
                test::IpFrame("00:00:00:00:00:01", "10.0.0.7", "00:00:00:00:00:02", "10.0.0.1");
            for (int i = 0; i < frames; ++i)
                monitor->GetDataSet()->AddPacket(frame);
        });
    }
};

TEST_F(MonitorKindsHandlerTest, ResetAnswersFirstThenTheSummaryStartsAgainAndRestartSilencesEveryKind) {
    StartMonitor();
    InstallKinds();
    Feed(3);
    Tick();
    Settle();
    EXPECT_EQ(app.Ids(), (std::vector<std::uint32_t>{WM_Alarm_Initialize, WM_Trend_Initialize,
                                                     WM_Conversation_Initialize, WM_Summary_Initialize}));
    app.received.clear();

    auto* reset = new MonitorControlResetMessage(true, true);
    reset->SetFlags(ActiveDataSet::FLAG_TOTAL);
    Send(reset);
    Settle();
    EXPECT_EQ(app.Ids(), (std::vector<std::uint32_t>{WM_Monitor_Reset, WM_Summary_Initialize}));
    app.received.clear();

    Feed(2);
    for (int i = 0; i < 10; ++i)
        Tick();
    Send(new MonitorControlRestartMessage(true, true));
    Send(new MonitorTrendCancelMessage(&ids[1], false, true));
    Settle();
    EXPECT_EQ(app.Ids(), std::vector<std::uint32_t>{WM_Monitor_Restart});
    Feed(2);
    for (int i = 0; i < 10; ++i)
        Tick();
    app.PumpPending();
    EXPECT_EQ(app.received.size(), 1u);
    EXPECT_EQ(app.reports, std::vector<std::string>{});
    OnMonitor([&] {
        for (int kind = 0; kind < Pool::PoolCount; ++kind)
            EXPECT_EQ(PoolOf(Pool(kind)).GetCount(), 0u);
    });
}

// An action over history starts on the answer to its request; after a restart the answer to a
// forgotten request starts nothing and is freed with its message. The first request is the
// start-up summary's.
TEST_F(MonitorHistoryHandlerTest, HistoryRepliesStartTheirWaitersUntilARestartForgetsThem) {
    StartMonitor();
    Send(InstallRequest(new TestKind(Pool::Summary, &ids[0], log, TestKind::NONE, SOURCE_HISTORY),
                        Pool::Summary));
    Settle();
    EXPECT_TRUE(app.received.empty());
    Reply(RequestIdentifier(1));
    Settle();
    EXPECT_EQ(app.Ids(), std::vector<std::uint32_t>{WM_Summary_Initialize});
    app.received.clear();

    Send(
        InstallRequest(new TestKind(Pool::Trend, &ids[1], log, TestKind::NONE, SOURCE_HISTORY), Pool::Trend));
    const std::uintptr_t forgotten = RequestIdentifier(2);
    Send(new MonitorControlRestartMessage(true, true));
    Settle();
    Reply(forgotten);
    Settle();
    EXPECT_EQ(app.Ids(), std::vector<std::uint32_t>{WM_Monitor_Restart});
    EXPECT_EQ(log.deleted[Pool::Summary], 1);
    EXPECT_EQ(log.deleted[Pool::Trend], 1);
    OnMonitor([&] { EXPECT_EQ(monitor->GetHistoryMap().GetOutstandingCount(), 0u); });
}

} // namespace
} // namespace vq
