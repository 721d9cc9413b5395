#pragma once

#include "netmodel/TAOList.h"

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace vq {

class TAO;
class Tuple;

// One of the ten indexes of a pool: a first level keyed by a host (source or destination index) or
// a 16-bit field, and in each element a second level of TAOLists keyed by the session id (host
// indexes) or the source host (field indexes).
class TAOIndex {
public:
    // An element as the dump and the integrity check walk it.
    struct ElementView {
        uint64_t key;
        std::vector<const TAOList*> lists;
    };

    TAOIndex(int32_t keyBit, const char* memberName, unsigned bucketCount);
    TAOIndex(const TAOIndex&) = delete;
    TAOIndex& operator=(const TAOIndex&) = delete;

    int32_t GetKeyBit() const { return m_KeyBit; }
    const char* GetMemberName() const { return m_MemberName; }
    bool IsHostIndex() const;

    // False (nothing filed) for a host index when the tuple lacks that host.
    bool Add(TAO& tao, bool noDuplicateCheck);
    void Remove(TAO& tao);
    void Clear() {
        m_Lists.clear();
        m_Elements.clear();
    }
    const TAOList* FindList(const Tuple& tuple) const;
    int GetCount() const { return int(m_Elements.size()); }
    // In the design's map order: by bucket of the first key, the most recently filed first; lists
    // by their second key.
    std::vector<ElementView> Ordered() const;

    // Test hook for the integrity check.
    TAOList* MutableList(const Tuple& tuple);

private:
    // The two levels live in one map keyed by both keys, so that filing allocates one node; an
    // element only remembers its lists for walking them.
    struct ListKey {
        uint64_t first;
        uint64_t second;
        friend bool operator==(const ListKey&, const ListKey&) = default;
    };
    struct ListKeyHash {
        size_t operator()(const ListKey& key) const noexcept;
    };
    struct Element {
        uint64_t sequence = 0;
        std::vector<std::pair<uint64_t, TAOList*>> lists;
    };
    bool Keys(const Tuple& tuple, uint64_t& first, uint64_t& second) const;
    void RemoveList(uint64_t first, uint64_t second);

    int32_t m_KeyBit;
    const char* m_MemberName;
    unsigned m_BucketCount;
    std::unordered_map<ListKey, TAOList, ListKeyHash> m_Lists;
    std::unordered_map<uint64_t, Element> m_Elements;
    uint64_t m_NextSequence = 0;
};

} // namespace vq
