#include "history/HistoryDatabaseMapEntry.h"
#include "tests/history/HistoryFixtures.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vq::history {
namespace {

using namespace vq::history::test;

constexpr int kConversations = 4;

// Writes checkpoints until killed, each with two hosts and streams it has not seen before, going
// on from the last interval the file holds; writes one byte to `written` after the first one.
// Exits 3 when a write fails.
[[noreturn]] void WriteUntilKilled(const std::string& path, int run, int written) {
    HistoryDatabaseMapEntry entry;
    if (!entry.Open(path, OPEN_LOAD | OPEN_READ | OPEN_WRITE | OPEN_CREATE)) ::_exit(2);
    Timestamp end = entry.GetLastTime() == NULL_TIME ? Utc(2026, 3, 3, 10, 0) : entry.GetLastTime();
    for (uint32_t i = 0;; ++i) {
        CheckpointBuilder checkpoint;
        const uint32_t id = uint32_t(run) << 16 | i;
        HostAddress* a = checkpoint.Host(2 * id, 0x0B000000 | (2 * id & 0xFFFFFF));
        HostAddress* b = checkpoint.Host(2 * id + 1, 0x0B000000 | ((2 * id + 1) & 0xFFFFFF));
        checkpoint.Interface(0, "eth0");
        checkpoint.Count(checkpoint.Stream(a, b, 0, 80), 100, 1);
        checkpoint.Count(checkpoint.Stream(b, a, 0, 80), 200, 2);
        checkpoint.Count(checkpoint.Stream(a, b, 0, 443), 300, 3);
        checkpoint.Count(checkpoint.Stream(b, a, NoInterface, 443), 400, 4);
        end = end + Minutes(5);
        if (!entry.WriteCheckpoint(checkpoint.At(end))) ::_exit(3);
        if (i == 0 && ::write(written, "w", 1) != 1) ::_exit(4);
    }
}

TEST(HistoryCrashTest, AKilledWriterLeavesOnlyWholeCheckpoints) {
    const char* given = std::getenv("VQ_KILL_SEED");
    const unsigned seed =
        given != nullptr ? unsigned(std::strtoul(given, nullptr, 10)) : std::random_device{}();
    std::cout << "kill moments seeded with " << seed << " (VQ_KILL_SEED)\n";
    std::mt19937 moments(seed);
    std::uniform_int_distribution<int> microseconds(2'000, 120'000);
    vq::test::TempDir dir;
    const std::string path = dir.File("h.db");

    int64_t intervals = 0;
    for (int run = 0; run < 20; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        int written[2];
        ASSERT_EQ(::pipe(written), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) WriteUntilKilled(path, run, written[1]);
        ::close(written[1]);
        // On a loaded machine every random moment may fall before the first write; the first run
        // waits for one, so the file always has something to keep.
        char byte = 0;
        const bool wroteOnce = run != 0 || ::read(written[0], &byte, 1) == 1;
        std::this_thread::sleep_for(std::chrono::microseconds(microseconds(moments)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        // Open until the writer is gone, so that its byte never meets a closed pipe.
        ::close(written[0]);
        ASSERT_TRUE(wroteOnce) << "the writer ended before its first checkpoint";
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped on its own, status " << status;
        if (!std::filesystem::exists(path)) continue;

        auto database = db::Database::Open(path, db::OpenMode::ReadOnly);
        auto integrity = database->Prepare("PRAGMA integrity_check");
        ASSERT_TRUE(integrity.Step());
        EXPECT_EQ(integrity.GetText(0), "ok");
        EXPECT_EQ(Scalar(path, "SELECT count(*) FROM TimeLine l WHERE Status = 0 AND "
                               "(SELECT count(*) FROM Data d WHERE d.TimeIndex = l.TimeIndex) <> " +
                                   std::to_string(kConversations)),
                  0);
        EXPECT_EQ(DanglingReferences(path), 0);
        const int64_t now = Scalar(path, "SELECT count(*) FROM TimeLine");
        EXPECT_GE(now, intervals);
        intervals = now;
    }
    EXPECT_GT(intervals, 0);
}

} // namespace
} // namespace vq::history
