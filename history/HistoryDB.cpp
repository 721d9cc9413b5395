#include "history/HistoryDB.h"

#include "platform/db/Database.h"

#include <sqlite3.h>

namespace vq::history {

bool HistoryDB::TimeLine_Table::CreateFields() {
    HistoryTableADO::CreateFields();
    Bind(m_TimeIndex, 0);
    Bind(m_EndTime, 1);
    Bind(m_Duration, 2);
    Bind(m_Status, 3);
    return true;
}

bool HistoryDB::Data_Table::CreateFields() {
    HistoryTableADO::CreateFields();
    Bind(m_DataIndex, 0);
    Bind(m_Octets, 1);
    Bind(m_Packets, 2);
    Bind(m_PacketsUnder64, 3);
    Bind(m_Packets64, 4);
    Bind(m_Packets65To127, 5);
    Bind(m_Packets128To255, 6);
    Bind(m_Packets256To511, 7);
    Bind(m_Packets512To1023, 8);
    Bind(m_Packets1024To1518, 9);
    Bind(m_PacketsOver1518, 10);
    Bind(m_Errors, 11);
    Bind(m_TupleIndex, 12);
    Bind(m_TimeIndex, 13);
    return true;
}

bool HistoryDB::Tuple_Table::CreateFields() {
    HistoryTableADO::CreateFields();
    Bind(m_TupleIndex, 0);
    Bind(m_SrcHostIndex, 1);
    Bind(m_DstHostIndex, 2);
    Bind(m_InterfaceIndex, 3);
    Bind(m_DataLink, 4);
    Bind(m_Network, 5);
    Bind(m_Transport, 6);
    Bind(m_Session, 7);
    Bind(m_Presentation, 8);
    Bind(m_Application, 9);
    Bind(m_TimeIndex, 10);
    return true;
}

bool HistoryDB::Interface_Table::CreateFields() {
    HistoryTableADO::CreateFields();
    Bind(m_InterfaceIndex, 0);
    Bind(m_InterfaceNumber, 1);
    Bind(m_InterfacePhysAddr, 2);
    Bind(m_InterfaceName, 3);
    Bind(m_InterfaceDesc, 4);
    Bind(m_InterfaceIpAddr, 5);
    Bind(m_InterfaceMedium, 6);
    Bind(m_InterfaceMTU, 7);
    Bind(m_InterfaceSpeed, 8);
    Bind(m_HostIndex, 9);
    Bind(m_TimeIndex, 10);
    return true;
}

bool HistoryDB::Host_Table::CreateFields() {
    HistoryTableADO::CreateFields();
    Bind(m_HostIndex, 0);
    Bind(m_MacIndex, 1);
    Bind(m_IpIndex, 2);
    Bind(m_IpxIndex, 3);
    Bind(m_TimeIndex, 4);
    return true;
}

bool HistoryDB::MAC_Table::CreateFields() {
    HistoryTableADO::CreateFields();
    Bind(m_MacIndex, 0);
    Bind(m_MacAddress, 1);
    Bind(m_MacType, 2);
    Bind(m_MacNameIndex, 3);
    Bind(m_TimeIndex, 4);
    return true;
}

bool HistoryDB::IP_Table::CreateFields() {
    HistoryTableADO::CreateFields();
    Bind(m_IpIndex, 0);
    Bind(m_IpAddress, 1);
    Bind(m_IpType, 2);
    Bind(m_IpNameIndex, 3);
    Bind(m_TimeIndex, 4);
    return true;
}

bool HistoryDB::IPX_Table::CreateFields() {
    HistoryTableADO::CreateFields();
    Bind(m_IpxIndex, 0);
    Bind(m_IpxAddress, 1);
    Bind(m_IpxType, 2);
    Bind(m_IpxNameIndex, 3);
    Bind(m_TimeIndex, 4);
    return true;
}

bool HistoryDB::MAC_Name_Table::CreateFields() {
    HistoryTableADO::CreateFields();
    Bind(m_MacNameIndex, 0);
    Bind(m_MacName, 1);
    Bind(m_MacIndex, 2);
    Bind(m_TimeIndex, 3);
    return true;
}

bool HistoryDB::IP_Name_Table::CreateFields() {
    HistoryTableADO::CreateFields();
    Bind(m_IpNameIndex, 0);
    Bind(m_IpName, 1);
    Bind(m_IpIndex, 2);
    Bind(m_TimeIndex, 3);
    return true;
}

bool HistoryDB::IPX_Name_Table::CreateFields() {
    HistoryTableADO::CreateFields();
    Bind(m_IpxNameIndex, 0);
    Bind(m_IpxName, 1);
    Bind(m_IpxIndex, 2);
    Bind(m_TimeIndex, 3);
    return true;
}

bool HistoryDB::Event_Table::CreateFields() {
    HistoryTableADO::CreateFields();
    Bind(m_EventIndex, 0);
    Bind(m_EventType, 1);
    Bind(m_EventMessage, 2);
    Bind(m_TimeIndex, 3);
    return true;
}

bool HistoryDB::VorquelSchema_Table::CreateFields() {
    HistoryTableADO::CreateFields();
    Bind(m_MajorVersion, 0);
    Bind(m_MinorVersion, 1);
    Bind(m_VersionModifier, 2);
    return true;
}

HistoryDB::HistoryDB(std::string path) : DatabaseSupportADO(std::move(path)) {
    Init(HistoryTableCount);
    for (TableSupportADO* table : m_Tables)
        table->Init(table != &m_VorquelSchema);
    Open();
    CheckLayout();
}

HistoryDB::~HistoryDB() = default;

void HistoryDB::Init(int count) {
    DatabaseSupportADO::Init(count);
    m_Tables = {&m_TimeLine, &m_Data,     &m_Tuple,   &m_Interface, &m_Host,  &m_MAC,          &m_IP,
                &m_IPX,      &m_MAC_Name, &m_IP_Name, &m_IPX_Name,  &m_Event, &m_VorquelSchema};
}

void HistoryDB::CheckLayout() {
    for (TableSupportADO* table : m_Tables) {
        if (auto difference = DeclarationOf(*table).FindDifference(Connection()))
            Connection().Throw(SQLITE_SCHEMA, *difference);
    }
}

} // namespace vq::history
