#include "history/TableSupportDAO.h"

#include "history/HistorySchema.h"
#include "platform/db/Database.h"

namespace vq::history {

void TableSupportDAO::CreateIn(db::Database& database) {
    m_Database = &database;
    Create(database);
}

void TableSupportDAO::Create(db::Database& database) {
    database.Execute(DeclarationOf(*this).CreateTableSql());
    for (FieldSupport* field : m_Fields)
        field->m_Valid = true;
}

} // namespace vq::history
