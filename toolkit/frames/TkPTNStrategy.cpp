#include "toolkit/frames/TkPTNStrategy.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TkPTNStrategy, Object)

TkPTNStrategy::TkPTNStrategy() = default;
TkPTNStrategy::~TkPTNStrategy() = default;

TkPTNStrategy::SaveScope::SaveScope(TkPTNStrategy& strategy)
    : m_Strategy(strategy), m_Outermost(strategy.m_SaveDepth++ == 0) {
    if (!m_Outermost) return;
    m_Strategy.m_Batch.emplace(m_Strategy.BeginBatch());
    m_Strategy.m_Failed = !m_Strategy.m_Batch->IsOpen();
}

TkPTNStrategy::SaveScope::~SaveScope() {
    --m_Strategy.m_SaveDepth;
    if (m_Outermost) m_Strategy.m_Batch.reset();
}

bool TkPTNStrategy::SaveScope::Finish(bool saved) {
    if (!m_Outermost) return saved && !m_Strategy.m_Failed;
    WriteBatch& batch = *m_Strategy.m_Batch;
    if (saved && !m_Strategy.m_Failed) return batch.Commit();
    batch.Abandon();
    return false;
}

TkPTNStrategy::LoadScope::LoadScope(TkPTNStrategy& strategy) : m_Strategy(strategy) {
    if (m_Strategy.m_LoadDepth++ == 0) m_Strategy.m_LoadBudget = kMostLoadedNodes;
}

TkPTNStrategy::LoadScope::~LoadScope() {
    --m_Strategy.m_LoadDepth;
}

bool TkPTNStrategy::LoadScope::Allowed() {
    if (m_Strategy.m_LoadDepth > kDeepestTree || m_Strategy.m_LoadBudget == 0) return false;
    --m_Strategy.m_LoadBudget;
    return true;
}

} // namespace vq
