#pragma once

#include "netmodel/Conversation.h"
#include "netmodel/TAOPool.h"

#include <cstdint>
#include <memory>

namespace vq {

class AdapterList;
class FrameView;
class Tuple;

// The conversations of one data root, which it owns, with the ten indexes of a pool.
class Traffic : public TAOPool {
public:
    explicit Traffic(int32_t kind);
    ~Traffic() override;

    int32_t GetKind() const { return m_Kind; }

    std::unique_ptr<TAO> NewTAO(const TAO& key) override { return NewConversationCopy(key); }
    std::unique_ptr<TAO> NewConversationCopy(const TAO& key);
    using TAOPool::FindOrAdd;
    Conversation* FindOrAdd(const Conversation& other, bool* created);

    // Counts the frame on the conversation of its tuple (made on the first frame).
    Conversation* AddPacket(const FrameView& frame, Tuple& tuple);
    void CopyFrom(const Traffic& source);
    // Every conversation becomes what CopyFrom would have made of it in another pool.
    void SettleAsCopy();
    void Merge(const Traffic& source);

    Conversation* GetNextConversation(size_t& position) const {
        return static_cast<Conversation*>(GetNextTAO(position));
    }

    // Told the adapters when they are set and again on every tick. Counting needs nothing of them,
    // so both are hooks without effect.
    void SetAdapters(const AdapterList*) {}
    void UpdateAdapters(const AdapterList*) {}

private:
    // In room kept from conversations that left, when there is some.
    template <typename... Args> std::unique_ptr<Conversation> Make(Args&&... args);
    void Discard(const std::vector<TAO*>& leaving) override;
    void FreeRoom(size_t keep);

    int32_t m_Kind;
    // The room of the conversations the last emptying deleted: pools emptied on every tick (the
    // running step, the last sample, a closing interval) fill again with as many.
    std::vector<void*> m_Room;
};

} // namespace vq
