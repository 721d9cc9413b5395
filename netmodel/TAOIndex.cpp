#include "netmodel/TAOIndex.h"

#include "netmodel/Tuple.h"

#include <algorithm>

namespace vq {

TAOIndex::TAOIndex(int32_t keyBit, const char* memberName, unsigned bucketCount)
    : m_KeyBit(keyBit), m_MemberName(memberName), m_BucketCount(bucketCount) {}

bool TAOIndex::IsHostIndex() const {
    return m_KeyBit == KEY_Source || m_KeyBit == KEY_Destination;
}

bool TAOIndex::Keys(const Tuple& tuple, uint64_t& first, uint64_t& second) const {
    if (IsHostIndex()) {
        const HostAddress* host = tuple.GetKeyHost(m_KeyBit);
        if (host == nullptr) return false;
        first = reinterpret_cast<uintptr_t>(host);
        second = tuple.GetField(FieldSession);
    } else {
        first = tuple.GetKeyValue(m_KeyBit);
        second = reinterpret_cast<uintptr_t>(tuple.GetSource());
    }
    return true;
}

size_t TAOIndex::ListKeyHash::operator()(const ListKey& key) const noexcept {
    uint64_t x = key.first * 0x9E3779B97F4A7C15ULL ^ key.second;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return size_t(x ^ (x >> 31));
}

bool TAOIndex::Add(TAO& tao, bool noDuplicateCheck) {
    const Tuple* tuple = tao.GetTuple();
    uint64_t first = 0, second = 0;
    if (tuple == nullptr || !Keys(*tuple, first, second)) return false;
    auto [list, newList] = m_Lists.try_emplace(ListKey{first, second});
    try {
        if (newList) {
            auto [element, newElement] = m_Elements.try_emplace(first);
            if (newElement) element->second.sequence = m_NextSequence++;
            try {
                element->second.lists.push_back({second, &list->second});
            } catch (...) {
                if (newElement) m_Elements.erase(element);
                throw;
            }
        }
        if (noDuplicateCheck)
            list->second.Append(&tao);
        else
            list->second.FindOrAdd(&tao);
    } catch (...) {
        if (newList) RemoveList(first, second);
        throw;
    }
    return true;
}

void TAOIndex::RemoveList(uint64_t first, uint64_t second) {
    m_Lists.erase(ListKey{first, second});
    auto element = m_Elements.find(first);
    if (element == m_Elements.end()) return;
    auto& lists = element->second.lists;
    lists.erase(
        std::remove_if(lists.begin(), lists.end(), [&](const auto& entry) { return entry.first == second; }),
        lists.end());
    if (lists.empty()) m_Elements.erase(element);
}

void TAOIndex::Remove(TAO& tao) {
    const Tuple* tuple = tao.GetTuple();
    uint64_t first = 0, second = 0;
    if (tuple == nullptr || !Keys(*tuple, first, second)) return;
    auto list = m_Lists.find(ListKey{first, second});
    if (list == m_Lists.end()) return;
    list->second.Remove(&tao);
    if (list->second.IsEmpty()) RemoveList(first, second);
}

const TAOList* TAOIndex::FindList(const Tuple& tuple) const {
    uint64_t first = 0, second = 0;
    if (!Keys(tuple, first, second)) return nullptr;
    auto list = m_Lists.find(ListKey{first, second});
    return list == m_Lists.end() ? nullptr : &list->second;
}

TAOList* TAOIndex::MutableList(const Tuple& tuple) {
    return const_cast<TAOList*>(FindList(tuple));
}

std::vector<TAOIndex::ElementView> TAOIndex::Ordered() const {
    struct Row {
        uint64_t bucket;
        uint64_t sequence;
        uint64_t key;
        const Element* element;
    };
    std::vector<Row> rows;
    rows.reserve(m_Elements.size());
    for (const auto& [key, element] : m_Elements) {
        // Host keys are addresses: the design hashed them divided by 16.
        const uint64_t hashed = IsHostIndex() ? key / 16 : key;
        rows.push_back({hashed % m_BucketCount, element.sequence, key, &element});
    }
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return a.bucket != b.bucket ? a.bucket < b.bucket : a.sequence > b.sequence;
    });
    std::vector<ElementView> result;
    result.reserve(rows.size());
    for (const Row& row : rows) {
        std::vector<std::pair<uint64_t, const TAOList*>> lists(row.element->lists.begin(),
                                                               row.element->lists.end());
        std::sort(lists.begin(), lists.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        ElementView view{row.key, {}};
        for (const auto& entry : lists)
            view.lists.push_back(entry.second);
        result.push_back(std::move(view));
    }
    return result;
}

} // namespace vq
