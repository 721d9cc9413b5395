#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vq::db {

class Database;

enum class ColumnType { SmallInt, Integer, Double, TinyInt, VarChar };

struct ColumnDeclaration {
    std::string name;
    ColumnType type;
    int capacity = 0; // VarChar only: the declared length
};

// A table as its code declares it: the name and the columns in order, the first being the row key.
// The SQL that makes, reads and fills the table and the check of a file against it all come from
// this one declaration, so they cannot drift apart.
class TableDeclaration {
public:
    TableDeclaration(std::string name, std::vector<ColumnDeclaration> columns);

    const std::string& Name() const { return m_Name; }
    const std::vector<ColumnDeclaration>& Columns() const { return m_Columns; }

    // The first column becomes INTEGER PRIMARY KEY, SQLite's alias of the row id: keys are handed
    // out by the writer, so there is no AUTOINCREMENT.
    std::string CreateTableSql() const;
    // Every column in declared order, never "*": readers take the values by position.
    std::string SelectSql(bool descending, bool firstOnly) const;
    std::string InsertSql() const;

    // The first way the file's table differs from the declaration (missing table, another name or
    // order of columns, a key elsewhere than on the first column), as a text naming the table;
    // nothing when it matches. Column types are not compared: values are checked as they are read.
    std::optional<std::string> FindDifference(Database& database) const;

private:
    std::string m_Name;
    std::vector<ColumnDeclaration> m_Columns;
};

std::string CreateIndexSql(std::string_view index, std::string_view table, std::string_view column);
// An identifier in double quotes, inner quotes doubled, so any name is safe inside SQL text.
std::string QuoteIdentifier(std::string_view name);

} // namespace vq::db
