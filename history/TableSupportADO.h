#pragma once

#include "history/TableSupport.h"

#include <memory>
#include <optional>
#include <string>

namespace vq::db {
class Statement;
}

namespace vq::history {

class DatabaseSupportADO;

// Where an open puts the cursor.
enum OpenPosition : int { FirstRow = 1, LastRow = 2 };

// One table of an open history database, read row by row into its columns' value slots and
// appended to by position. Opened tables read in key order; a table is either browsing (the
// columns hold the current row) or adding (they hold the new row until EndAdd writes it).
class TableSupportADO : public TableSupport {
public:
    // Never writes: a row still pending is dropped, a cursor is reset.
    ~TableSupportADO() override;

    // Opens on the query's rows; the query must return this table's columns in order.
    void OpenQuery(const std::string& sql, int position);
    void OpenQuery(DatabaseSupportADO& connection, const std::string& sql, int position);
    // Position FirstRow reads the first row in key order, LastRow the last; any other value the
    // first. An empty table clears the columns.
    void OpenTable(int position);
    void OpenTable(DatabaseSupportADO& connection, int position);
    // Saves a pending new row first.
    void Close();

    void BeginAdd();
    // Writes the new row: every column, so what the caller left unset is stored as 0 or "". A
    // failed write is not tried again.
    void EndAdd();
    void AddNew();
    void Exchange(bool toDatabase);
    void AfterOpen();
    // Saves a pending new row, then reads the current row; at the end the columns keep the last row.
    void AfterMove();

    bool IsOpen() const { return m_Cursor != nullptr; }
    bool IsEOF() const { return m_EOF; }
    // Steps to the next row and runs AfterMove.
    void MoveNext();

    // Forgets the pending row and the cursor without writing: a rollback or a closing connection.
    void Abandon();

    bool m_Adding = false;

protected:
    TableSupportADO();

private:
    void Open(DatabaseSupportADO& connection, db::Statement& cursor, int position);
    void Step();
    void RequireOpen() const;
    [[noreturn]] void Throw(int code, const std::string& message) const;

    struct SqlTexts {
        std::string first, last, insert;
    };
    const SqlTexts& Sql();

    std::optional<SqlTexts> m_Sql;
    DatabaseSupportADO* m_Connection = nullptr;
    db::Statement* m_Cursor = nullptr;
    // The statement of an open query; table opens use the connection's cached statements.
    std::unique_ptr<db::Statement> m_Query;
    bool m_EOF = true;
    // A query opened at its last row was read to its end; the next move reaches EOF.
    bool m_Drained = false;
};

} // namespace vq::history
