#include "history/HistorySchema.h"

#include "history/TableSupport.h"

#include <stdexcept>

namespace vq::history {
namespace {

constexpr ColumnSpec I(const char* name) {
    return {name, IntValue, 0};
}
constexpr ColumnSpec D(const char* name) {
    return {name, DoubleValue, 0};
}

constexpr ColumnSpec kTimeLine[] = {
    I("TimeIndex"), {"EndTime", DateValue, 0}, D("Duration"), {"Status", ShortValue, 0}};
constexpr ColumnSpec kData[] = {I("DataIndex"),         D("Octets"),          D("Packets"),
                                D("PacketsUnder64"),    D("Packets64"),       D("Packets65To127"),
                                D("Packets128To255"),   D("Packets256To511"), D("Packets512To1023"),
                                D("Packets1024To1518"), D("PacketsOver1518"), D("Errors"),
                                I("TupleIndex"),        I("TimeIndex")};
constexpr ColumnSpec kTuple[] = {I("TupleIndex"),   I("SrcHostIndex"), I("DstHostIndex"), I("InterfaceIndex"),
                                 I("DataLink"),     I("Network"),      I("Transport"),    I("Session"),
                                 I("Presentation"), I("Application"),  I("TimeIndex")};
constexpr ColumnSpec kInterface[] = {I("InterfaceIndex"),
                                     {"InterfaceNumber", ShortValue, 0},
                                     {"InterfacePhysAddr", TextValue, 48},
                                     {"InterfaceName", TextValue, 255},
                                     {"InterfaceDesc", TextValue, 255},
                                     {"InterfaceIpAddr", TextValue, 16},
                                     I("InterfaceMedium"),
                                     I("InterfaceMTU"),
                                     I("InterfaceSpeed"),
                                     I("HostIndex"),
                                     I("TimeIndex")};
constexpr ColumnSpec kHost[] = {I("HostIndex"), I("MacIndex"), I("IpIndex"), I("IpxIndex"), I("TimeIndex")};
constexpr ColumnSpec kMac[] = {I("MacIndex"),
                               {"MacAddress", TextValue, 48},
                               {"MacType", ByteValue, 0},
                               I("MacNameIndex"),
                               I("TimeIndex")};
constexpr ColumnSpec kIp[] = {
    I("IpIndex"), {"IpAddress", TextValue, 16}, {"IpType", ByteValue, 0}, I("IpNameIndex"), I("TimeIndex")};
constexpr ColumnSpec kIpx[] = {I("IpxIndex"),
                               {"IpxAddress", TextValue, 22},
                               {"IpxType", ByteValue, 0},
                               I("IpxNameIndex"),
                               I("TimeIndex")};
constexpr ColumnSpec kMacName[] = {
    I("MacNameIndex"), {"MacName", TextValue, 255}, I("MacIndex"), I("TimeIndex")};
constexpr ColumnSpec kIpName[] = {I("IpNameIndex"), {"IpName", TextValue, 255}, I("IpIndex"), I("TimeIndex")};
constexpr ColumnSpec kIpxName[] = {
    I("IpxNameIndex"), {"IpxName", TextValue, 255}, I("IpxIndex"), I("TimeIndex")};
constexpr ColumnSpec kEvent[] = {
    I("EventIndex"), {"EventType", ShortValue, 0}, {"EventMessage", TextValue, 255}, I("TimeIndex")};
constexpr ColumnSpec kSchema[] = {I("MajorVersion"), I("MinorVersion"), I("VersionModifier")};

db::ColumnType SqlType(int valueType) {
    switch (valueType) {
    case ShortValue:
        return db::ColumnType::SmallInt;
    case IntValue:
        return db::ColumnType::Integer;
    case DoubleValue:
    case DateValue:
        return db::ColumnType::Double;
    case ByteValue:
        return db::ColumnType::TinyInt;
    case TextValue:
        return db::ColumnType::VarChar;
    }
    throw std::logic_error("unknown value type " + std::to_string(valueType));
}

} // namespace

const std::array<TableSpec, HistoryTableCount>& HistoryTables() {
    static const std::array<TableSpec, HistoryTableCount> tables = {{
        {"TimeLine", kTimeLine},
        {"Data", kData},
        {"Tuple", kTuple},
        {"Interface", kInterface},
        {"Host", kHost},
        {"MAC", kMac},
        {"IP", kIp},
        {"IPX", kIpx},
        {"MAC_Name", kMacName},
        {"IP_Name", kIpName},
        {"IPX_Name", kIpxName},
        {"Event", kEvent},
        {kSchemaTableName, kSchema},
    }};
    return tables;
}

db::TableDeclaration DeclarationOf(const TableSupport& table) {
    std::vector<db::ColumnDeclaration> columns;
    for (const FieldSupport* field : table.m_Fields) {
        const bool text = field->m_ValueType == TextValue;
        columns.push_back({field->m_Name, SqlType(field->m_ValueType), text ? field->m_Size : 0});
    }
    return db::TableDeclaration(table.GetName(), std::move(columns));
}

} // namespace vq::history
