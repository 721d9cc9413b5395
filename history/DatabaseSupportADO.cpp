#include "history/DatabaseSupportADO.h"

#include "history/TableSupportADO.h"
#include "platform/db/Database.h"
#include "platform/db/StatementCache.h"

#include <sqlite3.h>
#include <strings.h>

namespace vq::history {

DatabaseSupportADO::DatabaseSupportADO(std::string path) : DatabaseSupport(std::move(path)) {}

// The tables of a concrete database are gone by now, each having dropped its cursor and pending row.
DatabaseSupportADO::~DatabaseSupportADO() = default;

void DatabaseSupportADO::Open() {
    if (m_Connection) return;
    auto connection = db::Database::Open(m_Path);
    connection->Execute("PRAGMA synchronous=FULL");
    m_Statements = std::make_unique<db::StatementCache>(*connection);
    m_Connection = std::move(connection);
}

void DatabaseSupportADO::Close() {
    for (TableSupportADO* table : m_Tables) {
        if (table != nullptr) table->Abandon();
    }
    m_Statements.reset();
    m_Connection.reset();
}

void DatabaseSupportADO::Init(int count) {
    m_Count = count;
    m_Tables.assign(static_cast<size_t>(count), nullptr);
}

db::Database& DatabaseSupportADO::Connection() const {
    if (!m_Connection) throw db::DatabaseError(SQLITE_MISUSE, m_Path + ": the database is closed");
    return *m_Connection;
}

db::StatementCache& DatabaseSupportADO::Statements() const {
    Connection();
    return *m_Statements;
}

TableSupportADO* DatabaseSupportADO::Table(int index) const {
    if (index < 0 || index >= m_Count || m_Tables[static_cast<size_t>(index)] == nullptr)
        throw db::DatabaseError(SQLITE_RANGE, m_Path + ": no table number " + std::to_string(index));
    return m_Tables[static_cast<size_t>(index)];
}

int DatabaseSupportADO::FindTable(std::string_view name) const {
    const std::string wanted(name);
    for (int i = 0; i < m_Count; ++i) {
        const TableSupportADO* table = m_Tables[static_cast<size_t>(i)];
        if (table != nullptr && ::strcasecmp(table->GetName(), wanted.c_str()) == 0) return i;
    }
    return -1;
}

TableSupportADO* DatabaseSupportADO::OpenQuery(int index, const std::string& sql, int position) {
    TableSupportADO* table = Table(index);
    table->OpenQuery(*this, sql, position);
    return table;
}

TableSupportADO* DatabaseSupportADO::OpenTable(int index, int position) {
    TableSupportADO* table = Table(index);
    table->OpenTable(*this, position);
    return table;
}

TableSupportADO* DatabaseSupportADO::OpenQuery(std::string_view name, const std::string& sql, int position) {
    const int index = FindTable(name);
    return index < 0 ? nullptr : OpenQuery(index, sql, position);
}

TableSupportADO* DatabaseSupportADO::OpenTable(std::string_view name, int position) {
    const int index = FindTable(name);
    return index < 0 ? nullptr : OpenTable(index, position);
}

void DatabaseSupportADO::Begin() {
    Connection().Execute("BEGIN IMMEDIATE");
}

void DatabaseSupportADO::Commit() {
    Connection().Execute("COMMIT");
}

void DatabaseSupportADO::Rollback() noexcept {
    for (TableSupportADO* table : m_Tables) {
        if (table != nullptr) table->m_Adding = false;
    }
    if (!m_Connection) return;
    try {
        m_Connection->Execute("ROLLBACK");
    } catch (const db::DatabaseError&) {
        // No transaction was open, or SQLite ended it already on the failure that led here.
    }
}

} // namespace vq::history
