#include "platform/db/TableDeclaration.h"

#include "platform/db/Database.h"

#include <stdexcept>
#include <strings.h>

namespace vq::db {
namespace {

std::string TypeName(const ColumnDeclaration& column) {
    switch (column.type) {
    case ColumnType::SmallInt:
        return "SMALLINT";
    case ColumnType::Integer:
        return "INTEGER";
    case ColumnType::Double:
        return "DOUBLE";
    case ColumnType::TinyInt:
        return "TINYINT";
    case ColumnType::VarChar:
        return "VARCHAR(" + std::to_string(column.capacity) + ")";
    }
    throw std::logic_error("unknown column type");
}

bool SameName(const std::string& a, const std::string& b) {
    return ::strcasecmp(a.c_str(), b.c_str()) == 0;
}

std::string ColumnList(const std::vector<ColumnDeclaration>& columns) {
    std::string list;
    for (const auto& column : columns) {
        if (!list.empty()) list += ", ";
        list += QuoteIdentifier(column.name);
    }
    return list;
}

} // namespace

std::string QuoteIdentifier(std::string_view name) {
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string CreateIndexSql(std::string_view index, std::string_view table, std::string_view column) {
    return "CREATE INDEX " + QuoteIdentifier(index) + " ON " + QuoteIdentifier(table) + "(" +
           QuoteIdentifier(column) + ")";
}

TableDeclaration::TableDeclaration(std::string name, std::vector<ColumnDeclaration> columns)
    : m_Name(std::move(name)), m_Columns(std::move(columns)) {
    if (m_Columns.empty() || m_Columns.front().type != ColumnType::Integer)
        throw std::logic_error("table " + m_Name + " needs an integer key as its first column");
}

std::string TableDeclaration::CreateTableSql() const {
    std::string sql = "CREATE TABLE " + QuoteIdentifier(m_Name) + " (";
    for (size_t i = 0; i < m_Columns.size(); ++i) {
        if (i > 0) sql += ", ";
        sql += QuoteIdentifier(m_Columns[i].name) + " ";
        sql += i == 0 ? "INTEGER PRIMARY KEY" : TypeName(m_Columns[i]);
    }
    return sql + ")";
}

std::string TableDeclaration::SelectSql(bool descending, bool firstOnly) const {
    std::string sql = "SELECT " + ColumnList(m_Columns) + " FROM " + QuoteIdentifier(m_Name) + " ORDER BY " +
                      QuoteIdentifier(m_Columns.front().name);
    if (descending) sql += " DESC";
    if (firstOnly) sql += " LIMIT 1";
    return sql;
}

std::string TableDeclaration::InsertSql() const {
    std::string sql = "INSERT INTO " + QuoteIdentifier(m_Name) + "(" + ColumnList(m_Columns) + ") VALUES(";
    for (size_t i = 1; i <= m_Columns.size(); ++i) {
        if (i > 1) sql += ", ";
        sql += "?" + std::to_string(i);
    }
    return sql + ")";
}

std::optional<std::string> TableDeclaration::FindDifference(Database& database) const {
    const std::string table = "table " + m_Name;
    auto info = database.Prepare("SELECT name, pk FROM pragma_table_info(?1)");
    info.Bind(1, m_Name);
    size_t position = 0;
    for (; info.Step(); ++position) {
        const std::string name = info.GetText(0);
        const std::string ordinal = std::to_string(position + 1);
        if (position >= m_Columns.size())
            return table + ": column " + ordinal + " is " + name + ", which is not declared";
        if (!SameName(name, m_Columns[position].name))
            return table + ": column " + ordinal + " is " + name + ", expected " + m_Columns[position].name;
        const bool key = info.GetInt64(1) != 0;
        if (key != (position == 0))
            return table + ": column " + ordinal + " (" + name + ") " + (key ? "is" : "is not") + " the key";
    }
    if (position == 0) return table + " is missing";
    if (position < m_Columns.size())
        return table + ": column " + std::to_string(position + 1) + " (" + m_Columns[position].name +
               ") is missing";
    return std::nullopt;
}

} // namespace vq::db
