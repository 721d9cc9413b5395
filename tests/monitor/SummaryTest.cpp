#include "../netmodel/ModelFixtures.h"
#include "MonitorTestSupport.h"
#include "monitor/IntervalSummary.h"
#include "monitor/MonitorActionMessage.h"
#include "monitor/MonitorActionPool.h"
#include "monitor/MonitorSummary.h"
#include "monitor/SummaryItem.h"
#include "netmodel/Conversation.h"
#include "netmodel/IpAddress.h"
#include "netmodel/Tuple.h"
#include "runtime/MessageIds.h"
#include "runtime/TimeUnits.h"

#include <gtest/gtest.h>
#include <numeric>

namespace vq {
namespace {

constexpr int64_t kMinute = 60'000;
constexpr int64_t kInterval = 5 * kMinute;

TimeSpan Minutes(int64_t minutes) {
    return TimeSpan(minutes, Unit::Minutes);
}

TEST(SummaryItemTest, APeriodCoversWholeIntervalsOfTheRing) {
    const TimeSpan interval = Minutes(5);
    struct Case {
        TimeSpan span;
        uint32_t intervals;
        int64_t timeTicks;
    } cases[] = {
        {Minutes(5), 1, Minutes(5).GetTicks()},      {Minutes(60), 12, Minutes(60).GetTicks()},
        {Minutes(480), 96, Minutes(480).GetTicks()}, {Minutes(2), 1, Minutes(2).GetTicks()},
        {Minutes(600), 97, Minutes(600).GetTicks()}, {MAX_SPAN, 97, Minutes(5 * 97).GetTicks()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.span.GetTicks());
        const SummaryItem item(c.span, interval, 97);
        EXPECT_EQ(item.GetPeriod(), c.intervals);
        EXPECT_EQ(item.GetTime().GetTicks(), c.timeTicks);
        EXPECT_FALSE(item.IsReady());
    }
    // Nothing to divide by: one interval, not a fault.
    EXPECT_EQ(SummaryItem(Minutes(60), TimeSpan(), 97).GetPeriod(), 1u);
}

TEST(SummaryItemTest, CountsCompleteIntervalsUntilReadyAndScalesTheCapacity) {
    SummaryItem item(Minutes(15), Minutes(5), 97);
    item.SetCapacity(1000.0);
    EXPECT_EQ(item.GetStatistic().GetCapacity(), 3000.0);
    for (int i = 0; i < 5; ++i)
        item.CountInterval();
    EXPECT_TRUE(item.IsReady());
    EXPECT_EQ(item.GetCounter(), 3u);
    item.Reset();
    EXPECT_FALSE(item.IsReady());
    EXPECT_EQ(item.GetCounter(), 0u);
}

TEST(SummaryItemTest, AddItemsSumsOnlyTheCommonLeadingItems) {
    SummaryList longer;
    SummaryList shorter;
    for (int64_t minutes : {5, 60, 480})
        longer.Add(SummaryItem(Minutes(minutes), Minutes(5), 97));
    shorter.Add(SummaryItem(Minutes(5), Minutes(5), 97));
    SummaryElement sum(longer);
    SummaryElement other(shorter);
    for (SummaryElement* element : {&sum, &other})
        for (SummaryItem& item : element->GetList())
            item.GetStatistic().m_Counters[TrafficData::Packets] = 4;
    sum.AddItems(other);
    EXPECT_EQ(sum.GetList().GetAt(0).GetStatistic().Get(TrafficData::Packets), 8);
    EXPECT_EQ(sum.GetList().GetAt(1).GetStatistic().Get(TrafficData::Packets), 4);
    EXPECT_EQ(sum.GetList().GetAt(2).GetStatistic().Get(TrafficData::Packets), 4);
}

struct Received {
    uint32_t id;
    std::unique_ptr<ThreadMessage> message;

    const MonitorSummaryReply& Reply() const {
        const MonitorDataReply* reply = nullptr;
        if (auto* initialize = dynamic_cast<MonitorActionInitializeMessage*>(message.get()))
            reply = initialize->GetReply();
        else if (auto* update = dynamic_cast<MonitorActionUpdateMessage*>(message.get()))
            reply = update->GetReply();
        return dynamic_cast<const MonitorSummaryReply&>(*reply);
    }
    const SummaryArray& Elements() const { return *Reply().GetArray(); }
    const SummaryItem& Item(std::size_t element, std::size_t period) const {
        return Elements().GetAt(element).GetList().GetAt(period);
    }
    int64_t Packets(std::size_t element, std::size_t period) const {
        return Item(element, period).GetStatistic().Get(TrafficData::Packets);
    }
};

// The monitor run on the test thread, which is also the main thread; the test drives its tick.
class SummaryMonitor : public Monitor {
public:
    explicit SummaryMonitor(ThreadObject* main) : Monitor(main, TimeSpan(8, Unit::Hours)) {}

    void Attach() {
        BindToCurrentThread();
        InitInstance();
    }
    void Detach() { ExitInstance(); }

    std::vector<Received> replies;

protected:
    void OnThreadMessage(const QueueEntry& entry) override {
        if (entry.message != WM_Summary_Initialize && entry.message != WM_Summary_Update)
            return Monitor::OnThreadMessage(entry);
        auto* message = reinterpret_cast<ThreadMessage*>(entry.lParam);
        ASSERT_TRUE(message->Receive());
        replies.push_back({entry.message, std::unique_ptr<ThreadMessage>(message)});
    }
};

std::unique_ptr<Tuple> HostSelection(const char* address, int side) {
    IpAddress ip(address, true);
    return std::make_unique<Tuple>(ip, side, true);
}

class SummaryEngineTest : public ::testing::Test {
protected:
    static constexpr uint64_t kLinkSpeed = 8'000'000;

    SummaryEngineTest() {
        MonitorGlobals& globals = TheMonitorGlobals();
        globals.m_AdaptersFactory = [](uint32_t slots) {
            auto adapters = std::make_unique<FakeAdapters>(slots);
            adapters->m_Speeds = {kLinkSpeed};
            return adapters;
        };
        monitor.Attach();
    }
    ~SummaryEngineTest() override {
        pools.DeleteAll();
        monitor.Detach();
        DrainQueue();
    }

    // A 5-minute, 1-hour and 8-hour summary of what 10.0.0.1 receives, per tuple, over the ring.
    // The elements are built as the device documents build them unless asked otherwise.
    std::unique_ptr<MonitorSummary>
    MakeSummary(const void* identifier, std::initializer_list<const char*> hosts, bool buildElements = true) {
        auto summary =
            std::make_unique<MonitorSummary>(identifier, SOURCE_LIVE_RING, SCOPE_TUPLES, Minutes(5), 0);
        for (const char* host : hosts)
            summary->AddSelection(HostSelection(host, KEY_Destination));
        for (int64_t minutes : {5, 60, 480})
            summary->AddPeriod(Minutes(minutes));
        if (buildElements) {
            EXPECT_TRUE(summary->AddDiscreteElements());
        }
        return summary;
    }
    // As the install handler does it.
    MonitorSummary& Install(std::unique_ptr<MonitorSummary> summary) {
        MonitorSummary& raw = *summary;
        raw.SetReplyThread(&app);
        raw.SetAdapters(*monitor.GetAdapterSet());
        EXPECT_TRUE(pools.Summaries().Add(std::move(summary)));
        EXPECT_TRUE(raw.Start(nullptr));
        return raw;
    }
    void Feed(int frames, const char* destination) {
        const test::FakeFrame frame =
            test::IpFrame("00:00:00:00:00:01", "10.0.0.7", "00:00:00:00:00:02", destination);
        for (int i = 0; i < frames; ++i)
            monitor.GetDataSet()->AddPacket(frame);
    }
    // One tick at the time, in milliseconds since the clock's start.
    void TickAt(int64_t ms) {
        clock.AdvanceMilliseconds(ms - Now());
        monitor.Update(Timestamp::Now());
    }
    // Whole intervals up to the interval that ends at `endMs`: frames to 10.0.0.1 by `frames`,
    // and some to 10.0.0.2 that no summary watches.
    void FeedIntervalsUntil(int64_t endMs, const std::function<int(int64_t)>& frames) {
        for (int64_t end = (Now() / kInterval + 1) * kInterval; end <= endMs; end += kInterval) {
            Feed(frames(end / kInterval - 1), "10.0.0.1");
            Feed(3, "10.0.0.2");
            TickAt(end);
        }
    }
    int64_t Now() const { return int64_t(Timestamp::Now().GetTicks() - EngineTestClock::kStart) / 10'000; }
    std::vector<Received> TakeReplies() {
        QueueEntry e;
        while (MessageQueue::Current().Peek(e, TargetFilter::Any(), {}, PeekKeep))
            monitor.PumpMessage();
        return std::move(monitor.replies);
    }
    int EntriesInRing(const MonitorAction* action) const {
        int entries = 0;
        const HistoryBuffer& ring = *monitor.GetDataSet()->GetRing();
        for (int32_t i = 0; i < ring.GetCount(); ++i) {
            const IntervalSummarySet& cache = ring.GetSlot(i)->GetSummaries();
            for (std::size_t e = 0; e < cache.GetCount(); ++e)
                entries += action == nullptr || cache.GetAt(e).GetAction() == action ? 1 : 0;
        }
        return entries;
    }

    EngineTestClock clock;
    ScopedEngineGlobals engine;
    HeadlessApp app;
    SummaryMonitor monitor{&app};
    MonitorActionPools& pools = TheMonitorGlobals().m_Pools;
    int owner = 0;
};

// Frames of interval n (counted from the clock's start): distinct enough that a window one
// interval off gives another sum.
int FramesOf(int64_t interval) {
    return 1 + int(interval % 7) + int(interval % 11);
}

int64_t SumOf(int64_t first, int64_t last) {
    int64_t sum = 0;
    for (int64_t n = first; n <= last; ++n)
        sum += FramesOf(n);
    return sum;
}

TEST_F(SummaryEngineTest, WindowsOfAFullRingCoverExactlyTheirPeriods) {
    const int64_t tenOClock = 120 * kInterval;
    FeedIntervalsUntil(tenOClock, FramesOf);
    // 10:00-10:02 before the install, the rest of the interval after it.
    Feed(5, "10.0.0.1");
    TickAt(tenOClock + kMinute);
    clock.AdvanceMilliseconds(kMinute);
    MonitorSummary& summary = Install(MakeSummary(&owner, {"10.0.0.1"}));

    std::vector<Received> initialize = TakeReplies();
    ASSERT_EQ(initialize.size(), 1u);
    EXPECT_EQ(initialize[0].id, WM_Summary_Initialize);
    EXPECT_EQ(initialize[0].Item(0, 1).GetCounter(), 11u);
    EXPECT_EQ(initialize[0].Item(0, 2).GetCounter(), 95u);
    EXPECT_EQ(initialize[0].Packets(0, 0), 5);
    EXPECT_EQ(initialize[0].Packets(0, 1), 5 + SumOf(109, 119));
    EXPECT_EQ(summary.GetDepth(), -96);

    Feed(FramesOf(120) - 5, "10.0.0.1");
    Feed(3, "10.0.0.2");
    TickAt(tenOClock + kInterval - 500);
    EXPECT_TRUE(TakeReplies().empty());
    TickAt(tenOClock + kInterval);
    std::vector<Received> update = TakeReplies();
    ASSERT_EQ(update.size(), 1u);
    EXPECT_EQ(update[0].id, WM_Summary_Update);
    EXPECT_EQ(update[0].Reply().GetMode(), MODE_UPDATE);
    ASSERT_EQ(update[0].Elements().GetSize(), 1u);
    // 10:00-10:05, 09:05-10:05, 02:05-10:05.
    EXPECT_EQ(update[0].Packets(0, 0), FramesOf(120));
    EXPECT_EQ(update[0].Packets(0, 1), SumOf(109, 120));
    EXPECT_EQ(update[0].Packets(0, 2), SumOf(25, 120));
    for (std::size_t period = 0; period < 3; ++period)
        EXPECT_TRUE(update[0].Item(0, period).IsReady());

    const double perInterval = double(kLinkSpeed) * 300 / 8;
    EXPECT_EQ(update[0].Item(0, 0).GetStatistic().GetCapacity(), perInterval);
    EXPECT_EQ(update[0].Item(0, 1).GetStatistic().GetCapacity(), 12 * perInterval);
    EXPECT_EQ(update[0].Item(0, 2).GetStatistic().GetCapacity(), 96 * perInterval);

    // The windows move on by one interval; the 5-minute item starts from zero.
    for (int64_t n = 121; n <= 123; ++n) {
        SCOPED_TRACE(n);
        FeedIntervalsUntil((n + 1) * kInterval, FramesOf);
        std::vector<Received> next = TakeReplies();
        ASSERT_EQ(next.size(), 1u);
        EXPECT_EQ(next[0].Packets(0, 0), FramesOf(n));
        EXPECT_EQ(next[0].Packets(0, 1), SumOf(n - 11, n));
        EXPECT_EQ(next[0].Packets(0, 2), SumOf(n - 95, n));
    }
    EXPECT_EQ(EntriesInRing(&summary), 97);

    // A period of the whole ring reaches back to the oldest slot and no further.
    int wholeOwner = 0;
    auto whole = std::make_unique<MonitorSummary>(&wholeOwner, SOURCE_LIVE_RING, SCOPE_TUPLES, Minutes(5), 0);
    whole->AddSelection(HostSelection("10.0.0.1", KEY_Destination));
    whole->AddPeriod(MAX_SPAN);
    ASSERT_TRUE(whole->AddDiscreteElements());
    MonitorSummary& installed = Install(std::move(whole));
    EXPECT_EQ(EntriesInRing(&installed), 97);
    TakeReplies();
    FeedIntervalsUntil(125 * kInterval, FramesOf);
    std::vector<Received> replies = TakeReplies();
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[1].Item(0, 0).GetPeriod(), 97u);
    EXPECT_EQ(replies[1].Packets(0, 0), SumOf(124 - 96, 124));
    installed.Uninstall();
    EXPECT_EQ(EntriesInRing(&installed), 0);
}

TEST_F(SummaryEngineTest, AYoungRingFillsThePeriodsBeforeTheyRoll) {
    // The growing ring's first slot never holds an interval: two complete ones before the current.
    FeedIntervalsUntil(2 * kInterval, FramesOf);
    clock.AdvanceMilliseconds(kMinute);
    Install(MakeSummary(&owner, {"10.0.0.1"}));
    TakeReplies();

    for (int64_t n = 2; n <= 14; ++n) {
        SCOPED_TRACE(n);
        FeedIntervalsUntil((n + 1) * kInterval, FramesOf);
        std::vector<Received> update = TakeReplies();
        ASSERT_EQ(update.size(), 1u);
        const SummaryItem& hour = update[0].Item(0, 1);
        const uint32_t held = uint32_t(std::min<int64_t>(n + 1, 12));
        EXPECT_EQ(hour.GetCounter(), held);
        EXPECT_EQ(hour.IsReady(), n >= 11);
        EXPECT_EQ(update[0].Packets(0, 1), SumOf(n + 1 - held, n));
        EXPECT_EQ(update[0].Packets(0, 0), FramesOf(n));
        EXPECT_EQ(update[0].Packets(0, 2), SumOf(0, n));
    }
}

TEST_F(SummaryEngineTest, TwoSelectionsGiveOneSummedElementOrOneEach) {
    struct Case {
        bool byDefault;
        std::size_t elements;
    } cases[] = {{true, 1}, {false, 2}};
    FeedIntervalsUntil(3 * kInterval, FramesOf);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.byDefault);
        std::unique_ptr<MonitorSummary> summary = MakeSummary(&owner, {"10.0.0.1", "10.0.0.2"}, false);
        ASSERT_TRUE(c.byDefault ? summary->AddDefaultElement() : summary->AddDiscreteElements());
        EXPECT_EQ(summary->IsMergeReply(), c.byDefault);
        MonitorSummary& installed = Install(std::move(summary));
        TakeReplies();
        const int64_t end = (Now() / kInterval + 1) * kInterval;
        FeedIntervalsUntil(end, FramesOf);
        std::vector<Received> update = TakeReplies();
        ASSERT_EQ(update.size(), 1u);
        ASSERT_EQ(update[0].Elements().GetSize(), c.elements);
        const int64_t n = end / kInterval - 1;
        if (c.byDefault) {
            EXPECT_EQ(update[0].Packets(0, 0), FramesOf(n) + 3);
            EXPECT_EQ(update[0].Packets(0, 1), SumOf(0, n) + 3 * (n + 1));
        } else {
            EXPECT_EQ(update[0].Packets(0, 0), FramesOf(n));
            EXPECT_EQ(update[0].Packets(1, 0), 3);
            EXPECT_EQ(update[0].Packets(1, 1), 3 * (n + 1));
        }
        // The intervals it collected and the one opened since.
        EXPECT_EQ(EntriesInRing(installed.GetSubAction(0)), n + 2);
        installed.Uninstall();
        EXPECT_EQ(EntriesInRing(nullptr), 0);
    }
}

TEST_F(SummaryEngineTest, WindowsStayExactAfterAResetAndNoEntryOutlivesTheAction) {
    FeedIntervalsUntil(4 * kInterval, FramesOf);
    clock.AdvanceMilliseconds(kMinute);
    MonitorSummary& summary = Install(MakeSummary(&owner, {"10.0.0.1"}));
    TakeReplies();
    FeedIntervalsUntil(6 * kInterval, FramesOf);
    ASSERT_EQ(TakeReplies().size(), 2u);

    // Totals only: the ring keeps its intervals and the windows are rebuilt from them.
    Feed(4, "10.0.0.1");
    TickAt(6 * kInterval + kMinute);
    monitor.GetDataSet()->Reset(ActiveDataSet::FLAG_TOTAL);
    pools.Summaries().ResetAll();
    std::vector<Received> again = TakeReplies();
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].id, WM_Summary_Initialize);
    EXPECT_EQ(again[0].Packets(0, 1), 4 + SumOf(0, 5));
    EXPECT_EQ(EntriesInRing(&summary), 7);
    Feed(FramesOf(6) - 4, "10.0.0.1");
    TickAt(7 * kInterval);
    std::vector<Received> update = TakeReplies();
    ASSERT_EQ(update.size(), 1u);
    EXPECT_EQ(update[0].Packets(0, 0), FramesOf(6));
    EXPECT_EQ(update[0].Packets(0, 1), SumOf(0, 6));

    // Everything: the windows start again from the reset.
    Feed(2, "10.0.0.1");
    TickAt(7 * kInterval + kMinute);
    monitor.GetDataSet()->Reset(15);
    pools.Summaries().ResetAll();
    ASSERT_EQ(TakeReplies().size(), 1u);
    EXPECT_EQ(EntriesInRing(&summary), 1);
    Feed(6, "10.0.0.1");
    FeedIntervalsUntil(10 * kInterval, FramesOf);
    std::vector<Received> updates = TakeReplies();
    ASSERT_EQ(updates.size(), 3u);
    EXPECT_EQ(updates[0].Packets(0, 0), 6 + FramesOf(7));
    EXPECT_EQ(updates[2].Packets(0, 0), FramesOf(9));
    EXPECT_EQ(updates[2].Packets(0, 1), 6 + SumOf(7, 9));
    EXPECT_EQ(updates[2].Item(0, 1).GetCounter(), 3u);

    summary.Uninstall();
    EXPECT_EQ(pools.Summaries().GetCount(), 0u);
    EXPECT_EQ(EntriesInRing(nullptr), 0);
}

} // namespace
} // namespace vq
