#include "monitor/HistoryMap.h"

#include "monitor/MonitorData.h"
#include "monitor/MonitorGlobals.h"

#include <algorithm>
#include <new>

namespace vq {
namespace {

int32_t KindOf(const MonitorData& action) {
    return action.GetHistoryKind() == 2 ? 2 : 1;
}

bool Erase(std::vector<MonitorData*>& waiting, const MonitorData& action) {
    auto it = std::find(waiting.begin(), waiting.end(), &action);
    if (it == waiting.end()) return false;
    waiting.erase(it);
    return true;
}

} // namespace

HistoryMapEntryRange::HistoryMapEntryRange(const Timestamp& start, const Timestamp& end, int32_t kind)
    : m_Kind(kind), m_Start(start), m_End(end) {}

HistoryMapEntryRange::~HistoryMapEntryRange() {
    DropWaiting();
}

void HistoryMapEntryRange::AddWaiting(MonitorData& action) {
    Waiting(KindOf(action)).push_back(&action);
}

bool HistoryMapEntryRange::RemoveWaiting(const MonitorData& action) {
    const bool removed = Erase(m_Waiting1, action);
    return Erase(m_Waiting2, action) || removed;
}

void HistoryMapEntryRange::MergeFrom(HistoryMapEntryRange& other) {
    m_Waiting1.reserve(m_Waiting1.size() + other.m_Waiting1.size());
    m_Waiting2.reserve(m_Waiting2.size() + other.m_Waiting2.size());
    m_Waiting1.insert(m_Waiting1.end(), other.m_Waiting1.begin(), other.m_Waiting1.end());
    m_Waiting2.insert(m_Waiting2.end(), other.m_Waiting2.begin(), other.m_Waiting2.end());
    other.m_Waiting1.clear();
    other.m_Waiting2.clear();
}

void HistoryMapEntryRange::DropWaiting() {
    for (auto* waiting : {&m_Waiting1, &m_Waiting2}) {
        for (MonitorData* action : *waiting)
            action->SetHistoryMap(nullptr);
        waiting->clear();
    }
}

void HistoryMapEntryRange::OnReply(int32_t kind, std::unique_ptr<HistoryDataSet> dataSet,
                                   std::unique_ptr<Environment> environment) {
    m_State = kind;
    if (kind == 2) m_Kind = 2;
    m_DataSet = std::move(dataSet);
    m_Environment = std::move(environment);
    if (kind == 2) StartWaiting(m_Waiting2);
    StartWaiting(m_Waiting1);
}

void HistoryMapEntryRange::StartWaiting(std::vector<MonitorData*>& waiting) {
    // One at a time from the list itself: an action deleted while another starts leaves the list
    // through RemoveWaiting and is never reached.
    while (!waiting.empty()) {
        MonitorData* action = waiting.front();
        waiting.erase(waiting.begin());
        action->SetHistoryMap(nullptr);
        try {
            action->Start(m_DataSet.get());
            if (!action->IsInstalled()) action->Uninstall();
        } catch (const std::bad_alloc&) {
        }
    }
}

HistoryMapEntryRange* HistoryMapEntry::FindRange(const Timestamp& start, const Timestamp& end) const {
    for (const auto& range : m_Ranges)
        if (range->m_Start == start && range->m_End == end) return range.get();
    return nullptr;
}

HistoryMapEntryRange& HistoryMapEntry::AddRange(const Timestamp& start, const Timestamp& end, int32_t kind) {
    m_Ranges.push_back(std::make_unique<HistoryMapEntryRange>(start, end, kind));
    return *m_Ranges.back();
}

std::vector<std::pair<HistoryMapEntryRange*, HistoryMapEntryRange*>>
HistoryMapEntry::TakeTimes(const HistoryDataSet& dataSet) {
    bool changed = false;
    if (dataSet.GetFirstTime() != NULL_TIME && dataSet.GetFirstTime() != m_FirstTime) {
        m_FirstTime = dataSet.GetFirstTime();
        changed = true;
    }
    if (dataSet.GetLastTime() != NULL_TIME && dataSet.GetLastTime() != m_LastTime) {
        m_LastTime = dataSet.GetLastTime();
        changed = true;
    }
    if (!changed && m_Normalised) return {};
    return Normalise();
}

std::vector<std::pair<HistoryMapEntryRange*, HistoryMapEntryRange*>> HistoryMapEntry::Normalise() {
    for (const auto& range : m_Ranges) {
        if (m_FirstTime != NULL_TIME && range->m_Start != NULL_TIME &&
            range->m_Start.GetTicks() < m_FirstTime.GetTicks())
            range->m_Start = m_FirstTime;
        if (m_LastTime != NULL_TIME && range->m_End != NULL_TIME &&
            range->m_End.GetTicks() > m_LastTime.GetTicks())
            range->m_End = m_LastTime;
    }
    std::vector<std::pair<HistoryMapEntryRange*, HistoryMapEntryRange*>> merged;
    try {
        for (size_t i = 0; i < m_Ranges.size(); ++i) {
            HistoryMapEntryRange& earlier = *m_Ranges[i];
            if (earlier.m_State == HistoryMapEntryRange::STATE_MERGED) continue;
            for (size_t j = i + 1; j < m_Ranges.size(); ++j) {
                HistoryMapEntryRange& later = *m_Ranges[j];
                if (later.m_State == HistoryMapEntryRange::STATE_MERGED || later.m_Start != earlier.m_Start ||
                    later.m_End != earlier.m_End)
                    continue;
                merged.emplace_back(&later, &earlier);
                earlier.MergeFrom(later);
                later.m_State = HistoryMapEntryRange::STATE_MERGED;
            }
        }
        m_Normalised = true;
    } catch (const std::bad_alloc&) {
        // Ranges left unmerged stay apart and keep their waiters; the next answer tries again.
        m_Normalised = false;
    }
    // Only ranges whose waiters moved go: their outstanding requests are re-pointed by the caller.
    std::erase_if(m_Ranges, [&](const auto& range) {
        return std::any_of(merged.begin(), merged.end(),
                           [&](const auto& pair) { return pair.first == range.get(); });
    });
    return merged;
}

bool HistoryMapEntry::RemoveWaiting(const MonitorData& action) {
    bool removed = false;
    for (const auto& range : m_Ranges)
        removed = range->RemoveWaiting(action) || removed;
    return removed;
}

void HistoryMapEntry::DropWaiting() {
    for (const auto& range : m_Ranges)
        range->DropWaiting();
}

HistoryMap::HistoryMap(std::string defaultName) : m_DefaultName(std::move(defaultName)) {}

HistoryMap::~HistoryMap() {
    Restart();
}

HistoryMapEntry* HistoryMap::FindEntry(const std::string& name) const {
    auto it = m_Entries.find(name.empty() ? m_DefaultName : name);
    return it == m_Entries.end() ? nullptr : it->second.get();
}

void HistoryMap::Request(MonitorData& action) {
    // An action that asks again while it waits (a summary starting over) keeps its one place: a
    // second place would outlive its deletion once the first answer took it out of the map.
    if (action.GetHistoryMap() == this) return;
    const std::string& name = action.GetName().empty() ? m_DefaultName : action.GetName();
    const int32_t kind = KindOf(action);
    const Timestamp from = action.GetRange().GetStart();
    const Timestamp to = action.GetRange().GetEnd();

    auto found = m_Entries.find(name);
    // Made before it is filed: running out of memory leaves no empty entry behind.
    if (found == m_Entries.end()) found = m_Entries.emplace(name, std::make_unique<HistoryMapEntry>()).first;
    HistoryMapEntry& entry = *found->second;
    HistoryMapEntryRange* range = entry.FindRange(from, to);
    if (!range) range = &entry.AddRange(from, to, kind);

    // Room for the waiter first, so that nothing can fail once the request is out.
    std::vector<MonitorData*>& waiting = range->Waiting(kind);
    waiting.reserve(waiting.size() + 1);
    if (waiting.empty()) {
        const std::uintptr_t identifier = ++m_NextIdentifier;
        auto request = std::make_unique<DatabaseRequest>();
        request->m_Identifier = identifier;
        request->m_DatabaseName = name;
        request->m_Kind = kind;
        request->m_From = from;
        request->m_To = to;
        auto message = std::make_unique<HistoryDatabaseRequestMessage>(std::move(request), false, true);
        m_Outstanding.emplace(identifier, Outstanding{&entry, range, kind});
        HistoryService* history = TheMonitorGlobals().m_History.load();
        if (!history || !message->Send(history)) {
            m_Outstanding.erase(identifier);
            return;
        }
        message.release();
    }
    waiting.push_back(&action);
    action.SetHistoryMap(this);
}

void HistoryMap::OnReply(DatabaseReply& reply) {
    auto it = m_Outstanding.find(reply.GetIdentifier());
    if (it == m_Outstanding.end()) return;
    const Outstanding outstanding = it->second;
    m_Outstanding.erase(it);

    std::unique_ptr<HistoryDataSet> dataSet = reply.TakeDataSet();
    std::unique_ptr<Environment> environment = reply.TakeEnvironment();
    if (reply.IsFailed() || !dataSet) {
        dataSet.reset();
        environment.reset();
        dataSet = std::make_unique<HistoryDataSet>();
    }
    HistoryMapEntryRange* range = outstanding.range;
    for (const auto& [gone, kept] : outstanding.entry->TakeTimes(*dataSet)) {
        for (auto& [identifier, other] : m_Outstanding)
            if (other.range == gone) other.range = kept;
        if (range == gone) range = kept;
    }
    range->OnReply(outstanding.kind, std::move(dataSet), std::move(environment));
}

void HistoryMap::RemoveWaiting(MonitorData& action) {
    for (const auto& [name, entry] : m_Entries)
        entry->RemoveWaiting(action);
    action.SetHistoryMap(nullptr);
}

void HistoryMap::Restart() {
    for (const auto& [name, entry] : m_Entries)
        entry->DropWaiting();
    m_Outstanding.clear();
}

} // namespace vq
