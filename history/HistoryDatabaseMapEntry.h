#pragma once

#include "history/AddressMap.h"
#include "history/HistoryQueryData.h"
#include "history/HistorySchema.h"
#include "runtime/TimeSpan.h"
#include "runtime/Timestamp.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace vq {
class Environment;
class HostAddress;
class InterfaceInfo;
class Traffic;
class Tuple;
} // namespace vq

namespace vq::history {

class HistoryDB;
class TableSupportADO;
class Variant;

// How an entry opens its file.
enum OpenFlag : int { OPEN_LOAD = 1, OPEN_READ = 2, OPEN_WRITE = 4, OPEN_CREATE = 8 };

// One TimeLine row in memory.
struct HistoryTimestamp {
    // The row's EndTime; null when the stored value is no date.
    Timestamp m_Time;
    TimeSpan m_Duration;
    // 0 for a checkpoint, 1 for a log mark.
    int16_t m_Status = 0;
};

// Row index to object and back. Holds no object: the entry's model owns them.
template <typename T> class ObjectMap {
public:
    void Add(int64_t index, T* object) {
        m_Reverse.insert_or_assign(object, index);
        m_Forward.insert_or_assign(index, object);
    }
    T* Find(int64_t index) const {
        auto found = m_Forward.find(index);
        return found == m_Forward.end() ? nullptr : found->second;
    }
    std::optional<int64_t> FindIndex(const T* object) const {
        auto found = m_Reverse.find(object);
        return found == m_Reverse.end() ? std::nullopt : std::optional<int64_t>(found->second);
    }
    const std::unordered_map<int64_t, T*>& Forward() const { return m_Forward; }
    size_t Size() const { return m_Forward.size(); }
    void Clear() {
        m_Forward.clear();
        m_Reverse.clear();
    }

private:
    std::unordered_map<int64_t, T*> m_Forward;
    std::unordered_map<const T*, int64_t> m_Reverse;
};

// The stored names of one address family, by row index and by text.
class NameMap {
public:
    void Add(int64_t index, const std::string& name);
    const std::string* Find(int64_t index) const;
    std::optional<int64_t> FindIndex(const std::string& name) const;
    size_t Size() const { return m_Forward.size(); }
    void Clear();

private:
    std::unordered_map<int64_t, std::string> m_Forward;
    std::unordered_map<std::string, int64_t> m_Reverse;
};

// What the writer takes of a closed interval: its end and length, the model its conversations
// refer to, and the conversations.
struct CheckpointSource {
    Timestamp m_EndTime;
    TimeSpan m_Length;
    Environment& m_Environment;
    const Traffic& m_Traffic;
};

// One open history database and, in memory, everything it stores but the Data rows: the time
// line, the rows of the small tables with their indexes and a model of the objects they stand for.
// Writing a checkpoint therefore reads nothing from the file; it adds only what the file lacks.
class HistoryDatabaseMapEntry {
public:
    // The tables whose next row index the entry hands out.
    enum Slot : int {
        TimeLineSlot,
        MacNameSlot,
        IpNameSlot,
        IpxNameSlot,
        MacSlot,
        IpSlot,
        IpxSlot,
        HostSlot,
        InterfaceSlot,
        TupleSlot,
        DataSlot,
        SlotCount
    };

    HistoryDatabaseMapEntry();
    ~HistoryDatabaseMapEntry();
    HistoryDatabaseMapEntry(const HistoryDatabaseMapEntry&) = delete;
    HistoryDatabaseMapEntry& operator=(const HistoryDatabaseMapEntry&) = delete;

    // Opens (creating it with OPEN_CREATE when missing) and, with OPEN_LOAD, loads. A failure is
    // reported and answered false; nothing stays open then.
    bool Open(const std::string& path, int flags);
    // Forgets what was in memory and reads every table but Data. Throws the database's error, or
    // std::bad_alloc; nothing is then loaded and no table stays open.
    void Load();
    // True when a database was open.
    bool Close();

    // One transaction: the TimeLine row, the new names, addresses, hosts, interfaces and tuples,
    // one Data row per conversation. Any failure rolls it all back, forgets the in-memory state
    // (the next use reloads it from the file), is reported and answers false.
    bool WriteCheckpoint(const CheckpointSource& checkpoint);
    // A one-row transaction: a TimeLine row with Status 1 and Duration 0.
    bool WriteLogMark(const Timestamp& time);

    // The stored traffic of the range (a null bound: from the first or up to the last interval).
    // Throws the database's error (or std::bad_alloc) when the file cannot be read, or a Data row
    // refers to a time the time line does not hold.
    std::unique_ptr<HistoryQueryData> Query(const Timestamp& from, const Timestamp& to);
    // The slot times of the stored intervals ending inside [start, end], oldest first, with the
    // gaps filled on the intervals' grid.
    std::vector<Timestamp> FillTimes(const Timestamp& start, const Timestamp& end) const;

    bool IsOpen() const { return m_Database != nullptr; }
    bool IsLoaded() const { return m_Loaded; }
    const std::string& GetPath() const { return m_Path; }
    HistoryDB* GetDatabase() const { return m_Database.get(); }
    const Timestamp& GetFirstTime() const { return m_FirstTime; }
    const Timestamp& GetLastTime() const { return m_LastTime; }
    const TimeSpan& GetInterval() const { return m_Interval; }
    int64_t GetNextIndex(Slot slot) const { return m_NextIndex[size_t(slot)]; }
    const std::map<int64_t, HistoryTimestamp>& GetTimeMap() const { return m_TimeMap; }
    Environment& GetEnvironment() const { return *m_Environment; }

    // For tests: runs after each step of a checkpoint write with the step's name; throwing fails the
    // write there.
    std::function<void(const char* step)> m_AfterStep;

private:
    // The tables and maps of one address family.
    template <typename Address> struct Family {
        int nameTable;
        int addressTable;
        Slot nameSlot;
        Slot addressSlot;
        NameMap& names;
        AddressMap<Address>& addresses;
    };
    Family<MacAddress> MacFamily() {
        return {MAC_Name_Number, MAC_Number, MacNameSlot, MacSlot, m_MacNames, m_MacMap};
    }
    Family<IpAddress> IpFamily() {
        return {IP_Name_Number, IP_Number, IpNameSlot, IpSlot, m_IpNames, m_IpMap};
    }
    Family<IpxAddress> IpxFamily() {
        return {IPX_Name_Number, IPX_Number, IpxNameSlot, IpxSlot, m_IpxNames, m_IpxMap};
    }

    void Forget();
    void ReadTimeLine();
    template <typename Address> void ReadAddresses(Family<Address> family);
    void ReadHosts();
    void ReadInterfaces();
    void ReadTuples();
    void ReadNextDataIndex();
    // Walks a table from its first row in key order; the next index is one past the last key.
    void ReadTable(int number, Slot slot, const std::function<void(TableSupportADO&)>& row);
    Timestamp TimeOf(int64_t timeIndex) const;

    void WriteSteps(const CheckpointSource& checkpoint);
    int64_t WriteTimeLine(const Timestamp& time, const TimeSpan& length, int16_t status);
    template <typename Address>
    void WriteAddresses(Family<Address> family, Environment& source, int64_t timeIndex);
    void WriteHosts(Environment& source, int64_t timeIndex);
    void WriteInterfaces(Environment& source, int64_t timeIndex);
    void WriteTuples(Environment& source, int64_t timeIndex);
    void WriteData(const Traffic& traffic, int64_t timeIndex);
    void AddRow(int number, std::initializer_list<Variant> values);
    void Report(const char* method, const std::string& text) const;

    std::string m_Path;
    std::map<int64_t, HistoryTimestamp> m_TimeMap;
    NameMap m_MacNames, m_IpNames, m_IpxNames;
    MacAddressMap m_MacMap;
    IpAddressMap m_IpMap;
    IpxAddressMap m_IpxMap;
    ObjectMap<HostAddress> m_HostMap;
    ObjectMap<InterfaceInfo> m_InterfaceMap;
    ObjectMap<Tuple> m_TupleMap;
    std::array<int64_t, SlotCount> m_NextIndex;
    std::unique_ptr<HistoryDB> m_Database;
    std::unique_ptr<Environment> m_Environment;
    Timestamp m_FirstTime;
    Timestamp m_LastTime;
    TimeSpan m_Interval;
    bool m_Loaded = false;
    // The tables a write has open, so a failure closes each of them.
    std::vector<TableSupportADO*> m_Writing;
};

} // namespace vq::history
