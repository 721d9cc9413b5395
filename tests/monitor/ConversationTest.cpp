#include "netmodel/Conversation.h"

#include "../netmodel/ModelFixtures.h"
#include "../runtime/EngineTestClock.h"
#include "MonitorTestSupport.h"
#include "monitor/ActiveDataSet.h"
#include "monitor/ConversationElement.h"
#include "monitor/LiveTraffic.h"
#include "monitor/MonitorActionMessage.h"
#include "monitor/MonitorActionPool.h"
#include "monitor/MonitorActionSet.h"
#include "monitor/MonitorConversation.h"
#include "monitor/MonitorConversationReply.h"
#include "monitor/MonitorGlobals.h"
#include "netmodel/Environment.h"
#include "netmodel/IpAddress.h"
#include "netmodel/Tuple.h"
#include "platform/core/Format.h"
#include "platform/thread/MessageQueue.h"
#include "runtime/EngineGlobals.h"
#include "runtime/ThreadObject.h"
#include "runtime/TimeUnits.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vq {
namespace {

// A frame of the given length between two IP hosts, each with a MAC address of its own.
test::FakeFrame IpFrameBetween(const char* source, const char* destination, const Timestamp& time,
                               uint32_t length = 100) {
    auto mac = [](const char* ip) {
        const test::Ip bytes = test::IpOf(ip);
        return Format("02:00:%02x:%02x:%02x:%02x", bytes[0], bytes[1], bytes[2], bytes[3]);
    };
    test::FakeFrame frame = test::IpFrame(mac(source).c_str(), source, mac(destination).c_str(), destination);
    frame.ticks = time.GetTicks();
    frame.length = length;
    return frame;
}

std::string IpOf(const HostAddress* host) {
    return host && host->HasIp() ? host->GetIp().GetText() : std::string("-");
}

// Which item of a fresh list counts one frame of a stream, and in which direction.
struct SubjectCase {
    const char* name;
    int32_t key;
    const char* subject; // host or protocol value; empty for a subject without any
    bool bidirectional;
    const char* source;
    const char* destination;
    uint16_t interface;
    uint16_t transport;
    const char* expected; // "partner primary/secondary", or "" when the list does not count it
};

TEST(ConversationListTest, SubjectAndKeyKindDecideItemAndDirection) {
    const SubjectCase cases[] = {
        {"from the subject", KEY_Source, "10.0.0.1", true, "10.0.0.1", "10.0.0.2", 1, 6, "10.0.0.2 1/0"},
        {"to the subject", KEY_Source, "10.0.0.1", true, "10.0.0.2", "10.0.0.1", 1, 6, "10.0.0.2 0/1"},
        {"to the subject, one way", KEY_Source, "10.0.0.1", false, "10.0.0.2", "10.0.0.1", 1, 6, ""},
        {"between others", KEY_Source, "10.0.0.1", true, "10.0.0.2", "10.0.0.3", 1, 6, ""},
        {"any source", KEY_Source, "", false, "10.0.0.2", "10.0.0.3", 1, 6, "10.0.0.3 1/0"},
        {"to the destination subject", KEY_Destination, "10.0.0.1", true, "10.0.0.2", "10.0.0.1", 1, 6,
         "10.0.0.2 1/0"},
        {"from the destination subject", KEY_Destination, "10.0.0.1", true, "10.0.0.1", "10.0.0.2", 1, 6,
         "10.0.0.2 0/1"},
        {"any destination", KEY_Destination, "", false, "10.0.0.2", "10.0.0.3", 1, 6, "10.0.0.2 1/0"},
        {"any interface", KEY_Interface, "65535", false, "10.0.0.2", "10.0.0.3", 7, 6, "- 1/0"},
        {"its interface", KEY_Interface, "7", false, "10.0.0.2", "10.0.0.3", 7, 6, "- 1/0"},
        {"another interface", KEY_Interface, "7", false, "10.0.0.2", "10.0.0.3", 1, 6, ""},
        {"any transport", KEY_TransportProtocol, "0", false, "10.0.0.2", "10.0.0.3", 1, 17, "- 1/0"},
        {"its transport", KEY_TransportProtocol, "6", false, "10.0.0.2", "10.0.0.3", 1, 6, "- 1/0"},
        {"another transport", KEY_TransportProtocol, "6", false, "10.0.0.2", "10.0.0.3", 1, 17, ""},
    };
    for (const SubjectCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<Tuple> selector;
        if (c.key == KEY_Source || c.key == KEY_Destination) {
            selector = std::make_unique<Tuple>(uint8_t(0));
            selector->SetKey(c.key);
            if (*c.subject) {
                IpAddress ip(c.subject, true);
                selector = std::make_unique<Tuple>(ip, c.key, true);
            }
        } else {
            selector = std::make_unique<Tuple>(uint16_t(std::stoi(c.subject)), c.key);
        }
        IpAddress source(c.source, true), destination(c.destination, true);
        Tuple::Fields fields{};
        fields[FieldInterface] = c.interface;
        fields[FieldTransport] = c.transport;
        Tuple stream(new HostAddress(source, HostAddress::AUTH, true),
                     new HostAddress(destination, HostAddress::AUTH, true), fields, 1);
        const Timestamp time(EngineTestClock::kStart);
        const test::FakeFrame frame = IpFrameBetween(c.source, c.destination, time);
        // As the conversation stamps itself before its tuple hands the frame on.
        Conversation conversation(&stream);
        conversation.m_LastTime = time;

        ConversationList list;
        list.AddPacket(frame, conversation, {c.key, selector.get(), c.bidirectional});
        std::string counted;
        if (list.GetSize() == 1) {
            const ConversationItem& item = list.Get(0);
            counted = Format("%s %lld/%lld", IpOf(item.GetAddress()).c_str(),
                             (long long)item.GetPrimary().Get(TrafficData::Packets),
                             (long long)item.GetSecondary().Get(TrafficData::Packets));
            if (item.GetAddress()) {
                const bool partnerIsSource = *item.GetAddress() == *stream.GetSource();
                EXPECT_EQ(item.GetAddress(), partnerIsSource ? stream.GetSource() : stream.GetDestination())
                    << "live items share the partner";
            }
            EXPECT_EQ(list.GetLastTrafficTime().GetTicks(), time.GetTicks());
        }
        EXPECT_LE(list.GetSize(), 1u);
        EXPECT_EQ(counted, c.expected);
    }
}

TEST(ConversationListTest, APartnerHeldByTwoHostObjectsIsOneItemUntilItExpires) {
    IpAddress subject("10.0.0.1", true), partner("10.0.0.2", true), other("10.0.0.3", true);
    Tuple::Fields fields{};
    fields[FieldInterface] = 1;
    auto stream = [&](IpAddress& destination) {
        return std::make_unique<Tuple>(new HostAddress(subject, HostAddress::AUTH, true),
                                       new HostAddress(destination, HostAddress::AUTH, true), fields, 1);
    };
    const auto toPartner = stream(partner), toPartnerAgain = stream(partner), toOther = stream(other);
    const Tuple selector(subject, KEY_Source, true);
    ConversationList list;
    auto count = [&](Tuple& tuple, const Timestamp& time) {
        Conversation conversation(&tuple);
        conversation.m_LastTime = time;
        const test::FakeFrame frame = IpFrameBetween("10.0.0.1", "10.0.0.2", time);
        list.AddPacket(frame, conversation, {KEY_Source, &selector, false});
    };
    const Timestamp early(EngineTestClock::kStart), late(EngineTestClock::kStart + 120 * 10'000'000ULL);
    count(*toPartner, early);
    count(*toPartnerAgain, early);
    count(*toOther, late);
    ASSERT_EQ(list.GetSize(), 2u);
    EXPECT_EQ(list.Get(0).GetAddress(), toPartner->GetDestination());
    EXPECT_EQ(list.Get(0).GetPrimary().Get(TrafficData::Packets), 2);

    const MonitorDataItemDisplay minute(TimeSpan(1, Unit::Minutes), 0, -1);
    EXPECT_EQ(list.Trim(minute, late, 10), 1);
    count(*toPartnerAgain, late);
    ASSERT_EQ(list.GetSize(), 2u);
    EXPECT_EQ(list.Get(0).GetAddress(), toOther->GetDestination());
    EXPECT_EQ(list.Get(1).GetAddress(), toPartnerAgain->GetDestination());
    EXPECT_EQ(list.Get(1).GetPrimary().Get(TrafficData::Packets), 1);
}

class ReplyThread : public ThreadObject {
public:
    // The queue exists before the first reply is posted to it.
    ReplyThread() {
        MessageQueue::Current();
        SetThreadId(CurrentThreadId());
    }
};

class ConversationTest : public ::testing::Test {
protected:
    static constexpr int64_t kPeriodSeconds = 60;

    ConversationTest()
        : pools(TheMonitorGlobals().m_Pools), live(*TheMonitorGlobals().m_Environment),
          data(TimeSpan(), TimeSpan(), TimeSpan(), LiveTrafficFactory(live)), adapters(0) {
        adapters.m_Speeds = {10'000'000};
    }
    ~ConversationTest() override { TakeReplies(); }

    MonitorConversation& Install(int32_t dataType, uint32_t options, const char* subject = "10.0.0.1",
                                 int32_t key = KEY_Source) {
        auto action = std::make_unique<MonitorConversation>(&identifier, SOURCE_LIVE, SCOPE_TUPLES,
                                                            TARGET_CURRENT, dataType, options,
                                                            TimeSpan(kPeriodSeconds, Unit::Seconds), 0);
        IpAddress ip(subject, true);
        action->AddSelection(std::make_unique<Tuple>(ip, key, true));
        EXPECT_TRUE(action->AddDiscreteElements());
        action->SetEvaluation(MODE_OCTETS, EVALUATE_RATE, 1000.0);
        action->SetReplyThread(&replyThread);
        action->SetAdapters(adapters);
        MonitorConversation& installed = *action;
        EXPECT_TRUE(pools.Conversations().Add(std::move(action)));
        EXPECT_TRUE(installed.Start(&data));
        return installed;
    }

    // Counts a frame in the live data set, which hands it to the actions watching its stream.
    Tuple& Send(const char* source, const char* destination, int64_t secondsAgo = 0, uint32_t length = 100) {
        const Timestamp time(Timestamp::Now().GetTicks() - uint64_t(secondsAgo) * 10'000'000);
        const test::FakeFrame frame = IpFrameBetween(source, destination, time, length);
        data.AddPacket(frame);
        return *live.TupleForPacket(frame);
    }

    void NextPeriod() {
        clock.AdvanceMilliseconds(kPeriodSeconds * 1000);
        pools.UpdateAll(Timestamp::Now());
    }

    std::vector<std::unique_ptr<ThreadMessage>> TakeReplies() {
        std::vector<std::unique_ptr<ThreadMessage>> messages;
        QueueEntry entry;
        while (MessageQueue::Current().Peek(entry)) {
            std::unique_ptr<ThreadMessage> message(reinterpret_cast<ThreadMessage*>(entry.lParam));
            // The live model's host announcements are not replies.
            if (entry.message != WM_State_Address) messages.push_back(std::move(message));
        }
        return messages;
    }

    // The reply of the only Update sent since the last call.
    std::unique_ptr<MonitorConversationUpdateMessage> TakeUpdate() {
        auto messages = TakeReplies();
        std::unique_ptr<MonitorConversationUpdateMessage> update;
        for (auto& message : messages) {
            if (message->GetMessageId() != WM_Conversation_Update) continue;
            EXPECT_FALSE(update) << "more than one update";
            update.reset(static_cast<MonitorConversationUpdateMessage*>(message.release()));
        }
        EXPECT_TRUE(update);
        return update;
    }

    static const MonitorConversationReply& ReplyOf(const MonitorActionUpdateMessage& message) {
        return static_cast<const MonitorConversationReply&>(*message.GetReply());
    }

    // Partner and packets in each direction of every item of the reply's only element.
    static std::vector<std::string> Items(const MonitorConversationReply& reply) {
        EXPECT_EQ(reply.GetSize(), 1u);
        std::vector<std::string> items;
        if (reply.GetSize() == 0) return items;
        const ConversationList& list = reply.GetElement(0).GetList();
        for (std::size_t i = 0; i < list.GetSize(); ++i) {
            const ConversationItem& item = list.Get(i);
            items.push_back(Format("%s %lld/%lld", IpOf(item.GetAddress()).c_str(),
                                   (long long)item.GetPrimary().Get(TrafficData::Packets),
                                   (long long)item.GetSecondary().Get(TrafficData::Packets)));
        }
        return items;
    }

    EngineTestClock clock;
    ScopedEngineGlobals engine;
    MonitorActionPools& pools;
    Environment& live;
    ActiveDataSet data;
    FakeAdapters adapters;
    ReplyThread replyThread;
    int identifier = 0;
};

TEST_F(ConversationTest, BidirectionalActionCountsBothDirectionsOfAPartnerInOneItem) {
    Install(DATA_CUMULATIVE, MonitorConversation::OPTION_BIDIRECTIONAL);
    auto initialize = TakeReplies();
    ASSERT_EQ(initialize.size(), 1u);
    EXPECT_EQ(initialize[0]->GetMessageId(), WM_Conversation_Initialize);
    const auto& first = *static_cast<MonitorConversationInitializeMessage&>(*initialize[0]).GetReply();
    EXPECT_EQ(first.GetMode(), MODE_INITIALIZE);
    EXPECT_EQ(first.GetIdentifier(), &identifier);

    for (int i = 0; i < 3; ++i)
        Send("10.0.0.1", "10.0.0.2");
    Send("10.0.0.2", "10.0.0.1");
    Send("10.0.0.2", "10.0.0.1");
    Send("10.0.0.1", "10.0.0.3");
    Tuple& elsewhere = Send("10.0.0.2", "10.0.0.3");
    EXPECT_EQ(elsewhere.GetActions(), nullptr);

    NextPeriod();
    auto update = TakeUpdate();
    ASSERT_TRUE(update);
    EXPECT_EQ(ReplyOf(*update).GetMode(), MODE_UPDATE);
    EXPECT_EQ(Items(ReplyOf(*update)), (std::vector<std::string>{"10.0.0.2 3/2", "10.0.0.3 1/0"}));
    // Partners met after install evaluate as the action does: octets per second of a minute's
    // capacity of a 10 Mbit/s link.
    const ConversationItem& met = ReplyOf(*update).GetElement(0).GetList().Get(1);
    EXPECT_EQ(met.GetPrimary().GetInterval().GetTicks(), TimeSpan(kPeriodSeconds, Unit::Seconds).GetTicks());
    EXPECT_EQ(met.GetSecondary().GetMode(), MODE_OCTETS);
    EXPECT_EQ(met.GetPrimary().GetCapacity(), 75'000'000.0);

    // Cumulative: the next update keeps counting on.
    Send("10.0.0.2", "10.0.0.1");
    NextPeriod();
    update = TakeUpdate();
    ASSERT_TRUE(update);
    EXPECT_EQ(Items(ReplyOf(*update)), (std::vector<std::string>{"10.0.0.2 3/3", "10.0.0.3 1/0"}));
}

TEST_F(ConversationTest, WithoutTheOptionTrafficToTheSubjectIsNotEvenAttached) {
    MonitorConversation& action = Install(DATA_CUMULATIVE, 0);
    Tuple& toSubject = Send("10.0.0.2", "10.0.0.1");
    Tuple& fromSubject = Send("10.0.0.1", "10.0.0.2");
    EXPECT_EQ(toSubject.GetActions(), nullptr);
    ASSERT_NE(fromSubject.GetActions(), nullptr);
    EXPECT_TRUE(static_cast<MonitorActionSets*>(fromSubject.GetActions())->Contains(action));
    EXPECT_EQ(action.GetReverseCriteria(), nullptr);

    NextPeriod();
    auto update = TakeUpdate();
    ASSERT_TRUE(update);
    EXPECT_EQ(Items(ReplyOf(*update)), std::vector<std::string>{"10.0.0.2 1/0"});
}

TEST_F(ConversationTest, KeyedOnTheDestinationTheSubjectsTrafficToAPartnerIsSecondary) {
    Install(DATA_CUMULATIVE, MonitorConversation::OPTION_BIDIRECTIONAL, "10.0.0.1", KEY_Destination);
    Send("10.0.0.2", "10.0.0.1");
    Send("10.0.0.1", "10.0.0.2");
    Send("10.0.0.1", "10.0.0.2");
    NextPeriod();
    auto update = TakeUpdate();
    ASSERT_TRUE(update);
    EXPECT_EQ(Items(ReplyOf(*update)), std::vector<std::string>{"10.0.0.2 1/2"});
}

TEST_F(ConversationTest, PeriodicRepliesRestartFromZeroAndDropSilentPartners) {
    Install(DATA_PERIODIC, MonitorConversation::OPTION_BIDIRECTIONAL);
    Send("10.0.0.1", "10.0.0.2");
    Send("10.0.0.1", "10.0.0.2");
    Send("10.0.0.3", "10.0.0.1");
    NextPeriod();
    auto update = TakeUpdate();
    ASSERT_TRUE(update);
    EXPECT_EQ(Items(ReplyOf(*update)), (std::vector<std::string>{"10.0.0.2 2/0", "10.0.0.3 0/1"}));

    Send("10.0.0.1", "10.0.0.2");
    NextPeriod();
    update = TakeUpdate();
    ASSERT_TRUE(update);
    EXPECT_EQ(Items(ReplyOf(*update)), std::vector<std::string>{"10.0.0.2 1/0"});

    NextPeriod();
    update = TakeUpdate();
    ASSERT_TRUE(update);
    EXPECT_EQ(Items(ReplyOf(*update)), std::vector<std::string>{});
}

TEST_F(ConversationTest, ForcedResetClearsACumulativeAction) {
    MonitorConversation& action = Install(DATA_CUMULATIVE, 0);
    Send("10.0.0.1", "10.0.0.2");
    EXPECT_FALSE(action.Reset(false));
    EXPECT_EQ(action.CountItems(), 1);
    clock.AdvanceMilliseconds(1);
    EXPECT_TRUE(pools.Conversations().ResetAll());
    EXPECT_EQ(action.CountItems(), 0);
}

// Partners with the age of their traffic in minutes, over the hour stale; the first partner was
// also heard from a minute ago when `firstAnswered` is set.
struct TrimCase {
    const char* name;
    std::vector<int> ages;
    bool firstAnswered;
    std::vector<int> kept;
};

TEST_F(ConversationTest, ExpiryRemovesStaleItemsFrontToBackDownToTheMinimum) {
    const TrimCase cases[] = {
        {"15 items, 8 stale: the first 5 stale go",
         {120, 90, 90, 5, 120, 2, 61, 70, 3, 80, 4, 95, 6, 99, 7},
         true,
         {0, 3, 5, 8, 9, 10, 11, 12, 13, 14}},
        {"12 items, 8 stale: 2 go",
         {90, 1, 90, 90, 2, 90, 3, 90, 90, 4, 90, 90},
         false,
         {1, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
    };
    for (const TrimCase& c : cases) {
        SCOPED_TRACE(c.name);
        MonitorConversation& action = Install(DATA_CUMULATIVE, MonitorConversation::OPTION_BIDIRECTIONAL);
        action.GetItemDisplay().SetMaxAge(TimeSpan(60, Unit::Minutes));
        action.GetItemDisplay().SetMinCount(10);
        auto partner = [](std::size_t i) { return Format("10.0.1.%d", int(i) + 1); };
        for (std::size_t i = 0; i < c.ages.size(); ++i)
            Send("10.0.0.1", partner(i).c_str(), int64_t(c.ages[i]) * 60);
        if (c.firstAnswered) Send(partner(0).c_str(), "10.0.0.1", 60);

        NextPeriod();
        auto update = TakeUpdate();
        ASSERT_TRUE(update);
        const ConversationList& list = ReplyOf(*update).GetElement(0).GetList();
        std::vector<std::string> kept, expected;
        for (std::size_t i = 0; i < list.GetSize(); ++i)
            kept.push_back(IpOf(list.Get(i).GetAddress()));
        for (int index : c.kept)
            expected.push_back(partner(std::size_t(index)));
        EXPECT_EQ(kept, expected);
        action.Uninstall();
    }
}

TEST_F(ConversationTest, RepliesOwnTheirHostsAndOutliveTheAction) {
    MonitorConversation& action = Install(DATA_CUMULATIVE, MonitorConversation::OPTION_BIDIRECTIONAL);
    Send("10.0.0.1", "10.0.0.2");
    Send("10.0.0.3", "10.0.0.1");
    NextPeriod();
    auto update = TakeUpdate();
    ASSERT_TRUE(update);
    const ConversationList& copied = ReplyOf(*update).GetElement(0).GetList();
    ASSERT_EQ(copied.GetSize(), 2u);
    const HostAddress* liveHost = live.GetHostTable().FindEqual(*copied.Get(0).GetAddress());
    ASSERT_NE(liveHost, nullptr);
    EXPECT_NE(copied.Get(0).GetAddress(), liveHost);
    EXPECT_TRUE(copied.Get(0).OwnsAddress());
    EXPECT_NE(&copied.Get(0).GetAddress()->GetIp(), &liveHost->GetIp());

    action.Uninstall();
    EXPECT_EQ(pools.Conversations().GetCount(), 0u);
    EXPECT_EQ(IpOf(copied.Get(1).GetAddress()), "10.0.0.3");
    EXPECT_NE(ReplyOf(*update).DescribeObject(0, 0).find("m_Index=<0> (2 elements)"), std::string::npos)
        << "the reply's dump walks nothing of the action";
    update.reset();
    EXPECT_EQ(IpOf(liveHost), "10.0.0.2");
    Send("10.0.0.1", "10.0.0.2");
    EXPECT_EQ(live.GetHostTable().FindEqual(*liveHost), liveHost);
}

TEST_F(ConversationTest, ACumulativeActionStartsFromItsTuplesConversationsAPeriodicOneEmpty) {
    Send("10.0.0.1", "10.0.0.2");
    Send("10.0.0.1", "10.0.0.2");
    Send("10.0.0.3", "10.0.0.1");
    Send("10.0.0.3", "10.0.0.4");
    data.Tick(Timestamp::Now());

    struct Case {
        int32_t dataType;
        std::vector<std::string> items;
    };
    for (const Case& c : {Case{DATA_CUMULATIVE, {"10.0.0.2 2/0", "10.0.0.3 0/1"}}, Case{DATA_PERIODIC, {}}}) {
        SCOPED_TRACE(c.dataType);
        MonitorConversation& action = Install(c.dataType, MonitorConversation::OPTION_BIDIRECTIONAL);
        auto replies = TakeReplies();
        ASSERT_EQ(replies.size(), 1u);
        ASSERT_EQ(replies[0]->GetMessageId(), WM_Conversation_Initialize);
        const auto& reply = static_cast<const MonitorConversationReply&>(
            *static_cast<MonitorConversationInitializeMessage&>(*replies[0]).GetReply());
        EXPECT_EQ(Items(reply), c.items);
        action.Uninstall();
    }
}

TEST_F(ConversationTest, ProtocolViewsGetOneHostlessItemPerProtocolValue) {
    auto action =
        std::make_unique<MonitorConversation>(&identifier, SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT,
                                              DATA_CUMULATIVE, 0, TimeSpan(kPeriodSeconds, Unit::Seconds), 0);
    action->AddSelection(Tuple::MakeWildcard(KEY_TransportProtocol));
    ASSERT_TRUE(action->AddDiscreteElements());
    action->SetReplyThread(&replyThread);
    MonitorConversation& installed = *action;
    ASSERT_TRUE(pools.Conversations().Add(std::move(action)));
    installed.Start(&data);
    EXPECT_TRUE(installed.IsDynamic());

    const Timestamp now = Timestamp::Now();
    for (auto [source, destination, port] : {std::tuple{"10.0.0.1", "10.0.0.2", 53},
                                             {"10.0.0.3", "10.0.0.4", 53},
                                             {"10.0.0.1", "10.0.0.2", 0}}) {
        test::FakeFrame frame = IpFrameBetween(source, destination, now);
        if (port) {
            frame.ids[FrameView::Transport] = 17;
            frame.endpoints = std::array<FrameView::Endpoint, 2>{FrameView::Endpoint{1, 1000},
                                                                 FrameView::Endpoint{2, uint16_t(port)}};
        }
        data.AddPacket(frame);
    }
    TakeReplies();
    NextPeriod();
    auto update = TakeUpdate();
    ASSERT_TRUE(update);
    const MonitorConversationReply& reply = ReplyOf(*update);
    ASSERT_EQ(reply.GetSize(), 2u);
    std::vector<std::string> elements;
    for (std::size_t i = 0; i < reply.GetSize(); ++i) {
        const ConversationList& list = reply.GetElement(i).GetList();
        ASSERT_EQ(list.GetSize(), 1u);
        EXPECT_EQ(list.Get(0).GetAddress(), nullptr);
        elements.push_back(Format("%u: %lld",
                                  reply.GetElement(i).GetSelector()->GetKeyValue(KEY_TransportProtocol),
                                  (long long)list.Get(0).GetPrimary().Get(TrafficData::Packets)));
    }
    EXPECT_EQ(elements, (std::vector<std::string>{"17: 2", "0: 1"}));
}

TEST_F(ConversationTest, DiscreteRepliesTakeTheTemplateOfASubActionWithoutElements) {
    auto action =
        std::make_unique<MonitorConversation>(&identifier, SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT,
                                              DATA_CUMULATIVE, 0, TimeSpan(kPeriodSeconds, Unit::Seconds), 0);
    IpAddress subject("10.0.0.1", true);
    action->AddSelection(std::make_unique<Tuple>(subject, KEY_Source, true));
    action->AddSelection(Tuple::MakeWildcard(KEY_TransportProtocol));
    ASSERT_TRUE(action->AddDiscreteElements());
    ASSERT_EQ(action->GetSubActionCount(), 2u);
    EXPECT_EQ(action->GetSubAction(1)->GetData()->GetSize(), 0u);
    action->SetReplyThread(&replyThread);
    MonitorConversation& installed = *action;
    ASSERT_TRUE(pools.Conversations().Add(std::move(action)));
    installed.Start(&data);

    auto replies = TakeReplies();
    ASSERT_EQ(replies.size(), 1u);
    const auto& reply = static_cast<const MonitorConversationReply&>(
        *static_cast<MonitorConversationInitializeMessage&>(*replies[0]).GetReply());
    ASSERT_EQ(reply.GetSize(), 2u);
    EXPECT_EQ(reply.GetElement(0).GetSelector()->GetKey(), KEY_Source);
    EXPECT_EQ(reply.GetElement(1).GetList().GetSize(), 0u);
    installed.Uninstall();
    EXPECT_EQ(pools.Conversations().GetCount(), 0u);
}

} // namespace
} // namespace vq
