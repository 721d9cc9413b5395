#include "monitor/IntervalData.h"

#include "monitor/MonitorActionSet.h"
#include "netmodel/Conversation.h"
#include "netmodel/Traffic.h"
#include "netmodel/Tuple.h"

namespace vq {
namespace {

bool IsWatchedBy(const Tuple* tuple, const MonitorAction& action) {
    // Only the monitor gives tuples their action sets, and always of this class.
    const auto* sets = tuple ? static_cast<const MonitorActionSets*>(tuple->GetActions()) : nullptr;
    return sets && sets->Contains(action);
}

} // namespace

IntervalData::IntervalData(const TimeSpan& length, const TrafficStoreFactory& factory)
    : DataRoot(1, factory), m_Length(length) {}

void IntervalData::ResetClear() {
    DataRoot::ResetClear();
    m_Summaries.ResetAll();
}

void IntervalData::RestartClear() {
    DataRoot::RestartClear();
    m_Summaries.DeleteAll();
}

IntervalSummary& IntervalData::AddSummary(const MonitorAction& action, const SummaryStatistic& parameters) {
    IntervalSummary& entry = m_Summaries.Add(std::make_unique<IntervalSummary>(&action, parameters));
    if (const Traffic* traffic = GetTraffic() ? GetTraffic()->GetConversations() : nullptr) {
        std::size_t position = 0;
        while (const Conversation* conversation = traffic->GetNextConversation(position))
            if (IsWatchedBy(conversation->GetTuple(), action))
                entry.GetStatistic().TrafficData::Add(conversation->GetTraffic());
    }
    return entry;
}

} // namespace vq
