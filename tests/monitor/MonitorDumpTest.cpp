// Member dumps of the statistic, alarm, trend, conversation, summary and checkpoint classes.

#include "MonitorTestSupport.h"
#include "monitor/AlarmThreshold.h"
#include "monitor/ConversationElement.h"
#include "monitor/DatabaseCheckpoint.h"
#include "monitor/IntervalSummary.h"
#include "monitor/MonitorAlarm.h"
#include "monitor/MonitorAlarmReply.h"
#include "monitor/MonitorConversation.h"
#include "monitor/MonitorConversationReply.h"
#include "monitor/MonitorSummary.h"
#include "monitor/MonitorTrend.h"
#include "netmodel/Environment.h"
#include "netmodel/IpAddress.h"
#include "netmodel/Tuple.h"
#include "netmodel/TupleKey.h"
#include "platform/core/Format.h"
#include "runtime/TimeUnits.h"

#include <gtest/gtest.h>
#include <initializer_list>

namespace vq {
namespace {

const char* const kCounterColumns = "Octets,Packets,<64,64,65-127,128-255,256-511,512-1023,1024-1518,>1518";

// Each fragment found after the one before it.
void ExpectInOrder(const std::string& text, std::initializer_list<const char*> fragments) {
    std::size_t at = 0;
    for (const char* fragment : fragments) {
        const std::size_t found = text.find(fragment, at);
        ASSERT_NE(found, std::string::npos) << "\"" << fragment << "\" missing after offset " << at << " in\n"
                                            << text;
        at = found + std::string(fragment).size();
    }
}

class MonitorDumpTest : public ::testing::Test {
protected:
    const TimeSpan fiveSeconds{5, Unit::Seconds};
    const RingGeometry ring{};
    ScopedEngineGlobals engine;
    char id = 0;
};

TEST_F(MonitorDumpTest, EveryClassNamesItselfAndListsItsOwnColumnsAfterItsBases) {
    const MonitorDataStatistic statistic(fiveSeconds, MODE_OCTETS, EVALUATE_RATE, 1000.0);
    const SummaryStatistic summaryStatistic;
    const StatisticElement statisticElement(fiveSeconds, MODE_PACKETS, EVALUATE_RAW, 1000.0);
    const StatisticArray statisticArray;
    const MonitorTrend trend(&id, SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT, DATA_PERIODIC, fiveSeconds, 0);
    const MonitorTrendReply trendReply(&id, nullptr, MODE_UPDATE, TimeRange());
    const MonitorAlarm alarm(&id, SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT, fiveSeconds, 0);
    const AlarmThresholds thresholds;
    const MonitorAlarmReply alarmReply(&id, nullptr, thresholds, MODE_UPDATE, TimeRange());
    const ConversationItem item(nullptr);
    const ConversationList list;
    const ConversationElement conversationElement;
    const ConversationArray conversationArray;
    const MonitorConversation conversation(&id, SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT, DATA_PERIODIC, 0,
                                           fiveSeconds, 0);
    const MonitorConversationReply conversationReply(&id, nullptr, MODE_UPDATE, TimeRange());
    const SummaryItem summaryItem(TimeSpan(1, Unit::Hours), ring.m_Interval, ring.m_SlotCount);
    const SummaryList summaryList;
    const SummaryElement summaryElement(summaryList);
    const SummaryArray summaryArray;
    const MonitorSummary summary(&id, SOURCE_LIVE_RING, SCOPE_TUPLES, ring.m_Interval, 0, ring);
    const IntervalSummary entry(&summary, SummaryStatistic());
    const IntervalSummarySet entries;
    const MonitorSummaryReply summaryReply(&id, nullptr, MODE_UPDATE, TimeRange());
    const DatabaseCheckpoint checkpoint(0, nullptr, NULL_TIME, ring.m_Interval, Environment(uint8_t(0)));

    const std::string statisticColumns =
        std::string(kCounterColumns) + ",Mode,Evaluate,Intrval,RateBas,Capacty";
    // `whole`: the class and its bases here describe no other members, so these are all its columns.
    struct Case {
        const Describable& object;
        const char* name;
        std::string columns;
        bool whole;
    };
    const Case cases[] = {
        {statistic, "MonitorDataStatistic", statisticColumns, true},
        {summaryStatistic, "SummaryStatistic", statisticColumns, true},
        {statisticElement, "StatisticElement", "Stat", false},
        {statisticArray, "StatisticArray", "", false},
        {trend, "MonitorTrend", "Element", false},
        {trendReply, "MonitorTrendReply", "Element", false},
        {alarm, "MonitorAlarm", "Element,Thresholds", false},
        {thresholds, "AlarmThresholds", "", true},
        {alarmReply, "MonitorAlarmReply", "Element,Thresholds", false},
        {item, "ConversationItem", "HstAddr,Primary,Secondary", true},
        {list, "ConversationList", "Index", true},
        {conversationElement, "ConversationElement", "List", false},
        {conversationArray, "ConversationArray", "", false},
        {conversation, "MonitorConversation", "2way?,RevCrit,Array", false},
        {conversationReply, "MonitorConversationReply", "Array", false},
        {summaryItem, "SummaryItem", "Ready,Time,Period,Counter,Statistic", true},
        {summaryList, "SummaryList", "Index", true},
        {summaryElement, "SummaryElement", "List", false},
        {summaryArray, "SummaryArray", "", false},
        {summary, "MonitorSummary", "Array", false},
        {summaryReply, "MonitorSummaryReply", "Time,Array", false},
        {entry, "IntervalSummary", "Statistic", true},
        {entries, "IntervalSummarySet", "", true},
        {checkpoint, "DatabaseCheckpoint", "ID", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.object.DescribeClassName(0), c.name);
        const std::string columns = c.object.DescribeColumns(8, false);
        if (c.whole)
            EXPECT_EQ(columns, c.columns);
        else
            EXPECT_TRUE(columns.ends_with(c.columns)) << columns;
    }
}

TEST_F(MonitorDumpTest, AStatisticShowsItsCountersThenHowItIsEvaluated) {
    MonitorDataStatistic statistic(fiveSeconds, MODE_OCTETS, EVALUATE_RATE, 60000.0);
    statistic.m_Counters[TrafficData::Octets] = 1514;
    statistic.m_Counters[TrafficData::Packets] = 1;
    statistic.m_Counters[TrafficData::Size1024To1518] = 1;
    statistic.SetCapacity(0.25);
    EXPECT_EQ(statistic.DescribeMembers(1 | 8, 0, false),
              "1514,1,0,0,0,0,0,0,1,0,MODE_OCTETS,EVALUATE_RATE,0h 0m 5s,60000,0.25");
    statistic.SetParameters(fiveSeconds, 3, 7, 1000.0, 0.0);
    EXPECT_EQ(statistic.DescribeMembers(1 | 8, 0, false),
              "1514,1,0,0,0,0,0,0,1,0,mode?,eval?,0h 0m 5s,1000,0");
}

TEST_F(MonitorDumpTest, ASummaryItemShowsItsWindowAndItsStatistic) {
    SummaryItem item(TimeSpan(1, Unit::Hours), ring.m_Interval, ring.m_SlotCount);
    item.CountInterval();
    item.GetStatistic().m_Counters[TrafficData::Packets] = 3;
    ExpectInOrder(item.DescribeMembers(0, 0, false),
                  {"[class SummaryItem members]\n", "m_Ready=<false>\n", "m_Time=<1h 0m 0s>\n",
                   "m_Period=<12>\n", "m_Counter=<1>\n", "m_Statistic=<", "[class SummaryStatistic members]",
                   "m_Packets=<3>", "m_Mode=<MODE_PACKETS>", ">"});
}

TEST_F(MonitorDumpTest, AnActionDescribesWhatItHoldsDownToItsStatisticsAndNullWhereNothingIsHeld) {
    MonitorAlarm alarm(&id, SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT, fiveSeconds, 0);
    IpAddress ip("10.0.0.1", true);
    alarm.AddSelection(std::make_unique<Tuple>(ip, KEY_Source, true));
    alarm.AddDefaultElement();
    alarm.SetThreshold(std::make_unique<AlarmThreshold>(100.0, MODE_CROSSING, kLimitNotSet, MODE_UNSET));
    ExpectInOrder(alarm.DescribeObject(0, 0),
                  {"MonitorAlarm\n", "[class MonitorAlarm members]", "StatisticArray=<", " (1 elements)\n",
                   "StatisticElement\n", "MonitorDataStatistic*=<", "[class MonitorDataStatistic members]",
                   "m_Mode=<MODE_PACKETS>", "AlarmThresholds=<", " (1 elements)\n", "AlarmThreshold\n",
                   "m_Index=<0>"});

    const MonitorConversation conversation(&id, SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT, DATA_PERIODIC, 0,
                                           fiveSeconds, 0);
    ExpectInOrder(
        conversation.DescribeMembers(0, 0, false),
        {"m_Bidirectional=<false>", "m_ReverseCriteria=<NULL>", "ConversationArray*=<", " (empty)\n>"});
    const MonitorSummaryReply noSubActions(&id, MonitorAction::ActionSet(), false, MODE_UPDATE, TimeRange());
    ExpectInOrder(noSubActions.DescribeMembers(0, 0, false),
                  {"m_TimeStamp=<<<NULL_TIME>>>", "SummaryArray*=<NULL>"});
}

TEST_F(MonitorDumpTest, ConversationItemsShowTheirPartnerByAddressAndBothDirections) {
    ConversationList list;
    list.SetIndex(2);
    ConversationItem hostless(nullptr);
    hostless.GetPrimary().m_Counters[TrafficData::Packets] = 4;
    ExpectInOrder(hostless.DescribeMembers(0, 0, false),
                  {"m_Address=<$", "m_Primary=<", "m_Packets=<4>", "m_Secondary=<", "m_Packets=<0>"});
    EXPECT_EQ(list.DescribeMembers(1 | 8, 0, false), "2 (empty)");
}

TEST_F(MonitorDumpTest, ACheckpointShowsItsOwnerAsAnAddress) {
    const std::uintptr_t owner = 0x1234;
    const DatabaseCheckpoint checkpoint(owner, nullptr, NULL_TIME, ring.m_Interval, Environment(uint8_t(0)));
    EXPECT_EQ(checkpoint.DescribeMembers(1, 0, false), Format("$%p", reinterpret_cast<const void*>(owner)));
}

} // namespace
} // namespace vq
