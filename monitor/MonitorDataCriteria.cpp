#include "monitor/MonitorDataCriteria.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(MonitorDataCriteria, Describable)

namespace {

std::string FormatSelections(const Object& object, uint32_t flags, int depth) {
    return static_cast<const MonitorDataCriteria&>(object).GetSelections().Describe(flags, depth);
}

std::string FormatExceptions(const Object& object, uint32_t flags, int depth) {
    return static_cast<const MonitorDataCriteria&>(object).GetExceptions().Describe(flags, depth);
}

} // namespace

MonitorDataCriteria::MonitorDataCriteria(const MonitorDataCriteria& other, bool reverse) {
    CopyFrom(other);
    if (!reverse) return;
    for (std::size_t i = 0; i < m_Selections.GetSize(); ++i)
        m_Selections.Get(i).Reverse(false);
}

void MonitorDataCriteria::CopyFrom(const MonitorDataCriteria& other) {
    try {
        m_Selections.CopyFrom(other.m_Selections);
        m_Exceptions.CopyFrom(other.m_Exceptions);
    } catch (...) {
        RemoveAll();
        throw;
    }
}

void MonitorDataCriteria::RemoveAll() {
    m_Selections.RemoveAll();
    m_Exceptions.RemoveAll();
}

MemberTable MonitorDataCriteria::Members() {
    static constexpr MemberRow rows[] = {
        {"m_Selections", "Selections", 35, &FormatSelections},
        {"m_Exceptions", "Exceptions", 35, &FormatExceptions},
    };
    return {Class(), rows};
}

} // namespace vq
