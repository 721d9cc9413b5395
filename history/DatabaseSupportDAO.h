#pragma once

#include "history/TableSupport.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vq::history {

class TableSupportDAO;

// The creation of a new history database file and its tables. The file is built under a temporary
// name in the target's folder, in write-ahead-log mode, with every table in one transaction, and is
// linked into place only when complete: a failure leaves no file, and an existing file is never
// replaced.
class DatabaseSupportDAO : public DatabaseSupport {
public:
    explicit DatabaseSupportDAO(std::string path) : DatabaseSupport(std::move(path)) {}

    virtual void Init(int count);
    // Throws a DatabaseError on failure.
    int Create();

    uint32_t m_Count = 0;
    std::vector<TableSupportDAO*> m_Tables;
    // Called after each table is made, inside the transaction: lets a test fail the creation there.
    std::function<void(const TableSupportDAO&)> m_TableCreated;
};

} // namespace vq::history
