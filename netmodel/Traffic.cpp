#include "netmodel/Traffic.h"

#include "netmodel/Tuple.h"

#include <new>

namespace vq {

Traffic::Traffic(int32_t kind) : m_Kind(kind) {}

Traffic::~Traffic() {
    Clear();
}

std::unique_ptr<TAO> Traffic::NewConversationCopy(const TAO& key) {
    if (const auto* conversation = dynamic_cast<const Conversation*>(&key))
        return std::make_unique<Conversation>(*conversation, PointerAssignment);
    return std::make_unique<Conversation>(key.GetTuple());
}

Conversation* Traffic::FindOrAdd(const Conversation& other, bool* created) {
    return static_cast<Conversation*>(TAOPool::FindOrAdd(other, created));
}

Conversation* Traffic::AddPacket(const FrameView& frame, Tuple& tuple) {
    auto* conversation = static_cast<Conversation*>(FindMatching(tuple));
    if (conversation == nullptr) {
        auto made = std::make_unique<Conversation>(&tuple);
        Add(made.get());
        conversation = made.release();
    }
    // An existing conversation is filed already: filing it again changes no index.
    conversation->AddPacket(frame);
    return conversation;
}

void Traffic::CopyFrom(const Traffic& source) {
    Clear();
    size_t position = 0;
    while (Conversation* conversation = source.GetNextConversation(position)) {
        try {
            auto copy = std::make_unique<Conversation>(*conversation, PointerAssignment);
            Add(copy.get());
            copy.release();
        } catch (const std::bad_alloc&) {
            // Keeps what was copied so far.
            return;
        }
    }
}

void Traffic::SettleAsCopy() {
    size_t position = 0;
    while (Conversation* conversation = GetNextConversation(position))
        conversation->SettleAsCopy();
}

void Traffic::Merge(const Traffic& source) {
    size_t position = 0;
    while (Conversation* conversation = source.GetNextConversation(position)) {
        bool created = false;
        Conversation* found = FindOrAdd(*conversation, &created);
        if (found != nullptr && !created) found->AddConversation(*conversation);
    }
}

} // namespace vq
