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
// stand for a key's host (equal by address, or missing) come from an equality index, so the answer
// is the one a scan of the whole pool in order would give.
//
// The equality index is the model's own when the pool's tuples take their hosts from its host table
// (the reference): those hosts are filed there already, and a model removes a host only together
// with the tuples that use it. Any other host a tuple uses is filed here, in a small index of
// strays.
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

    // Taken only while the finder is empty: the hosts held so far were judged against the old one.
    void SetReference(const HostEqualityIndex* reference) {
        if (m_Used == 0) m_Reference = reference;
        ++m_Removes;
    }

    // The TAO's pool order ranks it: the smaller, the earlier.
    void Add(TAO& tao);
    void Remove(TAO& tao);
    // Keeps the room it had, for pools emptied and filled again on every tick.
    void Clear();
    // Null when no TAO qualifies. A Matching key without a destination matches every destination:
    // the caller scans for that rare key.
    TAO* Find(const Tuple& key, Rule rule) const {
        return Find(key.GetSource(), key.GetDestination(), key.GetFields(), rule, &key);
    }
    // `keyTuple`, when given, is the tuple the key was taken from: a TAO of that very tuple matches
    // without its fields being read.
    TAO* Find(const HostAddress* source, const HostAddress* destination, const Tuple::Fields& fields,
              Rule rule, const Tuple* keyTuple = nullptr) const;
    // A TAO found stays the answer to its key while this holds: a TAO added later ranks after it,
    // and only a removal or a change among the hosts moves it (both counters only grow, so their
    // sum moves whenever either does).
    uint64_t GetStamp() const { return m_Removes + HostGeneration(); }
    // A token naming this finder at its present stamp: no other finder, nor this one at another
    // stamp, ever had it or will have it. Never 0.
    uint64_t GetToken() const;

private:
    struct Key {
        const HostAddress* source;
        const HostAddress* destination;
        Tuple::Fields fields;
        friend bool operator==(const Key&, const Key&) = default;
    };
    // Open addressing with linear probing; a null TAO marks a free slot.
    struct Slot {
        uint64_t hash;
        TAO* tao;
        bool IsFree() const { return tao == nullptr; }
    };
    // How many TAOs hold a part of the key, by 32 bits of the part's hash (small entries: every
    // pool of the model has one per part). Two parts of one hash share a count, which only makes a
    // search go on that could have stopped.
    class PartCounts {
    public:
        bool Contains(uint64_t hash) const { return Position(Short(hash)) != m_Entries.size(); }
        // Makes room for one more part first, so that Add cannot fail.
        void Reserve();
        void Add(uint64_t hash);
        void Remove(uint64_t hash);
        void Clear();

    private:
        // A zero hash marks a free entry.
        struct Entry {
            uint32_t hash;
            uint32_t count;
            bool IsFree() const { return hash == 0; }
        };

        static uint32_t Short(uint64_t hash) {
            const auto folded = uint32_t(hash ^ (hash >> 32));
            return folded != 0 ? folded : 1;
        }
        // The table's size when the part is not held.
        size_t Position(uint32_t hash) const;

        std::vector<Entry> m_Entries;
        size_t m_Used = 0;
    };

    static Key KeyOf(const Tuple& tuple) {
        return {tuple.GetSource(), tuple.GetDestination(), tuple.GetFields()};
    }
    static uint64_t HashOf(const Key& key);
    static bool HasKey(const Slot& slot, uint64_t hash, const Key& key, const Tuple* keyTuple);
    static uint64_t OrderOf(const TAO& tao);
    const Slot* FindSlot(const Key& key, uint64_t hash, const Tuple* keyTuple = nullptr) const;
    static uint64_t FieldsHashOf(const Tuple::Fields& fields);
    static uint64_t SourceFieldsHashOf(const HostAddress* source, const Tuple::Fields& fields) {
        return HashOf(Key{source, nullptr, fields});
    }
    void AddParts(const Tuple& tuple);
    void RemoveParts(const Tuple& tuple);
    void Hold(HostAddress* host);
    void Drop(HostAddress* host);
    // The hosts similarity accepts for `host` (and null, when a pool tuple lacks that side).
    void CollectEqual(const HostAddress* host, bool nullSide, std::vector<const HostAddress*>& out) const;

    // Both only grow, so their sum moves whenever either index changes.
    uint64_t HostGeneration() const {
        return (m_Reference != nullptr ? m_Reference->GetGeneration() : 0) + m_Strays.GetGeneration();
    }

    std::vector<Slot> m_Slots;
    size_t m_Used = 0;
    // Every search needs all eight fields of the key, a Matching one its very source too: a key
    // whose part nobody here holds (the first frame of nearly every conversation in a freshly
    // emptied pool, a tuple new to a model) ends the search before the equals of its hosts are
    // collected and probed.
    PartCounts m_Fields;
    PartCounts m_SourceFields;
    // Move on with every TAO added, and every TAO removed or reference taken.
    uint64_t m_Adds = 0;
    uint64_t m_Removes = 0;
    // TAOs whose key a TAO of lower order holds already (a pool may hold equal keys), by key hash.
    std::unordered_multimap<uint64_t, TAO*> m_Shadowed;
    const HostEqualityIndex* m_Reference = nullptr;
    mutable uint64_t m_Token = 0;
    mutable uint64_t m_TokenStamp = 0;
    HostEqualityIndex m_Strays;
    std::unordered_map<const HostAddress*, int> m_StrayUses;
    int m_NullSources = 0;
    int m_NullDestinations = 0;
    // Reused between look-ups so that a look-up allocates nothing once warm.
    mutable std::vector<const HostAddress*> m_Sources;
    mutable std::vector<const HostAddress*> m_Destinations;
};

} // namespace vq
