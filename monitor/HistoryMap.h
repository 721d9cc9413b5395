#pragma once

#include "monitor/HistoryDataSet.h"
#include "netmodel/Environment.h"
#include "runtime/Timestamp.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace vq {

class DatabaseReply;
class MonitorData;

// One requested time range of one history database, the answer it holds and the actions waiting
// for the next answer.
class HistoryMapEntryRange {
public:
    enum State : int32_t { STATE_WAITING = 0, STATE_MERGED = 3 };

    HistoryMapEntryRange(const Timestamp& start, const Timestamp& end, int32_t kind);
    ~HistoryMapEntryRange();

    bool HasWaiting(int32_t kind) const { return !Waiting(kind).empty(); }
    // Into the list of the action's history kind: 2, or else 1.
    void AddWaiting(MonitorData& action);
    bool RemoveWaiting(const MonitorData& action);
    // The other's waiting actions join this range's.
    void MergeFrom(HistoryMapEntryRange& other);
    // Takes the answer of a request of the kind and starts its waiters: a kind-2 answer serves the
    // kind-2 waiters, then (for either kind) the kind-1 waiters.
    void OnReply(int32_t kind, std::unique_ptr<HistoryDataSet> dataSet,
                 std::unique_ptr<Environment> environment);
    // Forgets every waiting action; they are not started.
    void DropWaiting();

    int32_t GetKind() const { return m_Kind; }
    int32_t GetState() const { return m_State; }
    const Timestamp& GetStart() const { return m_Start; }
    const Timestamp& GetEnd() const { return m_End; }
    HistoryDataSet* GetDataSet() const { return m_DataSet.get(); }
    std::size_t CountWaiting(int32_t kind) const { return Waiting(kind).size(); }

private:
    friend class HistoryMapEntry;
    friend class HistoryMap;

    std::vector<MonitorData*>& Waiting(int32_t kind) { return kind == 2 ? m_Waiting2 : m_Waiting1; }
    const std::vector<MonitorData*>& Waiting(int32_t kind) const {
        return kind == 2 ? m_Waiting2 : m_Waiting1;
    }
    void StartWaiting(std::vector<MonitorData*>& waiting);

    int32_t m_Kind;
    int32_t m_State = STATE_WAITING;
    Timestamp m_Start;
    Timestamp m_End;
    // Before the data set: its conversations refer to the model's tuples, so it must go first.
    std::unique_ptr<Environment> m_Environment;
    std::unique_ptr<HistoryDataSet> m_DataSet;
    std::vector<MonitorData*> m_Waiting1;
    std::vector<MonitorData*> m_Waiting2;
};

// The ranges asked of one history database, with the first and last times it reported.
class HistoryMapEntry {
public:
    HistoryMapEntryRange* FindRange(const Timestamp& start, const Timestamp& end) const;
    HistoryMapEntryRange& AddRange(const Timestamp& start, const Timestamp& end, int32_t kind);
    // Takes the times a reply's data set reports; clamps and merges the ranges when they changed.
    // Answers the ranges merged away with the ranges that took them over.
    std::vector<std::pair<HistoryMapEntryRange*, HistoryMapEntryRange*>>
    TakeTimes(const HistoryDataSet& dataSet);
    bool RemoveWaiting(const MonitorData& action);
    void DropWaiting();

    const Timestamp& GetFirstTime() const { return m_FirstTime; }
    const Timestamp& GetLastTime() const { return m_LastTime; }
    std::size_t GetRangeCount() const { return m_Ranges.size(); }
    HistoryMapEntryRange* GetRange(std::size_t index) const { return m_Ranges[index].get(); }

private:
    std::vector<std::pair<HistoryMapEntryRange*, HistoryMapEntryRange*>> Normalise();

    std::vector<std::unique_ptr<HistoryMapEntryRange>> m_Ranges;
    Timestamp m_FirstTime;
    Timestamp m_LastTime;
    bool m_Normalised = false;
};

// The monitor's book of history requests: one request per database, range and kind while actions
// of that kind wait for it; every action waiting for a range starts on the one answer. Every
// request has its own serial identifier, which the answer carries back.
class HistoryMap {
public:
    // The empty name stands for the default database.
    explicit HistoryMap(std::string defaultName = {});
    ~HistoryMap();
    HistoryMap(const HistoryMap&) = delete;
    HistoryMap& operator=(const HistoryMap&) = delete;

    // Books the action's history request and lets it wait. The request goes to the program-wide
    // history thread unless one of the same kind is pending for the range; a refused request books
    // nothing, and the action stays without history. An action already waiting here books nothing
    // more. Out of memory leaves nothing booked.
    void Request(MonitorData& action);
    // Starts the actions waiting for the answered request. A reply to a request the map no longer
    // knows (it was answered, or forgotten by a restart) starts nothing. A failed reply, or one
    // without data, is served as an empty data set.
    void OnReply(DatabaseReply& reply);
    // The action no longer waits anywhere: it is cancelled or deleted.
    void RemoveWaiting(MonitorData& action);
    // Every waiting action and every outstanding request is forgotten.
    void Restart();

    HistoryMapEntry* FindEntry(const std::string& name) const;
    std::size_t GetOutstandingCount() const { return m_Outstanding.size(); }

private:
    struct Outstanding {
        HistoryMapEntry* entry;
        HistoryMapEntryRange* range;
        int32_t kind;
    };

    std::string m_DefaultName;
    std::map<std::string, std::unique_ptr<HistoryMapEntry>> m_Entries;
    std::unordered_map<std::uintptr_t, Outstanding> m_Outstanding;
    std::uintptr_t m_NextIdentifier = 0;
};

} // namespace vq
