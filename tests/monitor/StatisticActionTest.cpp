#include "../netmodel/ModelFixtures.h"
#include "MonitorTestSupport.h"
#include "monitor/MonitorActionMessage.h"
#include "monitor/MonitorActionPool.h"
#include "monitor/MonitorAlarm.h"
#include "monitor/MonitorAlarmReply.h"
#include "monitor/MonitorConversation.h"
#include "monitor/MonitorSummary.h"
#include "monitor/MonitorTrend.h"
#include "netmodel/Conversation.h"
#include "netmodel/IpAddress.h"
#include "netmodel/SafeObject.h"
#include "netmodel/Tuple.h"
#include "runtime/MessageIds.h"
#include "runtime/TimeUnits.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

std::unique_ptr<Tuple> HostSelection(const char* address, int side) {
    IpAddress ip(address, true);
    return std::make_unique<Tuple>(ip, side, true);
}

// A selection that leaves its side open: one element per host seen there.
std::unique_ptr<Tuple> OpenSelection(int side) {
    return std::make_unique<Tuple>(HostAddress(), side, DeepCopy);
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
    int64_t Packets(std::size_t element) const {
        return Elements().GetAt(element).GetStatistic().Get(TrafficData::Packets);
    }
};

// A trend that counts its deletions.
class CountedTrend : public MonitorTrend {
public:
    CountedTrend(const void* identifier, int& deleted)
        : MonitorTrend(identifier, SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT, DATA_PERIODIC,
                       TimeSpan(5, Unit::Seconds), 0),
          m_Deleted(deleted) {}
    ~CountedTrend() override { ++m_Deleted; }

private:
    int& m_Deleted;
};

// Actions installed on the live model's pools as the install handler does it, their replies sent
// to this thread.
class StatisticActionTest : public ::testing::Test {
protected:
    StatisticActionTest() {
        app.Register();
        adapters.m_Speeds = {100'000'000};
    }
    ~StatisticActionTest() override {
        TheMonitorGlobals().m_Pools.DeleteAll();
        Take();
    }

    template <typename A> A& Install(std::unique_ptr<A> action, MonitorActionPool& pool) {
        A& raw = *action;
        raw.SetReplyThread(&app);
        raw.SetAdapters(adapters);
        EXPECT_TRUE(pool.Add(std::move(action)));
        raw.Start(&dataSet);
        return raw;
    }
    // One frame counted on its tuple as the live data set does it.
    Tuple& Count(const char* source, const char* destination, uint32_t length = 100) {
        test::FakeFrame frame = test::IpFrame("00:00:00:00:00:01", source, "00:00:00:00:00:02", destination);
        frame.length = length;
        Tuple* tuple = TheMonitorGlobals().m_Environment->TupleForPacket(frame);
        Conversation conversation(tuple);
        tuple->AddPacket(frame, &conversation);
        return *tuple;
    }
    std::vector<Received> Take() {
        std::vector<Received> received;
        QueueEntry e;
        while (MessageQueue::Current().Peek(e)) {
            std::unique_ptr<ThreadMessage> message(reinterpret_cast<ThreadMessage*>(e.lParam));
            // The live model's host announcements are not replies.
            if (e.message != WM_State_Address) received.push_back({e.message, std::move(message)});
        }
        return received;
    }
    static Timestamp After(const MonitorAction& action) { return action.GetUpdateTime(); }

    ScopedEngineGlobals engine;
    HeadlessApp app;
    FakeAdapters adapters{Monitor::kEventSlots};
    ActiveDataSet dataSet{TimeSpan(), TimeSpan(), TimeSpan()};
    MonitorActionPools& pools = TheMonitorGlobals().m_Pools;
    int ids[2] = {};
};

TEST_F(StatisticActionTest, SecondTrendUnderOneIdentifierReplacesTheFirstCompletely) {
    int deleted = 0;
    auto first = std::make_unique<CountedTrend>(&ids[0], deleted);
    first->AddSelection(HostSelection("10.0.0.1", KEY_Destination));
    first->AddDefaultElement();
    Install(std::move(first), pools.Trends());
    Tuple& tuple = Count("10.0.0.7", "10.0.0.1");

    auto second = std::make_unique<CountedTrend>(&ids[0], deleted);
    second->AddSelection(HostSelection("10.0.0.1", KEY_Destination));
    second->AddDefaultElement();
    CountedTrend& replacing = Install(std::move(second), pools.Trends());
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(pools.Trends().GetCount(), 1u);
    for (int i = 0; i < 3; ++i)
        Count("10.0.0.7", "10.0.0.1");

    pools.UpdateAll(After(replacing));
    std::vector<Received> replies = Take();
    ASSERT_EQ(replies.size(), 3u);
    EXPECT_EQ(replies[0].id, WM_Trend_Initialize);
    EXPECT_EQ(replies[1].id, WM_Trend_Initialize);
    EXPECT_EQ(replies[2].id, WM_Trend_Update);
    EXPECT_EQ(replies[2].Packets(0), 3);

    pools.Trends().Find(&ids[0])->Uninstall();
    EXPECT_EQ(deleted, 2);
    EXPECT_EQ(pools.Trends().GetCount(), 0u);
    EXPECT_EQ(tuple.GetActions(), nullptr);
}

TEST_F(StatisticActionTest, DiscreteRepliesStandInSelectionOrderAndOutliveTheAction) {
    auto trend = std::make_unique<MonitorTrend>(&ids[0], SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT,
                                                DATA_PERIODIC, TimeSpan(5, Unit::Seconds), 0);
    trend->AddSelection(HostSelection("10.0.0.1", KEY_Destination));
    trend->AddSelection(OpenSelection(KEY_Source));
    trend->AddSelection(HostSelection("10.0.0.3", KEY_Destination));
    ASSERT_TRUE(trend->AddDiscreteElements());
    MonitorTrend& installed = Install(std::move(trend), pools.Trends());
    ASSERT_EQ(installed.GetSubActionCount(), 3u);
    ASSERT_EQ(installed.GetSubAction(1)->CountElements(), 0u);
    ASSERT_NE(installed.GetSubAction(1)->GetTemplateElement(), nullptr);

    std::vector<Received> replies = Take();
    ASSERT_EQ(replies.size(), 1u);
    ASSERT_EQ(replies[0].id, WM_Trend_Initialize);
    const StatisticArray& initial = replies[0].Elements();
    ASSERT_EQ(initial.GetSize(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(initial.GetAt(i).GetStatistic().GetIndex(), int32_t(i));
        EXPECT_EQ(replies[0].Packets(i), 0);
    }
    EXPECT_EQ(initial.GetAt(0).GetSelector()->GetDestination()->GetIp().GetText(), "10.0.0.1");
    EXPECT_EQ(initial.GetAt(2).GetSelector()->GetDestination()->GetIp().GetText(), "10.0.0.3");

    Tuple& live = Count("10.0.0.7", "10.0.0.1");
    Count("10.0.0.8", "10.0.0.3");
    Count("10.0.0.8", "10.0.0.3");
    pools.UpdateAll(After(installed));
    replies.push_back(std::move(Take().at(0)));
    const Received& update = replies.back();
    ASSERT_EQ(update.id, WM_Trend_Update);
    ASSERT_EQ(update.Elements().GetSize(), 3u);
    EXPECT_EQ(update.Packets(0), 1);
    EXPECT_EQ(update.Packets(1), 1);
    EXPECT_EQ(update.Packets(2), 2);
    const Tuple* copied = update.Elements().GetAt(0).GetSelector();
    EXPECT_NE(copied->GetDestination(), live.GetDestination());

    pools.Trends().Find(&ids[0])->Uninstall();
    TheMonitorGlobals().m_Environment->Clear(true);
    for (const Received& reply : replies)
        for (std::size_t i = 0; i < reply.Elements().GetSize(); ++i)
            EXPECT_FALSE(reply.Elements().GetAt(i).GetSelector()->GetText(false).empty());
    EXPECT_EQ(update.Elements().GetAt(1).GetSelector()->GetSource()->GetIp().GetText(), "10.0.0.7");
}

TEST_F(StatisticActionTest, RepliesARequesterCannotTakeAreFreedWithTheirMessages) {
    auto trend = std::make_unique<MonitorTrend>(&ids[0], SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT,
                                                DATA_PERIODIC, TimeSpan(5, Unit::Seconds), 2);
    trend->AddSelection(HostSelection("10.0.0.1", KEY_Destination));
    trend->AddDefaultElement();
    MonitorTrend& installed = Install(std::move(trend), pools.Trends());
    app.SetClosing(true);
    Count("10.0.0.7", "10.0.0.1");
    pools.UpdateAll(After(installed));
    installed.SetReplyThread(nullptr);
    pools.UpdateAll(After(installed));
    EXPECT_EQ(pools.Trends().GetCount(), 0u);
    EXPECT_EQ(Take().size(), 1u);
    EXPECT_EQ(Engine().m_MessagePool.GetSize(), 0u);
}

TEST_F(StatisticActionTest, SelectionValueIsWhatAnElementsSelectorHoldsForTheKeyTakenAtAttachment) {
    const TimeSpan period(5, Unit::Seconds);
    auto byHost = std::make_unique<MonitorTrend>(&ids[0], SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT,
                                                 DATA_PERIODIC, period, 0);
    byHost->AddSelection(HostSelection("10.0.0.1", KEY_Source));
    byHost->AddDefaultElement();
    EXPECT_EQ(byHost->GetSelectionValue(0), SelectionValue{}) << "no key before it watches the tuples";
    MonitorTrend& trend = Install(std::move(byHost), pools.Trends());
    const HostAddress* subject = trend.GetData()->Get(0).GetSelector()->GetSource();
    ASSERT_NE(subject, nullptr);
    EXPECT_EQ(trend.GetSelectionValue(0), (SelectionValue{subject, 0}));
    EXPECT_EQ(trend.GetSelectionValue(1), SelectionValue{});
    EXPECT_EQ(trend.GetSelectionValue(-1), SelectionValue{});

    auto byInterface = std::make_unique<MonitorSummary>(&ids[0], SOURCE_LIVE_RING, SCOPE_TUPLES,
                                                        TimeSpan(5, Unit::Minutes), 0, RingGeometry{});
    byInterface->AddSelection(std::make_unique<Tuple>(uint16_t(7), KEY_Interface));
    byInterface->AddPeriod(TimeSpan(5, Unit::Minutes));
    byInterface->AddDefaultElement();
    MonitorSummary& summary = *byInterface;
    ASSERT_TRUE(pools.Summaries().Add(std::move(byInterface)));
    EXPECT_EQ(summary.GetSelectionValue(0), (SelectionValue{nullptr, 7}));

    auto partners = std::make_unique<MonitorConversation>(&ids[0], SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT,
                                                          DATA_PERIODIC, 0, period, 0);
    partners->AddSelection(HostSelection("10.0.0.1", KEY_Source));
    partners->AddDefaultElement();
    MonitorConversation& conversation = *partners;
    ASSERT_TRUE(pools.Conversations().Add(std::move(partners)));
    EXPECT_EQ(conversation.GetSelectionValue(0), SelectionValue{}) << "its items count unfiltered";
}

TEST_F(StatisticActionTest, ThresholdsSeeTheSumOfTheStatisticsOwnValues) {
    StatisticArray statistics;
    statistics.AddCopy(StatisticElement(TimeSpan(5, Unit::Seconds), MODE_PACKETS, EVALUATE_RATE, 1000.0),
                       PointerAssignment);
    statistics.AddCopy(StatisticElement(TimeSpan(5, Unit::Seconds), MODE_OCTETS, EVALUATE_RAW, 1000.0),
                       PointerAssignment);
    statistics.GetAt(0).GetStatistic().m_Counters[TrafficData::Packets] = 500;
    statistics.GetAt(1).GetStatistic().m_Counters[TrafficData::Octets] = 50;

    AlarmThresholds thresholds;
    thresholds.Add(std::make_unique<AlarmThreshold>(120, MODE_RISING, kLimitNotSet, MODE_UNSET));
    thresholds.Add(std::make_unique<AlarmThreshold>(200, MODE_RISING, kLimitNotSet, MODE_UNSET));
    EXPECT_TRUE(thresholds.Evaluate(statistics));
    EXPECT_EQ(thresholds.GetAt(0)->m_CurrentValue, 150.0);
    EXPECT_EQ(thresholds.GetAt(1)->m_CurrentValue, 150.0);
    EXPECT_FALSE(thresholds.GetAt(1)->Fired());

    EXPECT_FALSE(AlarmThresholds().Evaluate(StatisticArray()));
}

TEST_F(StatisticActionTest, DiscreteAlarmTestsEachSelectionAndRepliesWithoutThresholds) {
    MonitorAlarm single(&ids[1], SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT, TimeSpan(5, Unit::Seconds), 0);
    single.AddSelection(HostSelection("10.0.0.1", KEY_Destination));
    ASSERT_TRUE(single.AddDiscreteElements());
    EXPECT_EQ(single.GetSelectionType(), MonitorAction::SELECTION_MERGED);
    EXPECT_EQ(single.GetSubActionCount(), 0u);
    EXPECT_EQ(single.CountElements(), 1u);

    auto alarm = std::make_unique<MonitorAlarm>(&ids[0], SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT,
                                                TimeSpan(5, Unit::Seconds), 0);
    EXPECT_FALSE(alarm->SetThreshold(std::make_unique<AlarmThreshold>(2, MODE_RISING, kLimitNotSet, 0)));
    alarm->AddSelection(HostSelection("10.0.0.1", KEY_Destination));
    alarm->AddSelection(HostSelection("10.0.0.2", KEY_Destination));
    alarm->SetEvaluation(MODE_PACKETS, EVALUATE_RAW, 1000.0);
    ASSERT_TRUE(alarm->AddDiscreteElements());
    EXPECT_TRUE(alarm->SetThreshold(std::make_unique<AlarmThreshold>(2, MODE_RISING, kLimitNotSet, 0)));
    MonitorAlarm& installed = Install(std::move(alarm), pools.Alarms());
    EXPECT_EQ(installed.GetThresholds().GetCount(), 0u);
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_EQ(static_cast<MonitorAlarm*>(installed.GetSubAction(i))->GetThresholds().GetCount(), 1u);

    Count("10.0.0.7", "10.0.0.2");
    Count("10.0.0.7", "10.0.0.2");
    Count("10.0.0.7", "10.0.0.1");
    pools.UpdateAll(After(installed));
    pools.UpdateAll(After(installed));
    std::vector<Received> replies = Take();
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[0].id, WM_Alarm_Initialize);
    EXPECT_EQ(replies[1].id, WM_Alarm_Triggered);
    const auto& triggered = dynamic_cast<const MonitorAlarmReply&>(replies[1].Reply());
    EXPECT_EQ(triggered.GetThresholdCount(), 0u);
    EXPECT_EQ(replies[1].Packets(0), 1);
    EXPECT_EQ(replies[1].Packets(1), 2);
}

} // namespace
} // namespace vq
