#pragma once

#include "history/TableSupport.h"

namespace vq::db {
class Database;
}

namespace vq::history {

// One table of a history database being created: its CREATE TABLE comes from its columns.
class TableSupportDAO : public TableSupport {
public:
    // Makes the table, keyed on its first column, and marks every column valid. Concrete tables
    // may override it and call it first.
    virtual void Create(db::Database& database);
    void CreateIn(db::Database& database);

    db::Database* m_Database = nullptr;

protected:
    TableSupportDAO() = default;
};

} // namespace vq::history
