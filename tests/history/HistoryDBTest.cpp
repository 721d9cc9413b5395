#include "history/HistoryDB.h"

#include "history/HistoryDB_Create.h"
#include "platform/db/Database.h"
#include "platform/db/Transaction.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace vq::history {
namespace {

class HistoryDBTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(DatabaseCreate(m_Path, true)); }

    std::string OpenFailure(const std::string& path) {
        try {
            HistoryDB database(path);
        } catch (const db::DatabaseError& error) {
            return error.what();
        }
        return "(opened)";
    }

    void Edit(const std::string& sql) {
        auto database = db::Database::Open(m_Path);
        database->Execute(sql);
    }

    int64_t Count(const std::string& table) {
        auto database = db::Database::Open(m_Path, db::OpenMode::ReadOnly);
        auto count = database->Prepare("SELECT count(*) FROM \"" + table + "\"");
        count.Step();
        return count.GetInt64(0);
    }

    // Appends one TimeLine row as the writer does.
    static void AddTimeLine(HistoryDB& database, int64_t key, double end) {
        auto* table = static_cast<HistoryDB::TimeLine_Table*>(database.OpenTable(TimeLine_Number, LastRow));
        table->BeginAdd();
        *table->m_TimeIndex->m_Value = key;
        *table->m_EndTime->m_Value = end;
        *table->m_Duration->m_Value = 5.0;
        table->EndAdd();
        table->Close();
    }

    test::TempDir m_Dir;
    std::string m_Path = m_Dir.File(kDefaultHistoryName);
};

TEST_F(HistoryDBTest, OffersTheTablesByNumberAndNameClearedAndClosed) {
    HistoryDB database(m_Path);
    ASSERT_EQ(database.m_Count, HistoryTableCount);
    const int counts[] = {4, 14, 11, 11, 5, 5, 5, 5, 4, 4, 4, 4, 3};
    for (int number = 0; number < HistoryTableCount; ++number) {
        TableSupportADO* table = database.m_Tables[number];
        SCOPED_TRACE(table->GetName());
        EXPECT_EQ(table->GetName(), std::string(HistoryTables()[number].name));
        EXPECT_EQ(table->m_Count, counts[number]);
        EXPECT_FALSE(table->IsOpen());
        EXPECT_EQ(table->m_Schema, false);
        EXPECT_EQ(table->m_System, number == VorquelSchema_Number);
        for (const FieldSupport* field : table->m_Fields) {
            EXPECT_FALSE(field->m_Valid);
            EXPECT_TRUE(field->ToString() == "0" || field->ToString() == "" || field->ToString() == "00");
        }
    }
    EXPECT_EQ(database.m_MAC.m_MacType->m_Ordinal, 3);
    EXPECT_EQ(database.m_Interface.m_InterfacePhysAddr->m_Capacity, 48);

    TableSupportADO* schema = database.OpenTable("_vorquelschema", FirstRow);
    ASSERT_EQ(schema, &database.m_VorquelSchema);
    EXPECT_EQ(schema->ToString(nullptr, "=", " "), "MajorVersion=1 MinorVersion=0 VersionModifier=0 ");
    schema->Close();
    EXPECT_EQ(database.OpenTable("timeline", FirstRow), &database.m_TimeLine);
    database.m_TimeLine.Close();
    EXPECT_EQ(database.OpenTable("NoSuchTable", FirstRow), nullptr);
    for (const TableSupportADO* table : database.m_Tables)
        EXPECT_FALSE(table->IsOpen());
    EXPECT_THROW(database.OpenTable(HistoryTableCount, FirstRow), db::DatabaseError);
}

TEST_F(HistoryDBTest, RefusesFilesThatAreNotHistoryDatabasesAndLeavesThemAlone) {
    test::WriteFile(m_Dir.File("empty.mdb"), "");
    test::WriteFile(m_Dir.File("text.mdb"), "TimeLine,Data\n1,2\n");
    {
        auto other = db::Database::Create(m_Dir.File("other.mdb"));
        other->Execute("CREATE TABLE CFGNETWORK (ID INTEGER PRIMARY KEY, NAME TEXT)");
    }
    struct Case {
        std::string name;
        std::string text;
    };
    const Case cases[] = {
        {"missing.mdb", "missing.mdb: unable to open database file (No such file or directory)"},
        {"empty.mdb", "empty.mdb: table TimeLine is missing"},
        {"text.mdb", "text.mdb: file is not a database"},
        {"other.mdb", "other.mdb: table TimeLine is missing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = m_Dir.File(c.name);
        const bool existed = std::filesystem::exists(path);
        const std::string before = existed ? test::ReadFile(path) : "";
        EXPECT_NE(OpenFailure(path).find(c.text), std::string::npos) << OpenFailure(path);
        EXPECT_EQ(std::filesystem::exists(path), existed);
        if (existed) {
            EXPECT_EQ(test::ReadFile(path), before);
        }
    }
}

TEST_F(HistoryDBTest, EditedLayoutsAreRefusedNamingTheDifference) {
    struct Case {
        const char* sql;
        const char* text; // nullptr: opens
    };
    const Case cases[] = {
        {"DROP TABLE IPX_Name", "table IPX_Name is missing"},
        {"ALTER TABLE Host RENAME COLUMN IpIndex TO IpKey",
         "table Host: column 3 is IpKey, expected IpIndex"},
        {"DROP TABLE Data; CREATE TABLE Data (DataIndex INTEGER PRIMARY KEY, Octets DOUBLE, Packets DOUBLE, "
         "PacketsUnder64 DOUBLE, Packets64 DOUBLE, Packets65To127 DOUBLE, Packets128To255 DOUBLE, "
         "Packets256To511 "
         "DOUBLE, Packets512To1023 DOUBLE, Packets1024To1518 DOUBLE, PacketsOver1518 DOUBLE, Errors DOUBLE, "
         "TimeIndex INTEGER, TupleIndex INTEGER)",
         "table Data: column 13 is TimeIndex, expected TupleIndex"},
        {"DELETE FROM _VorquelSchema", nullptr},
        {"UPDATE _VorquelSchema SET MajorVersion = 7", nullptr},
        {"DROP INDEX Data_TimeIndex", nullptr},
    };
    const std::string pristine = test::ReadFile(m_Path);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        test::WriteFile(m_Path, pristine);
        Edit(c.sql);
        const std::string failure = OpenFailure(m_Path);
        if (c.text == nullptr)
            EXPECT_EQ(failure, "(opened)");
        else
            EXPECT_EQ(failure, m_Path + ": " + c.text);
    }
}

TEST_F(HistoryDBTest, PositionsReadInKeyOrderAndTheEndKeepsTheLastRow) {
    HistoryDB database(m_Path);
    HistoryDB::TimeLine_Table& table = database.m_TimeLine;
    for (int position : {FirstRow, LastRow}) {
        database.OpenTable(TimeLine_Number, position);
        EXPECT_TRUE(table.IsEOF());
        EXPECT_FALSE(table.m_TimeIndex->m_Valid);
        EXPECT_EQ(*table.m_EndTime->m_Value, 0.0);
        table.Close();
    }
    database.Begin();
    // Keys past 2^31 store and read back exactly.
    const int64_t big = (int64_t{1} << 31) + 7;
    for (int64_t key : {int64_t{2}, big, int64_t{0}, int64_t{1}})
        AddTimeLine(database, key, 46000.5 + static_cast<double>(key % 100));
    database.Commit();

    database.OpenTable(TimeLine_Number, LastRow);
    EXPECT_EQ(*table.m_TimeIndex->m_Value, big);
    EXPECT_EQ(*table.m_EndTime->m_Value, 46000.5 + static_cast<double>(big % 100));
    table.MoveNext();
    EXPECT_TRUE(table.IsEOF());
    table.Close();

    database.OpenTable(TimeLine_Number, FirstRow);
    std::vector<int64_t> keys;
    while (!table.IsEOF()) {
        keys.push_back(*table.m_TimeIndex->m_Value);
        table.MoveNext();
    }
    EXPECT_EQ(keys, (std::vector<int64_t>{0, 1, 2, big}));
    EXPECT_EQ(*table.m_TimeIndex->m_Value, big);
    EXPECT_THROW(table.MoveNext(), db::DatabaseError);
    table.Close();

    const std::string query = "SELECT TimeIndex, EndTime, Duration, Status FROM TimeLine WHERE TimeIndex < 2 "
                              "ORDER BY TimeIndex";
    database.OpenQuery(TimeLine_Number, query, LastRow);
    EXPECT_EQ(*table.m_TimeIndex->m_Value, 1);
    EXPECT_FALSE(table.IsEOF());
    table.MoveNext();
    EXPECT_TRUE(table.IsEOF());
    table.Close();
    EXPECT_THROW(database.OpenQuery(TimeLine_Number, "SELECT TimeIndex FROM TimeLine", FirstRow),
                 db::DatabaseError);
    EXPECT_FALSE(table.IsOpen());
}

TEST_F(HistoryDBTest, AddedRowsStoreEveryColumnAndCloseSavesThem) {
    {
        HistoryDB database(m_Path);
        auto& table = database.m_Interface;
        database.OpenTable(Interface_Number, LastRow);
        table.BeginAdd();
        *table.m_InterfaceIndex->m_Value = 4;
        table.m_InterfaceName->SetVariant("eth0");
        table.Close();
    }
    HistoryDB database(m_Path);
    auto& table = database.m_Interface;
    database.OpenTable("Interface", FirstRow);
    EXPECT_EQ(table.ToString(nullptr, "=", ";"),
              "InterfaceIndex=4;InterfaceNumber=0;InterfacePhysAddr=;InterfaceName=eth0;InterfaceDesc=;"
              "InterfaceIpAddr=;InterfaceMedium=0;InterfaceMTU=0;InterfaceSpeed=0;HostIndex=0;TimeIndex=0;");
    table.Close();
    auto raw = db::Database::Open(m_Path, db::OpenMode::ReadOnly);
    auto nulls =
        raw->Prepare("SELECT count(*) FROM Interface WHERE InterfaceDesc IS NULL OR HostIndex IS NULL");
    nulls.Step();
    EXPECT_EQ(nulls.GetInt(0), 0);
}

TEST_F(HistoryDBTest, RollbackDropsThePendingRowAndNothingIsWrittenAfterwards) {
    const std::string before = test::ReadFile(m_Path);
    {
        HistoryDB database(m_Path);
        database.Begin();
        AddTimeLine(database, 1, 46000.0);
        database.OpenTable(Data_Number, LastRow);
        database.m_Data.BeginAdd();
        *database.m_Data.m_DataIndex->m_Value = 1;
        database.Rollback();
        EXPECT_FALSE(database.m_Data.m_Adding);
    }
    EXPECT_EQ(test::ReadFile(m_Path), before);
    EXPECT_FALSE(std::filesystem::exists(m_Path + "-wal"));
    EXPECT_EQ(Count("TimeLine"), 0);
    EXPECT_EQ(Count("Data"), 0);
}

TEST_F(HistoryDBTest, FailedWritesAreNotRetriedAndABusyFileWritesNothing) {
    HistoryDB database(m_Path);
    database.Begin();
    AddTimeLine(database, 1, 46000.0);
    // The same key again: the insert fails, and closing does not try it once more.
    database.OpenTable(TimeLine_Number, LastRow);
    database.m_TimeLine.BeginAdd();
    *database.m_TimeLine.m_TimeIndex->m_Value = 1;
    EXPECT_THROW(database.m_TimeLine.EndAdd(), db::DatabaseError);
    EXPECT_NO_THROW(database.m_TimeLine.Close());
    database.Commit();
    EXPECT_EQ(Count("TimeLine"), 1);

    auto other = db::Database::Open(m_Path);
    db::Transaction lock(*other);
    database.Connection().SetBusyTimeout(std::chrono::milliseconds(20));
    EXPECT_THROW(database.Begin(), db::DatabaseError);
    lock.Commit();
    database.Begin();
    AddTimeLine(database, 2, 46001.0);
    database.Commit();
    EXPECT_EQ(Count("TimeLine"), 2);
}

TEST_F(HistoryDBTest, StoredValuesOutsideTheKindFailNamingTheColumn) {
    Edit("INSERT INTO MAC VALUES (0, '00:00:00:00:00:00', 256, 0, 0)");
    HistoryDB database(m_Path);
    try {
        database.OpenTable(MAC_Number, FirstRow);
        ADD_FAILURE() << "read 256 into a byte";
    } catch (const db::DatabaseError& error) {
        EXPECT_EQ(std::string(error.what()), m_Path + ": table MAC row: column MacType: 256 is out of range");
    }
    EXPECT_FALSE(database.m_MAC.IsOpen());
}

TEST_F(HistoryDBTest, RelativeFileNamesAreNotUris) {
    test::RunInChild([&] {
        ASSERT_EQ(::chdir(m_Dir.Path().c_str()), 0);
        std::filesystem::rename(kDefaultHistoryName, "file:h.db");
        HistoryDB database("file:h.db");
        EXPECT_NE(database.OpenTable(VorquelSchema_Number, FirstRow), nullptr);
        EXPECT_FALSE(std::filesystem::exists("h.db"));
    });
}

} // namespace
} // namespace vq::history
