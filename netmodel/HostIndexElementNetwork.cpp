#include "netmodel/HostIndexElementNetwork.h"

#include <algorithm>

namespace vq {

HostAddressList& HostIndexElementNetwork::List(ListKind kind) {
    if (!m_Lists[kind]) m_Lists[kind] = std::make_unique<HostAddressList>();
    return *m_Lists[kind];
}

bool HostIndexElementNetwork::RemoveFrom(ListKind kind, const HostAddress* host) {
    HostAddressList* list = m_Lists[kind].get();
    if (list == nullptr) return false;
    auto it = std::find(list->begin(), list->end(), host);
    if (it == list->end()) return false;
    list->erase(it);
    if (list->empty()) m_Lists[kind].reset();
    return true;
}

void HostIndexElementNetwork::DropEmptyLists() {
    for (auto& list : m_Lists)
        if (list && list->empty()) list.reset();
}

void HostIndexElementNetwork::Remove(const HostAddress* host) {
    for (int kind = 0; kind < ListCount; ++kind)
        RemoveFrom(ListKind(kind), host);
}

bool HostIndexElementNetwork::Contains(const HostAddress* host) const {
    for (const auto& list : m_Lists)
        if (list && std::find(list->begin(), list->end(), host) != list->end()) return true;
    return false;
}

int HostIndexElementNetwork::Count() const {
    int count = 0;
    for (const auto& list : m_Lists)
        if (list) count += int(list->size());
    return count;
}

bool HostIndexElementNetwork::IsEmpty() const {
    return std::none_of(m_Lists.begin(), m_Lists.end(), [](const auto& list) { return bool(list); });
}

} // namespace vq
