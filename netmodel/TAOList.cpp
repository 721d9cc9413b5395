#include "netmodel/TAOList.h"

#include "netmodel/Tuple.h"

#include <algorithm>

namespace vq {

bool TAOList::FindOrAdd(TAO* tao) {
    if (FindMatch(*tao->GetTuple(), -1) != nullptr) return false;
    m_Items.push_back(tao);
    return true;
}

bool TAOList::Remove(const TAO* tao) {
    auto it = std::find(m_Items.begin(), m_Items.end(), tao);
    if (it == m_Items.end()) return false;
    m_Items.erase(it);
    return true;
}

TAO* TAOList::FindMatch(const Tuple& tuple, int32_t mask) const {
    for (TAO* item : m_Items) {
        const Tuple* mine = item->GetTuple();
        if (mine != nullptr && mine->Matches(tuple, mask)) return item;
    }
    return nullptr;
}

} // namespace vq
