#include "../netmodel/ModelFixtures.h"
#include "MonitorTestSupport.h"
#include "capture/Adapter.h"
#include "monitor/ActiveDataSet.h"
#include "monitor/LiveTraffic.h"
#include "monitor/MonitorAction.h"
#include "monitor/MonitorActionPool.h"
#include "monitor/MonitorActionSet.h"
#include "monitor/MonitorAdapters.h"
#include "netmodel/Conversation.h"
#include "netmodel/Environment.h"
#include "netmodel/IpAddress.h"
#include "netmodel/Traffic.h"
#include "netmodel/Tuple.h"
#include "platform/registry/Registry.h"
#include "runtime/TimeUnits.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>
#include <new>
#include <string>
#include <vector>

namespace vq {
namespace {

int64_t PacketsIn(const DataRoot& root) {
    const Traffic* traffic = root.GetTraffic()->GetConversations();
    int64_t packets = 0;
    std::size_t position = 0;
    while (const Conversation* conversation = traffic->GetNextConversation(position))
        packets += conversation->GetTraffic().Get(TrafficData::Packets);
    return packets;
}

struct Seen {
    int frames = 0;
    std::vector<std::string> conversations;
    int initialized = 0;
    int failAfter = -1;
};

// An action that records what reaches it; its destination selection (if any) decides what it
// watches, or every tuple without one.
class Recorder : public MonitorAction {
public:
    Recorder(int32_t source, int32_t target, int32_t dataType, const char* destination, Seen& seen)
        : MonitorAction(&seen, source, SCOPE_TUPLES, target, dataType, TimeSpan(60, Unit::Seconds), 0),
          m_Seen(seen) {
        if (destination) {
            IpAddress ip(destination, true);
            AddSelection(std::make_unique<Tuple>(ip, KEY_Destination, true));
        }
    }

    bool Matches(const Tuple& tuple) const override {
        return m_Criteria.GetSelections().IsEmpty() || MonitorAction::Matches(tuple);
    }
    void OnData(const FrameView&, const Conversation&) override { ++m_Seen.frames; }
    void OnConversation(const Conversation& conversation) override {
        if (m_Seen.failAfter == int(m_Seen.conversations.size())) throw std::bad_alloc();
        const Tuple& tuple = *conversation.GetTuple();
        m_Seen.conversations.push_back(tuple.GetSource()->GetIp().GetText() + " > " +
                                       tuple.GetDestination()->GetIp().GetText() + " " +
                                       std::to_string(conversation.GetTraffic().Get(TrafficData::Packets)));
    }
    bool SendUpdate() override { return true; }
    bool SendInitialize() override {
        ++m_Seen.initialized;
        return true;
    }
    std::unique_ptr<MonitorAction> Clone(std::size_t) const override { return nullptr; }
    std::unique_ptr<MonitorActionElement> CreateElement(const MonitorActionElement&) const override {
        return nullptr;
    }

private:
    Seen& m_Seen;
};

// Frames counted by the data set, and how many the adapters delivered.
class CountingSink : public PacketSink {
public:
    explicit CountingSink(ActiveDataSet& data) : m_Data(data) {}
    bool AddPacket(Packet& packet) override {
        ++frames;
        return m_Data.AddPacket(packet);
    }
    int frames = 0;

private:
    ActiveDataSet& m_Data;
};

class LiveCountingTest : public ::testing::Test {
protected:
    Environment& Live() { return *TheMonitorGlobals().m_Environment; }
    MonitorActionPool& Trends() { return TheMonitorGlobals().m_Pools.Trends(); }
    void Count(const char* source, const char* destination, int frames = 1) {
        const test::FakeFrame frame =
            test::IpFrame("00:00:00:00:00:01", source, "00:00:00:00:00:02", destination);
        for (int i = 0; i < frames; ++i)
            data.AddPacket(frame);
    }
    Recorder& Install(int32_t source, int32_t target, int32_t dataType, const char* destination) {
        auto action = std::make_unique<Recorder>(source, target, dataType, destination, seen);
        Recorder& installed = *action;
        EXPECT_TRUE(Trends().Add(std::move(action)));
        return installed;
    }

    EngineTestClock clock;
    ScopedEngineGlobals engine;
    ActiveDataSet data{TimeSpan(8, Unit::Hours), TimeSpan(), TimeSpan(), LiveTrafficFactory(Live())};
    Seen seen;
};

TEST_F(LiveCountingTest, EveryFrameOfTheAdaptersIsLearnedCountedAndHandedToItsActions) {
    const std::string file = vq::test::TestPath("VQ_CAPTURES_DIR") + "/tcpdump-tests/mptcp-v0.pcap";
    SetMachineAdapterList(std::vector<std::string>{"\\Device\\replay:" + file + "?speed=100000000"});
    {
        CountingSink sink(data);
        MonitorAdapters adapters(Monitor::kEventSlots, nullptr);
        adapters.SetPacketSink(&sink);
        Live().SetAdapters(*adapters.GetAdapterList());
        Install(SOURCE_LIVE, TARGET_CURRENT, DATA_PERIODIC, nullptr);

        ASSERT_TRUE(adapters.GetSet().Start({}));
        std::vector<Event*> events;
        std::vector<int32_t> slots;
        adapters.CollectWaitSlots(events, slots);
        while (!adapters.GetSet().IsReplayFinished() || sink.frames < 264) {
            const WaitResult result = MessageQueue::Current().Wait(events, 2000);
            ASSERT_EQ(result.kind, WaitResult::Kind::Event);
            adapters.ServiceSlot(slots[result.index]);
        }
        adapters.GetSet().Stop({});

        EXPECT_EQ(sink.frames, 264);
        EXPECT_EQ(seen.frames, 264);
        EXPECT_EQ(PacketsIn(data.GetLatest()), 264);
        EXPECT_EQ(PacketsIn(*data.GetCurrent()), 0);
        EXPECT_GE(Live().GetHostTable().GetCount(), 2);
        EXPECT_GE(Live().GetTuplePool().GetCount(), 1);

        data.Tick(Timestamp::Now());
        EXPECT_EQ(PacketsIn(data.GetLatest()), 0);
        EXPECT_EQ(PacketsIn(*data.GetCurrent()), 264);
        EXPECT_EQ(PacketsIn(data.GetTotal()), 264);
        EXPECT_EQ(PacketsIn(data.GetLastSample()), 264);
    }
    SetMachineAdapterList(std::nullopt);
}

// The tick hands the running step's conversations to the last sample instead of copying them; the
// last sample must read exactly as a copy would, and the next step must start from nothing.
TEST_F(LiveCountingTest, TheLastSampleReadsAsACopyOfTheRunningStep) {
    for (const char* sources : {"10.0.0.7 10.0.0.8", "10.0.0.8"}) {
        SCOPED_TRACE(sources);
        for (const char* source : {"10.0.0.7", "10.0.0.8"})
            if (std::string(sources).find(source) != std::string::npos) Count(source, "10.0.0.1", 2);
        Traffic copy(1);
        copy.CopyFrom(*data.GetLatest().GetTraffic()->GetConversations());

        data.Tick(Timestamp::Now());
        const Traffic& sample = *data.GetLastSample().GetTraffic()->GetConversations();
        ASSERT_EQ(sample.GetCount(), copy.GetCount());
        for (int i = 0; i < copy.GetCount(); ++i) {
            const auto& mine = static_cast<const Conversation&>(*sample.GetList()[size_t(i)]);
            const auto& theirs = static_cast<const Conversation&>(*copy.GetList()[size_t(i)]);
            EXPECT_EQ(mine.GetTuple(), theirs.GetTuple());
            EXPECT_EQ(mine.m_Kind, theirs.m_Kind);
            EXPECT_EQ(mine.GetTraffic().GetKind(), theirs.GetTraffic().GetKind());
            EXPECT_EQ(mine.GetTraffic().m_Counters, theirs.GetTraffic().m_Counters);
            EXPECT_EQ(mine.GetTraffic().m_FirstTime, theirs.GetTraffic().m_FirstTime);
            EXPECT_EQ(mine.GetTraffic().m_LastTime, theirs.GetTraffic().m_LastTime);
            EXPECT_EQ(mine.m_FirstTime, theirs.m_FirstTime);
            EXPECT_EQ(mine.m_LastTime, theirs.m_LastTime);
            EXPECT_EQ(mine.GetOwner(), &sample);
        }
        EXPECT_EQ(data.GetLatest().GetTraffic()->GetConversations()->GetCount(), 0);
    }
    EXPECT_EQ(PacketsIn(data.GetTotal()), 6);
}

TEST_F(LiveCountingTest, ACumulativeActionStartsFromItsTuplesConversationsAPeriodicOneEmpty) {
    Count("10.0.0.7", "10.0.0.1", 3);
    Count("10.0.0.8", "10.0.0.1", 2);
    Count("10.0.0.7", "10.0.0.2", 4);
    data.Tick(Timestamp::Now());
    Count("10.0.0.9", "10.0.0.1");

    struct Case {
        int32_t dataType;
        int32_t target;
        std::vector<std::string> conversations;
        int initialized;
    };
    const std::vector<std::string> both{"10.0.0.7 > 10.0.0.1 3", "10.0.0.8 > 10.0.0.1 2"};
    const Case cases[] = {
        {DATA_CUMULATIVE, TARGET_TOTAL, both, 1},  {DATA_CUMULATIVE, TARGET_CURRENT, both, 1},
        {DATA_CUMULATIVE, TARGET_LATEST, both, 1}, {DATA_PERIODIC, TARGET_TOTAL, {}, 1},
        {DATA_CUMULATIVE, TARGET_NONE, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        seen = Seen();
        Recorder& action = Install(SOURCE_LIVE, c.target, c.dataType, "10.0.0.1");
        action.Start(&data);
        EXPECT_EQ(seen.conversations, c.conversations);
        EXPECT_EQ(seen.initialized, c.initialized);
        Trends().Remove(action);
        delete &action;
    }
}

// A data set counted on a model of its own, as history data is.
class OtherModelSet : public DataSet {
public:
    explicit OtherModelSet(Environment& model)
        : DataSet(TimeSpan(), NULL_TIME, KIND_HISTORY, LiveTrafficFactory(model)) {}
    HistoryBuffer* GetRing() const override { return nullptr; }
};

TEST_F(LiveCountingTest, HistoryDataIsImportedInOneImportThatClosesOnFailureToo) {
    Environment other(1);
    OtherModelSet history(other);
    for (const char* source : {"10.0.0.7", "10.0.0.8"}) {
        const test::FakeFrame frame =
            test::IpFrame("00:00:00:00:00:03", source, "00:00:00:00:00:04", "10.0.0.1");
        for (int i = 0; i < 2; ++i)
            history.GetTotal().AddPacket(frame);
    }
    const test::FakeFrame elsewhere =
        test::IpFrame("00:00:00:00:00:03", "10.0.0.7", "00:00:00:00:00:04", "10.0.0.5");
    history.GetTotal().AddPacket(elsewhere);

    Recorder& action = Install(SOURCE_HISTORY, TARGET_TOTAL, DATA_CUMULATIVE, "10.0.0.1");
    EXPECT_TRUE(action.Start(&history));
    EXPECT_EQ(seen.conversations,
              (std::vector<std::string>{"10.0.0.7 > 10.0.0.1 2", "10.0.0.8 > 10.0.0.1 2"}));
    EXPECT_EQ(seen.initialized, 1);
    EXPECT_FALSE(Live().IsImportOpen());
    EXPECT_EQ(Live().GetTuplePool().GetCount(), 3) << "every conversation's tuple is imported";

    seen = Seen();
    seen.failAfter = 1;
    EXPECT_THROW(action.AttachDataSet(history), std::bad_alloc);
    EXPECT_FALSE(Live().IsImportOpen());
    EXPECT_EQ(seen.initialized, 0);
}

// A ring counted on a model of its own, as the history recorder rebuilds one.
class OtherModelRing : public DataSet {
public:
    explicit OtherModelRing(Environment& model)
        : DataSet(TimeSpan(5, Unit::Minutes), NULL_TIME, KIND_HISTORY, LiveTrafficFactory(model)),
          m_Ring(m_StartTime, TimeSpan(1, Unit::Hours), TimeSpan(5, Unit::Minutes), false,
                 LiveTrafficFactory(model)) {}
    HistoryBuffer* GetRing() const override { return &m_Ring; }

private:
    mutable HistoryBuffer m_Ring;
};

TEST_F(LiveCountingTest, ARingOfAnotherModelIsImportedUpToItsFirstSlotNeverFilled) {
    Environment other(1);
    OtherModelRing history(other);
    const char* sources[] = {"10.0.0.7", "10.0.0.8", "10.0.0.9"};
    for (int32_t slot = 0; slot < 3; ++slot) {
        IntervalData& interval = *history.GetSlot(slot);
        const test::FakeFrame frame =
            test::IpFrame("00:00:00:00:00:03", sources[slot], "00:00:00:00:00:04", "10.0.0.1");
        for (int32_t i = 0; i <= slot; ++i)
            interval.AddPacket(frame);
        if (slot < 2) interval.SetTime(Timestamp::Now());
    }
    data.ImportRing(history, Live());
    EXPECT_EQ(PacketsIn(*data.GetSlot(0)), 1);
    EXPECT_EQ(PacketsIn(*data.GetSlot(1)), 2);
    EXPECT_EQ(PacketsIn(*data.GetSlot(2)), 0);
    EXPECT_EQ(Live().GetTuplePool().GetCount(), 2);
    EXPECT_FALSE(Live().IsImportOpen());
}

} // namespace
} // namespace vq
