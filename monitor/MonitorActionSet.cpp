#include "monitor/MonitorActionSet.h"

#include "monitor/MonitorAction.h"
#include "netmodel/Environment.h"
#include "netmodel/Tuple.h"
#include "netmodel/TuplePool.h"

#include <algorithm>
#include <new>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(MonitorActionSet, Describable)
VQ_IMPLEMENT_RUNTIME_CLASS(MonitorActionSets, Describable)

bool MonitorActionSet::Add(MonitorAction& action) {
    if (!Contains(action)) m_Actions.push_back(&action);
    return true;
}

bool MonitorActionSet::Remove(MonitorAction& action) {
    const auto it = std::find(m_Actions.begin(), m_Actions.end(), &action);
    if (it == m_Actions.end()) return false;
    m_Actions.erase(it);
    return true;
}

int MonitorActionSet::IndexOf(const MonitorAction& action) const {
    const auto it = std::find(m_Actions.begin(), m_Actions.end(), &action);
    return it == m_Actions.end() ? -1 : int(it - m_Actions.begin());
}

std::size_t MonitorActionSet::CountElements() const {
    std::size_t count = 0;
    for (const MonitorAction* action : m_Actions)
        count += action->CountElements();
    return count;
}

int32_t MonitorActionSet::CountItems() const {
    int32_t count = 0;
    for (const MonitorAction* action : m_Actions)
        count += action->CountItems();
    return count;
}

std::string MonitorActionSet::DescribeMembers(uint32_t flags, int depth, bool) const {
    return Describable::DescribeMembers(flags, depth, false) + DescribeCount(m_Actions.size());
}

MemberTable MonitorActionSet::DescribedMembers() const {
    static constexpr MemberRow rows[] = {
        // The pools own the actions; a set only refers to them.
        {"m_OwnsContents", "Owner", 6,
         [](const Object&, uint32_t, int) { return FormatMember(false, nullptr); }},
    };
    return {Class(), rows};
}

MemberTable MonitorActionSets::DescribedMembers() const {
    static constexpr auto sets = [](const Object& object) -> const MonitorActionSets& {
        return static_cast<const MonitorActionSets&>(object);
    };
    static constexpr MemberRow rows[] = {
        {"m_TargetVector", "Target", 7,
         [](const Object& object, uint32_t, int) {
             return FormatMember(int(sets(object).m_TargetVector), "%d");
         }},
        {"m_Total", "Total", 20,
         [](const Object& object, uint32_t flags, int depth) {
             return FormatMember(&sets(object).m_Total, flags, depth);
         }},
        {"m_Current", "Current", 20,
         [](const Object& object, uint32_t flags, int depth) {
             return FormatMember(&sets(object).m_Current, flags, depth);
         }},
        {"m_Latest", "Latest", 20,
         [](const Object& object, uint32_t flags, int depth) {
             return FormatMember(&sets(object).m_Latest, flags, depth);
         }},
    };
    return {Class(), rows};
}

MonitorActionSet* MonitorActionSets::SetOf(int32_t target) {
    switch (target) {
    case TARGET_TOTAL:
        return &m_Total;
    case TARGET_CURRENT:
        return &m_Current;
    case TARGET_LATEST:
        return &m_Latest;
    default:
        return nullptr;
    }
}

bool MonitorActionSets::Add(MonitorAction& action) {
    MonitorActionSet* set = SetOf(action.GetTarget());
    if (!set) return false;
    const bool known = set->Contains(action);
    set->Add(action);
    try {
        Reorder();
    } catch (const std::bad_alloc&) {
        if (!known) set->Remove(action);
        throw;
    }
    m_TargetVector |= action.GetTarget();
    return true;
}

bool MonitorActionSets::Remove(MonitorAction& action) {
    MonitorActionSet* set = SetOf(action.GetTarget());
    if (!set || !set->Remove(action)) return false;
    if (set->IsEmpty()) m_TargetVector &= ~action.GetTarget();
    Reorder();
    return true;
}

bool MonitorActionSets::Contains(const MonitorAction& action) const {
    const int32_t target = action.GetTarget();
    if ((m_TargetVector & target) == 0) return false;
    return const_cast<MonitorActionSets*>(this)->SetOf(target)->Contains(action);
}

void MonitorActionSets::Reorder() {
    const std::size_t count = GetCount();
    const bool spills = count > kInlineActions;
    // Growing the spill list may throw; the order is still the one before then.
    if (spills) m_Spill.resize(count);
    m_OrderCount = count;
    MonitorAction** out = spills ? m_Spill.data() : m_Inline.data();
    for (const MonitorActionSet* set : {&m_Current, &m_Total, &m_Latest})
        out = std::copy(set->Actions().begin(), set->Actions().end(), out);
    if (!spills) {
        m_Spill.clear();
        m_Spill.shrink_to_fit();
    }
}

void MonitorActionSets::Dispatch(const FrameView& frame, const Conversation& item) const {
    MonitorAction* const* order = m_OrderCount > kInlineActions ? m_Spill.data() : m_Inline.data();
    for (std::size_t i = 0; i < m_OrderCount; ++i)
        order[i]->OnData(frame, item);
}

void MonitorActionSets::AddPacket(const FrameView& frame, Conversation* target) {
    if (target) Dispatch(frame, *target);
}

bool MonitorActionSets::AttachAction(Tuple& tuple, MonitorAction& action) {
    if (!action.Matches(tuple)) return false;
    // Only the monitor gives tuples their action sets, and always of this class.
    auto* sets = static_cast<MonitorActionSets*>(tuple.GetActions());
    if (!sets) {
        auto made = std::make_unique<MonitorActionSets>();
        sets = made.get();
        tuple.SetActions(std::move(made));
    }
    const bool added = sets->Add(action);
    if (sets->GetCount() == 0) tuple.SetActions(nullptr);
    return added;
}

bool MonitorActionSets::DetachAction(Tuple& tuple, MonitorAction& action) {
    auto* sets = static_cast<MonitorActionSets*>(tuple.GetActions());
    if (!sets || !sets->Remove(action)) return false;
    if (sets->GetCount() == 0) tuple.SetActions(nullptr);
    return true;
}

bool MonitorActionSets::IsWatchedBy(const Tuple& tuple, const MonitorAction& action) {
    const auto* sets = static_cast<const MonitorActionSets*>(tuple.GetActions());
    return sets && sets->Contains(action);
}

bool MonitorActionSets::AttachTuple(MonitorAction& action, Tuple& tuple) {
    if (action.GetScope() != SCOPE_TUPLES) return false;
    if (action.GetSubActionCount() == 0) return AttachAction(tuple, action);
    std::size_t done = 0;
    bool attached = false;
    try {
        for (; done < action.GetSubActionCount(); ++done)
            attached = AttachAction(tuple, *action.GetSubAction(done)) || attached;
    } catch (const std::bad_alloc&) {
        while (done-- > 0)
            DetachAction(tuple, *action.GetSubAction(done));
        throw;
    }
    return attached;
}

bool MonitorActionSets::DetachTuple(MonitorAction& action, Tuple& tuple) {
    if (action.GetSubActionCount() == 0) return DetachAction(tuple, action);
    bool detached = false;
    for (std::size_t i = 0; i < action.GetSubActionCount(); ++i)
        detached = DetachAction(tuple, *action.GetSubAction(i)) || detached;
    return detached;
}

int MonitorActionSets::AttachToEnvironment(MonitorAction& action, Environment& environment) {
    if (action.GetScope() != SCOPE_TUPLES) return 0;
    action.TakeElementKey();
    const TuplePool& tuples = environment.GetTuplePool();
    int attached = 0;
    try {
        std::size_t position = 0;
        while (Tuple* tuple = tuples.GetNextTuple(position))
            if (AttachTuple(action, *tuple)) ++attached;
    } catch (const std::bad_alloc&) {
        DetachFromEnvironment(action, environment);
        throw;
    }
    return attached;
}

bool MonitorActionSets::DetachFromEnvironment(MonitorAction& action, Environment& environment) {
    const TuplePool& tuples = environment.GetTuplePool();
    bool detached = false;
    std::size_t position = 0;
    while (Tuple* tuple = tuples.GetNextTuple(position))
        detached = DetachTuple(action, *tuple) || detached;
    return detached;
}

} // namespace vq
