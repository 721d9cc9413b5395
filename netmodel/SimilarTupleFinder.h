#pragma once

#include "netmodel/HostEqualityIndex.h"
#include "netmodel/Tuple.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace vq {

class TAO;

// Finds, without scanning the pool, the first TAO (lowest pool order) whose tuple is similar to a
// key tuple. Tuples are hashed on their exact host objects and eight fields; the hosts that may
// stand for a key's host (equal by address, or missing) come from an equality index of the hosts
// the pool's tuples use, so the answer is the one a scan of the whole pool in order would give.
class SimilarTupleFinder {
public:
    enum class Rule {
        // IsSimilar with the session field: both hosts equal, all eight fields equal.
        Similar,
        // A full match (Matches with mask -1) among the TAOs with the key's very source host: the
        // destinations match when equal or when either is missing.
        Matching,
    };

    SimilarTupleFinder() = default;
    SimilarTupleFinder(const SimilarTupleFinder&) = delete;
    SimilarTupleFinder& operator=(const SimilarTupleFinder&) = delete;

    void Add(TAO& tao, uint64_t order);
    void Remove(TAO& tao, uint64_t order);
    void Clear();
    // Null when no TAO qualifies. A Matching key without a destination matches every destination:
    // the caller scans for that rare key.
    TAO* Find(const Tuple& key, Rule rule) const {
        return Find(key.GetSource(), key.GetDestination(), key.GetFields(), rule);
    }
    TAO* Find(const HostAddress* source, const HostAddress* destination, const Tuple::Fields& fields,
              Rule rule) const;

private:
    struct Key {
        const HostAddress* source;
        const HostAddress* destination;
        Tuple::Fields fields;
        friend bool operator==(const Key&, const Key&) = default;
    };
    struct KeyHash {
        size_t operator()(const Key& key) const noexcept;
    };
    struct Slot {
        TAO* first = nullptr;
        uint64_t firstOrder = 0;
        std::vector<std::pair<uint64_t, TAO*>> more;
    };

    static Key KeyOf(const Tuple& tuple) {
        return {tuple.GetSource(), tuple.GetDestination(), tuple.GetFields()};
    }
    void Hold(HostAddress* host);
    void Drop(HostAddress* host);
    // The pool hosts (and null, when a pool tuple lacks that side) similarity accepts for `host`.
    void CollectEqual(const HostAddress* host, bool nullSide, std::vector<const HostAddress*>& out) const;

    std::unordered_map<Key, Slot, KeyHash> m_Exact;
    HostEqualityIndex m_Hosts;
    std::unordered_map<const HostAddress*, int> m_HostUses;
    int m_NullSources = 0;
    int m_NullDestinations = 0;
    // Reused between look-ups so that a look-up allocates nothing once warm.
    mutable std::vector<const HostAddress*> m_Sources;
    mutable std::vector<const HostAddress*> m_Destinations;
};

} // namespace vq
