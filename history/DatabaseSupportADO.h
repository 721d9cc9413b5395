#pragma once

#include "history/TableSupport.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vq::db {
class Database;
class StatementCache;
} // namespace vq::db

namespace vq::history {

class TableSupportADO;

// One connection to an existing history database and the array of its tables. Writes happen inside
// explicit transactions (Begin, Commit, Rollback).
class DatabaseSupportADO : public DatabaseSupport {
public:
    explicit DatabaseSupportADO(std::string path);
    ~DatabaseSupportADO() override;

    // The table opened, or null when no table has the name (compared without regard to case).
    TableSupportADO* OpenQuery(int index, const std::string& sql, int position);
    TableSupportADO* OpenTable(int index, int position);
    TableSupportADO* OpenQuery(std::string_view name, const std::string& sql, int position);
    TableSupportADO* OpenTable(std::string_view name, int position);

    // Opens the file read-write; a missing file is an error, never created.
    virtual void Open();
    // Drops every table's cursor and pending row, then the connection; later opens fail.
    virtual void Close();
    virtual void Init(int count);

    void Begin();
    void Commit();
    // Never throws; every table's pending new row is dropped.
    void Rollback() noexcept;

    // Throw when the database is closed.
    db::Database& Connection() const;
    db::StatementCache& Statements() const;

    int32_t m_Count = 0;
    std::vector<TableSupportADO*> m_Tables;

private:
    TableSupportADO* Table(int index) const;
    int FindTable(std::string_view name) const;

    std::unique_ptr<db::Database> m_Connection;
    // Declared after the connection, so its statements are finalized before the connection closes.
    std::unique_ptr<db::StatementCache> m_Statements;
};

} // namespace vq::history
