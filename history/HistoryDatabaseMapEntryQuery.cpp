#include "history/HistoryDB.h"
#include "history/HistoryDatabaseMapEntry.h"
#include "history/HistoryTime.h"
#include "netmodel/Conversation.h"
#include "netmodel/Tuple.h"
#include "platform/db/Database.h"
#include "platform/db/StatementCache.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sqlite3.h>

namespace vq::history {
namespace {

// The Data columns in the order of the counters they fill, after DataIndex.
constexpr const char* kDataColumns =
    "\"DataIndex\",\"Octets\",\"Packets\",\"PacketsUnder64\",\"Packets64\",\"Packets65To127\","
    "\"Packets128To255\",\"Packets256To511\",\"Packets512To1023\",\"Packets1024To1518\",\"PacketsOver1518\","
    "\"Errors\",\"TupleIndex\",\"TimeIndex\"";

constexpr TrafficData::Counter kCounterOfColumn[] = {
    TrafficData::Octets,       TrafficData::Packets,       TrafficData::Under64,
    TrafficData::Size64,       TrafficData::Size65To127,   TrafficData::Size128To255,
    TrafficData::Size256To511, TrafficData::Size512To1023, TrafficData::Size1024To1518,
    TrafficData::SizeOver1518, TrafficData::Errors,
};
constexpr int kTupleColumn = 12;
constexpr int kTimeColumn = 13;

std::string BoundedSql() {
    return std::string("SELECT ") + kDataColumns +
           " FROM \"Data\" WHERE \"TimeIndex\" IN (SELECT \"TimeIndex\" FROM \"TimeLine\" WHERE \"EndTime\" "
           "BETWEEN ?1 AND ?2) ORDER BY \"TimeIndex\",\"DataIndex\"";
}

std::string UnboundedSql() {
    return std::string("SELECT ") + kDataColumns + " FROM \"Data\" ORDER BY \"TimeIndex\",\"DataIndex\"";
}

// True when a is earlier than b by more than the clock's resolution.
bool Earlier(const Timestamp& a, const Timestamp& b) {
    return a.Compare(b) == 1;
}

int64_t CountOf(const db::Statement& row, int column, const std::string& path) {
    const double value = row.GetDouble(column);
    // 2^63 is the first double beyond int64_t; NaN fails every comparison.
    if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0))
        throw db::DatabaseError(SQLITE_MISMATCH, path + ": Data row " + std::to_string(row.GetInt64(0)) +
                                                     " holds a count that is no 64-bit integer");
    return int64_t(value);
}

} // namespace

std::vector<Timestamp> HistoryDatabaseMapEntry::FillTimes(const Timestamp& start,
                                                          const Timestamp& end) const {
    std::vector<Timestamp> times;
    std::vector<const HistoryTimestamp*> rows;
    for (const auto& [index, row] : m_TimeMap) {
        if (row.m_Status != 0 || row.m_Time == NULL_TIME) continue;
        if (Earlier(row.m_Time, start) || Earlier(end, row.m_Time)) continue;
        rows.push_back(&row);
    }
    if (rows.empty()) return times;
    // A row that claims no length steps by the interval, so the gap filling always ends.
    auto stepOf = [this](const HistoryTimestamp& row) {
        return row.m_Duration.GetTicks() > 0 ? row.m_Duration : m_Interval;
    };
    Timestamp prev = rows.front()->m_Time;
    times.push_back(prev);
    Timestamp next = prev + stepOf(*rows.front());
    for (size_t i = 1; i < rows.size(); ++i) {
        const Timestamp& t = rows[i]->m_Time;
        const TimeSpan step = stepOf(*rows[i]);
        if (next.Compare(t) == 0) {
            times.push_back(t);
            prev = t;
        } else if (Earlier(t, next)) {
            times.push_back(next);
            prev = next;
        } else {
            next = prev + step;
            while (!Earlier(t, next)) {
                times.push_back(next);
                prev = next;
                next = prev + step;
            }
            if (prev.Compare(t) == 0 || i + 1 == rows.size()) continue;
            times.push_back(next);
            prev = next;
        }
        next = prev + step;
    }
    return times;
}

std::unique_ptr<HistoryQueryData> HistoryDatabaseMapEntry::Query(const Timestamp& from, const Timestamp& to) {
    if (!m_Database) throw db::DatabaseError(SQLITE_MISUSE, m_Path + ": no history database is open");
    if (!m_Loaded) Load();

    const bool stored = m_LastTime != NULL_TIME;
    const bool lower = from != NULL_TIME && (!stored || Earlier(m_FirstTime, from));
    const bool upper = to != NULL_TIME && (!stored || Earlier(to, m_LastTime));
    Timestamp end = upper ? to : stored ? m_LastTime : Timestamp::Now();
    Timestamp start = lower ? from : stored ? m_FirstTime : Before(end, TimeSpan(2 * m_Interval.GetTicks()));

    auto data = std::make_unique<HistoryQueryData>();
    data->m_FirstTime = m_FirstTime;
    data->m_LastTime = m_LastTime;
    data->m_Interval = m_Interval;
    const std::vector<Timestamp> times = FillTimes(start, end);
    // Never fewer than two slots; the stored intervals take the newest ones.
    const size_t count = std::max<size_t>(2, times.size());
    data->m_End = !times.empty() ? times.back() : Earlier(end, start) ? start : end;
    data->m_Start = Before(data->m_End, TimeSpan(m_Interval.GetTicks() * int64_t(count)));
    data->m_SlotTimes.assign(count - times.size(), NULL_TIME);
    data->m_SlotTimes.insert(data->m_SlotTimes.end(), times.begin(), times.end());
    data->m_Total = std::make_unique<Traffic>(0);
    for (size_t i = 0; i < count; ++i)
        data->m_Slots.push_back(std::make_unique<Traffic>(1));
    // The answer's own model: every stored interface (so the tuples find theirs whole) and tuple,
    // with their hosts and addresses. The import stays open so each row finds its tuple's copy.
    data->m_Environment = std::make_unique<Environment>(uint8_t(0));
    Environment& model = *data->m_Environment;
    model.BeginImport();
    InterfaceTable& interfaces = m_Environment->GetInterfaceTable();
    for (int i = 0; i < interfaces.GetCount(); ++i)
        model.ImportInterface(*interfaces.GetAt(i));
    size_t position = 0;
    while (Tuple* tuple = m_Environment->GetTuplePool().GetNextTuple(position))
        model.ImportTuple(*tuple, 0);

    db::Statement rows = m_Database->Connection().Prepare(lower || upper ? BoundedSql() : UnboundedSql());
    if (lower || upper) {
        rows.Bind(1, lower ? ToStoredTime(start) : -std::numeric_limits<double>::max());
        rows.Bind(2, upper ? ToStoredTime(end) : std::numeric_limits<double>::max());
    }
    int64_t timeIndex = -1;
    const HistoryTimestamp* time = nullptr;
    while (rows.Step()) {
        if (rows.GetInt64(kTimeColumn) != timeIndex || time == nullptr) {
            timeIndex = rows.GetInt64(kTimeColumn);
            auto found = m_TimeMap.find(timeIndex);
            if (found == m_TimeMap.end())
                throw db::DatabaseError(SQLITE_CORRUPT,
                                        m_Path + ": Data row " + std::to_string(rows.GetInt64(0)) +
                                            " refers to time index " + std::to_string(timeIndex) +
                                            ", which the time line does not hold");
            time = &found->second;
        }
        if (time->m_Status != 0) continue;
        const Tuple* tuple = m_TupleMap.Find(rows.GetInt64(kTupleColumn));
        if (tuple == nullptr) continue;
        TrafficData counts;
        for (int column = 1; column <= 11; ++column)
            counts.m_Counters[size_t(kCounterOfColumn[column - 1])] = CountOf(rows, column, m_Path);
        counts.m_FirstTime = counts.m_LastTime = time->m_Time;
        Conversation conversation(model.ImportTuple(*tuple, 0));
        conversation.SetTraffic(counts);
        bool created = false;
        Conversation* total = data->m_Total->FindOrAdd(conversation, &created);
        if (total == nullptr) throw std::bad_alloc();
        if (!created) total->AddConversation(conversation);
        // Within an interval a tuple has one row; a second one is not merged into it.
        if (data->m_Slots[size_t(data->IndexOf(time->m_Time))]->FindOrAdd(conversation, &created) == nullptr)
            throw std::bad_alloc();
    }
    model.EndImport();
    return data;
}

} // namespace vq::history
