#include "platform/db/StagedDatabase.h"

#include "platform/db/Transaction.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace vq::db {
namespace {

std::vector<std::string> Entries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void Build(StagedDatabase& staged, int rows) {
    Database& database = staged.Connection();
    database.Execute("PRAGMA journal_mode=WAL");
    Transaction transaction(database);
    database.Execute("CREATE TABLE T (Id INTEGER PRIMARY KEY, Text VARCHAR(200))");
    auto insert = database.Prepare("INSERT INTO T(Text) VALUES(?1)");
    for (int i = 0; i < rows; ++i) {
        insert.Bind(1, std::string(200, 'x'));
        insert.Run();
        insert.Reset();
    }
    transaction.Commit();
}

TEST(StagedDatabaseTest, CommitPlacesTheWholeFileAndNothingElse) {
    test::TempDir dir;
    const std::string path = dir.File("h.db");
    {
        StagedDatabase staged(path);
        Build(staged, 10);
        EXPECT_FALSE(std::filesystem::exists(path));
        staged.CommitNew();
    }
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"h.db"});
    auto database = Database::Open(path);
    auto count = database->Prepare("SELECT count(*) FROM T");
    ASSERT_TRUE(count.Step());
    EXPECT_EQ(count.GetInt(0), 10);
    auto mode = database->Prepare("PRAGMA journal_mode");
    ASSERT_TRUE(mode.Step());
    EXPECT_EQ(mode.GetText(0), "wal");
}

TEST(StagedDatabaseTest, FailuresLeaveNothingAndNeverReplaceAFile) {
    test::TempDir dir;
    const std::string path = dir.File("h.db");
    {
        StagedDatabase abandoned(path);
        Build(abandoned, 3);
    }
    EXPECT_TRUE(Entries(dir.Path()).empty());

    StagedDatabase late(path);
    Build(late, 3);
    test::WriteFile(path, "someone else's file");
    EXPECT_THROW(late.CommitNew(), DatabaseError);
    EXPECT_EQ(test::ReadFile(path), "someone else's file");
}

TEST(StagedDatabaseTest, FullDiskLeavesNothing) {
    test::TempDir dir;
    test::RunInChild([&] {
        // A file-size limit makes writes fail as on a full disk, without a small file system.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{32 * 1024, 32 * 1024};
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        try {
            StagedDatabase staged(dir.File("h.db"));
            Build(staged, 1000);
            staged.CommitNew();
            ADD_FAILURE() << "built past the limit";
        } catch (const DatabaseError& error) {
            EXPECT_NE(std::string(error.what()).find("h.db"), std::string::npos) << error.what();
        }
        EXPECT_TRUE(Entries(dir.Path()).empty());
    });
}

TEST(StagedDatabaseTest, UnwritableFolderFailsAtOnce) {
    test::TempDir dir;
    std::filesystem::permissions(
        dir.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                        std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
    test::RunInChild([&] {
        test::BecomeUnprivileged();
        try {
            StagedDatabase staged(dir.File("h.db"));
            ADD_FAILURE() << "staged in an unwritable folder";
        } catch (const DatabaseError& error) {
            EXPECT_NE(std::string(error.what()).find("Permission denied"), std::string::npos) << error.what();
        }
    });
    EXPECT_TRUE(Entries(dir.Path()).empty());
}

TEST(StagedDatabaseTest, RelativeNamesAreNeverReadAsUris) {
    test::TempDir dir;
    test::RunInChild([&] {
        ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
        StagedDatabase staged("file:h.db");
        Build(staged, 1);
        staged.CommitNew();
        EXPECT_TRUE(std::filesystem::exists("file:h.db"));
        EXPECT_FALSE(std::filesystem::exists("h.db"));
        EXPECT_NO_THROW(Database::Open("file:h.db"));
    });
}

} // namespace
} // namespace vq::db
