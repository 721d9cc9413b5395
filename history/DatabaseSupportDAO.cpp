#include "history/DatabaseSupportDAO.h"

#include "history/TableSupportDAO.h"
#include "platform/db/StagedDatabase.h"
#include "platform/db/Transaction.h"

#include <sqlite3.h>

namespace vq::history {
namespace {

// The mode is kept in the file, so every later connection writes through the log.
void UseWriteAheadLog(db::Database& database) {
    auto mode = database.Prepare("PRAGMA journal_mode=WAL");
    if (!mode.Step() || mode.GetText(0) != "wal")
        database.Throw(SQLITE_CANTOPEN, "cannot use a write-ahead log");
}

} // namespace

void DatabaseSupportDAO::Init(int count) {
    m_Count = static_cast<uint32_t>(count);
    m_Tables.assign(m_Count, nullptr);
}

int DatabaseSupportDAO::Create() {
    db::StagedDatabase staged(m_Path);
    db::Database& database = staged.Connection();
    UseWriteAheadLog(database);
    database.Execute("PRAGMA synchronous=FULL");
    {
        // The tables point at the connection only while it is open.
        struct Detach {
            std::vector<TableSupportDAO*>& tables;
            ~Detach() {
                for (TableSupportDAO* table : tables)
                    table->m_Database = nullptr;
            }
        } detach{m_Tables};
        db::Transaction transaction(database);
        for (TableSupportDAO* table : m_Tables) {
            table->CreateIn(database);
            if (m_TableCreated) m_TableCreated(*table);
        }
        transaction.Commit();
    }
    staged.CommitNew();
    return 0;
}

} // namespace vq::history
