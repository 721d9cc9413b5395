#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3_stmt;

namespace vq::db {

class Database;

// A prepared statement. Values always travel as bound parameters, never as SQL text. Parameters
// are numbered from 1 as in SQL ("?1"); result columns from 0, in the order of the statement (for
// SELECT * the order of CREATE TABLE).
class Statement {
public:
    Statement(const Database& database, sqlite3_stmt* handle);
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    Statement& Bind(int parameter, int value) { return Bind(parameter, static_cast<int64_t>(value)); }
    Statement& Bind(int parameter, int64_t value);
    Statement& Bind(int parameter, double value);
    Statement& Bind(int parameter, std::string_view text);
    Statement& Bind(int parameter, const char* text) { return Bind(parameter, std::string_view(text)); }
    Statement& BindNull(int parameter);

    // Advances to the next result row; false when there is none left.
    bool Step();
    // Steps to the end, for statements that return no rows.
    void Run();
    // Makes the statement ready to run again; bound values are cleared.
    void Reset();

    int ColumnCount() const;
    std::string ColumnName(int column) const;
    // Position of the named column (exact name); throws when the result has no such column.
    int ColumnIndex(std::string_view name) const;

    bool IsNull(int column) const;
    // SQLite's storage class of the value: SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB or
    // SQLITE_NULL.
    int GetStorageClass(int column) const;
    // Integers outside 32 bits are refused rather than cut.
    int32_t GetInt(int column) const;
    int64_t GetInt64(int column) const;
    double GetDouble(int column) const;
    std::string GetText(int column) const;

    bool IsNull(std::string_view name) const { return IsNull(ColumnIndex(name)); }
    int32_t GetInt(std::string_view name) const { return GetInt(ColumnIndex(name)); }
    int64_t GetInt64(std::string_view name) const { return GetInt64(ColumnIndex(name)); }
    double GetDouble(std::string_view name) const { return GetDouble(ColumnIndex(name)); }
    std::string GetText(std::string_view name) const { return GetText(ColumnIndex(name)); }

private:
    void Check(int result) const;
    void CheckParameter(int parameter) const;
    void CheckRowColumn(int column) const;

    const Database* m_Database;
    sqlite3_stmt* m_Handle;
    bool m_HasRow = false;
};

} // namespace vq::db
