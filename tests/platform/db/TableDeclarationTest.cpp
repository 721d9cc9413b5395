#include "platform/db/TableDeclaration.h"

#include "platform/db/Database.h"
#include "platform/db/StatementCache.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace vq::db {
namespace {

const TableDeclaration kSample("Sa\"mple", {{"Id", ColumnType::Integer},
                                            {"Small", ColumnType::SmallInt},
                                            {"Real", ColumnType::Double},
                                            {"Tiny", ColumnType::TinyInt},
                                            {"Name", ColumnType::VarChar, 48}});

TEST(TableDeclarationTest, SqlComesFromTheDeclaration) {
    EXPECT_EQ(kSample.CreateTableSql(),
              "CREATE TABLE \"Sa\"\"mple\" (\"Id\" INTEGER PRIMARY KEY, \"Small\" SMALLINT, "
              "\"Real\" DOUBLE, \"Tiny\" TINYINT, \"Name\" VARCHAR(48))");
    EXPECT_EQ(kSample.SelectSql(true, true), "SELECT \"Id\", \"Small\", \"Real\", \"Tiny\", \"Name\" FROM "
                                             "\"Sa\"\"mple\" ORDER BY \"Id\" DESC LIMIT 1");
    EXPECT_EQ(kSample.InsertSql(), "INSERT INTO \"Sa\"\"mple\"(\"Id\", \"Small\", \"Real\", \"Tiny\", "
                                   "\"Name\") VALUES(?1, ?2, ?3, ?4, ?5)");
    EXPECT_EQ(CreateIndexSql("Data_TimeIndex", "Data", "TimeIndex"),
              "CREATE INDEX \"Data_TimeIndex\" ON \"Data\"(\"TimeIndex\")");
    EXPECT_THROW(TableDeclaration("T", {{"Name", ColumnType::VarChar, 8}}), std::logic_error);
}

TEST(TableDeclarationTest, FindDifferenceNamesTheFirstOne) {
    const TableDeclaration declared(
        "T", {{"Key", ColumnType::Integer}, {"A", ColumnType::Double}, {"B", ColumnType::VarChar, 16}});
    struct Case {
        const char* ddl;
        const char* difference; // nullptr: matches
    };
    const Case cases[] = {
        {"CREATE TABLE T (Key INTEGER PRIMARY KEY, A DOUBLE, B VARCHAR(16))", nullptr},
        {"CREATE TABLE t (key INTEGER PRIMARY KEY, a TEXT, b BLOB)", nullptr},
        {"CREATE TABLE Other (Key INTEGER PRIMARY KEY)", "table T is missing"},
        {"CREATE TABLE T (Key INTEGER PRIMARY KEY, B TEXT, A DOUBLE)", "table T: column 2 is B, expected A"},
        {"CREATE TABLE T (Key INTEGER PRIMARY KEY, A DOUBLE, C TEXT)", "table T: column 3 is C, expected B"},
        {"CREATE TABLE T (Key INTEGER PRIMARY KEY, A DOUBLE)", "table T: column 3 (B) is missing"},
        {"CREATE TABLE T (Key INTEGER PRIMARY KEY, A DOUBLE, B TEXT, C TEXT)",
         "table T: column 4 is C, which is not declared"},
        {"CREATE TABLE T (Key INTEGER, A DOUBLE PRIMARY KEY, B TEXT)",
         "table T: column 1 (Key) is not the key"},
        {"CREATE TABLE T (Key INTEGER, A DOUBLE, B TEXT, PRIMARY KEY (Key, A))",
         "table T: column 2 (A) is the key"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ddl);
        test::TempDir dir;
        auto database = Database::Create(dir.File("t.db"));
        database->Execute(c.ddl);
        auto difference = declared.FindDifference(*database);
        if (c.difference == nullptr)
            EXPECT_FALSE(difference) << *difference;
        else
            EXPECT_EQ(difference.value_or("(none)"), c.difference);
    }
}

TEST(StatementCacheTest, PreparesEachTextOnceAndResetsOnEveryExit) {
    test::TempDir dir;
    auto database = Database::Create(dir.File("t.db"));
    database->Execute(kSample.CreateTableSql());
    StatementCache cache(*database);
    for (int key = 1; key <= 3; ++key) {
        Statement& insert = cache.Get(kSample.InsertSql());
        StatementReset reset(insert);
        insert.Bind(1, key).Bind(2, 0).Bind(3, 0.0).Bind(4, 0).Bind(5, "x");
        insert.Run();
    }
    EXPECT_EQ(cache.Preparations(), 1);
    Statement& select = cache.Get(kSample.SelectSql(false, false));
    try {
        StatementReset reset(select);
        ASSERT_TRUE(select.Step());
        throw std::runtime_error("stop half-way");
    } catch (const std::runtime_error&) {
    }
    // A reset statement starts over from the first row.
    ASSERT_TRUE(select.Step());
    EXPECT_EQ(select.GetInt(0), 1);
    select.Reset();
    EXPECT_EQ(cache.Preparations(), 2);
}

} // namespace
} // namespace vq::db
