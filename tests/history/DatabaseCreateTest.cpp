#include "history/HistoryDB_Create.h"
#include "platform/db/Database.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace vq::history {
namespace {

std::vector<std::string> Column(db::Database& database, const std::string& sql) {
    auto statement = database.Prepare(sql);
    std::vector<std::string> values;
    while (statement.Step())
        values.push_back(statement.GetText(0));
    return values;
}

std::string Rows(db::Database& database, const std::string& table) {
    auto statement = database.Prepare("SELECT * FROM \"" + table + "\"");
    std::string rows;
    while (statement.Step()) {
        for (int i = 0; i < statement.ColumnCount(); ++i)
            rows += (i > 0 ? "|" : "") + statement.GetText(i);
        rows += "\n";
    }
    return rows;
}

bool FolderIsEmpty(const std::filesystem::path& folder) {
    return std::filesystem::is_empty(folder);
}

TEST(DatabaseCreateTest, MakesTheWholeFileInWalMode) {
    test::TempDir dir;
    const std::string path = dir.File(kDefaultHistoryName);
    ASSERT_TRUE(DatabaseCreate(path, true));
    EXPECT_EQ(std::filesystem::directory_iterator(dir.Path())->path().filename(), kDefaultHistoryName);

    auto database = db::Database::Open(path, db::OpenMode::ReadOnly);
    EXPECT_EQ(Column(*database, "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
    EXPECT_EQ(Column(*database, "PRAGMA journal_mode"), std::vector<std::string>{"wal"});
    EXPECT_EQ(Column(*database, "PRAGMA encoding"), std::vector<std::string>{"UTF-8"});
    EXPECT_EQ(Column(*database, "SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY rowid"),
              (std::vector<std::string>{"TimeLine", "Data", "Tuple", "Interface", "Host", "MAC", "IP", "IPX",
                                        "MAC_Name", "IP_Name", "IPX_Name", "Event", "_VorquelSchema"}));
    EXPECT_EQ(Column(*database, "SELECT name || ' ON ' || tbl_name FROM sqlite_schema WHERE type = 'index'"),
              std::vector<std::string>{"Data_TimeIndex ON Data"});

    for (const TableSpec& table : HistoryTables()) {
        SCOPED_TRACE(table.name);
        EXPECT_EQ(Rows(*database, table.name), table.name == std::string(kSchemaTableName) ? "1|0|0\n" : "");
        auto info = database->Prepare("SELECT name, type, pk FROM pragma_table_info(?1)");
        info.Bind(1, table.name);
        for (size_t i = 0; i < table.columns.size(); ++i) {
            ASSERT_TRUE(info.Step());
            EXPECT_EQ(info.GetText(0), table.columns[i].name);
            EXPECT_EQ(info.GetInt(2), i == 0 ? 1 : 0);
            if (table.columns[i].kind == TextValue) {
                EXPECT_EQ(info.GetText(1), "VARCHAR(" + std::to_string(table.columns[i].capacity) + ")");
            }
        }
        EXPECT_FALSE(info.Step());
    }
    EXPECT_EQ(Column(*database, "SELECT type FROM pragma_table_info('TimeLine')"),
              (std::vector<std::string>{"INTEGER", "DOUBLE", "DOUBLE", "SMALLINT"}));
    EXPECT_EQ(Column(*database, "SELECT type FROM pragma_table_info('MAC')"),
              (std::vector<std::string>{"INTEGER", "VARCHAR(48)", "TINYINT", "INTEGER", "INTEGER"}));
}

TEST(DatabaseCreateTest, NeverTouchesAnExistingFile) {
    test::TempDir dir;
    const std::string path = dir.File("h.mdb");
    test::WriteFile(path, "not a database, but someone's file");
    const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
    for (bool deleteFirst : {false, true}) {
        EXPECT_FALSE(DatabaseCreate(path, deleteFirst));
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mtim.tv_sec, 1000000000);
        EXPECT_EQ(test::ReadFile(path), "not a database, but someone's file");
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(DatabaseCreateTest, AFailureLeavesNoFile) {
    test::TempDir dir;
    const std::string path = dir.File("h.mdb");
    int created = 0;
    EXPECT_FALSE(DatabaseCreate(path, true, [&](const TableSupportDAO&) {
        if (++created == 6) throw std::runtime_error("injected");
    }));
    EXPECT_EQ(created, 6);
    EXPECT_TRUE(FolderIsEmpty(dir.Path()));
    EXPECT_FALSE(DatabaseCreate("", true));
}

TEST(DatabaseCreateTest, UnwritableFolderOrFullDiskLeavesNoFile) {
    test::TempDir readOnly;
    std::filesystem::permissions(
        readOnly.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                             std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
    test::RunInChild([&] {
        test::BecomeUnprivileged();
        EXPECT_FALSE(DatabaseCreate(readOnly.File("h.mdb"), true));
    });
    EXPECT_TRUE(FolderIsEmpty(readOnly.Path()));

    test::TempDir full;
    test::RunInChild([&] {
        // A file-size limit makes writes fail as on a full disk.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16 * 1024, 16 * 1024};
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        EXPECT_FALSE(DatabaseCreate(full.File("h.mdb"), true));
    });
    EXPECT_TRUE(FolderIsEmpty(full.Path()));
}

} // namespace
} // namespace vq::history
