#include "netmodel/HostTable.h"

#include "netmodel/AnnouncementSink.h"
#include "netmodel/IntegrityText.h"
#include "netmodel/MacFilter.h"
#include "platform/core/Format.h"
#include "runtime/GlobalState.h"

#include <algorithm>
#include <new>

namespace vq {

namespace {

using ListKind = HostIndexElementNetwork::ListKind;

bool SameOrMissingIp(const HostAddress& a, const HostAddress& b) {
    return !a.HasIp() || !b.HasIp() || a.GetIp().Compare(b.GetIp(), true) == 0;
}

bool SameOrMissingIpx(const HostAddress& a, const HostAddress& b) {
    return !a.HasIpx() || !b.HasIpx() || a.GetIpx().Compare(b.GetIpx(), true) == 0;
}

// Inside a MAC element every host has that MAC, so only the network addresses decide.
bool MacListMatch(const HostAddress& a, const HostAddress& b) {
    return SameOrMissingIp(a, b) && SameOrMissingIpx(a, b);
}

bool NetworkListMatch(const HostAddress& a, const HostAddress& b) {
    if (&a == &b) return true;
    const bool macMatch = !a.HasMac() || !b.HasMac() || a.GetMac().Compare(b.GetMac()) == 0;
    return macMatch && MacListMatch(a, b);
}

bool Contains(const HostAddressList& list, const HostAddress* host) {
    return std::find(list.begin(), list.end(), host) != list.end();
}

bool Fail(std::string text) {
    IntegrityText() = std::move(text);
    return false;
}

const char* ListName(int kind) {
    static constexpr const char* names[] = {"AUTH", "PROV", "MISR", "DUPL"};
    return names[kind];
}

} // namespace

HostTable::HostTable(AddressSource& addresses, AnnouncementSink* announcements, const MacFilter* macFilter)
    : m_Addresses(addresses), m_Announcements(announcements), m_MacFilter(macFilter) {}

HostTable::~HostTable() {
    Clear();
}

bool HostTable::IsLookupOnly(const FrameView& frame, FrameView::Side side) const {
    return TheGlobalState().m_MacOnlyReporting.load(std::memory_order_relaxed) && m_MacFilter != nullptr &&
           !m_MacFilter->PassesMacFilter(frame, side);
}

HostAddress* HostTable::Learn(const FrameView& frame, FrameView::Side side) {
    const bool lookupOnly = IsLookupOnly(frame, side);
    const HostAddress::Seen seen = HostAddress::Resolve(frame, side, m_Addresses, lookupOnly);
    const uint16_t etherType = frame.GetEtherType();
    const uint8_t network = lookupOnly                                     ? 0
                            : etherType == 0x0800 || etherType == 0x0806 ? 1
                            : etherType == 0x8137 || etherType == 0x8138 ? 2
                                                                         : 0;
    return LearnSeen(seen, side, lookupOnly, network);
}

HostAddress* HostTable::LearnSeen(const HostAddress::Seen& seen, FrameView::Side side, bool lookupOnly,
                                  uint8_t network) {
    HostAddress scratch(seen, side);
    scratch.SetOwner(this);
    Candidate candidate{&scratch, nullptr};
    HostAddress* result = nullptr;
    try {
        result = OfferMac(&candidate, &scratch, lookupOnly);
        if (result == nullptr || result == &scratch) {
            result = LearnLookupOnly(candidate);
        } else if (network != 0) {
            OfferNetwork(network == 2, result);
        }
        if (side == FrameView::Source && result != candidate.stored) PromoteSource(*result, scratch);
        if (result == candidate.stored) {
            Append(result);
            result->SetAddedTime(Timestamp::Now());
        } else if (candidate.stored != nullptr) {
            // Filed in a list and then merged further on: an index refers to it, so it stays.
            Append(candidate.stored);
        }
    } catch (...) {
        Touch();
        if (candidate.stored != nullptr &&
            std::find(m_Hosts.begin(), m_Hosts.end(), candidate.stored) == m_Hosts.end()) {
            Unfile(candidate.stored);
            delete candidate.stored;
        }
        throw;
    }
    Announce(*result, result == candidate.stored ? result->GetCreatedTime() : NULL_TIME);
    return result;
}

void HostTable::MergeInto(HostAddress& stored, const HostAddress& other) {
    const uint8_t families = stored.GetValidVector();
    stored.Merge(other);
    // Only the change time moved when no family was added, and no answer reads it.
    if (stored.GetValidVector() != families) Touch();
}

HostAddress* HostTable::LearnLookupOnly(Candidate& candidate) {
    const NameKey key = candidate.scratch->GetMac().GetTableKey();
    if (auto it = m_LookupOnly.find(key); it != m_LookupOnly.end()) return it->second;
    HostAddress* host = Store(&candidate, candidate.scratch);
    m_LookupOnly.emplace(key, host);
    return host;
}

void HostTable::PromoteSource(HostAddress& host, const HostAddress& seen) {
    if (host.GetMacState() == HostAddress::PROV) {
        Touch();
        host.SetMacState(HostAddress::AUTH);
    }
    if (seen.HasIp() && host.HasIp() && &seen.GetIp() == &host.GetIp() &&
        host.GetIpState() == HostAddress::PROV)
        PromoteNetwork(host, false);
    if (seen.HasIpx() && host.HasIpx() && &seen.GetIpx() == &host.GetIpx() &&
        host.GetIpxState() == HostAddress::PROV)
        PromoteNetwork(host, true);
}

void HostTable::PromoteNetwork(HostAddress& host, bool ipx) {
    Touch();
    auto& index = ipx ? m_IpxIndex : m_IpIndex;
    const NameKey key = ipx ? host.GetIpx().GetTableKey() : host.GetIp().GetTableKey();
    HostIndexElementNetwork* element = index.Find(key);
    const HostAddressList* prov = element ? element->GetList(HostIndexElementNetwork::Prov) : nullptr;
    if (prov != nullptr && Contains(*prov, &host)) {
        try {
            HostAddressList& auth = element->List(HostIndexElementNetwork::Auth);
            if (!Contains(auth, &host)) auth.push_back(&host);
        } catch (...) {
            element->DropEmptyLists();
            throw;
        }
        element->RemoveFrom(HostIndexElementNetwork::Prov, &host);
    }
    if (ipx)
        host.SetIpxState(HostAddress::AUTH);
    else
        host.SetIpState(HostAddress::AUTH);
}

HostAddress* HostTable::Store(Candidate* candidate, HostAddress* host) {
    if (candidate == nullptr || host != candidate->scratch) return host;
    if (candidate->stored == nullptr) {
        Touch();
        auto* stored = new HostAddress(*host, ShallowCopy);
        stored->SetOwner(this);
        stored->SetChangedTime(host->GetChangedTime());
        candidate->stored = stored;
    }
    return candidate->stored;
}

HostAddress* HostTable::OfferMac(Candidate* candidate, HostAddress* host, bool lookupOnly) {
    if (!host->HasMac()) return nullptr;
    const NameKey key = host->GetMac().GetTableKey();
    HostIndexElementMAC* element = m_MacIndex.Find(key);
    if (element == nullptr) {
        if (lookupOnly) return host;
        Touch();
        element = &m_MacIndex.Create(key);
    }
    try {
        return AddToMacElement(*element, candidate, host);
    } catch (...) {
        Touch();
        element->DropEmptyParts();
        m_MacIndex.EraseIfEmpty(key);
        throw;
    }
}

HostAddress* HostTable::AddToMacElement(HostIndexElementMAC& element, Candidate* candidate,
                                        HostAddress* host) {
    HostAddress* h = host;
    HostAddress* result;
    if (h->HasIp())
        result = AddThroughIpMap(element, candidate, h, h->GetIp().GetKind() == IpAddress::Broadcast);
    else if (h->HasIpx())
        result = AddThroughIpxMap(element, candidate, h, h->GetIpx().GetKind() == IpxAddress::BroadcastNode);
    else
        result = MacListFindOrAdd(element.Primary(), candidate, h);
    if (result == h) {
        const int state = h->GetMacState();
        if (state == HostAddress::INITDST || state == HostAddress::INITSRC) {
            // The candidate itself is not part of the table: its states change on every frame.
            if (candidate == nullptr || h != candidate->scratch) Touch();
            h->SetMacState(state == HostAddress::INITDST ? HostAddress::PROV : HostAddress::AUTH);
        }
    }
    return result;
}

HostAddress* HostTable::AddThroughIpMap(HostIndexElementMAC& element, Candidate* candidate,
                                        HostAddress*& host, bool broadcast) {
    if (!broadcast && host->HasIpx()) {
        host = AddThroughIpxMap(element, candidate, host, true);
    } else if (host->GetIp().GetKind() != IpAddress::Broadcast) {
        const HostAddressList* primary = element.GetPrimary();
        if (primary == nullptr || primary->empty() || !primary->front()->HasIp())
            host = MacListFindOrAdd(element.Primary(), candidate, host);
    }
    if (!host->HasIp()) return host;
    return MacListFindOrAdd(element.IpList(host->GetIp().GetTableKey()), candidate, host);
}

HostAddress* HostTable::AddThroughIpxMap(HostIndexElementMAC& element, Candidate* candidate,
                                         HostAddress*& host, bool broadcast) {
    if (!broadcast && host->HasIp()) {
        host = AddThroughIpMap(element, candidate, host, true);
    } else if (host->GetIpx().GetKind() != IpxAddress::BroadcastNode) {
        const HostAddressList* primary = element.GetPrimary();
        if (primary == nullptr || primary->empty() || !primary->front()->HasIpx())
            host = MacListFindOrAdd(element.Primary(), candidate, host);
    }
    if (!host->HasIpx()) return host;
    return MacListFindOrAdd(element.IpxList(host->GetIpx().GetTableKey()), candidate, host);
}

HostAddress* HostTable::MacListFindOrAdd(HostAddressList& list, Candidate* candidate, HostAddress*& host) {
    for (HostAddress* stored : list) {
        if (stored == host || MacListMatch(*stored, *host)) {
            if (stored != host) MergeInto(*stored, *host);
            return stored;
        }
    }
    host = Store(candidate, host);
    Touch();
    list.push_back(host);
    return host;
}

HostAddress* HostTable::OfferNetwork(bool ipx, HostAddress* host) {
    if (!(ipx ? host->HasIpx() : host->HasIp())) return nullptr;
    auto& index = ipx ? m_IpxIndex : m_IpIndex;
    const NameKey key = ipx ? host->GetIpx().GetTableKey() : host->GetIp().GetTableKey();
    const int state = ipx ? host->GetIpxState() : host->GetIpState();
    auto setState = [&](int value) {
        if (value != state) Touch();
        if (ipx)
            host->SetIpxState(value);
        else
            host->SetIpState(value);
    };
    bool appended = false;
    HostIndexElementNetwork* element = index.Find(key);
    if (element == nullptr) {
        ListKind kind;
        int newState;
        switch (state) {
        case HostAddress::INITDST:
        case HostAddress::PROV:
            kind = HostIndexElementNetwork::Prov;
            newState = HostAddress::PROV;
            break;
        case HostAddress::INITSRC:
        case HostAddress::AUTH:
            kind = HostIndexElementNetwork::Auth;
            newState = HostAddress::AUTH;
            break;
        case HostAddress::MISROUTED:
            kind = HostIndexElementNetwork::Misrouted;
            newState = state;
            break;
        case HostAddress::DUPLICATE:
            kind = HostIndexElementNetwork::Duplicate;
            newState = state;
            break;
        default:
            return nullptr;
        }
        Touch();
        element = &index.Create(key);
        try {
            HostAddress* result = NetworkListFindOrAdd(element->List(kind), host, appended);
            setState(newState);
            return result;
        } catch (...) {
            Touch();
            element->DropEmptyLists();
            index.EraseIfEmpty(key);
            throw;
        }
    }
    try {
        switch (state) {
        case HostAddress::INITSRC:
        case HostAddress::AUTH:
            if (element->RemoveFrom(HostIndexElementNetwork::Prov, host)) Touch();
            setState(HostAddress::AUTH);
            return NetworkListFindOrAdd(element->List(HostIndexElementNetwork::Auth), host, appended);
        case HostAddress::INITDST:
        case HostAddress::PROV:
            if (const HostAddressList* auth = element->GetList(HostIndexElementNetwork::Auth)) {
                for (HostAddress* stored : *auth) {
                    if (NetworkListMatch(*stored, *host)) {
                        if (stored != host) MergeInto(*stored, *host);
                        return stored;
                    }
                }
            }
            setState(HostAddress::PROV);
            return NetworkListFindOrAdd(element->List(HostIndexElementNetwork::Prov), host, appended);
        case HostAddress::MISROUTED:
        case HostAddress::DUPLICATE: {
            const auto kind = state == HostAddress::MISROUTED ? HostIndexElementNetwork::Misrouted
                                                              : HostIndexElementNetwork::Duplicate;
            HostAddressList* list = element->GetList(kind);
            if (list == nullptr) return nullptr;
            NetworkListFindOrAdd(*list, host, appended);
            return appended ? host : nullptr;
        }
        default:
            return nullptr;
        }
    } catch (...) {
        Touch();
        element->DropEmptyLists();
        throw;
    }
}

HostAddress* HostTable::NetworkListFindOrAdd(HostAddressList& list, HostAddress* host, bool& appended) {
    for (HostAddress* stored : list) {
        if (NetworkListMatch(*stored, *host)) {
            if (stored != host) MergeInto(*stored, *host);
            appended = false;
            return stored;
        }
    }
    Touch();
    list.push_back(host);
    appended = true;
    return host;
}

void HostTable::Announce(HostAddress& host, const Timestamp& changeTime) {
    uint32_t bits = 0;
    if (host.GetMacState() != host.GetPreviousMacState() && host.GetMacState() == HostAddress::AUTH) {
        bits |= 3;
        host.SetMacState(host.GetMacState());
    }
    auto network = [&](int state, int previous, uint32_t auth, uint32_t misrouted, uint32_t duplicate,
                       void (HostAddress::*set)(int)) {
        if (state == previous) return;
        const uint32_t found = state == HostAddress::AUTH        ? auth
                               : state == HostAddress::MISROUTED ? misrouted
                               : state == HostAddress::DUPLICATE ? duplicate
                                                                 : 0;
        if (found == 0) return;
        bits |= found;
        (host.*set)(state);
    };
    network(host.GetIpState(), host.GetPreviousIpState(), 12, 4, 8, &HostAddress::SetIpState);
    network(host.GetIpxState(), host.GetPreviousIpxState(), 48, 16, 32, &HostAddress::SetIpxState);
    if (bits == 0) return;
    Touch();
    host.SetChangedTime(changeTime == NULL_TIME ? Timestamp::Now() : changeTime);
    if (m_Announcements == nullptr) return;
    try {
        m_Announcements->Announce(bits, std::make_unique<HostAddress>(host, DeepCopy));
    } catch (const std::bad_alloc&) {
        // An announcement is not worth the frame: the host stays learned.
    }
}

void HostTable::Append(HostAddress* host) {
    Touch();
    m_Hosts.push_back(host);
    try {
        m_Equal.Insert(*host, m_NextOrder++);
    } catch (...) {
        m_Hosts.pop_back();
        throw;
    }
}

void HostTable::File(HostAddress* host) {
    Touch();
    OfferMac(nullptr, host, false);
    if (host->HasIp()) OfferNetwork(false, host);
    if (host->HasIpx()) OfferNetwork(true, host);
}

bool HostTable::Insert(HostAddress* host) {
    host->SetOwner(this);
    try {
        File(host);
        Append(host);
    } catch (...) {
        Unfile(host);
        throw;
    }
    return true;
}

void HostTable::Unfile(HostAddress* host) {
    Touch();
    if (host->HasMac()) {
        const NameKey key = host->GetMac().GetTableKey();
        if (HostIndexElementMAC* element = m_MacIndex.Find(key)) {
            element->Remove(host);
            m_MacIndex.EraseIfEmpty(key);
        }
        if (auto it = m_LookupOnly.find(key); it != m_LookupOnly.end() && it->second == host)
            m_LookupOnly.erase(it);
    }
    if (host->HasIp()) {
        const NameKey key = host->GetIp().GetTableKey();
        if (HostIndexElementNetwork* element = m_IpIndex.Find(key)) {
            element->Remove(host);
            m_IpIndex.EraseIfEmpty(key);
        }
    }
    if (host->HasIpx()) {
        const NameKey key = host->GetIpx().GetTableKey();
        if (HostIndexElementNetwork* element = m_IpxIndex.Find(key)) {
            element->Remove(host);
            m_IpxIndex.EraseIfEmpty(key);
        }
    }
}

bool HostTable::Remove(HostAddress* host) {
    auto it = std::find(m_Hosts.begin(), m_Hosts.end(), host);
    if (it == m_Hosts.end()) return false;
    Unfile(host);
    Touch();
    m_Equal.Remove(*host);
    m_Hosts.erase(it);
    return true;
}

void HostTable::Refile(HostAddress* host) {
    Unfile(host);
    File(host);
}

void HostTable::Clear() {
    Touch();
    m_Equal.Clear();
    m_MacIndex.Clear();
    m_IpIndex.Clear();
    m_IpxIndex.Clear();
    m_LookupOnly.clear();
    for (HostAddress* host : m_Hosts)
        delete host;
    m_Hosts.clear();
}

HostAddress* HostTable::GetNextHost(size_t& position) const {
    if (position >= m_Hosts.size()) return nullptr;
    return m_Hosts[position++];
}

std::string HostTable::Dump() const {
    std::string text = Format("HostTable (size %d)\n\n", GetCount());
    text += "index\tMAC\tIP\tIPX\taddress\t\tvalue(s)\n";
    for (size_t i = 0; i < m_Hosts.size(); ++i) {
        const HostAddress* host = m_Hosts[i];
        if (host == nullptr) {
            text += Format("%d\t\tINVALID\t\t%p\n", int(i), static_cast<const void*>(host));
            continue;
        }
        text += Format("%d\t\t%d\t%d\t%d\t%p\t%s\n", int(i), host->GetCheckMark(HostAddress::MacMark),
                       host->GetCheckMark(HostAddress::IpMark), host->GetCheckMark(HostAddress::IpxMark),
                       static_cast<const void*>(host), host->GetText(false).c_str());
    }
    auto hosts = [](const HostAddressList& list) {
        std::string part;
        for (const HostAddress* host : list) {
            if (!part.empty()) part += ", ";
            part += Format("%p", static_cast<const void*>(host));
        }
        return part;
    };
    text += Format("HostTable::m_MacIndex (size %d)\n\n", m_MacIndex.GetCount());
    text += "index\tsize\tlist...\n";
    int number = 0;
    for (const auto& [key, element] : m_MacIndex.Ordered()) {
        text += Format("%d\t%d\t", number++, element->Count());
        std::string parts;
        auto add = [&](std::string part) {
            if (part.empty()) return;
            if (!parts.empty()) parts += ", ";
            parts += part;
        };
        if (const HostAddressList* primary = element->GetPrimary()) add(hosts(*primary));
        for (const auto* map : {element->GetIpMap(), element->GetIpxMap()})
            if (map != nullptr)
                for (const auto& [mapKey, list] : *map)
                    add(hosts(list));
        text += parts + "\n";
    }
    text += DumpNetworkIndex(m_IpIndex, "HostTable::m_IpIndex (size %d)\n\n");
    text += DumpNetworkIndex(m_IpxIndex, "HostTable::m_IpxIndex (size %d)\n\n");
    return text;
}

std::string HostTable::DumpNetworkIndex(const HostIndex<HostIndexElementNetwork>& index,
                                        const char* title) const {
    std::string text = Format(title, index.GetCount());
    int number = 0;
    for (const auto& [key, element] : index.Ordered()) {
        text += Format("%d\t\t", number++);
        for (int kind = 0; kind < HostIndexElementNetwork::ListCount; ++kind) {
            const HostAddressList* list = element->GetList(ListKind(kind));
            if (list == nullptr || list->empty()) continue;
            text += Format("%s[%d]=", ListName(kind), int(list->size()));
            for (size_t i = 0; i < list->size(); ++i) {
                if (i > 0) text += ", ";
                const HostAddress* host = (*list)[i];
                text +=
                    host == nullptr ? std::string("(INVALID)") : Format("%p", static_cast<const void*>(host));
            }
            text += " ";
        }
        text += "\n";
    }
    return text;
}

bool HostTable::CheckIntegrity(bool force) {
    if (!force && TheGlobalState().m_IntegrityOptions[0].load() == 0) return true;
    std::unordered_map<const HostAddress*, int> items;
    for (size_t i = 0; i < m_Hosts.size(); ++i) {
        HostAddress* host = m_Hosts[i];
        const int item = int(i);
        if (host == nullptr) return Fail(Format("_BAD_ITEM %d", item));
        if (host->GetValidVector() == 0)
            return Fail(Format("_BAD_ADDRESS for item %d (no valid addressing)", item));
        // Only the families a host holds have a state to judge: a stored host may lack one.
        if (host->HasIp() && (host->GetIpState() < 1 || host->GetIpState() > 6))
            return Fail(Format("_BAD_IP_STATE for item %d (state=%d)", item, host->GetIpState()));
        if (host->HasIpx() && (host->GetIpxState() < 1 || host->GetIpxState() > 6))
            return Fail(Format("_BAD_IPX_STATE for item %d (state=%d)", item, host->GetIpxState()));
        for (auto mark : {HostAddress::MacMark, HostAddress::IpMark, HostAddress::IpxMark})
            host->SetCheckMark(mark, -1);
        items.emplace(host, item);
    }
    int number = 0;
    for (const auto& [key, element] : m_MacIndex.Ordered()) {
        const int index = number++;
        auto mark = [&](const HostAddressList& list) {
            if (list.empty()) return Fail(Format("_MAC_LIST_SIZE index %d, %d list items", index, 0));
            for (size_t i = 0; i < list.size(); ++i) {
                auto it = items.find(list[i]);
                if (it == items.end())
                    return Fail(Format("_BAD_MAC_LIST_ITEM index %d item %d", index, int(i)));
                HostAddress* host = list[i];
                const int previous = host->GetCheckMark(HostAddress::MacMark);
                if (previous != -1 && previous != index)
                    return Fail(Format("_ITEM_MAC_SET index %d item %d", index, it->second));
                host->SetCheckMark(HostAddress::MacMark, index);
            }
            return true;
        };
        if (const HostAddressList* primary = element->GetPrimary()) {
            if (primary->size() != 1)
                return Fail(Format("_MAC_LIST_SIZE index %d, %d list items", index, int(primary->size())));
            if (!mark(*primary)) return false;
        }
        for (const auto* map : {element->GetIpMap(), element->GetIpxMap()}) {
            if (map == nullptr) continue;
            if (map->empty()) return Fail(Format("_MAC_LIST_SIZE index %d, %d list items", index, 0));
            for (const auto& [mapKey, list] : *map)
                if (!mark(list)) return false;
        }
    }
    for (size_t i = 0; i < m_Hosts.size(); ++i) {
        const HostAddress* host = m_Hosts[i];
        const bool unindexed = !host->HasMac() || (m_LookupOnly.count(host->GetMac().GetTableKey()) != 0 &&
                                                   m_LookupOnly.at(host->GetMac().GetTableKey()) == host);
        if (host->GetCheckMark(HostAddress::MacMark) == -1 && !unindexed)
            return Fail(Format("_ITEM_MAC_MISSING %d", int(i)));
    }
    return CheckNetworkIndex(m_IpIndex, false, items) && CheckNetworkIndex(m_IpxIndex, true, items);
}

bool HostTable::CheckNetworkIndex(const HostIndex<HostIndexElementNetwork>& index, bool ipx,
                                  const std::unordered_map<const HostAddress*, int>& items) {
    const char* family = ipx ? "IPX" : "IP";
    const auto markKind = ipx ? HostAddress::IpxMark : HostAddress::IpMark;
    int number = 0;
    for (const auto& [key, element] : index.Ordered()) {
        const int elementNumber = number++;
        if (element->IsEmpty()) return Fail(Format("_BAD_%s_ELEMENT %d", family, elementNumber));
        for (int kind = 0; kind < HostIndexElementNetwork::ListCount; ++kind) {
            const HostAddressList* list = element->GetList(ListKind(kind));
            if (list == nullptr) continue;
            if (list->empty())
                return Fail(Format("_%s_LIST_SIZE index %d, %d list items", family, elementNumber, 0));
            for (size_t i = 0; i < list->size(); ++i) {
                auto it = items.find((*list)[i]);
                if (it == items.end())
                    return Fail(Format("_BAD_%s_LIST_ITEM index %d item %d", family, elementNumber, int(i)));
                HostAddress* host = (*list)[i];
                if (host->GetCheckMark(markKind) != -1)
                    return Fail(Format("_ITEM_%s_SET index %d item %d", family, elementNumber, it->second));
                host->SetCheckMark(markKind, elementNumber);
            }
        }
    }
    return true;
}

} // namespace vq
