#pragma once

#include "netmodel/FlatMap.h"
#include "netmodel/NameKey.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace vq {

// Elements filed under the table key of one address family. Hashed on the whole key; `Ordered`
// gives the elements in the order of the design's 256-bucket map (bucket by bucket, the most
// recently filed first), which the dump and the integrity check keep.
template <typename Element> class HostIndex {
public:
    Element* Find(const NameKey& key) const {
        const Slot* slot = m_Elements.Find(key);
        return slot == nullptr ? nullptr : slot->element.get();
    }
    Element& Create(const NameKey& key) {
        if (Element* found = Find(key)) return *found;
        // The element before its slot: running out of memory leaves no slot without one.
        auto element = std::make_unique<Element>();
        Slot& slot = *m_Elements.Emplace(key).first;
        slot.element = std::move(element);
        slot.sequence = m_NextSequence++;
        return *slot.element;
    }
    void Erase(const NameKey& key) { m_Elements.Erase(key); }
    void EraseIfEmpty(const NameKey& key) {
        const Slot* slot = m_Elements.Find(key);
        if (slot != nullptr && slot->element->IsEmpty()) m_Elements.Erase(key);
    }
    void Clear() { m_Elements = {}; }
    int GetCount() const { return int(m_Elements.Size()); }

    std::vector<std::pair<NameKey, Element*>> Ordered() const {
        std::vector<std::pair<uint64_t, std::pair<NameKey, Element*>>> rows;
        rows.reserve(m_Elements.Size());
        m_Elements.ForEach([&](const NameKey& key, const Slot& slot) {
            rows.push_back({uint64_t(NameKeyBucket(key)) << 56 | (~slot.sequence & ((uint64_t(1) << 56) - 1)),
                            {key, slot.element.get()}});
        });
        std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<std::pair<NameKey, Element*>> result;
        result.reserve(rows.size());
        for (auto& row : rows)
            result.push_back(row.second);
        return result;
    }

private:
    struct Slot {
        std::unique_ptr<Element> element;
        uint64_t sequence = 0;
    };
    FlatMap<NameKey, Slot, NameKeyHash> m_Elements;
    uint64_t m_NextSequence = 0;
};

} // namespace vq
