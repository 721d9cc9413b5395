#include "../netmodel/ModelFixtures.h"
#include "MonitorTestSupport.h"
#include "monitor/MonitorActionMessage.h"
#include "monitor/MonitorActionPool.h"
#include "monitor/MonitorAlarm.h"
#include "monitor/MonitorAlarmReply.h"
#include "monitor/MonitorTrend.h"
#include "netmodel/IpAddress.h"
#include "netmodel/Tuple.h"
#include "runtime/MessageIds.h"
#include "runtime/TimeUnits.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

bool IsActionReply(uint32_t id) {
    return id == WM_Trend_Initialize || id == WM_Trend_Update || id == WM_Alarm_Initialize ||
           id == WM_Alarm_Triggered;
}

struct Received {
    uint32_t id;
    std::unique_ptr<ThreadMessage> message;

    const MonitorStatisticReply& Reply() const {
        const MonitorDataReply* reply = nullptr;
        if (auto* initialize = dynamic_cast<MonitorActionInitializeMessage*>(message.get()))
            reply = initialize->GetReply();
        else if (auto* update = dynamic_cast<MonitorActionUpdateMessage*>(message.get()))
            reply = update->GetReply();
        return dynamic_cast<const MonitorStatisticReply&>(*reply);
    }
    const StatisticArray& Elements() const { return *Reply().GetArray(); }
    const MonitorDataStatistic& Statistic(std::size_t element) const {
        return Elements().GetAt(element).GetStatistic();
    }
};

// The monitor pumped on the test thread, which is also the main thread: the replies of the
// actions are taken here as the main thread's handler takes them.
class EngineMonitor : public Monitor {
public:
    explicit EngineMonitor(ThreadObject* main) : Monitor(main, TimeSpan(8, Unit::Hours)) {}

    void Attach() {
        BindToCurrentThread();
        InitInstance();
        StartTick();
    }
    void Detach() { ExitInstance(); }

    std::vector<Received> replies;

protected:
    void OnThreadMessage(const QueueEntry& entry) override {
        auto* message = reinterpret_cast<ThreadMessage*>(entry.lParam);
        // The live model's host announcements go to the main thread too; nothing here reads them.
        if (entry.message == WM_State_Address) return delete message;
        if (!IsActionReply(entry.message)) return Monitor::OnThreadMessage(entry);
        ASSERT_TRUE(message->Receive());
        replies.push_back({entry.message, std::unique_ptr<ThreadMessage>(message)});
    }
};

class StatisticEngineTest : public ::testing::Test {
protected:
    StatisticEngineTest() {
        TheMonitorGlobals().m_AdaptersFactory = [](uint32_t slots) {
            return std::make_unique<FakeAdapters>(slots);
        };
        monitor.Attach();
    }
    ~StatisticEngineTest() override {
        monitor.Detach();
        DrainQueue();
    }

    // Through the monitor's install handler, as a requester on this thread sends it.
    template <typename Request> void Install(std::unique_ptr<MonitorAction> action) {
        ASSERT_TRUE((new Request(action.release(), false, true))->Send(&monitor));
        PumpReady();
    }
    template <typename Message> void Cancel() {
        ASSERT_TRUE((new Message(&owner, false, true))->Send(&monitor));
        PumpReady();
    }
    // Frames delivered to the live data set as the adapters deliver them.
    void Feed(int frames, const char* destination, uint32_t length = 100) {
        test::FakeFrame frame =
            test::IpFrame("00:00:00:00:00:01", "10.0.0.7", "00:00:00:00:00:02", destination);
        frame.length = length;
        for (int i = 0; i < frames; ++i)
            monitor.GetDataSet()->AddPacket(frame);
    }
    void PumpReady() {
        QueueEntry e;
        while (MessageQueue::Current().Peek(e, TargetFilter::Any(), {}, PeekKeep))
            monitor.PumpMessage();
    }
    void AdvanceTo(int64_t ms) {
        clock.AdvanceMilliseconds(ms - Now());
        PumpReady();
    }
    int64_t Now() const { return int64_t(Timestamp::Now().GetTicks() - EngineTestClock::kStart) / 10'000; }
    std::vector<Received> TakeReplies() {
        PumpReady();
        return std::move(monitor.replies);
    }

    EngineTestClock clock;
    ScopedEngineGlobals engine;
    HeadlessApp app;
    EngineMonitor monitor{&app};
    MonitorActionPools& pools = TheMonitorGlobals().m_Pools;
    int owner = 0;
};

std::unique_ptr<Tuple> HostSelection(const char* address, int side) {
    IpAddress ip(address, true);
    return std::make_unique<Tuple>(ip, side, true);
}

TEST_F(StatisticEngineTest, AlarmTriggersOnlyInThePeriodsItsLimitIsCrossed) {
    auto alarm = std::make_unique<MonitorAlarm>(&owner, SOURCE_LIVE_RING, SCOPE_TUPLES, TARGET_CURRENT,
                                                TimeSpan(5, Unit::Seconds), 4);
    alarm->SetEvaluation(MODE_PACKETS, EVALUATE_RATE, 1000.0);
    alarm->AddSelection(HostSelection("10.0.0.1", KEY_Destination));
    ASSERT_TRUE(alarm->AddDefaultElement());
    ASSERT_TRUE(alarm->SetThreshold(std::make_unique<AlarmThreshold>(100, MODE_CROSSING, kLimitNotSet, 0)));
    Install<MonitorAlarmRequestMessage>(std::move(alarm));

    std::vector<Received> initialize = TakeReplies();
    ASSERT_EQ(initialize.size(), 1u);
    EXPECT_EQ(initialize[0].id, WM_Alarm_Initialize);
    EXPECT_EQ(dynamic_cast<const MonitorAlarmReply&>(initialize[0].Reply()).GetThresholdCount(), 0u);

    const int frames[] = {450, 500, 550, 500};
    const int32_t states[] = {-1, 1, -1, 2};
    for (int period = 0; period < 4; ++period) {
        SCOPED_TRACE(period + 1);
        AdvanceTo(period * 5000 + 1000);
        Feed(frames[period], "10.0.0.1");
        Feed(7, "10.0.0.2");
        AdvanceTo((period + 1) * 5000);
        std::vector<Received> replies = TakeReplies();
        if (states[period] < 0) {
            EXPECT_TRUE(replies.empty());
            continue;
        }
        ASSERT_EQ(replies.size(), 1u);
        EXPECT_EQ(replies[0].id, WM_Alarm_Triggered);
        const auto& reply = dynamic_cast<const MonitorAlarmReply&>(replies[0].Reply());
        EXPECT_EQ(reply.GetIdentifier(), &owner);
        ASSERT_EQ(reply.GetThresholdCount(), 1u);
        EXPECT_EQ(reply.GetThreshold(0).m_Index, 0);
        EXPECT_EQ(reply.GetThreshold(0).m_CurrentValue, 100.0);
        EXPECT_EQ(reply.GetThreshold(0).m_RisingLimit.m_State, states[period]);
        EXPECT_EQ(replies[0].Statistic(0).Get(TrafficData::Packets), frames[period]);
    }
    EXPECT_EQ(pools.Alarms().GetCount(), 0u);
    EXPECT_EQ(pools.Alarms().Find(&owner), nullptr);
}

TEST_F(StatisticEngineTest, TrendReportsEveryPeriodUntilItsRepetitionsRunOut) {
    AdvanceTo(10 * 3'600'000 + 25'000);
    auto trend = std::make_unique<MonitorTrend>(&owner, SOURCE_LIVE_RING, SCOPE_TUPLES, TARGET_CURRENT,
                                                DATA_PERIODIC, TimeSpan(60, Unit::Seconds), 3);
    trend->SetEvaluation(MODE_PACKETS, EVALUATE_RAW, 1000.0);
    trend->AddSelection(HostSelection("10.0.0.1", KEY_Destination));
    ASSERT_TRUE(trend->AddDefaultElement());
    Install<MonitorTrendRequestMessage>(std::move(trend));

    std::vector<Received> initialize = TakeReplies();
    ASSERT_EQ(initialize.size(), 1u);
    EXPECT_EQ(initialize[0].id, WM_Trend_Initialize);
    EXPECT_EQ(initialize[0].Reply().GetMode(), MODE_INITIALIZE);
    EXPECT_EQ(initialize[0].Reply().GetRange().GetStart(), NULL_TIME);
    EXPECT_EQ(initialize[0].Reply().GetRange().GetEnd(), NULL_TIME);

    const int64_t first = 10 * 3'600'000 + 60'000;
    Feed(30, "10.0.0.1", 200);
    Feed(10, "10.0.0.2");
    AdvanceTo(first - 500);
    EXPECT_TRUE(TakeReplies().empty());
    AdvanceTo(first);
    std::vector<Received> updates = TakeReplies();
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0].id, WM_Trend_Update);
    EXPECT_EQ(updates[0].Reply().GetMode(), MODE_UPDATE);
    ASSERT_EQ(updates[0].Elements().GetSize(), 1u);
    EXPECT_EQ(updates[0].Statistic(0).Get(TrafficData::Packets), 30);
    EXPECT_EQ(updates[0].Statistic(0).Get(TrafficData::Octets), 30 * 200);

    Feed(4, "10.0.0.1");
    AdvanceTo(first + 60'000);
    updates = TakeReplies();
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0].Statistic(0).Get(TrafficData::Packets), 4);

    AdvanceTo(first + 120'000);
    updates = TakeReplies();
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0].Statistic(0).Get(TrafficData::Packets), 0);
    EXPECT_EQ(pools.Trends().GetCount(), 0u);

    AdvanceTo(first + 180'000);
    Cancel<MonitorTrendCancelMessage>();
    EXPECT_TRUE(TakeReplies().empty());
}

// One statistic for several selections counts the frames of every one of them, not only of the
// first selection it is filed under.
TEST_F(StatisticEngineTest, MergedTrendCountsTheFramesOfAllItsSelections) {
    auto trend = std::make_unique<MonitorTrend>(&owner, SOURCE_LIVE_RING, SCOPE_TUPLES, TARGET_CURRENT,
                                                DATA_PERIODIC, TimeSpan(5, Unit::Seconds), 1);
    trend->SetEvaluation(MODE_PACKETS, EVALUATE_RAW, 1000.0);
    trend->AddSelection(HostSelection("10.0.0.1", KEY_Destination));
    trend->AddSelection(HostSelection("10.0.0.2", KEY_Destination));
    ASSERT_TRUE(trend->AddDefaultElement());
    ASSERT_EQ(trend->GetSelectionType(), MonitorAction::SELECTION_MERGED);
    Install<MonitorTrendRequestMessage>(std::move(trend));
    ASSERT_EQ(TakeReplies().size(), 1u);

    AdvanceTo(1000);
    Feed(3, "10.0.0.1");
    Feed(4, "10.0.0.2");
    Feed(5, "10.0.0.3");
    AdvanceTo(5000);
    std::vector<Received> updates = TakeReplies();
    ASSERT_EQ(updates.size(), 1u);
    ASSERT_EQ(updates[0].Elements().GetSize(), 1u);
    EXPECT_EQ(updates[0].Statistic(0).Get(TrafficData::Packets), 7);
}

} // namespace
} // namespace vq
