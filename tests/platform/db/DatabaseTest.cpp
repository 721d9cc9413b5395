#include "platform/db/Database.h"

#include "platform/db/Transaction.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace vq::db {
namespace {

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto db = Database::Create(m_Path);
        db->Execute("CREATE TABLE T (ID INTEGER PRIMARY KEY AUTOINCREMENT, NAME TEXT, N INTEGER, D REAL)");
    }

    int64_t Count(Database& db) {
        auto statement = db.Prepare("SELECT count(*) FROM T");
        statement.Step();
        return statement.GetInt64(0);
    }

    test::TempDir m_Dir;
    std::string m_Path = m_Dir.File("t.db");
};

TEST_F(DatabaseTest, OpenRefusesWhatIsNotAnExistingDatabase) {
    test::WriteFile(m_Dir.File("junk"), std::string(20000, '\x5a'));
    std::filesystem::create_directory(m_Dir.File("folder"));
    struct Case {
        std::string path;
        std::string text;
    };
    const Case cases[] = {
        {"", "No database file name given."},
        {m_Dir.File("missing.db"), "missing.db: unable to open database file (No such file or directory)"},
        {m_Dir.File("folder"), "folder: not a regular file"},
        {m_Dir.File("junk"), "junk: file is not a database"},
        {":memory:", ":memory:: unable to open database file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        try {
            Database::Open(c.path);
            ADD_FAILURE() << "opened";
        } catch (const DatabaseError& error) {
            EXPECT_NE(std::string(error.what()).find(c.text), std::string::npos) << error.what();
        }
    }
    EXPECT_FALSE(std::filesystem::exists(m_Dir.File("missing.db")));
}

TEST_F(DatabaseTest, CreateNeverReplacesAFile) {
    EXPECT_THROW(Database::Create(m_Path), DatabaseError);
    auto db = Database::Open(m_Path);
    EXPECT_EQ(Count(*db), 0);
}

TEST_F(DatabaseTest, BoundValuesRoundTripAndColumnsAreFoundByPositionAndName) {
    auto db = Database::Open(m_Path);
    const std::string tricky = "x' OR '1'='1 ; DROP TABLE T; -- \xc3\xa4";
    db->Prepare("INSERT INTO T (NAME, N, D) VALUES (?1, ?2, ?3)")
        .Bind(1, tricky)
        .Bind(2, -7)
        .Bind(3, -1.25)
        .Run();
    db->Prepare("INSERT INTO T (NAME, N, D) VALUES (?1, ?2, ?3)").Bind(1, "").BindNull(2).Bind(3, 0.0).Run();
    EXPECT_EQ(db->LastInsertId(), 2);

    auto statement = db->Prepare("SELECT * FROM T WHERE NAME = ?1");
    statement.Bind(1, tricky);
    ASSERT_TRUE(statement.Step());
    EXPECT_EQ(statement.ColumnCount(), 4);
    EXPECT_EQ(statement.ColumnName(1), "NAME");
    EXPECT_EQ(statement.ColumnIndex("D"), 3);
    EXPECT_EQ(statement.GetText(1), tricky);
    EXPECT_EQ(statement.GetInt("N"), -7);
    EXPECT_EQ(statement.GetDouble(3), -1.25);
    EXPECT_FALSE(statement.Step());

    statement.Reset();
    statement.Bind(1, "");
    ASSERT_TRUE(statement.Step());
    EXPECT_TRUE(statement.IsNull("N"));
    EXPECT_EQ(statement.GetInt(2), 0);
    EXPECT_EQ(statement.GetText(1), "");
}

TEST_F(DatabaseTest, MisuseIsAnErrorNamingTheFile) {
    auto db = Database::Open(m_Path);
    db->Prepare("INSERT INTO T (N) VALUES (?1)").Bind(1, int64_t{1} << 40).Run();
    auto statement = db->Prepare("SELECT N FROM T");
    EXPECT_THROW(statement.GetInt(0), DatabaseError); // no row yet
    ASSERT_TRUE(statement.Step());
    EXPECT_THROW(statement.GetInt(0), DatabaseError); // beyond 32 bits
    EXPECT_EQ(statement.GetInt64(0), int64_t{1} << 40);
    EXPECT_THROW(statement.GetText(1), DatabaseError);
    EXPECT_THROW(statement.GetText("NAME"), DatabaseError);
    EXPECT_THROW(statement.Bind(2, 1), DatabaseError);
    try {
        db->Prepare("SELECT * FROM Missing");
        ADD_FAILURE();
    } catch (const DatabaseError& error) {
        EXPECT_EQ(std::string(error.what()), m_Path + ": no such table: Missing");
    }
}

TEST_F(DatabaseTest, TransactionRollsBackUnlessCommitted) {
    auto db = Database::Open(m_Path);
    {
        Transaction transaction(*db);
        db->Execute("INSERT INTO T (NAME) VALUES ('a')");
    }
    EXPECT_EQ(Count(*db), 0);
    {
        Transaction transaction(*db);
        db->Execute("INSERT INTO T (NAME) VALUES ('a')");
        transaction.Commit();
    }
    EXPECT_EQ(Count(*db), 1);
}

TEST_F(DatabaseTest, BusyDatabaseFailsAfterTheTimeoutInsteadOfHalfWriting) {
    auto holder = Database::Open(m_Path);
    auto other = Database::Open(m_Path);
    other->SetBusyTimeout(std::chrono::milliseconds(10));
    Transaction held(*holder);
    try {
        Transaction blocked(*other);
        ADD_FAILURE();
    } catch (const DatabaseError& error) {
        EXPECT_EQ(error.Code() & 0xff, SQLITE_BUSY);
    }
}

TEST_F(DatabaseTest, ReadOnlyIsDetected) {
    EXPECT_FALSE(Database::Open(m_Path)->IsReadOnly());
    auto db = Database::Open(m_Path, OpenMode::ReadOnly);
    EXPECT_TRUE(db->IsReadOnly());
    try {
        db->Execute("INSERT INTO T (NAME) VALUES ('a')");
        ADD_FAILURE();
    } catch (const DatabaseError& error) {
        EXPECT_EQ(error.Code() & 0xff, SQLITE_READONLY);
        EXPECT_NE(std::string(error.what()).find("readonly"), std::string::npos) << error.what();
    }
}

} // namespace
} // namespace vq::db
