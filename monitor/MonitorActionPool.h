#pragma once

#include "netmodel/TupleOfferSink.h"
#include "runtime/MemberDescription.h"

#include <array>
#include <cstddef>
#include <list>
#include <memory>
#include <unordered_map>

namespace vq {

class Environment;
class MonitorAction;
class Timestamp;
class Tuple;

// The installed actions of one kind, by identifier, in the order of installation. The pool owns
// them; an action that uninstalls itself first leaves its pool.
class MonitorActionPool : public Describable {
    VQ_DECLARE_RUNTIME_CLASS(MonitorActionPool)

public:
    using Position = std::list<std::unique_ptr<MonitorAction>>::iterator;

    MonitorActionPool() = default;
    ~MonitorActionPool();
    MonitorActionPool(const MonitorActionPool&) = delete;
    MonitorActionPool& operator=(const MonitorActionPool&) = delete;

    // The live model whose tuples installed actions join; none means no tuple is joined.
    void SetEnvironment(Environment* environment) { m_Environment = environment; }

    // An action already installed under the identifier is uninstalled completely first. Out of
    // memory while joining the tuples deletes the action and goes on.
    bool Add(std::unique_ptr<MonitorAction> action);
    // Gives up the pool's ownership and detaches the action from every tuple; true when a tuple
    // let go of it. Uninstalling an action calls it.
    bool Remove(MonitorAction& action);
    bool UpdateAll(const Timestamp& now);
    MonitorAction* Find(const void* identifier) const;
    Position Begin() { return m_Actions.begin(); }
    // The action at the position, or null at the end; the position moves on.
    MonitorAction* GetNext(Position& position);
    // Out of memory detaches the tuple from this pool's actions done so far and goes on.
    void AttachTuple(Tuple& tuple);
    bool ResetAll();
    // Deletes every action without detaching it from the tuples: the caller rebuilds them.
    void DeleteAll();
    std::size_t GetCount() const { return m_Actions.size(); }

protected:
    // A pool describes itself by its class alone.
    MemberTable DescribedMembers() const override { return {Class(), {}}; }

private:
    std::list<std::unique_ptr<MonitorAction>> m_Actions;
    std::unordered_map<const void*, Position> m_ByIdentifier;
    Environment* m_Environment = nullptr;
};

// The four program-wide pools, offered every new tuple of the live model in their order.
class MonitorActionPools final : public TupleOfferSink {
public:
    MonitorActionPool& Get(Pool pool) { return m_Pools[std::size_t(pool)]; }
    MonitorActionPool& Alarms() { return Get(Alarm); }
    MonitorActionPool& Trends() { return Get(Trend); }
    MonitorActionPool& Conversations() { return Get(Conversation); }
    MonitorActionPool& Summaries() { return Get(Summary); }

    void SetEnvironment(Environment* environment);
    void AttachTuple(Pool pool, Tuple& tuple) override { Get(pool).AttachTuple(tuple); }
    // Every tick: alarms, trends, conversations, summaries.
    void UpdateAll(const Timestamp& now);
    void DeleteAll();

private:
    std::array<MonitorActionPool, PoolCount> m_Pools;
};

} // namespace vq
