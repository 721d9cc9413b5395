#pragma once

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
    size_t GetCount() const { return m_Entries.size(); }

private:
    struct Entry {
        uint16_t id = 0;
        const Tuple* tuple = nullptr;
    };
    static uint64_t KeyOf(uint32_t address, uint16_t port) { return uint64_t(address) << 16 | port; }
    void Store(const FrameView::Endpoint& endpoint, uint16_t id);

    std::unordered_map<uint64_t, Entry> m_Entries;
    // The keys each tuple stored last, to find them again when the tuple leaves.
    std::unordered_map<const Tuple*, std::vector<uint64_t>> m_ByTuple;
    uint64_t m_Pending[2]{};
    int m_PendingCount = 0;
};

} // namespace vq
