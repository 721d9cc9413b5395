#include "history/HistoryDatabaseMapEntry.h"
#include "history/HistoryTime.h"
#include "platform/db/Database.h"
#include "tests/history/HistoryFixtures.h"

#include <gtest/gtest.h>

namespace vq::history {
namespace {

using namespace vq::history::test;

using Counts = std::array<int64_t, 11>;
// TimeLine, MAC_Name, IP_Name, IPX_Name, MAC, IP, IPX, Host, Interface, Tuple, Data
Counts Plus(Counts counts, std::initializer_list<std::pair<int, int64_t>> changes) {
    for (auto [table, added] : changes)
        counts[size_t(table)] += added;
    return counts;
}

class HistoryEntryTest : public HistoryTest {
protected:
    bool OpenEntry(HistoryDatabaseMapEntry& entry) {
        return entry.Open(m_Path, OPEN_LOAD | OPEN_READ | OPEN_WRITE | OPEN_CREATE);
    }
};

TEST_F(HistoryEntryTest, CheckpointsStoreEachObjectOnceAndOneDataRowPerConversation) {
    HistoryDatabaseMapEntry entry;
    ASSERT_TRUE(OpenEntry(entry));
    TwoHostCheckpoint checkpoint;
    const Timestamp end = Utc(2026, 3, 3, 14, 5);

    ASSERT_TRUE(entry.WriteCheckpoint(checkpoint.At(end)));
    const Counts first = RowCounts(m_Path);
    EXPECT_EQ(first, (Counts{1, 1, 2, 1, 3, 3, 1, 3, 1, 2, 2}));
    // Placeholders are rows 0; stored objects count from 1, interfaces, tuples and Data from 0.
    EXPECT_EQ(Scalar(m_Path, "SELECT sum(MacIndex) FROM MAC"), 0 + 1 + 2);
    EXPECT_EQ(Scalar(m_Path, "SELECT sum(HostIndex) FROM Host"), 0 + 1 + 2);
    EXPECT_EQ(Scalar(m_Path, "SELECT sum(IpNameIndex) FROM IP_Name WHERE IpName = 'alpha'"), 1);
    EXPECT_EQ(Scalar(m_Path, "SELECT IpNameIndex FROM IP WHERE IpAddress = '10.0.0.1'"), 1);
    EXPECT_EQ(Scalar(m_Path, "SELECT IpNameIndex FROM IP WHERE IpAddress = '10.0.0.2'"), 0);
    EXPECT_EQ(Scalar(m_Path, "SELECT min(InterfaceIndex) FROM Interface"), 0);
    EXPECT_EQ(Scalar(m_Path, "SELECT count(*) FROM Interface WHERE InterfaceDesc = 'unknown'"), 1);
    EXPECT_EQ(Scalar(m_Path, "SELECT min(InterfaceIndex) FROM Tuple"), 0);
    EXPECT_EQ(Scalar(m_Path, "SELECT max(InterfaceIndex) FROM Tuple"), 65535);
    EXPECT_EQ(Scalar(m_Path, "SELECT sum(DataIndex) FROM Data"), 0 + 1);
    EXPECT_EQ(Scalar(m_Path, "SELECT sum(Octets) FROM Data"), 1500);
    EXPECT_EQ(Scalar(m_Path, "SELECT count(*) FROM TimeLine WHERE Status = 0 AND Duration = 5"), 1);
    EXPECT_EQ(entry.GetFirstTime(), Before(end, Minutes(5)));
    EXPECT_EQ(entry.GetLastTime(), end);

    ASSERT_TRUE(entry.WriteCheckpoint(checkpoint.At(end + Minutes(5))));
    const Counts second = RowCounts(m_Path);
    EXPECT_EQ(second, Plus(first, {{0, 1}, {10, 2}}));

    checkpoint.b->GetIp().SetNameAt("bravo", 0);
    ASSERT_TRUE(entry.WriteCheckpoint(checkpoint.At(end + Minutes(10))));
    EXPECT_EQ(RowCounts(m_Path), Plus(second, {{0, 1}, {2, 1}, {10, 2}}));
    EXPECT_EQ(Scalar(m_Path, "SELECT count(*) FROM IP_Name n JOIN IP i ON n.IpIndex = i.IpIndex "
                             "WHERE n.IpName = 'bravo' AND i.IpAddress = '10.0.0.2'"),
              1);
    EXPECT_EQ(Scalar(m_Path, "SELECT IpNameIndex FROM IP WHERE IpAddress = '10.0.0.2'"), 0);

    const Counts beforeMark = RowCounts(m_Path);
    ASSERT_TRUE(entry.WriteLogMark(end + Minutes(12)));
    EXPECT_EQ(RowCounts(m_Path), Plus(beforeMark, {{0, 1}}));
    EXPECT_EQ(Scalar(m_Path, "SELECT count(*) FROM TimeLine WHERE Status = 1 AND Duration = 0"), 1);
    EXPECT_EQ(entry.GetFirstTime(), Before(end, Minutes(5)));
    EXPECT_EQ(entry.GetLastTime(), end + Minutes(10));
    EXPECT_EQ(DanglingReferences(m_Path), 0);
    EXPECT_TRUE(Reports().empty());
}

TEST_F(HistoryEntryTest, AReopenedFileIsLoadedAsItWasWritten) {
    TwoHostCheckpoint checkpoint;
    const Timestamp end = Utc(2026, 3, 3, 14, 5);
    std::array<int64_t, HistoryDatabaseMapEntry::SlotCount> next{};
    {
        HistoryDatabaseMapEntry entry;
        ASSERT_TRUE(OpenEntry(entry));
        ASSERT_TRUE(entry.WriteCheckpoint(checkpoint.At(end)));
        ASSERT_TRUE(entry.WriteLogMark(Before(end, Minutes(30))));
        for (int slot = 0; slot < HistoryDatabaseMapEntry::SlotCount; ++slot)
            next[size_t(slot)] = entry.GetNextIndex(HistoryDatabaseMapEntry::Slot(slot));
    }
    HistoryDatabaseMapEntry entry;
    ASSERT_TRUE(OpenEntry(entry));
    for (int slot = 0; slot < HistoryDatabaseMapEntry::SlotCount; ++slot)
        EXPECT_EQ(entry.GetNextIndex(HistoryDatabaseMapEntry::Slot(slot)), next[size_t(slot)]) << slot;
    // A log mark earlier than every interval moves neither end of the stored range.
    EXPECT_EQ(entry.GetFirstTime(), Before(end, Minutes(5)));
    EXPECT_EQ(entry.GetLastTime(), end);
    EXPECT_EQ(entry.GetEnvironment().GetTuplePool().GetCount(), 2);
    EXPECT_EQ(entry.GetEnvironment().GetHostTable().GetCount(), 2);

    // The loaded model recognises every object, so the same interval again adds only its rows.
    const Counts before = RowCounts(m_Path);
    ASSERT_TRUE(entry.WriteCheckpoint(checkpoint.At(end + Minutes(5))));
    EXPECT_EQ(RowCounts(m_Path), Plus(before, {{0, 1}, {10, 2}}));
}

TEST_F(HistoryEntryTest, AFailedCheckpointLeavesNoRowAndTheNextOneStoresItsObjects) {
    struct Case {
        const char* name;
        bool intruder;
        const char* failAfter;
    };
    const Case cases[] = {
        {"a second connection holds the next Data key", true, nullptr},
        {"a failpoint after the tuples", false, "Tuple"},
        {"a failpoint after the time line", false, "TimeLine"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        vq::test::TempDir dir;
        const std::string path = dir.File("h.db");
        HistoryDatabaseMapEntry entry;
        ASSERT_TRUE(entry.Open(path, 15));
        TwoHostCheckpoint checkpoint;
        const Timestamp end = Utc(2026, 3, 3, 14, 5);
        ASSERT_TRUE(entry.WriteCheckpoint(checkpoint.At(end)));

        // A new host and stream arrive in the interval that fails.
        HostAddress* c3 = checkpoint.Host(3, 0x0A000003, "charlie");
        checkpoint.Count(checkpoint.Stream(checkpoint.a, c3, 0, 443), 700, 7);
        if (c.intruder) {
            auto other = db::Database::Open(path);
            other->Execute("INSERT INTO Data VALUES (2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)");
        }
        const Counts before = RowCounts(path);
        const size_t reports = Reports().size();
        if (c.failAfter != nullptr)
            entry.m_AfterStep = [&](const char* step) {
                if (std::string(step) == c.failAfter) throw std::runtime_error("injected failure");
            };

        EXPECT_FALSE(entry.WriteCheckpoint(checkpoint.At(end + Minutes(5))));
        EXPECT_EQ(RowCounts(path), before);
        EXPECT_EQ(Reports().size(), reports + 1);
        EXPECT_FALSE(entry.IsLoaded());

        entry.m_AfterStep = nullptr;
        ASSERT_TRUE(entry.WriteCheckpoint(checkpoint.At(end + Minutes(10)))) << Reports().back();
        EXPECT_EQ(Scalar(path, "SELECT count(*) FROM IP_Name WHERE IpName = 'charlie'"), 1);
        EXPECT_EQ(Scalar(path, "SELECT count(*) FROM Tuple"), 3);
        EXPECT_EQ(Scalar(path, "SELECT count(*) FROM Data d JOIN TimeLine l ON d.TimeIndex = l.TimeIndex "
                               "WHERE l.TimeIndex = (SELECT max(TimeIndex) FROM TimeLine)"),
                  3);
        if (c.intruder) {
            // The intruder's row refers to time 0 and tuple 0, which exist; nothing else dangles.
            EXPECT_EQ(Scalar(path, "SELECT count(*) FROM Data"), 2 + 1 + 3);
        }
        EXPECT_EQ(DanglingReferences(path), 0);
    }
}

TEST_F(HistoryEntryTest, OpenRefusesWhatItMayNotTouchAndSaysSo) {
    HistoryDatabaseMapEntry entry;
    EXPECT_FALSE(entry.Open(m_Path, OPEN_LOAD | OPEN_READ));
    EXPECT_FALSE(entry.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(m_Path));
    vq::test::WriteFile(m_Dir.File("junk.db"), "not a database at all, not at all");
    EXPECT_FALSE(entry.Open(m_Dir.File("junk.db"), 15));
    EXPECT_EQ(Reports().size(), 2u);
    EXPECT_FALSE(entry.WriteCheckpoint(TwoHostCheckpoint().At(Utc(2026, 3, 3, 14, 5))));
    EXPECT_EQ(Reports().size(), 3u);
}

} // namespace
} // namespace vq::history
