#include "netmodel/TAOPool.h"

#include "netmodel/TAO.h"
#include "netmodel/Tuple.h"
#include "platform/core/Format.h"

#include <algorithm>
#include <new>

namespace vq {

TAOPool::TAOPool() {
    struct Spec {
        int32_t bit;
        const char* name;
        unsigned buckets;
    };
    static constexpr Spec specs[IndexCount] = {
        {KEY_Source, "m_SourceIndex", 256},
        {KEY_Destination, "m_DestinationIndex", 256},
        {KEY_Interface, "m_InterfaceIndex", 17},
        {KEY_DataLinkProtocol, "m_DataLinkProtocolIndex", 17},
        {KEY_NetworkProtocol, "m_NetworkProtocolIndex", 17},
        {KEY_TransportProtocol, "m_TransportProtocolIndex", 37},
        {KEY_SessionProtocol, "m_SessionProtocolIndex", 257},
        {KEY_PresentationProtocol, "m_PresentationProtocolIndex", 17},
        {KEY_ApplicationProtocol, "m_ApplicationProtocolIndex", 17},
        {KEY_ReferenceSession, "m_ReferenceSessionIndex", 67},
    };
    for (int i = 0; i < IndexCount; ++i)
        m_Indexes[size_t(i)] = std::make_unique<TAOIndex>(specs[i].bit, specs[i].name, specs[i].buckets);
}

TAOPool::~TAOPool() {
    // Derived pools clear in their own destructors; this catches pools used through the base only.
    Clear();
}

void TAOPool::FileInIndexes(TAO& tao) const {
    int filed = 0;
    try {
        for (; filed < IndexCount; ++filed)
            m_Indexes[size_t(filed)]->Add(tao, true);
    } catch (...) {
        while (filed-- > 0)
            m_Indexes[size_t(filed)]->Remove(tao);
        throw;
    }
}

void TAOPool::UnfileFromIndexes(TAO& tao) const {
    for (int i = IndexCount; i-- > 0;)
        m_Indexes[size_t(i)]->Remove(tao);
}

void TAOPool::FileIndexes() const {
    if (m_Filed) return;
    try {
        for (TAO* tao : m_List)
            FileInIndexes(*tao);
    } catch (...) {
        for (auto& index : m_Indexes)
            index->Clear();
        throw;
    }
    m_Filed = true;
}

const TAOIndex& TAOPool::GetIndex(int number) const {
    FileIndexes();
    return *m_Indexes[size_t(number)];
}

bool TAOPool::Add(TAO* tao) {
    m_List.push_back(tao);
    tao->SetOwner(this);
    tao->m_PoolOrder = m_NextOrder++;
    try {
        if (m_Filed) FileInIndexes(*tao);
        try {
            m_Finder.Add(*tao);
        } catch (...) {
            if (m_Filed) UnfileFromIndexes(*tao);
            throw;
        }
    } catch (...) {
        m_List.pop_back();
        throw;
    }
    return true;
}

bool TAOPool::Remove(TAO* tao) {
    const int position = IndexOf(tao);
    if (position < 0) return false;
    // Taking back the latest TAO leaves the indexes as if it had never come, filed or not; any other
    // removal needs them filed, so that elements keep the places their first filing gave them.
    if (size_t(position) + 1 != m_List.size()) FileIndexes();
    if (m_Filed) UnfileFromIndexes(*tao);
    m_Finder.Remove(*tao);
    m_List.erase(m_List.begin() + position);
    OnRemoving(*tao);
    delete tao;
    return true;
}

TAO* TAOPool::FindMatching(const Tuple& tuple, Memory memory) const {
    if (tuple.GetDestination() != nullptr) {
        if (memory != Memory::None) {
            const uint64_t token = m_Finder.GetToken();
            if (TAO* recalled = tuple.Recall(token)) return recalled;
            TAO* found = m_Finder.Find(tuple, SimilarTupleFinder::Rule::Matching);
            // Only a TAO found stays the answer: one added later may answer a search that found none.
            if (found != nullptr) tuple.Remember(token, found, memory == Memory::CountedIn);
            return found;
        }
        return m_Finder.Find(tuple, SimilarTupleFinder::Rule::Matching);
    }
    // A key without a destination matches every destination: the rare case is scanned, in list
    // order, among the TAOs the session index would list under the key's session and source.
    const uint16_t session = tuple.GetField(FieldSession);
    for (TAO* tao : m_List) {
        const Tuple* mine = tao->GetTuple();
        if (mine != nullptr && mine->GetSource() == tuple.GetSource() &&
            mine->GetField(FieldSession) == session && mine->Matches(tuple, -1))
            return tao;
    }
    return nullptr;
}

void TAOPool::RememberAdded(const Tuple& tuple, TAO& added, Memory memory) const {
    // Keys without a destination are scanned for, never remembered.
    if (memory != Memory::None && tuple.GetDestination() != nullptr && added.GetTuple() == &tuple)
        tuple.Remember(m_Finder.GetToken(), &added, memory == Memory::CountedIn);
}

TAO* TAOPool::FindOrAdd(const TAO& key, bool* created) {
    return FindOrAddMatching(key, created, Memory::None);
}

TAO* TAOPool::FindOrAddMatching(const TAO& key, bool* created, Memory memory) {
    if (created != nullptr) *created = false;
    const Tuple* tuple = key.GetTuple();
    if (tuple != nullptr)
        if (TAO* found = FindMatching(*tuple, memory)) return found;
    std::unique_ptr<TAO> made;
    try {
        made = NewTAO(key);
        Add(made.get());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (created != nullptr) *created = true;
    if (tuple != nullptr) RememberAdded(*tuple, *made, memory);
    return made.release();
}

int TAOPool::IndexOf(const TAO* tao) const {
    if (tao == nullptr || tao->GetOwner() != this) return -1;
    // The list keeps the order in which TAOs were added.
    auto it = std::lower_bound(m_List.begin(), m_List.end(), tao->m_PoolOrder,
                               [](const TAO* item, uint64_t order) { return item->m_PoolOrder < order; });
    return it != m_List.end() && *it == tao ? int(it - m_List.begin()) : -1;
}

TAO* TAOPool::FindEqual(const TAO& key) const {
    const Tuple* tuple = key.GetTuple();
    return tuple != nullptr ? m_Finder.Find(*tuple, SimilarTupleFinder::Rule::Similar) : nullptr;
}

TAO* TAOPool::FindSimilar(const Tuple& tuple, bool session) const {
    if (session) return m_Finder.Find(tuple, SimilarTupleFinder::Rule::Similar);
    // Not on any per-frame path: the search that ignores the session scans.
    for (TAO* tao : m_List)
        if (tuple.IsSimilar(*tao, false)) return tao;
    return nullptr;
}

void TAOPool::Clear() {
    for (auto& index : m_Indexes)
        index->Clear();
    m_Filed = false;
    m_Finder.Clear();
    std::vector<TAO*> list;
    list.swap(m_List);
    for (TAO* tao : list)
        OnRemoving(*tao);
    Discard(list);
    // The room stays for pools emptied and filled again on every tick.
    list.clear();
    if (m_List.empty()) m_List.swap(list);
}

TAO* TAOPool::GetNextTAO(size_t& position) const {
    if (position >= m_List.size()) return nullptr;
    return m_List[position++];
}

std::string TAOPool::DumpIndexes(const char* poolName) const {
    std::string text;
    FileIndexes();
    for (const auto& index : m_Indexes) {
        text += Format("%s::%s (size %d)\n\n", poolName, index->GetMemberName(), index->GetCount());
        const bool host = index->IsHostIndex();
        text += host ? "index\tsize\tlist...\n" : "index\tsize\tvalue\tlist...\n";
        int number = 0;
        for (const auto& element : index->Ordered()) {
            if (host)
                text += Format("%d\t\t%d\t\t", number++, int(element.lists.size()));
            else
                text +=
                    Format("%d\t\t%d\t\t%u\t\t", number++, int(element.lists.size()), unsigned(element.key));
            bool firstEntry = true;
            for (const TAOList* list : element.lists) {
                for (const TAO* tao : list->Items()) {
                    if (!firstEntry) text += ", ";
                    firstEntry = false;
                    text += Format("%p", static_cast<const void*>(tao));
                    if (tao == nullptr || tao->GetTuple() == nullptr) text += "(INVALID)";
                }
            }
            text += "\n";
        }
    }
    return text;
}

} // namespace vq
