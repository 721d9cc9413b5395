#pragma once

#include "netmodel/ActionSets.h"
#include "runtime/MemberDescription.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vq {

class Conversation;
class Environment;
class MonitorAction;
class Tuple;

// An ordered set of actions without duplicates; it does not own them.
class MonitorActionSet : public Describable {
    VQ_DECLARE_RUNTIME_CLASS(MonitorActionSet)

public:
    bool Add(MonitorAction& action);
    bool Remove(MonitorAction& action);
    bool Contains(const MonitorAction& action) const { return IndexOf(action) >= 0; }
    int IndexOf(const MonitorAction& action) const;
    const std::vector<MonitorAction*>& Actions() const { return m_Actions; }
    std::size_t CountElements() const;
    int32_t CountItems() const;
    std::size_t GetCount() const { return m_Actions.size(); }
    bool IsEmpty() const { return m_Actions.empty(); }

    // The members, then the size.
    std::string DescribeMembers(uint32_t flags, int depth, bool trailingSeparator) const override;

protected:
    MemberTable DescribedMembers() const override;

private:
    std::vector<MonitorAction*> m_Actions;
};

// The actions that watch one tuple, by target. A frame counted on the tuple reaches the current
// ones first, then the total ones, then the latest ones: that order is kept in one list, inline for
// the usual few actions, so a frame reaches them without visiting the three sets.
class MonitorActionSets final : public ActionSets, public Describable {
    VQ_DECLARE_RUNTIME_CLASS(MonitorActionSets)

public:
    // Bits of m_TargetVector: the targets whose set is not empty.
    bool Add(MonitorAction& action);
    bool Remove(MonitorAction& action);
    bool Contains(const MonitorAction& action) const;
    void Dispatch(const FrameView& frame, const Conversation& item) const;
    std::size_t GetCount() const { return m_Total.GetCount() + m_Current.GetCount() + m_Latest.GetCount(); }
    int32_t GetTargetVector() const { return m_TargetVector; }
    void AddPacket(const FrameView& frame, Conversation* target) override;

    // Records the action in the tuple's sets when its criteria accept the tuple; true when added.
    static bool AttachAction(Tuple& tuple, MonitorAction& action);
    // The tuple drops its sets once the last action left them; true when the action was there.
    static bool DetachAction(Tuple& tuple, MonitorAction& action);
    static bool IsWatchedBy(const Tuple& tuple, const MonitorAction& action);

    // A merged action joins the tuple itself, a discrete one through its sub-actions. Out of memory
    // undoes what this call attached and goes on to the caller.
    static bool AttachTuple(MonitorAction& action, Tuple& tuple);
    static bool DetachTuple(MonitorAction& action, Tuple& tuple);
    // Only actions on tuples (scope 2) join; answers the number of tuples joined.
    static int AttachToEnvironment(MonitorAction& action, Environment& environment);
    static bool DetachFromEnvironment(MonitorAction& action, Environment& environment);

protected:
    MemberTable DescribedMembers() const override;

private:
    static constexpr std::size_t kInlineActions = 4;

    MonitorActionSet* SetOf(int32_t target);
    // Rebuilds the dispatch order after the sets changed.
    void Reorder();

    int32_t m_TargetVector = 0;
    MonitorActionSet m_Total;
    MonitorActionSet m_Current;
    MonitorActionSet m_Latest;
    std::size_t m_OrderCount = 0;
    std::array<MonitorAction*, kInlineActions> m_Inline{};
    // Used only when the inline room is too small.
    std::vector<MonitorAction*> m_Spill;
};

} // namespace vq
