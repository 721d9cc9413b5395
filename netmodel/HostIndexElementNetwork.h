#pragma once

#include "netmodel/HostAddressList.h"

#include <array>
#include <memory>

namespace vq {

// The hosts of one IP or IPX address, in one list per learning state.
class HostIndexElementNetwork {
public:
    enum ListKind : int { Auth = 0, Prov, Misrouted, Duplicate, ListCount };

    HostAddressList* GetList(ListKind kind) const { return m_Lists[kind].get(); }
    HostAddressList& List(ListKind kind);
    // Takes the host out of one list, dropping the list when it becomes empty.
    bool RemoveFrom(ListKind kind, const HostAddress* host);
    // After an add that ran out of memory: drops the lists it created and left empty.
    void DropEmptyLists();
    void Remove(const HostAddress* host);
    bool Contains(const HostAddress* host) const;
    int Count() const;
    bool IsEmpty() const;

    // Test hook for the integrity check.
    void SetList(ListKind kind, std::unique_ptr<HostAddressList> list) { m_Lists[kind] = std::move(list); }

private:
    std::array<std::unique_ptr<HostAddressList>, ListCount> m_Lists;
};

} // namespace vq
