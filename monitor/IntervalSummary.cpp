#include "monitor/IntervalSummary.h"

#include "monitor/MonitorAction.h"

#include <algorithm>
#include <new>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(IntervalSummary, Describable)
VQ_IMPLEMENT_RUNTIME_CLASS(IntervalSummarySet, DescribableCollection)

namespace {

std::string FormatStatistic(const Object& object, uint32_t flags, int depth) {
    return FormatMember(&static_cast<const IntervalSummary&>(object).GetStatistic(), flags, depth);
}

} // namespace

IntervalSummary::IntervalSummary(const MonitorAction* action, const SummaryStatistic& parameters)
    : m_Action(action), m_Statistic(parameters) {
    m_Statistic.TrafficData::Reset();
}

MemberTable IntervalSummary::Members() {
    static constexpr MemberRow rows[] = {{"m_Statistic", "Statistic", 40, &FormatStatistic}};
    return {Class(), rows};
}

IntervalSummarySet::IntervalSummarySet(const IntervalSummarySet& other) : DescribableCollection() {
    m_Entries.reserve(other.m_Entries.size());
    for (const auto& entry : other.m_Entries)
        m_Entries.push_back(std::make_unique<IntervalSummary>(*entry));
}

IntervalSummary& IntervalSummarySet::Add(std::unique_ptr<IntervalSummary> entry) {
    m_Entries.push_back(std::move(entry));
    return *m_Entries.back();
}

IntervalSummary* IntervalSummarySet::FindOwn(const MonitorAction* action) const {
    for (const auto& entry : m_Entries)
        if (entry->GetAction() == action) return entry.get();
    return nullptr;
}

IntervalSummary* IntervalSummarySet::Find(const MonitorAction& action) const {
    if (action.GetSelectionType() != MonitorAction::SELECTION_DISCRETE) return FindOwn(&action);
    for (std::size_t i = 0; i < action.GetSubActionCount(); ++i)
        if (IntervalSummary* entry = FindOwn(action.GetSubAction(i))) return entry;
    return nullptr;
}

bool IntervalSummarySet::RemoveOwn(const MonitorAction* action) {
    const auto found = std::find_if(m_Entries.begin(), m_Entries.end(),
                                    [&](const auto& entry) { return entry->GetAction() == action; });
    if (found == m_Entries.end()) return false;
    m_Entries.erase(found);
    return true;
}

bool IntervalSummarySet::Remove(const MonitorAction& action) {
    if (action.GetSelectionType() != MonitorAction::SELECTION_DISCRETE) return RemoveOwn(&action);
    bool each = true;
    for (std::size_t i = 0; i < action.GetSubActionCount(); ++i)
        each = RemoveOwn(action.GetSubAction(i)) && each;
    return each;
}

void IntervalSummarySet::TakeOver(const IntervalSummarySet& other) {
    try {
        m_Entries.reserve(m_Entries.size() + other.m_Entries.size());
        for (const auto& entry : other.m_Entries)
            m_Entries.push_back(std::make_unique<IntervalSummary>(entry->GetAction(), entry->GetStatistic()));
    } catch (const std::bad_alloc&) {
        m_Entries.clear();
        throw;
    }
}

void IntervalSummarySet::ResetAll() {
    for (auto& entry : m_Entries)
        entry->GetStatistic().TrafficData::Reset();
}

MemberTable IntervalSummarySet::Members() {
    return {Class(), {}};
}

} // namespace vq
