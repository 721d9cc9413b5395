#pragma once

#include "netmodel/FlatMap.h"
#include "netmodel/FrameView.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace vq {

class Tuple;

// The reference-session id of TCP and UDP endpoints: once either end of a conversation is known,
// every later frame of that end inherits the id stored for it, normally the service port. Each entry
// is tied to the tuple of the frame that last stored (created or changed) it and leaves with that
// tuple.
class ReferenceSessionMap {
public:
    std::optional<uint16_t> Lookup(uint32_t address, uint16_t port) const;
    void Set(uint32_t address, uint16_t port, uint16_t id);
    // The id of a frame; the entries it stores wait for Tie.
    uint16_t Compute(const FrameView& frame);
    // Ties the entries the last Compute stored to the tuple of that frame.
    void Tie(Tuple* tuple);
    // For a frame that failed: drops the entries the last Compute created; changed ones keep their
    // new id and their tuple.
    void Abandon();
    // Drops the entries still tied to the tuple.
    void Untie(const Tuple* tuple);
    void Clear();
    size_t GetCount() const { return m_Entries.Size(); }
    // Moves whenever an entry is made, changes its id or leaves; only grows. Computing a frame
    // again on a map that has not moved since the frame's own Compute and Tie answers the same id
    // and stores nothing, which is what lets a caller skip both for a stream it knows.
    uint64_t GetChanges() const { return m_Changes; }

private:
    struct Entry {
        uint16_t id = 0;
        const Tuple* tuple = nullptr;
    };
    static uint64_t KeyOf(uint32_t address, uint16_t port) { return uint64_t(address) << 16 | port; }
    void Store(const FrameView::Endpoint& endpoint, uint16_t id);

    struct KeyHash {
        size_t operator()(uint64_t key) const noexcept {
            key = (key ^ (key >> 30)) * 0xBF58476D1CE4E5B9ULL;
            key = (key ^ (key >> 27)) * 0x94D049BB133111EBULL;
            return size_t(key ^ (key >> 31));
        }
    };

    // The keys one tuple stored. Nearly every tuple stores the two ends of its first frame and no
    // more, so those sit in place and only a tuple that stores further keys allocates.
    struct Held {
        uint64_t keys[2]{};
        uint32_t count = 0;
        std::unique_ptr<std::vector<uint64_t>> more;

        // Room for `extra` keys beyond those held, so that adding them cannot fail halfway.
        void Reserve(size_t extra);
        void Push(uint64_t key);
        template <typename Visit> void ForEach(Visit&& visit) const {
            for (uint32_t i = 0; i < count && i < 2; ++i)
                visit(keys[i]);
            if (more)
                for (uint64_t key : *more)
                    visit(key);
        }
    };

    // Looked up for every TCP and UDP frame: one array, no node per endpoint.
    FlatMap<uint64_t, Entry, KeyHash> m_Entries;
    // The keys each tuple stored last, to find them again when the tuple leaves. A new tuple files
    // here, so it is one array as well: no node and no list of its own per tuple.
    FlatMap<const Tuple*, Held, PointerHash> m_ByTuple;
    uint64_t m_Changes = 0;
    uint64_t m_Pending[2]{};
    int m_PendingCount = 0;
};

} // namespace vq
