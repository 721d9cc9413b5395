#include "monitor/MonitorActionPool.h"

#include "monitor/MonitorAction.h"
#include "monitor/MonitorActionSet.h"

#include <new>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(MonitorActionPool, Describable)

MonitorActionPool::~MonitorActionPool() {
    DeleteAll();
}

bool MonitorActionPool::Add(std::unique_ptr<MonitorAction> action) {
    if (!action) return false;
    // A second install under one identifier would leave the first action counting in the tuples'
    // sets, unreachable and never freed.
    if (MonitorAction* old = Find(action->GetIdentifier())) {
        Remove(*old);
        old->Uninstall();
    }
    MonitorAction& added = *action;
    added.SetInstalled(false);
    added.SetPool(this);
    m_Actions.push_back(std::move(action));
    const Position position = std::prev(m_Actions.end());
    try {
        m_ByIdentifier[added.GetIdentifier()] = position;
        if (m_Environment) MonitorActionSets::AttachToEnvironment(added, *m_Environment);
    } catch (const std::bad_alloc&) {
        m_ByIdentifier.erase(added.GetIdentifier());
        added.SetPool(nullptr);
        m_Actions.erase(position);
        throw;
    }
    added.SetInstalled(true);
    return true;
}

bool MonitorActionPool::Remove(MonitorAction& action) {
    const auto found = m_ByIdentifier.find(action.GetIdentifier());
    if (found == m_ByIdentifier.end() || found->second->get() != &action) return false;
    const Position position = found->second;
    m_ByIdentifier.erase(found);
    action.SetPool(nullptr);
    position->release();
    m_Actions.erase(position);
    return m_Environment && MonitorActionSets::DetachFromEnvironment(action, *m_Environment);
}

bool MonitorActionPool::UpdateAll(const Timestamp& now) {
    Position position = Begin();
    while (MonitorAction* action = GetNext(position))
        action->OnTick(now);
    return true;
}

MonitorAction* MonitorActionPool::Find(const void* identifier) const {
    const auto found = m_ByIdentifier.find(identifier);
    return found == m_ByIdentifier.end() ? nullptr : found->second->get();
}

MonitorAction* MonitorActionPool::GetNext(Position& position) {
    if (position == m_Actions.end()) return nullptr;
    return (position++)->get();
}

void MonitorActionPool::AttachTuple(Tuple& tuple) {
    Position position = Begin();
    try {
        while (MonitorAction* action = GetNext(position))
            MonitorActionSets::AttachTuple(*action, tuple);
    } catch (const std::bad_alloc&) {
        for (Position done = Begin(); done != position; ++done)
            MonitorActionSets::DetachTuple(**done, tuple);
        throw;
    }
}

bool MonitorActionPool::ResetAll() {
    for (const auto& action : m_Actions)
        action->Reset(true);
    return true;
}

void MonitorActionPool::DeleteAll() {
    m_ByIdentifier.clear();
    m_Actions.clear();
}

void MonitorActionPools::SetEnvironment(Environment* environment) {
    for (MonitorActionPool& pool : m_Pools)
        pool.SetEnvironment(environment);
}

void MonitorActionPools::UpdateAll(const Timestamp& now) {
    for (MonitorActionPool& pool : m_Pools)
        pool.UpdateAll(now);
}

void MonitorActionPools::DeleteAll() {
    for (MonitorActionPool& pool : m_Pools)
        pool.DeleteAll();
}

} // namespace vq
