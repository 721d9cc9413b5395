#include "shell/FileNames.h"

#include "platform/time/Clock.h"
#include "platform/time/FileTime.h"
#include "platform/time/LocalTime.h"

#include <ctime>
#include <gtest/gtest.h>

namespace vq {
namespace {

TEST(FileNames, SplitAndJoinNames) {
    struct Case {
        std::string path, namePart, splitFolder, splitName;
    };
    const Case cases[] = {
        {"/data/net.vqd", "net.vqd", "/data/", "net.vqd"},
        {"net.vqd", "net.vqd", "", "net.vqd"},
        {"/data/", "", "/data/", ""},
        {"", "", "", ""},
        {"/My.Data/x", "x", "/My.Data/", "x"},
    };
    for (const auto& c : cases) {
        std::string folder = "stale";
        EXPECT_EQ(GetFileNamePart(c.path), c.namePart) << c.path;
        EXPECT_EQ(SplitPath(c.path, folder), c.splitName) << c.path;
        EXPECT_EQ(folder, c.splitFolder) << c.path;
    }

    EXPECT_EQ(MakeConfigFileName("net"), "net.vqd");
    EXPECT_EQ(MakeConfigFileName("net.db"), "net.db");
    EXPECT_TRUE(IsConfigFileName("/a.b/net.vqd"));
    EXPECT_FALSE(IsConfigFileName("/a/net.VQD"));
    EXPECT_FALSE(IsConfigFileName("/a/net"));
    EXPECT_EQ(MakeConfigFilePath("/data/", "net"), "/data/net.vqd");
    EXPECT_EQ(MakeConfigFilePath("/data", "net.vqd"), "/data/net.vqd");
    EXPECT_EQ(MakeConfigFilePath("", "x.vqd"), "/x.vqd");
    EXPECT_EQ(MakeConfigFilePath("/My.Data", "x"), "/My.Data/x.vqd");
}

TEST(FileNames, HistoryPathTakesTheLocalStampInPlaceOfTheExtension) {
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 11;
    local.tm_mday = 8;
    local.tm_hour = 22;
    local.tm_min = 30;
    local.tm_isdst = -1;
    int64_t seconds = 0;
    ASSERT_TRUE(UnixSecondsFromLocal(local, seconds));
    ManualClock clock(UnixEpochTicks + uint64_t(seconds) * TicksPerSecond);
    ScopedClock installed(clock);

    EXPECT_EQ(MakeHistoryFilePath("data/My.Data", "VorquelHistory.mdb", true),
              "data/My.Data/VorquelHistory12-08-2026-22-30.mdb");
    EXPECT_EQ(MakeHistoryFilePath("data/My.Data", "VorquelHistory.mdb", false), "data/My.Data/VorquelHistory.mdb");
    EXPECT_EQ(MakeHistoryFilePath("d/", "H.x.y", true), "d/H12-08-2026-22-30.mdb");
    EXPECT_EQ(MakeHistoryFilePath("d", "History", false), "d/History.mdb");
    EXPECT_EQ(MakeHistoryFilePath("", "h.db", false), "/h.db");
}

} // namespace
} // namespace vq
