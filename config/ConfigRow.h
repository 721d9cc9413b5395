#pragma once

#include "platform/db/Statement.h"
#include "platform/time/OleDateTime.h"

#include <cstdint>
#include <string>

namespace vq {

// A set flag as stored; CFGNETWORK alone stores 1.
inline constexpr int kStoredTrue = -1;

// One table of the configuration database: its name, the column its rows are found by, its width
// (column 0, ID, included), what a NULL date reads as and how a set flag is written.
struct ConfigTable {
    const char* name;
    const char* key;
    int columns;
    OleDateTime::Status nullDate = OleDateTime::null;
    int trueFlag = kStoredTrue;
};

// Reads the current row of SELECT * by column position, with the value kinds of the stored
// format: a NULL (rows this program did not write) reads as empty, 0, false or `nullDate`.
class RowReader {
public:
    explicit RowReader(const db::Statement& row, OleDateTime::Status nullDate = OleDateTime::null)
        : m_Row(row), m_NullDate(nullDate) {}

    std::string Text(int column) const { return m_Row.GetText(column); }
    bool Flag(int column) const { return m_Row.GetInt64(column) != 0; }
    int32_t Int(int column) const { return m_Row.IsNull(column) ? 0 : m_Row.GetInt(column); }
    // Unsigned words are stored as their signed 32-bit twin, so bit 31 reads back as it was.
    uint32_t Word(int column) const { return static_cast<uint32_t>(Int(column)); }
    int64_t Int64(int column) const { return m_Row.GetInt64(column); }
    OleDateTime Date(int column) const;

private:
    const db::Statement& m_Row;
    OleDateTime::Status m_NullDate;
};

// Binds the values of one row for "INSERT OR REPLACE INTO <table> VALUES (?1, ...)": column n
// is parameter n + 1, so the column numbers here are the stored positions.
class RowWriter {
public:
    RowWriter(db::Statement& statement, int trueFlag) : m_Statement(statement), m_TrueFlag(trueFlag) {}

    void Text(int column, const std::string& value) { m_Statement.Bind(column + 1, value); }
    void Flag(int column, bool value) { m_Statement.Bind(column + 1, value ? m_TrueFlag : 0); }
    void Int(int column, int32_t value) { m_Statement.Bind(column + 1, value); }
    void Word(int column, uint32_t value) { Int(column, static_cast<int32_t>(value)); }
    void Int64(int column, int64_t value) { m_Statement.Bind(column + 1, value); }
    // The day count is stored unchanged; a date that is not valid has no day count and is NULL.
    void Date(int column, const OleDateTime& value);

private:
    db::Statement& m_Statement;
    int m_TrueFlag;
};

} // namespace vq
