#pragma once

#include "monitor/TupleSet.h"
#include "runtime/MemberDescription.h"

#include <memory>

namespace vq {

// Which tuples an action covers: those of a selection that no exception takes out again.
class MonitorDataCriteria : public Describable {
    VQ_DECLARE_RUNTIME_CLASS(MonitorDataCriteria)

public:
    MonitorDataCriteria() = default;
    // A copy; reversed, every selection has its hosts swapped and keeps its key kind.
    MonitorDataCriteria(const MonitorDataCriteria& other, bool reverse);
    MonitorDataCriteria& operator=(const MonitorDataCriteria&) = delete;

    // No selections cover nothing.
    bool Matches(const Tuple& tuple) const {
        return m_Selections.Contains(tuple) && !m_Exceptions.Contains(tuple);
    }
    void AddSelection(std::unique_ptr<Tuple> tuple) { m_Selections.Add(std::move(tuple)); }
    void AddException(std::unique_ptr<Tuple> tuple) { m_Exceptions.Add(std::move(tuple)); }
    // On failure both sets are left empty and the failure passed on.
    void CopyFrom(const MonitorDataCriteria& other);
    void RemoveAll();

    const TupleSet& GetSelections() const { return m_Selections; }
    const TupleSet& GetExceptions() const { return m_Exceptions; }

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }

private:
    TupleSet m_Selections;
    TupleSet m_Exceptions;
};

} // namespace vq
