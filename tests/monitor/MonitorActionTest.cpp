#include "monitor/MonitorAction.h"

#include "../netmodel/ModelFixtures.h"
#include "MonitorTestSupport.h"
#include "monitor/MonitorActionPool.h"
#include "monitor/MonitorDataCriteria.h"
#include "netmodel/Conversation.h"
#include "netmodel/Environment.h"
#include "netmodel/HostAddress.h"
#include "netmodel/IpAddress.h"
#include "netmodel/SafeObject.h"
#include "netmodel/Tuple.h"
#include "runtime/TimeUnits.h"

#include <cstring>
#include <gtest/gtest.h>
#include <regex>

namespace vq {
namespace {

// The hosts and stream tuples of a small network; every tuple owns its hosts.
class Streams {
public:
    Tuple& Make(const char* source, const char* destination, uint16_t interface = 1, uint16_t transport = 6) {
        IpAddress src(source, true), dst(destination, true);
        Tuple::Fields fields{};
        fields[FieldInterface] = interface;
        fields[FieldDataLink] = 1;
        fields[FieldNetwork] = 0x800;
        fields[FieldTransport] = transport;
        m_Tuples.push_back(std::make_unique<Tuple>(new HostAddress(src, HostAddress::AUTH, true),
                                                   new HostAddress(dst, HostAddress::AUTH, true), fields, 1));
        m_Tuples.back()->SetKey(KEY_Source | KEY_Destination | KEY_Interface | KEY_DataLinkProtocol |
                                KEY_NetworkProtocol | KEY_TransportProtocol);
        return *m_Tuples.back();
    }

private:
    std::vector<std::unique_ptr<Tuple>> m_Tuples;
};

std::unique_ptr<Tuple> HostSelection(const char* address, int side) {
    IpAddress ip(address, true);
    return std::make_unique<Tuple>(ip, side, true);
}

TEST(MonitorDataCriteriaTest, SelectionsAndExceptionsDecideCoverage) {
    Streams streams;
    Tuple& toServer = streams.Make("10.0.0.7", "10.0.0.1", 1, 6);
    Tuple& otherSource = streams.Make("10.0.0.9", "10.0.0.1", 3, 17);
    Tuple& elsewhere = streams.Make("10.0.0.7", "10.0.0.2");

    MonitorDataCriteria none;
    EXPECT_FALSE(none.Matches(toServer));

    MonitorDataCriteria toOne;
    toOne.AddSelection(HostSelection("10.0.0.1", KEY_Destination));
    EXPECT_TRUE(toOne.Matches(toServer));
    EXPECT_TRUE(toOne.Matches(otherSource));
    EXPECT_FALSE(toOne.Matches(elsewhere));

    toOne.AddException(HostSelection("10.0.0.9", KEY_Source));
    EXPECT_TRUE(toOne.Matches(toServer));
    EXPECT_FALSE(toOne.Matches(otherSource));

    const MonitorDataCriteria reversed(toOne, true);
    EXPECT_FALSE(reversed.Matches(toServer));
    EXPECT_EQ(reversed.GetSelections().Get(0).GetKey(), KEY_Destination);
    EXPECT_EQ(reversed.GetExceptions().GetSize(), 1u);
}

struct ActionLog {
    std::vector<Timestamp> updates;
    int deleted = 0;
};

// An element that counts what reaches it and takes the time of its last data.
class CountingElement : public MonitorActionElement {
public:
    CountingElement() : MonitorActionElement(nullptr, PointerAssignment) {}
    CountingElement(const CountingElement& other) : MonitorActionElement(other, PointerAssignment) {}

    void OnConversation(const Conversation&) override { ++conversations; }
    void Evaluate() override { ++evaluations; }
    void Reset() override {}
    void SetCapacity(double value) override { capacity = value; }
    void SetEvaluation(const ActionEvaluation&) override {}
    void OnData(const FrameView&, const Conversation&) override {
        ++data;
        SetTime(Timestamp::Now());
    }

    int conversations = 0;
    int evaluations = 0;
    int data = 0;
    double capacity = -1;
};

class TestAction : public MonitorAction {
public:
    TestAction(const TimeSpan& period, uint32_t repetitions, ActionLog& log)
        : MonitorAction(&log, SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT, DATA_PERIODIC, period, repetitions),
          m_Log(log) {}
    TestAction(const TestAction& parent, std::size_t selection)
        : MonitorAction(parent, selection), m_Log(parent.m_Log) {}
    ~TestAction() override { ++m_Log.deleted; }

    bool SendUpdate() override {
        m_Log.updates.push_back(Timestamp::Now());
        return true;
    }
    bool SendInitialize() override { return true; }
    std::unique_ptr<MonitorAction> Clone(std::size_t selection) const override {
        return std::make_unique<TestAction>(*this, selection);
    }
    std::unique_ptr<MonitorActionElement>
    CreateElement(const MonitorActionElement& templateElement) const override {
        return std::make_unique<CountingElement>(static_cast<const CountingElement&>(templateElement));
    }

private:
    ActionLog& m_Log;
};

class MonitorActionTest : public ::testing::Test {
protected:
    // Moves the clock to hh:mm:ss.mmm after its start, which is midnight.
    void At(std::int64_t ms) { clock.AdvanceMilliseconds(ms - Now()); }
    std::int64_t Now() const {
        return std::int64_t(Timestamp::Now().GetTicks() - EngineTestClock::kStart) / 10'000;
    }
    static std::int64_t Clock(int h, int m, int s, int ms = 0) {
        return ((h * 60 + m) * 60 + s) * 1000LL + ms;
    }
    std::vector<std::int64_t> Times(const std::vector<Timestamp>& times) const {
        std::vector<std::int64_t> ms;
        for (const Timestamp& t : times)
            ms.push_back(std::int64_t(t.GetTicks() - EngineTestClock::kStart) / 10'000);
        return ms;
    }
    // Ticks every 500 ms up to the given time.
    void TickUntil(MonitorAction& action, std::int64_t until) {
        while (Now() + 500 <= until) {
            clock.AdvanceMilliseconds(500);
            action.OnTick(Timestamp::Now());
        }
    }

    EngineTestClock clock;
    ScopedEngineGlobals engine;
    ActionLog log;
};

TEST_F(MonitorActionTest, FirstEvaluationFallsOnThePeriodBoundaryThenEveryPeriod) {
    At(Clock(10, 0, 25));
    TestAction action(TimeSpan(60, Unit::Seconds), 0, log);
    action.AddSelection(HostSelection("10.0.0.1", KEY_Destination));
    ASSERT_TRUE(action.BuildElements(std::make_unique<CountingElement>()));
    TickUntil(action, Clock(10, 3, 10));
    EXPECT_EQ(Times(log.updates),
              (std::vector<std::int64_t>{Clock(10, 1, 0), Clock(10, 2, 0), Clock(10, 3, 0)}));
    EXPECT_EQ(static_cast<CountingElement&>(action.GetData()->Get(0)).evaluations, 3);
}

TEST_F(MonitorActionTest, TheLastRepetitionDeletesTheAction) {
    auto* action = new TestAction(TimeSpan(5, Unit::Seconds), 3, log);
    action->AddSelection(HostSelection("10.0.0.1", KEY_Destination));
    action->BuildElements(std::make_unique<CountingElement>());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(log.deleted, 0);
        clock.AdvanceMilliseconds(5000);
        action->OnTick(Timestamp::Now());
    }
    EXPECT_EQ(log.updates.size(), 3u);
    EXPECT_EQ(log.deleted, 1);
}

TEST_F(MonitorActionTest, AZeroPeriodIsDueOnEveryTick) {
    TestAction action(TimeSpan(), 0, log);
    for (int i = 0; i < 4; ++i) {
        clock.AdvanceMilliseconds(500);
        action.OnTick(Timestamp::Now());
    }
    EXPECT_EQ(log.updates.size(), 4u);
}

TEST_F(MonitorActionTest, AnOpenSourceGivesOneElementPerSourceAndOldElementsAgeOut) {
    Streams streams;
    Tuple& a = streams.Make("10.0.0.7", "10.0.0.1");
    Tuple& aAgain = streams.Make("10.0.0.7", "10.0.0.1", 2, 17);
    Tuple& b = streams.Make("10.0.0.8", "10.0.0.1");
    TestAction action(TimeSpan(60, Unit::Seconds), 0, log);
    action.AddSelection(Tuple::MakeWildcard(KEY_Source));
    ASSERT_TRUE(action.IsDynamic());
    EXPECT_EQ(action.GetWildcardKey(), KEY_Source);
    action.BuildElements(std::make_unique<CountingElement>());
    action.GetItemDisplay().SetMaxAge(TimeSpan(90, Unit::Seconds));

    const Conversation onA(&a), onAAgain(&aAgain), onB(&b);
    const test::FakeFrame frame;
    action.OnData(frame, onA);
    action.OnData(frame, onAAgain);
    clock.AdvanceMilliseconds(60'000);
    action.OnData(frame, onB);
    ASSERT_EQ(action.GetData()->GetSize(), 2u);
    EXPECT_EQ(static_cast<CountingElement&>(action.GetData()->Get(0)).data, 2);

    clock.AdvanceMilliseconds(40'000);
    action.Evaluate();
    ASSERT_EQ(action.GetData()->GetSize(), 1u);
    EXPECT_EQ(action.GetData()->FindBySelector(b), &action.GetData()->Get(0));
    EXPECT_EQ(action.GetData()->FindBySelector(a), nullptr);
}

TEST_F(MonitorActionTest, TwoSelectionsGiveTwoSubActionsOfOneElementEach) {
    TestAction action(TimeSpan(60, Unit::Seconds), 0, log);
    action.AddSelection(HostSelection("10.0.0.1", KEY_Destination));
    action.AddSelection(HostSelection("10.0.0.2", KEY_Destination));
    ASSERT_TRUE(action.BuildElements(std::make_unique<CountingElement>()));
    EXPECT_EQ(action.GetSelectionType(), MonitorAction::SELECTION_DISCRETE);
    EXPECT_TRUE(action.IsReady());
    ASSERT_EQ(action.GetSubActionCount(), 2u);
    Streams streams;
    Tuple& toSecond = streams.Make("10.0.0.7", "10.0.0.2");
    for (std::size_t i = 0; i < 2; ++i) {
        const MonitorAction& sub = *action.GetSubAction(i);
        EXPECT_EQ(sub.GetParent(), &action);
        EXPECT_EQ(sub.GetSelectionType(), MonitorAction::SELECTION_MERGED);
        EXPECT_EQ(sub.CountElements(), 1u);
        EXPECT_EQ(sub.Matches(toSecond), i == 1);
    }
    EXPECT_EQ(action.CountElements(), 2u);
}

// Frames to one destination from any source: a dynamic selection.
std::unique_ptr<Tuple> AnySourceTo(const char* destination) {
    std::unique_ptr<Tuple> tuple = HostSelection(destination, KEY_Destination);
    tuple->SetKey(KEY_Source | KEY_Destination);
    return tuple;
}

TEST_F(MonitorActionTest, ASubActionTrimmedAwayLeavesTheTuplesBeforeItIsDeleted) {
    Environment& live = *TheMonitorGlobals().m_Environment;
    auto frameTo = [&](const char* destination) {
        const test::FakeFrame frame =
            test::IpFrame("00:00:00:00:00:01", "10.0.0.7", "00:00:00:00:00:02", destination);
        Tuple* tuple = live.TupleForPacket(frame);
        Conversation conversation(tuple);
        conversation.AddPacket(frame);
        return tuple;
    };
    auto made = std::make_unique<TestAction>(TimeSpan(60, Unit::Seconds), 0, log);
    TestAction& action = *made;
    action.AddSelection(AnySourceTo("10.0.0.1"));
    action.AddSelection(AnySourceTo("10.0.0.2"));
    ASSERT_TRUE(action.BuildElements(std::make_unique<CountingElement>()));
    action.GetItemDisplay().SetMaxAge(TimeSpan(90, Unit::Seconds));
    ASSERT_TRUE(TheMonitorGlobals().m_Pools.Trends().Add(std::move(made)));

    frameTo("10.0.0.1");
    Tuple* second = frameTo("10.0.0.2");
    ASSERT_NE(second->GetActions(), nullptr);
    clock.AdvanceMilliseconds(60'000);
    frameTo("10.0.0.1");
    clock.AdvanceMilliseconds(40'000);
    action.Evaluate();

    ASSERT_EQ(action.GetSubActionCount(), 1u);
    EXPECT_EQ(log.deleted, 1);
    EXPECT_EQ(second->GetActions(), nullptr);
    frameTo("10.0.0.2");
    EXPECT_EQ(action.CountElements(), 1u);
}

TEST_F(MonitorActionTest, CapacityIsWhatTheWatchedLinksCarryInWholeSecondsOfThePeriod) {
    struct Case {
        const char* name;
        TimeSpan period;
        std::vector<uint64_t> speeds;
        uint16_t interface;
        double capacity;
    };
    const Case cases[] = {
        {"two 10 Gbit/s links, 60 s",
         TimeSpan(60, Unit::Seconds),
         {10'000'000'000, 10'000'000'000},
         NoInterface,
         150'000'000'000.0},
        {"one interface of two",
         TimeSpan(60, Unit::Seconds),
         {10'000'000'000, 100'000'000},
         1,
         750'000'000.0},
        {"under a second", TimeSpan(500, Unit::Milliseconds), {100'000'000}, NoInterface, 0.0},
        {"seconds truncated", TimeSpan(1500, Unit::Milliseconds), {8'000}, NoInterface, 1000.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeAdapters adapters(48);
        adapters.m_Speeds = c.speeds;
        TestAction action(c.period, 0, log);
        auto selection = std::make_unique<Tuple>(uint16_t(c.interface), KEY_Interface);
        if (c.interface == NoInterface) selection = HostSelection("10.0.0.1", KEY_Destination);
        action.AddSelection(std::move(selection));
        action.BuildElements(std::make_unique<CountingElement>());
        action.SetAdapters(adapters);
        EXPECT_EQ(action.GetCapacity(), c.capacity);
        EXPECT_EQ(static_cast<CountingElement&>(action.GetData()->Get(0)).capacity, c.capacity);
    }
}

TEST_F(MonitorActionTest, ACopyHasTheParentsSettingsAndOneSelection) {
    TestAction parent(TimeSpan(60, Unit::Seconds), 7, log);
    parent.AddSelection(HostSelection("10.0.0.1", KEY_Destination));
    parent.AddSelection(HostSelection("10.0.0.2", KEY_Destination));
    parent.AddException(HostSelection("10.0.0.9", KEY_Source));
    parent.SetRange(TimeRange(Timestamp::Now(), Timestamp::Now() + TimeSpan(1, Unit::Hours)));
    parent.SetEvaluation(1, 2, 8.0);
    const TestAction sub(parent, 1);
    EXPECT_EQ(sub.GetCriteria().GetSelections().GetSize(), 1u);
    EXPECT_EQ(sub.GetCriteria().GetExceptions().GetSize(), 1u);
    EXPECT_FALSE(sub.GetRange().IsValid());
    EXPECT_EQ(sub.GetReplyRange().GetStart(), parent.GetRange().GetStart());
    EXPECT_EQ(sub.GetRepetitions(), 7u);
    EXPECT_EQ(sub.GetUpdateTime(), parent.GetUpdateTime());
}

std::string MaskPointers(const std::string& text) {
    return std::regex_replace(text, std::regex("0x[0-9a-f]+|\\(nil\\)"), "%p");
}

// A destination host as a selection tuple prints when described bare: the key, both hosts (the
// source the empty host), the fields and no action sets.
constexpr const char* kSelectionTo1 =
    "KEY_Destination "
    "0 00:00:00:00:00:00 0.0.0.0 00000000,000000000000 UNKNOWN UNKNOWN UNKNOWN UNKNOWN UNKNOWN UNKNOWN "
    "2 00:00:00:00:00:00 10.0.0.1 00000000,000000000000 UNKNOWN UNKNOWN UNKNOWN UNKNOWN UNKNOWN UNKNOWN "
    "65535 0 0 0 0 0 0 0 $%p";

TEST_F(MonitorActionTest, DescriptionGivesTheRequestThenTheActionsState) {
    At(Clock(10, 0, 25));
    TestAction action(TimeSpan(60, Unit::Seconds), 3, log);
    action.AddSelection(HostSelection("10.0.0.1", KEY_Destination));
    ASSERT_TRUE(action.BuildElements(std::make_unique<CountingElement>()));
    EXPECT_EQ(action.DescribeColumns(4, false),
              "ID Target DataType Period CreateT UpdateT Reps SelType ReplyThr "
              "SubAction WildKey Key Capacty Criteria dynamic? TemplDataEl DataPtr");
    // Times are local (the tests run in Berlin); the criteria end with their empty exceptions.
    EXPECT_EQ(
        MaskPointers(action.DescribeMembers(1 | 4, 0, false)),
        std::string("$%p TARGET_CURRENT DATA_PERIODIC 0h 1m 0s 2026/01/01/11:00:25 2026/01/01/11:01:00 3 "
                    "SELECTION_MERGED $%p $%p 0 0 0  (1 elements)\n") +
            kSelectionTo1 + "  (empty) false $%p $%p");
    EXPECT_EQ(MaskPointers(action.GetData()->DescribeObject(1 | 4, 0)),
              std::string("MODE_FIXED (1 elements)\n0\n") + kSelectionTo1);
}

TEST_F(MonitorActionTest, DescriptionFollowsHowTheElementsAreMade) {
    // Outlives the actions: the elements made for its streams share their hosts.
    Streams streams;
    auto merged = std::make_unique<TestAction>(TimeSpan(60, Unit::Seconds), 0, log);
    merged->AddSelection(HostSelection("10.0.0.1", KEY_Destination));
    auto discrete = std::make_unique<TestAction>(TimeSpan(60, Unit::Seconds), 0, log);
    discrete->AddSelection(HostSelection("10.0.0.1", KEY_Destination));
    discrete->AddSelection(HostSelection("10.0.0.2", KEY_Destination));
    auto dynamic = std::make_unique<TestAction>(TimeSpan(60, Unit::Seconds), 0, log);
    dynamic->AddSelection(AnySourceTo("10.0.0.1"));
    struct Case {
        const char* name;
        TestAction& action;
        const char* state;    // selection type, reply thread, sub-actions, wildcard key, key, capacity
        const char* elements; // dynamic flag, template, element array
    };
    const Case cases[] = {
        {"merged", *merged, "SELECTION_MERGED $%p $%p 0 0 0", "false $%p $%p"},
        {"discrete", *discrete, "SELECTION_DISCRETE $%p $%p 0 0 0", "false $%p $%p"},
        {"dynamic", *dynamic, "SELECTION_MERGED $%p $%p 1 0 0", "true $%p $%p"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.action.BuildElements(std::make_unique<CountingElement>()));
        // The action's state follows the request's values, which end with no repetition limit.
        const std::string described = MaskPointers(c.action.DescribeMembers(1 | 4, 0, false));
        EXPECT_NE(described.find(std::string(" 0 ") + c.state + " "), std::string::npos) << described;
        EXPECT_EQ(described.substr(described.size() - std::strlen(c.elements)), c.elements) << described;
    }
    EXPECT_EQ(merged->GetData()->GetMode(), MonitorActionArray::MODE_FIXED);
    EXPECT_EQ(dynamic->GetData(), nullptr);

    // Elements made for the values of the open part make the array a variable one.
    const Conversation seen(&streams.Make("10.0.0.7", "10.0.0.1"));
    dynamic->OnData(test::FakeFrame(), seen);
    ASSERT_NE(dynamic->GetData(), nullptr);
    const std::string heading =
        "\n[class MonitorActionArray members]\nm_Mode=<MODE_VARIABLE> (1 elements)\nIndex=<0>\n";
    EXPECT_EQ(dynamic->GetData()->DescribeMembers(0, 0, false).substr(0, heading.size()), heading);
    EXPECT_STREQ(MonitorActionArray::ModeName(3), "mode?");
    EXPECT_STREQ(MonitorAction::SelectionTypeName(3), "selection?");
    EXPECT_EQ(MonitorActionArray().DescribeMembers(1, 0, false), "MODE_UNSET (empty)");
}

TEST(MonitorDataCriteriaTest, DescriptionListsSelectionsThenExceptions) {
    MonitorDataCriteria criteria;
    EXPECT_EQ(criteria.DescribeMembers(1 | 4, 0, false), " (empty)  (empty)");
    criteria.AddSelection(HostSelection("10.0.0.1", KEY_Destination));
    EXPECT_EQ(MaskPointers(criteria.DescribeMembers(1 | 4, 0, false)),
              std::string(" (1 elements)\n") + kSelectionTo1 + "  (empty)");
    EXPECT_EQ(criteria.DescribeColumns(12, false), "Selections" + std::string(25, ' ') + "Exceptions");
}

} // namespace
} // namespace vq
