#include "history/HistoryDatabaseMapEntry.h"

#include "history/HistoryDB.h"
#include "history/HistoryDB_Create.h"
#include "history/HistoryEntrySupport.h"
#include "history/HistoryTime.h"
#include "netmodel/Environment.h"
#include "netmodel/InterfaceInfo.h"
#include "netmodel/Tuple.h"
#include "platform/db/DatabaseError.h"
#include "runtime/NotificationThreadMessage.h"
#include "runtime/TimeUnits.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vq::history {
namespace {

// The earliest interval starts this long before its stored end, whatever its stored duration.
const TimeSpan kFirstIntervalLead(5, Unit::Minutes);

// Folder of a file, for the write check: the write-ahead log and its index lie beside the file.
std::string FolderOf(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

std::string SystemReason(const std::string& path, const char* what) {
    return path + ": " + what + " (" + std::strerror(errno) + ")";
}

} // namespace

void NameMap::Add(int64_t index, const std::string& name) {
    m_Forward.insert_or_assign(index, name);
    m_Reverse.try_emplace(name, index);
}

const std::string* NameMap::Find(int64_t index) const {
    auto found = m_Forward.find(index);
    return found == m_Forward.end() ? nullptr : &found->second;
}

std::optional<int64_t> NameMap::FindIndex(const std::string& name) const {
    auto found = m_Reverse.find(name);
    return found == m_Reverse.end() ? std::nullopt : std::optional<int64_t>(found->second);
}

void NameMap::Clear() {
    m_Forward.clear();
    m_Reverse.clear();
}

HistoryDatabaseMapEntry::HistoryDatabaseMapEntry()
    : m_Environment(std::make_unique<Environment>(uint8_t(0))), m_Interval(300'000, Unit::Milliseconds) {
    m_NextIndex.fill(-1);
}

HistoryDatabaseMapEntry::~HistoryDatabaseMapEntry() {
    Close();
}

void HistoryDatabaseMapEntry::Report(const char* method, const std::string& text) const {
    PostNotification(2, 0, text.c_str(), "HistoryDatabaseMapEntry", method, nullptr, nullptr, -1);
}

bool HistoryDatabaseMapEntry::Open(const std::string& path, int flags) {
    m_Path = path;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if ((flags & OPEN_CREATE) == 0) {
            Report("Open", SystemReason(path, "no history database"));
            return false;
        }
        if (!DatabaseCreate(path, true)) {
            Report("Open", path + ": the history database cannot be created");
            return false;
        }
    } else {
        if ((flags & OPEN_READ) != 0 && ::access(path.c_str(), R_OK) != 0) {
            Report("Open", SystemReason(path, "the history database cannot be read"));
            return false;
        }
        if ((flags & OPEN_WRITE) != 0 &&
            (::access(path.c_str(), W_OK) != 0 || ::access(FolderOf(path).c_str(), W_OK | X_OK) != 0)) {
            Report("Open", SystemReason(path, "the history database cannot be written"));
            return false;
        }
    }
    try {
        if (!m_Database) m_Database = std::make_unique<HistoryDB>(path);
        if ((flags & OPEN_LOAD) != 0) Load();
        return true;
    } catch (const std::exception& error) {
        Report("Open", error.what());
    }
    Close();
    return false;
}

bool HistoryDatabaseMapEntry::Close() {
    if (!m_Database) return false;
    m_Database.reset();
    return true;
}

void HistoryDatabaseMapEntry::Forget() {
    m_TimeMap.clear();
    m_MacNames.Clear();
    m_IpNames.Clear();
    m_IpxNames.Clear();
    m_MacMap.Clear();
    m_IpMap.Clear();
    m_IpxMap.Clear();
    m_HostMap.Clear();
    m_InterfaceMap.Clear();
    m_TupleMap.Clear();
    m_NextIndex.fill(-1);
    m_Environment = std::make_unique<Environment>(uint8_t(0));
    m_FirstTime = NULL_TIME;
    m_LastTime = NULL_TIME;
    m_Loaded = false;
}

void HistoryDatabaseMapEntry::Load() {
    if (!m_Database) throw db::DatabaseError(SQLITE_MISUSE, m_Path + ": no history database is open");
    Forget();
    try {
        ReadTimeLine();
        ReadAddresses(MacFamily());
        ReadAddresses(IpFamily());
        ReadAddresses(IpxFamily());
        ReadHosts();
        ReadInterfaces();
        ReadTuples();
        ReadNextDataIndex();
    } catch (...) {
        Forget();
        throw;
    }
    m_Loaded = true;
}

void HistoryDatabaseMapEntry::ReadTable(int number, Slot slot,
                                        const std::function<void(TableSupportADO&)>& row) {
    TableSupportADO* table = m_Database->OpenTable(number, FirstRow);
    int64_t next = 0;
    try {
        while (!table->IsEOF()) {
            next = std::max(next, IntAt(*table, 0) + 1);
            row(*table);
            table->MoveNext();
        }
        table->Close();
    } catch (...) {
        table->Abandon();
        throw;
    }
    m_NextIndex[size_t(slot)] = next;
}

Timestamp HistoryDatabaseMapEntry::TimeOf(int64_t timeIndex) const {
    auto found = m_TimeMap.find(timeIndex);
    return found == m_TimeMap.end() ? NULL_TIME : found->second.m_Time;
}

void HistoryDatabaseMapEntry::ReadTimeLine() {
    std::optional<Timestamp> earliest, latest;
    ReadTable(TimeLine_Number, TimeLineSlot, [&](TableSupportADO& table) {
        HistoryTimestamp row;
        row.m_Time = FromStoredTime(RealAt(table, 1)).value_or(NULL_TIME);
        row.m_Duration = FromStoredMinutes(RealAt(table, 2)).value_or(TimeSpan());
        row.m_Status = int16_t(IntAt(table, 3));
        m_TimeMap.insert_or_assign(IntAt(table, 0), row);
        if (row.m_Status != 0 || row.m_Time == NULL_TIME) return;
        if (!earliest || row.m_Time.GetTicks() < earliest->GetTicks()) earliest = row.m_Time;
        if (!latest || row.m_Time.GetTicks() > latest->GetTicks()) latest = row.m_Time;
    });
    if (earliest) {
        m_FirstTime = Before(*earliest, kFirstIntervalLead);
        m_LastTime = *latest;
    }
}

template <typename Address> void HistoryDatabaseMapEntry::ReadAddresses(Family<Address> family) {
    ReadTable(family.nameTable, family.nameSlot,
              [&](TableSupportADO& table) { family.names.Add(IntAt(table, 0), TextAt(table, 1)); });
    ReadTable(family.addressTable, family.addressSlot, [&](TableSupportADO& table) {
        const int64_t index = IntAt(table, 0);
        if (index == 0) {
            family.addresses.Insert(0, &Address::Invalid());
            return;
        }
        const int64_t nameIndex = IntAt(table, 3);
        const std::string* name = nameIndex != 0 ? family.names.Find(nameIndex) : nullptr;
        std::unique_ptr<Address> address =
            family.addresses.Add(index, TextAt(table, 1).c_str(), name != nullptr ? name->c_str() : nullptr,
                                 uint8_t(IntAt(table, 2)));
        if (!address) return;
        AddToModel(*m_Environment, address.get());
        address.release();
    });
}

void HistoryDatabaseMapEntry::ReadHosts() {
    ReadTable(Host_Number, HostSlot, [&](TableSupportADO& table) {
        const int64_t index = IntAt(table, 0);
        if (index == 0) {
            m_HostMap.Add(0, &HostAddress::Invalid());
            return;
        }
        auto host = std::make_unique<HostAddress>(uint8_t(0));
        const Timestamp time = TimeOf(IntAt(table, 4));
        host->SetAddedTime(time);
        if (MacAddress* mac = m_MacMap.Find(IntAt(table, 1)); mac != nullptr && mac->IsValid())
            host->SetMac(*mac, HostAddress::PROV);
        if (IpAddress* ip = m_IpMap.Find(IntAt(table, 2)); ip != nullptr && ip->IsValid())
            host->SetIp(*ip, HostAddress::PROV);
        if (IpxAddress* ipx = m_IpxMap.Find(IntAt(table, 3)); ipx != nullptr && ipx->IsValid())
            host->SetIpx(*ipx, HostAddress::PROV);
        host->SetChangedTime(time);
        m_Environment->AddHost(host.get(), false);
        m_HostMap.Add(index, host.release());
    });
}

void HistoryDatabaseMapEntry::ReadInterfaces() {
    ReadTable(Interface_Number, InterfaceSlot, [&](TableSupportADO& table) {
        const int64_t hostIndex = IntAt(table, 9);
        HostAddress* host = hostIndex == 0 ? &HostAddress::Invalid() : m_HostMap.Find(hostIndex);
        auto interface = std::make_unique<InterfaceInfo>(
            int16_t(IntAt(table, 1)), TextAt(table, 3), TextAt(table, 4), uint32_t(IntAt(table, 6)),
            uint32_t(IntAt(table, 7)), uint64_t(std::max<int64_t>(IntAt(table, 8), 0)), TextAt(table, 5),
            TextAt(table, 2), host);
        interface->m_FirstTime = interface->m_LastTime = TimeOf(IntAt(table, 10));
        m_Environment->AddInterface(interface.get(), false);
        m_InterfaceMap.Add(IntAt(table, 0), interface.release());
    });
}

void HistoryDatabaseMapEntry::ReadTuples() {
    auto hostOf = [this](int64_t index) {
        HostAddress* host = m_HostMap.Find(index);
        return host != nullptr ? host : &HostAddress::Invalid();
    };
    ReadTable(Tuple_Number, TupleSlot, [&](TableSupportADO& table) {
        Tuple::Fields fields{};
        const InterfaceInfo* interface = m_InterfaceMap.Find(IntAt(table, 3));
        fields[FieldInterface] = interface != nullptr ? uint16_t(interface->GetNumber()) : NoInterface;
        fields[FieldDataLink] = uint16_t(IntAt(table, 4));
        fields[FieldNetwork] = uint16_t(IntAt(table, 5));
        fields[FieldTransport] = uint16_t(IntAt(table, 6));
        // One column keeps the reference session; it stands for the session protocol as well.
        fields[FieldSession] = fields[FieldReferenceSession] = uint16_t(IntAt(table, 7));
        fields[FieldPresentation] = uint16_t(IntAt(table, 8));
        fields[FieldApplication] = uint16_t(IntAt(table, 9));
        auto tuple =
            std::make_unique<Tuple>(hostOf(IntAt(table, 1)), hostOf(IntAt(table, 2)), fields, uint8_t(0));
        tuple->m_FirstTime = tuple->m_LastTime = TimeOf(IntAt(table, 10));
        m_Environment->AddTuple(tuple.get(), false);
        m_TupleMap.Add(IntAt(table, 0), tuple.release());
    });
}

void HistoryDatabaseMapEntry::ReadNextDataIndex() {
    TableSupportADO* table = m_Database->OpenTable(Data_Number, LastRow);
    try {
        m_NextIndex[DataSlot] = table->IsEOF() ? 0 : std::max<int64_t>(0, IntAt(*table, 0) + 1);
        table->Close();
    } catch (...) {
        table->Abandon();
        throw;
    }
}

} // namespace vq::history
