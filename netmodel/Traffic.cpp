#include "netmodel/Traffic.h"

#include "netmodel/Tuple.h"

#include <new>
#include <utility>

namespace vq {
namespace {

// Merging reads and writes the whole conversation: its times and its counters.
void PrefetchWhole(const TAO& conversation) {
    const auto* bytes = reinterpret_cast<const char*>(&conversation);
    for (size_t offset = 0; offset < sizeof(Conversation); offset += 64)
        __builtin_prefetch(bytes + offset, 1);
}

} // namespace

Traffic::Traffic(int32_t kind) : m_Kind(kind) {}

Traffic::~Traffic() {
    Clear();
    FreeRoom(0);
}

template <typename... Args> std::unique_ptr<Conversation> Traffic::Make(Args&&... args) {
    if (m_Room.empty()) return std::make_unique<Conversation>(std::forward<Args>(args)...);
    void* room = m_Room.back();
    m_Room.pop_back();
    try {
        // The room came from operator new for one conversation: delete frees it.
        return std::unique_ptr<Conversation>(new (room) Conversation(std::forward<Args>(args)...));
    } catch (...) {
        ::operator delete(room);
        throw;
    }
}

void Traffic::Discard(const std::vector<TAO*>& leaving) {
    FreeRoom(leaving.size());
    bool keep = true;
    try {
        m_Room.reserve(leaving.size());
    } catch (const std::bad_alloc&) {
        keep = false;
    }
    for (TAO* tao : leaving) {
        // Every TAO of a traffic pool is a conversation; conversations have no subclasses.
        auto* conversation = static_cast<Conversation*>(tao);
        if (!keep || m_Room.size() >= leaving.size()) {
            delete conversation;
            continue;
        }
        conversation->~Conversation();
        m_Room.push_back(conversation);
    }
}

void Traffic::FreeRoom(size_t keep) {
    while (m_Room.size() > keep) {
        ::operator delete(m_Room.back());
        m_Room.pop_back();
    }
}

std::unique_ptr<TAO> Traffic::NewConversationCopy(const TAO& key) {
    if (const auto* conversation = dynamic_cast<const Conversation*>(&key))
        return Make(*conversation, PointerAssignment);
    return Make(key.GetTuple());
}

Conversation* Traffic::FindOrAdd(const Conversation& other, bool* created) {
    return static_cast<Conversation*>(TAOPool::FindOrAdd(other, created));
}

Conversation* Traffic::AddPacket(const FrameView& frame, Tuple& tuple) {
    auto* conversation = static_cast<Conversation*>(FindMatching(tuple, Memory::CountedIn));
    if (conversation == nullptr) {
        auto made = Make(&tuple);
        Add(made.get());
        conversation = made.release();
        RememberAdded(tuple, *conversation, Memory::CountedIn);
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
            auto copy = Make(*conversation, PointerAssignment);
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
    // The conversations merged into, and their tuples, lie all over memory: each step's merge first
    // starts loading a tuple's kept answers, then a few conversations later the counters they name,
    // so that the merge itself rarely waits. A guess gone stale costs a wasted load, never a result.
    constexpr size_t kTupleAhead = 8;
    constexpr size_t kCountersAhead = 4;
    const std::vector<TAO*>& list = source.GetList();
    const uint64_t token = GetAnswerToken();
    for (size_t i = 0; i < list.size(); ++i) {
        if (i + kTupleAhead < list.size())
            if (const Tuple* tuple = list[i + kTupleAhead]->GetTuple()) tuple->PrefetchAnswers();
        if (i + kCountersAhead < list.size())
            if (const Tuple* tuple = list[i + kCountersAhead]->GetTuple())
                if (const TAO* answer = tuple->Recall(token)) PrefetchWhole(*answer);
        auto* conversation = static_cast<Conversation*>(list[i]);
        bool created = false;
        // A pool merged into on every tick meets the same conversations again and again.
        auto* found =
            static_cast<Conversation*>(FindOrAddMatching(*conversation, &created, Memory::MergedInto));
        if (found != nullptr && !created) found->AddConversation(*conversation);
    }
}

} // namespace vq
