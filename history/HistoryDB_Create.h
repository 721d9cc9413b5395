#pragma once

#include "history/DatabaseSupportDAO.h"
#include "history/HistorySchema.h"
#include "history/TableSupportDAO.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vq::history {

// A history table on the creation side, its columns made from the table list with their values
// held in the column objects.
class HistoryTableDAO : public TableSupportDAO {
public:
    explicit HistoryTableDAO(HistoryTableNumber number) : m_Spec(HistoryTables()[number]) {}

    const char* GetName() const override { return m_Spec.name; }
    int GetFieldCount() const override { return static_cast<int>(m_Spec.columns.size()); }
    bool CreateFields() override;
    // Marks the schema-version table by its exact name.
    bool Init(bool visible) override;

private:
    const TableSpec& m_Spec;
    std::vector<std::unique_ptr<FieldSupport>> m_Columns;
};

// A table made as the table list declares it, with nothing added.
template <HistoryTableNumber Number> class NumberedTableDAO : public HistoryTableDAO {
public:
    NumberedTableDAO() : HistoryTableDAO(Number) {}
};

// The creator of a new history database: the 13 tables of the file, in table order.
class HistoryDB_Create : public DatabaseSupportDAO {
public:
    using TimeLine_Table = NumberedTableDAO<TimeLine_Number>;
    using Tuple_Table = NumberedTableDAO<Tuple_Number>;
    using Interface_Table = NumberedTableDAO<Interface_Number>;
    using Host_Table = NumberedTableDAO<Host_Number>;
    using MAC_Table = NumberedTableDAO<MAC_Number>;
    using IP_Table = NumberedTableDAO<IP_Number>;
    using IPX_Table = NumberedTableDAO<IPX_Number>;
    using MAC_Name_Table = NumberedTableDAO<MAC_Name_Number>;
    using IP_Name_Table = NumberedTableDAO<IP_Name_Number>;
    using IPX_Name_Table = NumberedTableDAO<IPX_Name_Number>;
    using Event_Table = NumberedTableDAO<Event_Number>;

    // The history query selects Data rows by time, so the file gets that index with its tables.
    class Data_Table : public HistoryTableDAO {
    public:
        Data_Table() : HistoryTableDAO(Data_Number) {}
        void Create(db::Database& database) override;
    };

    // Holds the one row of the schema version, 1.0.0, written right after the table is made.
    class VorquelSchema_Table : public HistoryTableDAO {
    public:
        VorquelSchema_Table() : HistoryTableDAO(VorquelSchema_Number) {}
        void Create(db::Database& database) override;
    };

    explicit HistoryDB_Create(std::string path);
    ~HistoryDB_Create() override;

    void Init(int count) override;

    TimeLine_Table m_TimeLine;
    Data_Table m_Data;
    Tuple_Table m_Tuple;
    Interface_Table m_Interface;
    Host_Table m_Host;
    MAC_Table m_MAC;
    IP_Table m_IP;
    IPX_Table m_IPX;
    MAC_Name_Table m_MAC_Name;
    IP_Name_Table m_IP_Name;
    IPX_Name_Table m_IPX_Name;
    Event_Table m_Event;
    VorquelSchema_Table m_VorquelSchema;
};

// Creates a new, empty history database at the path: true when the whole file is in place. False,
// and nothing changed on disk, on any failure and whenever something already exists at the path,
// whatever `deleteFirst` says (a history file is never deleted to make room). `tableCreated` is for
// tests only: it runs after each table is made and may throw to fail the creation there.
bool DatabaseCreate(const std::string& path, bool deleteFirst,
                    const std::function<void(const TableSupportDAO&)>& tableCreated = {});

} // namespace vq::history
