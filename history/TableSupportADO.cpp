#include "history/TableSupportADO.h"

#include "history/DatabaseSupportADO.h"
#include "history/HistorySchema.h"
#include "platform/db/Database.h"
#include "platform/db/StatementCache.h"

#include <sqlite3.h>

namespace vq::history {
namespace {

Variant Read(const db::Statement& statement, int column) {
    switch (statement.GetStorageClass(column)) {
    case SQLITE_INTEGER:
        return Variant(statement.GetInt64(column));
    case SQLITE_FLOAT:
        return Variant(statement.GetDouble(column));
    case SQLITE_TEXT:
        return Variant(statement.GetText(column));
    case SQLITE_BLOB:
        return Variant::Blob();
    default:
        return Variant();
    }
}

void Bind(db::Statement& statement, int parameter, const Variant& value) {
    switch (value.GetType()) {
    case Variant::Type::Integer:
        statement.Bind(parameter, value.Integer());
        break;
    case Variant::Type::Real:
        statement.Bind(parameter, value.Real());
        break;
    case Variant::Type::Text:
        statement.Bind(parameter, std::string_view(value.Text()));
        break;
    case Variant::Type::Null:
    case Variant::Type::Blob:
        statement.BindNull(parameter);
        break;
    }
}

} // namespace

TableSupportADO::TableSupportADO() = default;

TableSupportADO::~TableSupportADO() {
    Abandon();
}

const TableSupportADO::SqlTexts& TableSupportADO::Sql() {
    if (!m_Sql) {
        const db::TableDeclaration declaration = DeclarationOf(*this);
        m_Sql = SqlTexts{declaration.SelectSql(false, false), declaration.SelectSql(true, true),
                         declaration.InsertSql()};
    }
    return *m_Sql;
}

void TableSupportADO::Throw(int code, const std::string& message) const {
    std::string text = m_Connection != nullptr ? m_Connection->m_Path + ": " : std::string();
    throw db::DatabaseError(code, text + "table " + GetName() + " " + message);
}

void TableSupportADO::RequireOpen() const {
    if (!IsOpen()) Throw(SQLITE_MISUSE, "is not open");
}

void TableSupportADO::OpenQuery(const std::string& sql, int position) {
    if (m_Connection == nullptr) Throw(SQLITE_MISUSE, "has no connection");
    OpenQuery(*m_Connection, sql, position);
}

void TableSupportADO::OpenQuery(DatabaseSupportADO& connection, const std::string& sql, int position) {
    if (IsOpen()) Throw(SQLITE_MISUSE, "is already open");
    m_Connection = &connection;
    m_Query = std::make_unique<db::Statement>(connection.Connection().Prepare(sql));
    if (m_Query->ColumnCount() != m_Count) {
        const int columns = m_Query->ColumnCount();
        m_Query.reset();
        Throw(SQLITE_MISMATCH,
              "has " + std::to_string(m_Count) + " columns, the query returns " + std::to_string(columns));
    }
    Open(connection, *m_Query, position);
}

void TableSupportADO::OpenTable(int position) {
    if (m_Connection == nullptr) Throw(SQLITE_MISUSE, "has no connection");
    OpenTable(*m_Connection, position);
}

void TableSupportADO::OpenTable(DatabaseSupportADO& connection, int position) {
    if (IsOpen()) Throw(SQLITE_MISUSE, "is already open");
    m_Connection = &connection;
    db::StatementCache& statements = connection.Statements();
    Open(connection, statements.Get(position == LastRow ? Sql().last : Sql().first), position);
}

void TableSupportADO::Open(DatabaseSupportADO& connection, db::Statement& cursor, int position) {
    m_Connection = &connection;
    m_Cursor = &cursor;
    try {
        Step();
        // A query has no reverse order to ask for: its last row is found by reading to the end.
        if (position == LastRow && m_Query && !m_EOF) {
            do {
                Exchange(false);
                Step();
            } while (!m_EOF);
            m_EOF = false;
            m_Drained = true;
            return;
        }
        AfterOpen();
    } catch (...) {
        Abandon();
        throw;
    }
}

void TableSupportADO::Step() {
    m_EOF = !m_Cursor->Step();
}

void TableSupportADO::AfterOpen() {
    if (m_EOF)
        ClearFields();
    else
        Exchange(false);
}

void TableSupportADO::AfterMove() {
    if (m_Adding) EndAdd();
    if (!m_EOF) Exchange(false);
}

void TableSupportADO::MoveNext() {
    RequireOpen();
    if (m_EOF) Throw(SQLITE_MISUSE, "has no row after its end");
    if (m_Drained)
        m_EOF = true;
    else
        Step();
    AfterMove();
}

void TableSupportADO::Exchange(bool toDatabase) {
    if (toDatabase) {
        if (m_Connection == nullptr) Throw(SQLITE_MISUSE, "has no connection");
        db::Statement& insert = m_Connection->Statements().Get(Sql().insert);
        for (int i = 0; i < m_Count; ++i)
            Bind(insert, i + 1, m_Fields[i]->GetVariant());
        return;
    }
    RequireOpen();
    for (int i = 0; i < m_Count; ++i) {
        Variant value = Read(*m_Cursor, i);
        try {
            m_Fields[i]->SetVariant(value);
        } catch (const db::DatabaseError& error) {
            Throw(error.Code(), std::string("row: ") + error.what());
        }
    }
}

void TableSupportADO::AddNew() {
    ClearFields();
}

void TableSupportADO::BeginAdd() {
    RequireOpen();
    m_Adding = true;
    AddNew();
}

void TableSupportADO::EndAdd() {
    if (!m_Adding) return;
    m_Adding = false;
    db::Statement& insert = m_Connection->Statements().Get(Sql().insert);
    db::StatementReset reset(insert);
    Exchange(true);
    insert.Run();
}

void TableSupportADO::Close() {
    RequireOpen();
    try {
        EndAdd();
    } catch (...) {
        Abandon();
        throw;
    }
    Abandon();
}

void TableSupportADO::Abandon() {
    m_Adding = false;
    if (m_Cursor != nullptr) m_Cursor->Reset();
    m_Cursor = nullptr;
    m_Query.reset();
    m_EOF = true;
    m_Drained = false;
}

} // namespace vq::history
