#include "history/HistoryDatabaseMapEntry.h"
#include "history/HistoryTime.h"
#include "platform/db/Database.h"
#include "tests/history/HistoryFixtures.h"

#include <gtest/gtest.h>
#include <set>

namespace vq::history {
namespace {

using namespace vq::history::test;

class HistoryQueryTest : public HistoryTest {
protected:
    void SetUp() override { ASSERT_TRUE(m_Entry.Open(m_Path, 15)); }

    // Writes TimeLine rows as given (minutes after 10:00 UTC, status, duration in minutes).
    void TimeLine(std::initializer_list<std::tuple<int, int, double>> rows) {
        auto database = db::Database::Open(m_Path);
        int64_t index = 0;
        for (auto [minute, status, duration] : rows) {
            auto insert = database->Prepare("INSERT INTO TimeLine VALUES (?1, ?2, ?3, ?4)");
            insert.Bind(1, index++)
                .Bind(2, ToStoredTime(Base() + Minutes(minute)))
                .Bind(3, duration)
                .Bind(4, status);
            insert.Run();
        }
    }

    static Timestamp Base() { return Utc(2026, 3, 3, 10, 0); }

    static int64_t OctetsOf(const Traffic& traffic) {
        int64_t octets = 0;
        size_t position = 0;
        while (Conversation* conversation = traffic.GetNextConversation(position))
            octets += conversation->GetTraffic().Get(TrafficData::Octets);
        return octets;
    }

    HistoryDatabaseMapEntry m_Entry;
};

TEST_F(HistoryQueryTest, TheTimeLineIsLaidOnTheGridOfItsIntervals) {
    struct Case {
        const char* name;
        std::initializer_list<std::tuple<int, int, double>> rows;
        std::vector<int> slots; // minutes after 10:00 of the filled slots
    };
    const Case cases[] = {
        {"a missing interval is filled", {{5, 0, 5}, {10, 0, 5}, {20, 0, 5}}, {5, 10, 15, 20}},
        {"only log marks", {{5, 1, 0}, {7, 1, 0}}, {}},
        {"log marks are skipped", {{5, 0, 5}, {7, 1, 0}, {10, 0, 5}}, {5, 10}},
        {"a zero duration steps by the interval", {{5, 0, 0}, {20, 0, 0}}, {5, 10, 15, 20}},
        {"a row that ended early takes the grid's slot", {{5, 0, 5}, {8, 0, 5}}, {5, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        vq::test::TempDir dir;
        m_Path = dir.File("h.db");
        HistoryDatabaseMapEntry entry;
        ASSERT_TRUE(entry.Open(m_Path, OPEN_READ | OPEN_WRITE | OPEN_CREATE));
        TimeLine(c.rows);
        entry.Load();
        std::vector<int> minutes;
        for (const Timestamp& time : entry.FillTimes(entry.GetFirstTime(), entry.GetLastTime()))
            minutes.push_back(int((time - Base()).GetTicks() / Minutes(1).GetTicks()));
        EXPECT_EQ(minutes, c.slots);
        auto data = entry.Query(NULL_TIME, NULL_TIME);
        EXPECT_EQ(data->GetCount(), int32_t(std::max<size_t>(2, c.slots.size())));
    }
}

TEST_F(HistoryQueryTest, ConversationsGoToTheirIntervalsAndAddUpInTheTotals) {
    TwoHostCheckpoint checkpoint;
    for (int i = 1; i <= 12; ++i) {
        checkpoint.Clear();
        checkpoint.Count(checkpoint.ab, 100 * i, i);
        if (i == 12) checkpoint.Count(checkpoint.ba, 7, 1);
        ASSERT_TRUE(m_Entry.WriteCheckpoint(checkpoint.At(Base() + Minutes(5 * i))));
    }
    auto all = m_Entry.Query(NULL_TIME, NULL_TIME);
    ASSERT_EQ(all->GetCount(), 12);
    EXPECT_EQ(OctetsOf(*all->m_Total), 100 * 78 + 7);
    EXPECT_EQ(all->m_Total->GetCount(), 2);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(all->m_SlotTimes[size_t(i)], Base() + Minutes(5 * (i + 1)));
        EXPECT_EQ(OctetsOf(*all->m_Slots[size_t(i)]), 100 * (i + 1) + (i == 11 ? 7 : 0));
    }
    EXPECT_EQ(all->m_Environment->GetTuplePool().GetCount(), 2);
    EXPECT_EQ(all->m_Environment->GetHostTable().GetCount(), 2);
    ASSERT_EQ(all->m_Environment->GetInterfaceTable().GetCount(), 1);
    EXPECT_EQ(all->m_Environment->GetInterfaceTable().GetAt(0)->GetName(), "eth0");
    EXPECT_EQ(all->m_Environment->GetInterfaceTable().GetAt(0)->GetLinkSpeed(), 10'000'000'000u);

    // A bounded range over a history longer than it: each row in its own slot, the intervals
    // shared with the whole answer alike.
    auto middle = m_Entry.Query(Base() + Minutes(20), Base() + Minutes(40));
    ASSERT_EQ(middle->GetCount(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(middle->m_SlotTimes[size_t(i)], Base() + Minutes(20 + 5 * i));
        EXPECT_EQ(OctetsOf(*middle->m_Slots[size_t(i)]), OctetsOf(*all->m_Slots[size_t(3 + i)]));
    }
    EXPECT_EQ(OctetsOf(*middle->m_Total), 100 * (4 + 5 + 6 + 7 + 8));
}

TEST_F(HistoryQueryTest, ShortRangesStillGetAValidAnswer) {
    auto empty = m_Entry.Query(NULL_TIME, NULL_TIME);
    EXPECT_EQ(empty->GetCount(), 2);
    EXPECT_EQ(empty->m_Total->GetCount(), 0);

    TwoHostCheckpoint checkpoint;
    ASSERT_TRUE(m_Entry.WriteCheckpoint(checkpoint.At(Base() + Minutes(5))));
    auto one = m_Entry.Query(NULL_TIME, NULL_TIME);
    ASSERT_EQ(one->GetCount(), 2);
    EXPECT_EQ(one->m_SlotTimes[1], Base() + Minutes(5));
    EXPECT_EQ(OctetsOf(*one->m_Slots[1]), 1500);
    EXPECT_EQ(OctetsOf(*one->m_Total), 1500);

    auto after = m_Entry.Query(Base() + Minutes(60), NULL_TIME);
    EXPECT_EQ(after->GetCount(), 2);
    EXPECT_EQ(after->m_Total->GetCount(), 0);
    EXPECT_TRUE(Reports().empty());
}

TEST_F(HistoryQueryTest, ADataRowOfAnUnknownTimeFailsTheQuery) {
    TwoHostCheckpoint checkpoint;
    ASSERT_TRUE(m_Entry.WriteCheckpoint(checkpoint.At(Base() + Minutes(5))));
    db::Database::Open(m_Path)->Execute(
        "INSERT INTO Data VALUES (9, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 77)");
    EXPECT_THROW(m_Entry.Query(NULL_TIME, NULL_TIME), db::DatabaseError);
    db::Database::Open(m_Path)->Execute("UPDATE Data SET TimeIndex = 0, Octets = 1e300 WHERE DataIndex = 9");
    EXPECT_THROW(m_Entry.Query(NULL_TIME, NULL_TIME), db::DatabaseError);
}

TEST_F(HistoryQueryTest, IntervalsAcrossTheAutumnChangeKeepTheirOwnTimes) {
    // Europe/Berlin leaves summer time on 25 October 2026 at 01:00 UTC.
    const Timestamp start = Utc(2026, 10, 24, 13, 0);
    TwoHostCheckpoint checkpoint;
    for (int i = 1; i <= 300; ++i)
        ASSERT_TRUE(m_Entry.WriteCheckpoint(checkpoint.At(start + Minutes(5 * i))));
    EXPECT_EQ(Scalar(m_Path, "SELECT count(DISTINCT EndTime) FROM TimeLine"), 300);
    HistoryDatabaseMapEntry reader;
    ASSERT_TRUE(reader.Open(m_Path, OPEN_LOAD | OPEN_READ));
    EXPECT_EQ(reader.Query(NULL_TIME, NULL_TIME)->GetCount(), 300);

    auto across = reader.Query(Utc(2026, 10, 25, 0, 0), Utc(2026, 10, 25, 2, 0));
    ASSERT_EQ(across->GetCount(), 25);
    std::set<uint64_t> distinct;
    for (int i = 0; i < across->GetCount(); ++i) {
        distinct.insert(across->m_SlotTimes[size_t(i)].GetTicks());
        EXPECT_EQ(OctetsOf(*across->m_Slots[size_t(i)]), 1500) << i;
    }
    EXPECT_EQ(distinct.size(), 25u);
}

} // namespace
} // namespace vq::history
