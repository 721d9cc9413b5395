#include "platform/db/Transaction.h"

#include "platform/db/Database.h"

namespace vq::db {

Transaction::Transaction(Database& database) : m_Database(database) {
    m_Database.Execute("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (!m_Open) return;
    try {
        m_Database.Execute("ROLLBACK");
    } catch (const DatabaseError&) {
        // SQLite has already rolled back when the failure that brought us here ended the
        // transaction itself; there is nothing left to undo.
    }
}

void Transaction::Commit() {
    m_Database.Execute("COMMIT");
    m_Open = false;
}

} // namespace vq::db
