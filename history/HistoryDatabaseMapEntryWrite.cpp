#include "history/HistoryDB.h"
#include "history/HistoryDatabaseMapEntry.h"
#include "history/HistoryEntrySupport.h"
#include "history/HistoryTime.h"
#include "netmodel/Environment.h"
#include "netmodel/InterfaceInfo.h"
#include "netmodel/Traffic.h"
#include "netmodel/Tuple.h"
#include "platform/db/DatabaseError.h"
#include "runtime/TimeUnits.h"

#include <sqlite3.h>
#include <unordered_map>

namespace vq::history {
namespace {

const char* OrUnknown(const std::string& text) {
    return text.empty() ? "unknown" : text.c_str();
}

} // namespace

bool HistoryDatabaseMapEntry::WriteCheckpoint(const CheckpointSource& checkpoint) {
    if (!m_Database) {
        Report("WriteCheckpoint", m_Path + ": no history database is open");
        return false;
    }
    try {
        if (!m_Loaded) Load();
        m_Database->Begin();
        WriteSteps(checkpoint);
        for (TableSupportADO* table : m_Writing)
            table->Close();
        m_Writing.clear();
        m_Database->Commit();
        return true;
    } catch (const std::exception& error) {
        for (TableSupportADO* table : m_Writing)
            table->Abandon();
        m_Writing.clear();
        m_Database->Rollback();
        // What the failed write imported and numbered is in memory but not in the file: the next use
        // reads the file again rather than trust it.
        Forget();
        Report("WriteCheckpoint", std::string("the checkpoint was not stored: ") + error.what());
        return false;
    }
}

bool HistoryDatabaseMapEntry::WriteLogMark(const Timestamp& time) {
    if (!m_Database) {
        Report("WriteLogMark", m_Path + ": no history database is open");
        return false;
    }
    try {
        if (!m_Loaded) Load();
        m_Database->Begin();
        WriteTimeLine(time, TimeSpan(), 1);
        for (TableSupportADO* table : m_Writing)
            table->Close();
        m_Writing.clear();
        m_Database->Commit();
        return true;
    } catch (const std::exception& error) {
        for (TableSupportADO* table : m_Writing)
            table->Abandon();
        m_Writing.clear();
        m_Database->Rollback();
        Forget();
        Report("WriteLogMark", std::string("the log mark was not stored: ") + error.what());
        return false;
    }
}

void HistoryDatabaseMapEntry::WriteSteps(const CheckpointSource& checkpoint) {
    auto step = [this](const char* name) {
        if (m_AfterStep) m_AfterStep(name);
    };
    Environment& source = checkpoint.m_Environment;
    m_Environment->BeginImport();
    const int64_t timeIndex = WriteTimeLine(checkpoint.m_EndTime, checkpoint.m_Length, 0);
    step("TimeLine");
    WriteAddresses(MacFamily(), source, timeIndex);
    step("MAC");
    WriteAddresses(IpFamily(), source, timeIndex);
    step("IP");
    WriteAddresses(IpxFamily(), source, timeIndex);
    step("IPX");
    WriteHosts(source, timeIndex);
    step("Host");
    WriteInterfaces(source, timeIndex);
    step("Interface");
    WriteTuples(source, timeIndex);
    step("Tuple");
    WriteData(checkpoint.m_Traffic, timeIndex);
    step("Data");
    m_Environment->EndImport();
}

void HistoryDatabaseMapEntry::AddRow(int number, std::initializer_list<Variant> values) {
    TableSupportADO* table = m_Database->m_Tables[size_t(number)];
    if (!table->IsOpen()) {
        m_Database->OpenTable(number, LastRow);
        m_Writing.push_back(table);
    }
    table->BeginAdd();
    size_t column = 0;
    for (const Variant& value : values)
        table->m_Fields[column++]->SetVariant(value);
    table->EndAdd();
}

int64_t HistoryDatabaseMapEntry::WriteTimeLine(const Timestamp& time, const TimeSpan& length,
                                               int16_t status) {
    const int64_t index = m_NextIndex[TimeLineSlot]++;
    AddRow(TimeLine_Number, {index, ToStoredTime(time), ToStoredMinutes(length), int64_t(status)});
    // The row is read back to the second, so memory keeps what the file will answer.
    const Timestamp stored = FromStoredTime(ToStoredTime(time)).value_or(NULL_TIME);
    m_TimeMap.insert_or_assign(index, HistoryTimestamp{stored, length, status});
    if (status == 0 && stored != NULL_TIME) {
        const Timestamp start = Before(stored, TimeSpan(5, Unit::Minutes));
        if (m_FirstTime == NULL_TIME || start.GetTicks() < m_FirstTime.GetTicks()) m_FirstTime = start;
        if (m_LastTime == NULL_TIME || stored.GetTicks() > m_LastTime.GetTicks()) m_LastTime = stored;
    }
    return index;
}

template <typename Address>
void HistoryDatabaseMapEntry::WriteAddresses(Family<Address> family, Environment& source, int64_t timeIndex) {
    const Address& placeholder = Address::Invalid();
    if (m_NextIndex[family.nameSlot] == 0) {
        const int64_t index = m_NextIndex[family.nameSlot]++;
        AddRow(family.nameTable, {index, placeholder.GetNameAt(0), int64_t(0), int64_t(0)});
        family.names.Add(index, placeholder.GetNameAt(0));
    }
    if (m_NextIndex[family.addressSlot] == 0) {
        const int64_t index = m_NextIndex[family.addressSlot]++;
        AddRow(family.addressTable, {index, placeholder.GetText(), int64_t(0), int64_t(0), int64_t(0)});
        family.addresses.Insert(index, &Address::Invalid());
    }
    const AddressTable<Address>& addresses = TableOf(source, static_cast<const Address*>(nullptr));
    NameTable::Position position = addresses.GetStartPosition();
    while (Address* address = addresses.GetNextEntry(position)) {
        bool created = false;
        Address* own = ImportInto(*m_Environment, *address, &created);
        if (own == &Address::Invalid()) continue;
        std::string name = address->GetNameAt(0);
        std::optional<int64_t> nameIndex;
        if (!name.empty()) {
            nameIndex = family.names.FindIndex(name);
        } else if (!created) {
            continue;
        } else {
            name = placeholder.GetNameAt(0);
            nameIndex = 0;
        }
        int64_t addressIndex = -1;
        if (created)
            addressIndex = m_NextIndex[family.addressSlot]++;
        else if (nameIndex)
            continue;
        else
            addressIndex = family.addresses.FindIndex(own).value_or(-1);
        if (!nameIndex) {
            nameIndex = m_NextIndex[family.nameSlot]++;
            AddRow(family.nameTable, {*nameIndex, name, addressIndex, timeIndex});
            family.names.Add(*nameIndex, name);
        }
        if (created) {
            const std::string text = own->GetText().empty() ? placeholder.GetText() : own->GetText();
            AddRow(family.addressTable,
                   {addressIndex, text, int64_t(uint8_t(own->GetKind())), *nameIndex, timeIndex});
            family.addresses.Insert(addressIndex, own);
        }
    }
}

void HistoryDatabaseMapEntry::WriteHosts(Environment& source, int64_t timeIndex) {
    if (m_NextIndex[HostSlot] == 0) {
        const int64_t index = m_NextIndex[HostSlot]++;
        AddRow(Host_Number, {index, int64_t(0), int64_t(0), int64_t(0), int64_t(0)});
        m_HostMap.Add(index, &HostAddress::Invalid());
    }
    for (HostAddress* host : source.GetHostTable().GetHosts()) {
        bool created = false;
        HostAddress* own = m_Environment->ImportHost(*host, &created);
        if (!created) continue;
        const int64_t index = m_NextIndex[HostSlot]++;
        m_HostMap.Add(index, own);
        AddRow(Host_Number, {index, m_MacMap.FindIndex(&own->GetMac()).value_or(-1),
                             m_IpMap.FindIndex(&own->GetIp()).value_or(-1),
                             m_IpxMap.FindIndex(&own->GetIpx()).value_or(-1), timeIndex});
    }
}

void HistoryDatabaseMapEntry::WriteInterfaces(Environment& source, int64_t timeIndex) {
    InterfaceTable& interfaces = source.GetInterfaceTable();
    for (int i = 0; i < interfaces.GetCount(); ++i) {
        bool created = false;
        InterfaceInfo* own = m_Environment->ImportInterface(*interfaces.GetAt(i), &created);
        if (!created) continue;
        const int64_t index = m_NextIndex[InterfaceSlot]++;
        const HostAddress* host = own->GetHost();
        const int64_t hostIndex =
            host == nullptr || host->GetValidVector() == 0 ? 0 : m_HostMap.FindIndex(host).value_or(-1);
        m_InterfaceMap.Add(index, own);
        AddRow(Interface_Number,
               {index, int64_t(own->GetNumber()), OrUnknown(own->GetPhysicalAddress()),
                OrUnknown(own->GetName()), OrUnknown(own->GetDescription()), OrUnknown(own->GetIpAddress()),
                int64_t(own->GetMedium()), int64_t(own->GetMaximumTotalSize()),
                int64_t(std::min<uint64_t>(own->GetLinkSpeed(), INT64_MAX)), hostIndex, timeIndex});
    }
}

void HistoryDatabaseMapEntry::WriteTuples(Environment& source, int64_t timeIndex) {
    // A tuple names its interface by number; the row refers to the interface of that number that
    // this checkpoint holds, else to the latest stored one.
    std::unordered_map<uint16_t, int64_t> byNumber;
    for (const auto& [index, interface] : m_InterfaceMap.Forward()) {
        auto [entry, added] = byNumber.try_emplace(uint16_t(interface->GetNumber()), index);
        if (!added && index > entry->second) entry->second = index;
    }
    InterfaceTable& interfaces = source.GetInterfaceTable();
    for (int i = 0; i < interfaces.GetCount(); ++i) {
        InterfaceInfo* own = m_Environment->ImportInterface(*interfaces.GetAt(i));
        if (auto index = m_InterfaceMap.FindIndex(own)) byNumber[uint16_t(own->GetNumber())] = *index;
    }
    size_t position = 0;
    while (Tuple* tuple = source.GetTuplePool().GetNextTuple(position)) {
        bool created = false;
        Tuple* own = m_Environment->ImportTuple(*tuple, 0, &created);
        if (!created) continue;
        const int64_t index = m_NextIndex[TupleSlot]++;
        m_TupleMap.Add(index, own);
        int64_t interfaceIndex = -1;
        if (own->GetInterface() != NoInterface) {
            if (auto found = byNumber.find(own->GetInterface()); found != byNumber.end())
                interfaceIndex = found->second;
        }
        AddRow(Tuple_Number,
               {index, m_HostMap.FindIndex(&HostOrInvalid(own->GetSource())).value_or(-1),
                m_HostMap.FindIndex(&HostOrInvalid(own->GetDestination())).value_or(-1),
                int64_t(uint16_t(interfaceIndex)), int64_t(own->GetField(FieldDataLink)),
                int64_t(own->GetField(FieldNetwork)), int64_t(own->GetField(FieldTransport)),
                int64_t(own->GetField(FieldReferenceSession)), int64_t(own->GetField(FieldPresentation)),
                int64_t(own->GetField(FieldApplication)), timeIndex});
    }
}

void HistoryDatabaseMapEntry::WriteData(const Traffic& traffic, int64_t timeIndex) {
    size_t position = 0;
    while (Conversation* conversation = traffic.GetNextConversation(position)) {
        if (conversation->GetTuple() == nullptr) continue;
        bool created = false;
        Tuple* own = m_Environment->ImportTuple(*conversation->GetTuple(), 0, &created);
        if (created)
            throw db::DatabaseError(
                SQLITE_CONSTRAINT, m_Path + ": a conversation's tuple is not in the checkpoint's tuple pool");
        const TrafficData& counts = conversation->GetTraffic();
        auto count = [&counts](TrafficData::Counter counter) { return double(counts.Get(counter)); };
        const int64_t index = m_NextIndex[DataSlot]++;
        AddRow(Data_Number,
               {index, count(TrafficData::Octets), count(TrafficData::Packets), count(TrafficData::Under64),
                count(TrafficData::Size64), count(TrafficData::Size65To127), count(TrafficData::Size128To255),
                count(TrafficData::Size256To511), count(TrafficData::Size512To1023),
                count(TrafficData::Size1024To1518), count(TrafficData::SizeOver1518),
                count(TrafficData::Errors), m_TupleMap.FindIndex(own).value_or(-1), timeIndex});
    }
}

} // namespace vq::history
