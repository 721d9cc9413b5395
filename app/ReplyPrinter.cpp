#include "app/ReplyPrinter.h"

#include "monitor/ConversationElement.h"
#include "monitor/MonitorActionMessage.h"
#include "monitor/MonitorAlarmReply.h"
#include "monitor/MonitorConversationReply.h"
#include "monitor/MonitorStatisticReply.h"
#include "monitor/MonitorSummary.h"
#include "monitor/StatisticArray.h"
#include "monitor/StatisticElement.h"
#include "monitor/SummaryElement.h"
#include "runtime/MessageIds.h"
#include "runtime/TimeUnits.h"

#include <cstdio>

namespace vq {

namespace {

struct Counts {
    int64_t packets = 0;
    int64_t octets = 0;
};

Counts Add(Counts counts, const TrafficData& data) {
    counts.packets += data.Get(TrafficData::Packets);
    counts.octets += data.Get(TrafficData::Octets);
    return counts;
}

const char* KindOf(uint32_t id) {
    switch (id) {
    case WM_Trend_Initialize:
    case WM_Trend_Update:
        return "trend";
    case WM_Alarm_Initialize:
    case WM_Alarm_Triggered:
        return "alarm";
    case WM_Conversation_Initialize:
    case WM_Conversation_Update:
        return "conversations";
    case WM_Summary_Initialize:
    case WM_Summary_Update:
        return "summary";
    default:
        return nullptr;
    }
}

bool IsInitialize(uint32_t id) {
    return id == WM_Trend_Initialize || id == WM_Alarm_Initialize || id == WM_Conversation_Initialize ||
           id == WM_Summary_Initialize;
}

const MonitorDataReply* ReplyOf(const ThreadMessage& message) {
    if (auto* initialize = dynamic_cast<const MonitorActionInitializeMessage*>(&message))
        return initialize->GetReply();
    if (auto* update = dynamic_cast<const MonitorActionUpdateMessage*>(&message)) return update->GetReply();
    return nullptr;
}

// What a reply counted: the statistic elements summed, or per summary window its items summed.
std::string Figures(const MonitorDataReply& reply, bool json) {
    std::string text;
    char cell[160];
    if (auto* statistic = dynamic_cast<const MonitorStatisticReply*>(&reply)) {
        Counts counts;
        if (const StatisticArray* array = statistic->GetArray())
            for (std::size_t i = 0; i < array->GetSize(); ++i)
                counts = Add(counts, array->GetAt(i).GetStatistic());
        std::snprintf(cell, sizeof cell,
                      json ? ",\"packets\":%lld,\"octets\":%lld" : " packets %lld octets %lld",
                      static_cast<long long>(counts.packets), static_cast<long long>(counts.octets));
        text = cell;
        if (auto* alarm = dynamic_cast<const MonitorAlarmReply*>(&reply))
            for (std::size_t i = 0; i < alarm->GetThresholdCount(); ++i) {
                std::snprintf(cell, sizeof cell, json ? ",\"value\":%.3f" : " value %.3f",
                              alarm->GetThreshold(i).m_CurrentValue);
                text += cell;
            }
        return text;
    }
    if (auto* partners = dynamic_cast<const MonitorConversationReply*>(&reply)) {
        int32_t items = 0;
        for (std::size_t i = 0; i < partners->GetSize(); ++i)
            items += partners->GetElement(i).GetItemCount();
        std::snprintf(cell, sizeof cell, json ? ",\"partners\":%d" : " partners %d", items);
        return cell;
    }
    if (auto* summary = dynamic_cast<const MonitorSummaryReply*>(&reply)) {
        std::map<int64_t, Counts> windows;
        if (const SummaryArray* array = summary->GetArray())
            for (std::size_t i = 0; i < array->GetSize(); ++i)
                for (const SummaryItem& item : array->GetAt(i).GetList())
                    windows[item.GetTime().GetUnits(Unit::Minutes)] =
                        Add(windows[item.GetTime().GetUnits(Unit::Minutes)], item.GetStatistic());
        for (const auto& [minutes, counts] : windows) {
            std::snprintf(cell, sizeof cell,
                          json ? ",\"%lldmin\":{\"packets\":%lld,\"octets\":%lld}"
                               : " %lld min: packets %lld octets %lld",
                          static_cast<long long>(minutes), static_cast<long long>(counts.packets),
                          static_cast<long long>(counts.octets));
            text += cell;
        }
    }
    return text;
}

} // namespace

std::string ReplyPrinter::NameOf(const void* identifier) const {
    const auto found = m_Names.find(identifier);
    return found == m_Names.end() ? std::string("?") : found->second;
}

bool ReplyPrinter::Print(uint32_t id, const ThreadMessage& message) const {
    const char* kind = KindOf(id);
    const MonitorDataReply* reply = ReplyOf(message);
    if (!kind || !reply) return false;
    const std::string name = NameOf(reply->GetIdentifier());
    // Live replies carry no range; those from the history say what they cover.
    const TimeRange& covered = reply->GetRange();
    const std::string range = covered.GetStart() == NULL_TIME
                                  ? std::string()
                                  : covered.GetStart().Format("%Y-%m-%d %H:%M:%S") + " - " +
                                        covered.GetEnd().Format("%Y-%m-%d %H:%M:%S");
    const char* event = IsInitialize(id) ? "initialize" : id == WM_Alarm_Triggered ? "triggered" : "update";
    if (m_Json)
        std::printf("{\"reply\":\"%s\",\"action\":\"%s\",\"event\":\"%s\",\"range\":\"%s\"%s}\n", kind,
                    name.c_str(), event, range.c_str(), Figures(*reply, true).c_str());
    else
        std::printf("%s %s %s%s%s\n", kind, name.c_str(), event,
                    range.empty() ? "" : (" [" + range + "]").c_str(), Figures(*reply, false).c_str());
    std::fflush(stdout);
    return true;
}

void ReplyPrinter::PrintStarted(int capturing) const {
    if (m_Json)
        std::printf("{\"started\":{\"capturing\":%d}}\n", capturing);
    else
        std::printf("started: %d adapters capturing\n", capturing);
    std::fflush(stdout);
}

} // namespace vq
