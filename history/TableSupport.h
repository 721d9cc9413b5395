#pragma once

#include "history/FieldSupport.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vq::history {

// One table of a history database: the ordered array of its columns, which the concrete table
// builds in CreateFields and owns.
class TableSupport {
public:
    virtual ~TableSupport() = default;
    TableSupport(const TableSupport&) = delete;
    TableSupport& operator=(const TableSupport&) = delete;

    virtual const char* GetName() const = 0;
    virtual int GetFieldCount() const = 0;
    // Fills positions 0 to count - 1 of `m_Fields`.
    virtual bool CreateFields() = 0;
    // Called once, right after construction; `visible` is false only for the schema-version table.
    virtual bool Init(bool visible);

    void ClearFields();
    // False for a table without columns and while any column lacks a value.
    bool AllValid() const;
    // For every column: prefix, name, separator, value in the column's format, suffix and, when
    // asked, a line feed.
    std::string ToString(const char* prefix = nullptr, const char* separator = nullptr,
                         const char* suffix = nullptr, bool lineFeed = false) const;

    int32_t m_Count = 0;
    std::vector<FieldSupport*> m_Fields;
    // Kept from the design of the file format; SQLite has no hidden tables, so nothing reads it.
    bool m_System = true;
    bool m_Schema = false;

protected:
    TableSupport() = default;
};

// The path of one history database file.
class DatabaseSupport {
public:
    explicit DatabaseSupport(std::string path) : m_Path(std::move(path)) {}
    virtual ~DatabaseSupport() = default;

    std::string m_Path;
};

} // namespace vq::history
