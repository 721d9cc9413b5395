#pragma once

#include "netmodel/FlatMap.h"
#include "netmodel/FrameView.h"

#include <cstdint>
#include <optional>
#include <unordered_map>
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

    // Looked up for every TCP and UDP frame: one array, no node per endpoint.
    FlatMap<uint64_t, Entry, KeyHash> m_Entries;
    // The keys each tuple stored last, to find them again when the tuple leaves.
    std::unordered_map<const Tuple*, std::vector<uint64_t>> m_ByTuple;
    uint64_t m_Changes = 0;
    uint64_t m_Pending[2]{};
    int m_PendingCount = 0;
};

} // namespace vq
