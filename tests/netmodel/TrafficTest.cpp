#include "netmodel/Traffic.h"

#include "ModelFixtures.h"
#include "netmodel/Environment.h"
#include "netmodel/TrafficData.h"
#include "runtime/EngineGlobals.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

using namespace test;

TEST(TrafficDataTest, FrameLengthsLandInTheirBuckets) {
    struct Case {
        uint32_t length;
        TrafficData::Counter bucket;
    };
    const Case cases[] = {
        {63, TrafficData::Under64},          {64, TrafficData::Size64},
        {65, TrafficData::Size65To127},      {127, TrafficData::Size65To127},
        {128, TrafficData::Size128To255},    {1023, TrafficData::Size512To1023},
        {1024, TrafficData::Size1024To1518}, {1517, TrafficData::Size1024To1518},
        {1518, TrafficData::SizeOver1518},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        TrafficData data;
        FakeFrame frame;
        frame.length = c.length;
        data.AddPacket(frame, nullptr);
        for (int counter = TrafficData::Under64; counter < TrafficData::CounterCount; ++counter)
            EXPECT_EQ(data.Get(TrafficData::Counter(counter)), counter == c.bucket ? 1 : 0) << counter;
        EXPECT_EQ(data.Get(TrafficData::Octets), c.length);
    }
}

TEST(TrafficDataTest, CountingClearsErrorsMovesOnlyTheLastTime) {
    uint32_t halves[TrafficData::HalfCount] = {};
    halves[2 * TrafficData::Errors] = 5;
    TrafficData data(halves, MAX_TIME, NULL_TIME);
    ASSERT_EQ(data.Get(TrafficData::Errors), 5);
    FakeFrame frame;
    frame.ticks = 123456789;
    data.AddPacket(frame, nullptr);
    EXPECT_EQ(data.Get(TrafficData::Errors), 0);
    EXPECT_EQ(data.m_FirstTime, MAX_TIME);
    EXPECT_EQ(data.m_LastTime, Timestamp(123456789));
}

TEST(TrafficDataTest, AddingKeepsTimesWithinTheClockResolution) {
    TrafficData data;
    data.m_FirstTime = Timestamp(1'000'000'000);
    data.m_LastTime = Timestamp(2'000'000'000);
    data.Add(TrafficData());
    EXPECT_EQ(data.m_FirstTime, Timestamp(1'000'000'000));
    EXPECT_EQ(data.m_LastTime, Timestamp(2'000'000'000));

    TrafficData near;
    near.m_FirstTime = Timestamp(1'000'000'000 - uint64_t(ClockResolution()) / 2);
    data.Add(near);
    EXPECT_EQ(data.m_FirstTime, Timestamp(1'000'000'000));
    TrafficData earlier;
    earlier.m_FirstTime = Timestamp(1);
    data.Add(earlier);
    EXPECT_EQ(data.m_FirstTime, Timestamp(1));
}

TEST(TrafficDataTest, NegativeCountersExceptErrorsAreReported) {
    TrafficData data, more;
    more.m_Counters[TrafficData::Errors] = 1;
    data.Subtract(more);
    EXPECT_FALSE(data.HasNegativeCounter());
    more.m_Counters[TrafficData::SizeOver1518] = 1;
    data.Subtract(more);
    EXPECT_TRUE(data.HasNegativeCounter());
}

TEST(TrafficDataTest, MemberRowsCarryTheBucketLabels) {
    TrafficData data;
    FakeFrame frame;
    frame.length = 1518;
    data.AddPacket(frame, nullptr);
    EXPECT_EQ(data.DescribeColumns(8, false),
              "Octets,Packets,<64,64,65-127,128-255,256-511,512-1023,1024-1518,>1518");
    EXPECT_EQ(data.DescribeMembers(9, 0, false), "1518,1,0,0,0,0,0,0,0,1");
}

class TrafficPoolTest : public ::testing::Test {
protected:
    ScopedEngineGlobals globals;
    Environment model{0};
    Traffic traffic{1};
};

TEST_F(TrafficPoolTest, OneConversationPerTupleAndNoSecondFiling) {
    const auto frame = IpFrame("00:00:00:00:00:01", "10.0.0.1", "00:00:00:00:00:02", "10.0.0.2");
    Tuple* tuple = model.TupleForPacket(frame);
    Conversation* first = traffic.AddPacket(frame, *tuple);
    Conversation* second = traffic.AddPacket(frame, *tuple);
    EXPECT_EQ(first, second);
    EXPECT_EQ(traffic.GetCount(), 1);
    EXPECT_EQ(first->GetTraffic().Get(TrafficData::Packets), 2);
    EXPECT_EQ(traffic.GetIndex(TAOPool::SessionProtocolIndex).FindList(*tuple)->GetCount(), 1);
    EXPECT_EQ(first->GetTuple(), tuple);
}

TEST_F(TrafficPoolTest, MergingSharesTuplesAndAddsCounters) {
    const auto a = IpFrame("00:00:00:00:00:01", "10.0.0.1", "00:00:00:00:00:02", "10.0.0.2");
    const auto b = IpFrame("00:00:00:00:00:02", "10.0.0.2", "00:00:00:00:00:01", "10.0.0.1");
    traffic.AddPacket(a, *model.TupleForPacket(a));
    traffic.AddPacket(b, *model.TupleForPacket(b));
    Traffic merged(2);
    merged.Merge(traffic);
    ASSERT_EQ(merged.GetCount(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(merged.GetList()[size_t(i)]->GetTuple(), traffic.GetList()[size_t(i)]->GetTuple());
        EXPECT_NE(merged.GetList()[size_t(i)], traffic.GetList()[size_t(i)]);
    }
    merged.Merge(traffic);
    size_t position = 0;
    while (Conversation* conversation = merged.GetNextConversation(position))
        EXPECT_EQ(conversation->GetTraffic().Get(TrafficData::Packets), 2);

    Traffic copied(3);
    copied.CopyFrom(merged);
    EXPECT_EQ(copied.GetCount(), 2);
    EXPECT_EQ(copied.GetList()[0]->GetTuple(), merged.GetList()[0]->GetTuple());
}

TEST_F(TrafficPoolTest, RemovalsLeaveEveryOtherConversationFindable) {
    const auto a = IpFrame("00:00:00:00:00:01", "10.0.0.1", "00:00:00:00:00:02", "10.0.0.2");
    const auto b = IpFrame("00:00:00:00:00:01", "10.0.0.1", "00:00:00:00:00:03", "10.0.0.3");
    Tuple* first = model.TupleForPacket(a);
    Tuple* second = model.TupleForPacket(b);
    Conversation* earliest = traffic.AddPacket(a, *first);
    // A pool may hold two conversations of one tuple: the later one answers once the earlier goes.
    auto* later = new Conversation(first);
    traffic.Add(later);
    Conversation* other = traffic.AddPacket(b, *second);
    const Conversation key(first);
    bool created = true;

    ASSERT_TRUE(traffic.Remove(earliest));
    EXPECT_EQ(traffic.FindOrAdd(key, &created), later);
    EXPECT_FALSE(created);
    ASSERT_TRUE(traffic.Remove(later));
    EXPECT_EQ(traffic.AddPacket(b, *second), other);
    Conversation* remade = traffic.FindOrAdd(key, &created);
    EXPECT_TRUE(created);
    EXPECT_EQ(traffic.AddPacket(a, *first), remade);

    ASSERT_TRUE(traffic.Remove(other));
    Conversation* again = traffic.AddPacket(b, *second);
    EXPECT_NE(again, remade);
    EXPECT_EQ(traffic.GetCount(), 2);
    EXPECT_EQ(again->GetTraffic().Get(TrafficData::Packets), 1);
}

} // namespace
} // namespace vq
