#include "MonitorTestSupport.h"
#include "monitor/ActiveDataSet.h"
#include "monitor/HistoryBuffer.h"
#include "runtime/TimeUnits.h"

#include <gtest/gtest.h>
#include <new>

namespace vq {
namespace {

class DataSetTest : public ::testing::Test {
protected:
    std::int64_t Ms(const Timestamp& t) const {
        return std::int64_t(t.GetTicks() - EngineTestClock::kStart) / 10'000;
    }
    ActiveDataSet MakeLive() {
        return ActiveDataSet(TimeSpan(8, Unit::Hours), TimeSpan(), TimeSpan(), CountingFactory());
    }
    void TickAndAdvance(ActiveDataSet& set, int times) {
        for (int i = 0; i < times; ++i) {
            set.Tick(Timestamp::Now());
            set.AdvanceInterval();
            clock.AdvanceMilliseconds(300'000);
        }
    }

    EngineTestClock clock;
    ScopedEngineGlobals engine;
};

TEST_F(DataSetTest, RingSizeFollowsSpanAndInterval) {
    struct Case {
        std::int64_t historyMinutes;
        std::int64_t intervalMinutes;
        int32_t count; // 0: construction fails
    };
    const Case cases[] = {
        {480, 5, 97}, {1440, 5, 289}, {5, 5, 2}, {4, 5, 0}, {480, 0, 0}, {480, -5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.historyMinutes << "/" << c.intervalMinutes);
        auto make = [&] {
            return HistoryBuffer(Timestamp::Now(), TimeSpan(c.historyMinutes, Unit::Minutes),
                                 TimeSpan(c.intervalMinutes, Unit::Minutes), false, {});
        };
        if (c.count == 0) {
            EXPECT_THROW(make(), std::bad_alloc);
        } else {
            HistoryBuffer ring = make();
            EXPECT_EQ(ring.GetCount(), c.count);
            EXPECT_EQ(ring.GetCurrent(), c.count - 1);
        }
    }
}

TEST_F(DataSetTest, AGrowingRingFillsThenWrapsWithTheOldestAfterTheCurrent) {
    ActiveDataSet set = MakeLive();
    HistoryBuffer& ring = *set.GetRing();
    ASSERT_EQ(ring.GetCount(), 97);
    EXPECT_EQ(ring.GetOldest(), 0);
    EXPECT_EQ(ring.GetCurrent(), 1);
    for (int i = 0; i < 95; ++i)
        set.AdvanceInterval();
    EXPECT_EQ(ring.GetOldest(), 0);
    EXPECT_EQ(ring.GetCurrent(), 96);
    set.AdvanceInterval();
    EXPECT_EQ(ring.GetOldest(), 1);
    EXPECT_EQ(ring.GetCurrent(), 0);
    set.AdvanceInterval();
    EXPECT_EQ(ring.GetOldest(), 2);
    EXPECT_EQ(ring.GetCurrent(), 1);
}

// A clock that jumps closes the current interval once and opens the interval of the new time,
// on the same grid, whether the jump stays inside the ring or leaves it behind.
TEST_F(DataSetTest, AJumpOpensTheIntervalOfTheNewTimeOnTheSameGrid) {
    constexpr std::int64_t kInterval = 300'000;
    const std::int64_t jumps[] = {kInterval, 7 * kInterval + 1, 200 * kInterval + 17,
                                  13LL * 365 * 86'400'000};
    for (const std::int64_t jump : jumps) {
        SCOPED_TRACE(jump);
        ActiveDataSet set = MakeLive();
        HistoryBuffer& ring = *set.GetRing();
        const std::int64_t end = Ms(ring.GetEndTime());
        const int32_t closed = ring.GetCurrent();
        const Timestamp now(ring.GetEndTime().GetTicks() + uint64_t(jump) * 10'000);
        set.AdvanceInterval(now);
        EXPECT_FALSE(ring.IsIntervalOver(now));
        EXPECT_EQ(Ms(ring.GetEndTime()), end + (jump / kInterval + 1) * kInterval);
        EXPECT_EQ(Ms(ring.GetSlot(ring.GetCurrent())->GetTime()), end + jump / kInterval * kInterval);
        // Within the ring the closed interval keeps its end time; a longer jump empties every slot.
        if (jump < (ring.GetCount() - 2) * kInterval) {
            EXPECT_EQ(Ms(ring.GetSlot(closed)->GetTime()), end);
        }
    }
}

TEST_F(DataSetTest, IntervalsEndOnTheFiveMinuteGridUntilARingRestart) {
    clock.AdvanceMilliseconds(133'000);
    ActiveDataSet set = MakeLive();
    EXPECT_EQ(Ms(set.GetStartTime()), 0);
    EXPECT_EQ(Ms(set.GetRing()->GetEndTime()), 300'000);

    clock.AdvanceMilliseconds(318'000);
    set.Restart(ActiveDataSet::FLAG_RING);
    EXPECT_EQ(Ms(set.GetStartTime()), 451'000);
    EXPECT_EQ(Ms(set.GetRing()->GetEndTime()), 751'000);
    EXPECT_EQ(set.GetRing()->GetCurrent(), 1);
}

TEST_F(DataSetTest, AFrameReachesTheIntervalAndTotalsOnlyWithTheTick) {
    ActiveDataSet set = MakeLive();
    clock.AdvanceMilliseconds(499);
    static_cast<CountingStore*>(set.GetLatest().GetTraffic())->AddOne();
    EXPECT_EQ(CountOf(*set.GetCurrent()), 0);
    EXPECT_EQ(CountOf(set.GetTotal()), 0);

    clock.AdvanceMilliseconds(1);
    set.Tick(Timestamp::Now());
    EXPECT_EQ(CountOf(*set.GetCurrent()), 1);
    EXPECT_EQ(CountOf(set.GetTotal()), 1);
    EXPECT_EQ(CountOf(set.GetLastSample()), 1);
    EXPECT_EQ(CountOf(set.GetLatest()), 0);

    set.Tick(Timestamp::Now());
    EXPECT_EQ(CountOf(*set.GetCurrent()), 1);
    EXPECT_EQ(CountOf(set.GetLastSample()), 0);
}

TEST_F(DataSetTest, ResetOfTheRingEmptiesIntervalsAndKeepsTotalsAndTheCurrentTime) {
    ActiveDataSet set = MakeLive();
    static_cast<CountingStore*>(set.GetLatest().GetTraffic())->AddOne();
    TickAndAdvance(set, 3);
    static_cast<CountingStore*>(set.GetLatest().GetTraffic())->AddOne();
    set.Tick(Timestamp::Now());
    const Timestamp currentTime = set.GetCurrent()->GetTime();

    set.Reset(ActiveDataSet::FLAG_RING);
    HistoryBuffer& ring = *set.GetRing();
    for (int32_t i = 0; i < ring.GetCount(); ++i)
        EXPECT_EQ(CountOf(*ring.GetSlot(i)), 0);
    EXPECT_EQ(set.GetCurrent()->GetTime(), currentTime);
    EXPECT_EQ(set.GetOldest()->GetTime(), NULL_TIME);
    EXPECT_EQ(CountOf(set.GetTotal()), 2);
    EXPECT_EQ(CountOf(set.GetLastSample()), 1);
}

TEST_F(DataSetTest, IndexOfGivesTheOldestBeforeAllDataAndTheCurrentAfterTheLastUpdate) {
    ActiveDataSet set = MakeLive();
    TickAndAdvance(set, 100);
    set.Tick(Timestamp::Now());
    const HistoryBuffer& ring = *set.GetRing();
    ASSERT_EQ(ring.GetOldest(), 5);
    // Every slot holds the data up to its time: slot i up to the end of its interval.
    const std::uint64_t oldestEnd = ring.GetSlot(5)->GetTime().GetTicks();
    const std::uint64_t interval = ring.GetInterval().GetTicks();
    struct Case {
        std::uint64_t ticks;
        int32_t index;
    };
    const Case cases[] = {
        {oldestEnd - 3 * interval, 5},
        {oldestEnd, 5},
        {oldestEnd + 1, 6},
        {oldestEnd + interval / 2, 6},
        {oldestEnd + 2 * interval, 7},
        {set.GetCurrent()->GetTime().GetTicks(), ring.GetCurrent()},
        {set.GetCurrent()->GetTime().GetTicks() + interval * 50, ring.GetCurrent()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(set.IndexOf(Timestamp(c.ticks)), c.index);
    }
}

TEST_F(DataSetTest, ARestartThatCannotMakeNewSlotsKeepsAWorkingRing) {
    int made = 0;
    int failFrom = 1'000'000;
    TrafficStoreFactory factory = [&](int32_t) -> std::unique_ptr<TrafficStore> {
        if (++made > failFrom) throw std::bad_alloc();
        return std::make_unique<CountingStore>();
    };
    ActiveDataSet set(TimeSpan(8, Unit::Hours), TimeSpan(), TimeSpan(), factory);
    TickAndAdvance(set, 3);
    failFrom = made + 10;
    clock.AdvanceMilliseconds(1234);
    set.Restart(15);

    HistoryBuffer& ring = *set.GetRing();
    ASSERT_EQ(ring.GetCount(), 97);
    EXPECT_EQ(ring.GetCurrent(), 1);
    EXPECT_EQ(ring.GetEndTime(), Timestamp::Now() + TimeSpan(5, Unit::Minutes));
    for (int32_t i = 0; i < ring.GetCount(); ++i) {
        ASSERT_NE(ring.GetSlot(i), nullptr);
        EXPECT_EQ(ring.GetSlot(i)->GetTime(), NULL_TIME);
    }
    static_cast<CountingStore*>(set.GetLatest().GetTraffic())->AddOne();
    set.Tick(Timestamp::Now());
    set.AdvanceInterval();
    EXPECT_EQ(CountOf(*set.GetOldest()), 0);
    EXPECT_EQ(CountOf(*set.GetFromCurrent(-1)), 1);
    EXPECT_EQ(engine.Get().m_MessagePool.GetSize(), 1u);
}

TEST_F(DataSetTest, TheAdapterSetReachesEveryDataRootAndTheLastSampleAgainOnEveryTick) {
    ActiveDataSet set = MakeLive();
    FakeAdapters adapters(48);
    set.SetAdapters(adapters);
    const HistoryBuffer& ring = *set.GetRing();
    for (int32_t i = 0; i < ring.GetCount(); ++i)
        EXPECT_EQ(StoreOf(*ring.GetSlot(i)).bound, &adapters) << "slot " << i;
    const DataRoot* roots[] = {&set.GetTotal(), &set.GetLastSample(), &set.GetLatest()};
    for (const DataRoot* root : roots)
        EXPECT_EQ(StoreOf(*root).bound, &adapters);

    static_cast<CountingStore*>(set.GetLatest().GetTraffic())->AddOne();
    for (int tick = 0; tick < 2; ++tick) {
        set.Tick(Timestamp::Now());
        // The running step's store moves over to the last sample, so the two take turns.
        EXPECT_EQ(StoreOf(set.GetLastSample()).updated, (std::vector<const CaptureAdapters*>{&adapters}));
    }
    EXPECT_EQ(StoreOf(set.GetLatest()).updated, (std::vector<const CaptureAdapters*>{&adapters}));
    EXPECT_TRUE(StoreOf(set.GetTotal()).updated.empty());
    EXPECT_TRUE(StoreOf(*set.GetCurrent()).updated.empty());
    EXPECT_EQ(CountOf(set.GetTotal()), 1);
}

TEST_F(DataSetTest, TimeToNextUpdateEndsOnTheStepAtLeastHalfAStepAway) {
    ActiveDataSet set = MakeLive();
    struct Case {
        std::int64_t offsetMs;
        std::int64_t delayMs;
    };
    for (const Case& c : {Case{0, 500}, Case{100, 400}, Case{250, 250}, Case{251, 749}, Case{300, 700}}) {
        SCOPED_TRACE(c.offsetMs);
        const Timestamp t(EngineTestClock::kStart + uint64_t(c.offsetMs * 10'000));
        EXPECT_EQ(set.TimeToNextUpdate(t).GetTicks(), c.delayMs * 10'000);
    }
}

} // namespace
} // namespace vq
