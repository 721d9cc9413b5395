#pragma once

#include "history/FieldSupport.h"
#include "platform/db/TableDeclaration.h"

#include <array>
#include <span>

namespace vq::history {

class TableSupport;

// The tables of a history database by number: the number is the position in the file's table list
// and is what callers pass to open a table.
enum HistoryTableNumber : int {
    TimeLine_Number,
    Data_Number,
    Tuple_Number,
    Interface_Number,
    Host_Number,
    MAC_Number,
    IP_Number,
    IPX_Number,
    MAC_Name_Number,
    IP_Name_Number,
    IPX_Name_Number,
    Event_Number,
    VorquelSchema_Number,
    HistoryTableCount
};

struct ColumnSpec {
    const char* name;
    ValueType kind;
    int capacity; // text only: the buffer size, terminator included
};

struct TableSpec {
    const char* name;
    std::span<const ColumnSpec> columns;
};

// The one list of tables and columns from which both the access and the creation side build their
// columns. All access is by position, so the order is part of the file format.
const std::array<TableSpec, HistoryTableCount>& HistoryTables();

inline constexpr const char* kSchemaTableName = "_VorquelSchema";
inline constexpr const char* kDefaultHistoryName = "VorquelHistory.mdb";

// The table as SQL sees it, made from its columns.
db::TableDeclaration DeclarationOf(const TableSupport& table);

} // namespace vq::history
