#include "netmodel/Environment.h"

#include "netmodel/AdapterList.h"
#include "netmodel/FrameView.h"
#include "netmodel/InterfaceInfo.h"
#include "netmodel/NameRequestTable.h"
#include "netmodel/Traffic.h"

#include <cstring>
#include <new>
#include <type_traits>

namespace vq {

Environment::Environment(uint8_t live, Services services)
    : m_Live(live), m_MacTable(live != 0), m_IpTable(live != 0), m_IpxTable(live != 0),
      m_HostTable(*this, services.announcements, services.macFilter), m_TuplePool(live, services.offers) {
    m_TuplePool.SetHostReference(&m_HostTable.GetEqualityIndex());
}

Environment::Environment(const TuplePool& tuples) : Environment(uint8_t(0)) {
    BeginImport();
    size_t position = 0;
    while (Tuple* tuple = tuples.GetNextTuple(position))
        ImportTuple(*tuple, 0);
    EndImport();
}

Environment::~Environment() {
    Clear(false);
}

void Environment::SetAdapters(const AdapterList& adapters) {
    m_Adapters = &adapters;
    m_MacTable.Clear(true);
    m_IpTable.Clear(true);
    m_IpxTable.Clear(true);
    m_InterfaceTable.Build(adapters);
}

void Environment::Clear(bool rebuild) {
    EndImport();
    // Tuples refer to hosts and interfaces, hosts to addresses: each goes before what it refers to.
    m_TuplePool.Reset();
    m_Streams = {};
    m_InterfaceTable.Clear();
    m_HostTable.Clear();
    m_MacTable.Clear(rebuild);
    m_IpTable.Clear(rebuild);
    m_IpxTable.Clear(rebuild);
    if (rebuild && m_Adapters != nullptr) m_InterfaceTable.Build(*m_Adapters);
}

void Environment::Tick(const Timestamp& now) {
    m_MacTable.Tick(now);
    m_IpTable.Tick(now);
    m_IpxTable.Tick(now);
}

bool Environment::OnNameReply(int kind, uint32_t wparam, uint32_t lparam) {
    if (kind == 5) return m_IpTable.OnReply(wparam, lparam);
    if (kind == 6) return m_IpxTable.OnReply(wparam, lparam);
    return false;
}

int Environment::SetLookup(int mask, bool value) {
    if (mask & 4) {
        m_MacTable.SetLookup(value);
        if (mask & 1) m_IpTable.SetLookup(value);
        if (mask & 2) m_IpxTable.SetLookup(value);
    }
    return mask & 6;
}

bool Environment::CheckIntegrity(int kind, bool force) {
    switch (kind) {
    case 0:
        return m_TuplePool.CheckIntegrity(force) && m_InterfaceTable.CheckIntegrity(force) &&
               m_HostTable.CheckIntegrity(force) && m_MacTable.CheckIntegrity(force) &&
               m_IpTable.CheckIntegrity(force) && m_IpxTable.CheckIntegrity(force);
    case 1:
        return m_TuplePool.CheckIntegrity(force);
    case 3:
        return m_HostTable.CheckIntegrity(force);
    case 2:
    case 5:
    case 6:
        return true;
    default:
        return false;
    }
}

namespace {

// A stream key as whole words, zero-padded: hashed and compared without a byte loop.
template <typename Key> using KeyWords = std::array<uint64_t, (sizeof(Key) + 7) / 8>;

template <typename Key> KeyWords<Key> WordsOf(const Key& key) {
    static_assert(std::has_unique_object_representations_v<Key>, "compared and hashed by its bytes");
    KeyWords<Key> words{};
    std::memcpy(words.data(), &key, sizeof(key));
    return words;
}

} // namespace

bool Environment::StreamKey::operator==(const StreamKey& other) const {
    const auto left = WordsOf(*this), right = WordsOf(other);
    uint64_t differ = 0;
    for (size_t i = 0; i < left.size(); ++i)
        differ |= left[i] ^ right[i];
    return differ == 0;
}

size_t Environment::StreamKeyHash::operator()(const StreamKey& key) const noexcept {
    // Each word by its own odd constant, summed: the products do not wait on each other.
    static constexpr uint64_t Factors[] = {0x9E3779B97F4A7C15ULL, 0xC2B2AE3D27D4EB4FULL, 0x165667B19E3779F9ULL,
                                           0xD6E8FEB86659FD93ULL, 0xFF51AFD7ED558CCDULL, 0xC4CEB9FE1A85EC53ULL,
                                           0x94D049BB133111EBULL};
    const auto words = WordsOf(key);
    static_assert(words.size() <= std::size(Factors));
    uint64_t h = 0;
    for (size_t i = 0; i < words.size(); ++i)
        h += (words[i] ^ (words[i] >> 32)) * Factors[i];
    return PointerHash{}(reinterpret_cast<const void*>(h));
}

bool Environment::KeyOf(const FrameView& frame, uint16_t interfaceNumber, StreamKey& key) const {
    key.interface = interfaceNumber;
    key.etherType = frame.GetEtherType();
    const bool ip = key.etherType == 0x0800 || key.etherType == 0x0806;
    const bool ipx = key.etherType == 0x8137 || key.etherType == 0x8138;
    for (int layer = FrameView::DataLink; layer < FrameView::LayerCount; ++layer)
        key.protocols[size_t(layer)] = frame.GetProtocolId(FrameView::Layer(layer));
    std::memcpy(key.macs.data(), frame.GetMac(FrameView::Source), 6);
    std::memcpy(key.macs.data() + 6, frame.GetMac(FrameView::Destination), 6);
    // A side without an address differs from one whose address is all zeros.
    const uint8_t* addresses[2] = {};
    if (ip) {
        addresses[0] = frame.GetIp(FrameView::Source);
        addresses[1] = frame.GetIp(FrameView::Destination);
        if (addresses[0] != nullptr) std::memcpy(key.network.data(), addresses[0], 4);
        if (addresses[1] != nullptr) std::memcpy(key.network.data() + 4, addresses[1], 4);
    } else if (ipx) {
        addresses[0] = frame.GetIpx(FrameView::Source);
        addresses[1] = frame.GetIpx(FrameView::Destination);
        if (addresses[0] != nullptr) std::memcpy(key.network.data(), addresses[0], 10);
        if (addresses[1] != nullptr) std::memcpy(key.network.data() + 10, addresses[1], 10);
    }
    key.flags = uint16_t((addresses[0] != nullptr ? 1u : 0u) | (addresses[1] != nullptr ? 2u : 0u));
    FrameView::Endpoint endpoints[2];
    if (frame.GetTransportEndpoints(endpoints[0], endpoints[1])) {
        // The reference session is looked up by the endpoints, which the key holds only when they
        // are the frame's IPv4 addresses, as decoders give them.
        if (!ip || addresses[0] == nullptr || addresses[1] == nullptr) return false;
        for (size_t at = 0; at < 2; ++at) {
            const uint8_t* a = addresses[at];
            const uint32_t value = uint32_t(a[0]) << 24 | uint32_t(a[1]) << 16 | uint32_t(a[2]) << 8 | a[3];
            if (value != endpoints[at].address) return false;
        }
        std::memcpy(key.network.data() + 8, &endpoints[0].port, 2);
        std::memcpy(key.network.data() + 10, &endpoints[1].port, 2);
        key.flags |= 16;
    }
    if (m_HostTable.IsLookupOnly(frame, FrameView::Source)) key.flags |= 4;
    if (m_HostTable.IsLookupOnly(frame, FrameView::Destination)) key.flags |= 8;
    return true;
}

uint64_t Environment::GetModelStamp() const {
    return m_HostTable.GetGeneration() + m_MacTable.GetChanges() + m_IpTable.GetChanges() +
           m_IpxTable.GetChanges() + m_TuplePool.GetFinderStamp();
}

Tuple* Environment::TupleForPacket(const FrameView& frame) {
    const int hostsBefore = m_HostTable.GetCount();
    const int interfacesBefore = m_InterfaceTable.GetCount();
    try {
        InterfaceInfo* interface = m_InterfaceTable.FindOrAdd(int16_t(frame.GetAdapterNumber()));
        return LearnStream(frame, uint16_t(interface->GetNumber()));
    } catch (const std::bad_alloc&) {
        // Only what this call appended goes; hosts merged into stored ones keep what they learned.
        while (m_InterfaceTable.GetCount() > interfacesBefore)
            m_InterfaceTable.Remove(m_InterfaceTable.GetAt(m_InterfaceTable.GetCount() - 1));
        while (m_HostTable.GetCount() > hostsBefore) {
            HostAddress* host = m_HostTable.GetHosts().back();
            m_HostTable.Remove(host);
            delete host;
        }
        throw;
    }
}

Tuple* Environment::LearnStream(const FrameView& frame, uint16_t interfaceNumber) {
    StreamKey key;
    const bool keyed = KeyOf(frame, interfaceNumber, key);
    const uint64_t model = GetModelStamp();
    // The reference sessions are part of the stamp: on a map unchanged since the entry was made,
    // computing the frame's session again would answer the same id and store nothing.
    if (keyed) {
        const StreamEntry* known = m_Streams.Find(key);
        if (known != nullptr && known->stamp == model + m_TuplePool.GetReferenceSessionChanges())
            return known->tuple;
    }
    const Tuple::Fields fields = m_TuplePool.FieldsForFrame(frame, interfaceNumber);
    Tuple* tuple = nullptr;
    try {
        HostAddress* source = m_HostTable.LearnSource(frame);
        HostAddress* destination = m_HostTable.LearnDestination(frame);
        tuple = m_TuplePool.FindOrAddForFields(source, destination, fields);
    } catch (...) {
        m_TuplePool.AbandonFrame();
        throw;
    }
    // Only a frame that changed nothing in the model is remembered: learning it again gives the
    // same hosts, and the same tuple, until the stamp moves. The sessions it stored itself are
    // taken into the entry's stamp.
    if (keyed && GetModelStamp() == model) {
        try {
            // Streams whose tuples are long gone are dropped now and then, so that the room follows
            // the pool rather than everything it ever held.
            if (m_Streams.Size() > 2 * size_t(m_TuplePool.GetCount()) + 1024) m_Streams.Clear();
            *m_Streams.Emplace(key).first = StreamEntry{tuple, model + m_TuplePool.GetReferenceSessionChanges()};
        } catch (const std::bad_alloc&) {
            // Only the next frame's shortcut is lost.
        }
    }
    return tuple;
}

void Environment::AddTuple(Tuple* tuple, bool withHosts) {
    m_TuplePool.Add(tuple);
    if (!withHosts) return;
    if (tuple->GetSource() != nullptr) AddHost(tuple->GetSource(), true);
    if (tuple->GetDestination() != nullptr && tuple->GetDestination() != tuple->GetSource())
        AddHost(tuple->GetDestination(), true);
}

void Environment::AddInterface(InterfaceInfo* interface, bool withHost) {
    m_InterfaceTable.Add(interface);
    if (withHost && interface->GetHost() != nullptr && interface->GetHost()->GetValidVector() != 0)
        AddHost(interface->GetHost(), false);
}

void Environment::AddHost(HostAddress* host, bool withAddresses) {
    host->SetOwner(&m_HostTable);
    m_HostTable.Insert(host);
    if (!withAddresses) return;
    if (host->HasMac()) AddMacAddress(&host->GetMac());
    if (host->HasIp()) AddIpAddress(&host->GetIp());
    if (host->HasIpx()) AddIpxAddress(&host->GetIpx());
}

void Environment::AddMacAddress(MacAddress* address) {
    address->SetOwner(&m_MacTable);
    m_MacTable.Add(address, false);
}

void Environment::AddIpAddress(IpAddress* address) {
    address->SetOwner(&m_IpTable);
    m_IpTable.Add(address, false);
}

void Environment::AddIpxAddress(IpxAddress* address) {
    address->SetOwner(&m_IpxTable);
    m_IpxTable.Add(address, false);
}

MacAddress* Environment::FindOrAddMacAddress(const uint8_t* bytes, bool request) {
    return m_MacTable.FindOrAdd(bytes, request);
}

IpAddress* Environment::FindOrAddIpAddress(const uint8_t* bytes, bool request) {
    return m_IpTable.FindOrAdd(bytes, request);
}

IpxAddress* Environment::FindOrAddIpxAddress(const uint8_t* bytes, bool request) {
    if (bytes == nullptr || !IpxAddress(bytes, false).IsValid()) return nullptr;
    return m_IpxTable.FindOrAdd(bytes, request);
}

void Environment::BeginImport() {
    try {
        for (auto& map : m_Imports)
            map = std::make_unique<ImportMap>();
    } catch (...) {
        for (auto& map : m_Imports)
            map.reset();
        throw;
    }
    m_ImportOpen = true;
    m_ImportFresh = m_HostTable.GetCount() == 0 && m_TuplePool.GetCount() == 0;
}

void Environment::EndImport() {
    for (auto& map : m_Imports)
        map.reset();
    m_ImportOpen = false;
    m_ImportFresh = false;
}

void* Environment::Recorded(int map, const void* foreign) const {
    if (!m_Imports[map]) return nullptr;
    void* const* own = m_Imports[map]->Find(foreign);
    return own == nullptr ? nullptr : *own;
}

void Environment::Record(int map, const void* foreign, void* own) {
    if (m_Imports[map]) *m_Imports[map]->Emplace(foreign).first = own;
}

Tuple* Environment::ImportTuple(const Tuple& tuple, int matchMode, bool* created) {
    // Every mode matches on the whole key: tuples that differ in any field stay apart.
    (void)matchMode;
    if (created != nullptr) *created = false;
    if (auto* recorded = static_cast<Tuple*>(Recorded(TupleMap, &tuple))) return recorded;
    Tuple* result = nullptr;
    if (TAO* found = m_ImportFresh ? nullptr : m_TuplePool.FindEqual(tuple)) {
        result = found->GetTuple();
    } else {
        auto made = std::make_unique<Tuple>(tuple, NullCopy, m_Live);
        made->SetSource(ImportHost(HostOrInvalid(tuple.GetSource())));
        made->SetDestination(ImportHost(HostOrInvalid(tuple.GetDestination())));
        // 0xFFFF is no interface: nothing to import.
        if (tuple.GetInterface() != NoInterface) {
            const InterfaceInfo bare(int16_t(tuple.GetInterface()));
            made->SetKeyValue(uint16_t(ImportInterface(bare)->GetNumber()), KEY_Interface);
        }
        m_TuplePool.Add(made.get());
        result = made.release();
        if (created != nullptr) *created = true;
    }
    Record(TupleMap, &tuple, result);
    return result;
}

InterfaceInfo* Environment::ImportInterface(const InterfaceInfo& interface, bool* created) {
    if (created != nullptr) *created = false;
    const void* key = reinterpret_cast<const void*>(uintptr_t(uint16_t(interface.GetNumber())));
    if (auto* recorded = static_cast<InterfaceInfo*>(Recorded(InterfaceMap, key))) return recorded;
    InterfaceInfo* result = m_InterfaceTable.FindEqual(interface);
    if (result == nullptr) {
        auto made = std::make_unique<InterfaceInfo>(interface, NullCopy);
        made->SetHost(ImportHost(HostOrInvalid(interface.GetHost())));
        m_InterfaceTable.Add(made.get());
        result = made.release();
        if (created != nullptr) *created = true;
    }
    Record(InterfaceMap, key, result);
    return result;
}

HostAddress* Environment::ImportHost(const HostAddress& host, bool* created) {
    if (created != nullptr) *created = false;
    if (host.GetValidVector() == 0) return &HostAddress::Invalid();
    if (auto* recorded = static_cast<HostAddress*>(Recorded(HostMap, &host))) return recorded;
    HostAddress* found = m_HostTable.FindEqual(host);
    std::unique_ptr<HostAddress> made;
    HostAddress* target = found;
    uint8_t families = host.GetValidVector();
    if (found != nullptr) {
        families &= uint8_t(~found->GetValidVector());
    } else {
        made = std::make_unique<HostAddress>(host, NullCopy);
        made->SetOwner(&m_HostTable);
        target = made.get();
    }
    if (families & HostAddress::MacValid)
        target->SetMac(*ImportMacAddress(host.GetMac()), host.GetMacState());
    if (families & HostAddress::IpValid) target->SetIp(*ImportIpAddress(host.GetIp()), host.GetIpState());
    if (families & HostAddress::IpxValid)
        target->SetIpx(*ImportIpxAddress(host.GetIpx()), host.GetIpxState());
    if (made) {
        m_HostTable.Insert(made.get());
        made.release();
        if (created != nullptr) *created = true;
    } else if (families != 0) {
        // Filed again under its new addresses, so that a later frame with them finds it.
        m_HostTable.Refile(found);
    }
    Record(HostMap, &host, target);
    return target;
}

template <typename A, typename Table>
A* Environment::ImportAddress(const A& address, Table& table, int map, bool* created) {
    if (created != nullptr) *created = false;
    if (!address.IsValid()) return &A::Invalid();
    if (auto* recorded = static_cast<A*>(Recorded(map, &address))) return recorded;
    A* result = table.Find(address);
    if (result == nullptr) {
        auto copy = std::make_unique<A>(address);
        copy->SetOwner(&table);
        table.Add(copy.get(), false);
        result = copy.release();
        if (created != nullptr) *created = true;
    }
    Record(map, &address, result);
    return result;
}

MacAddress* Environment::ImportMacAddress(const MacAddress& address, bool* created) {
    return ImportAddress(address, m_MacTable, MacMap, created);
}

IpAddress* Environment::ImportIpAddress(const IpAddress& address, bool* created) {
    return ImportAddress(address, m_IpTable, IpMap, created);
}

IpxAddress* Environment::ImportIpxAddress(const IpxAddress& address, bool* created) {
    return ImportAddress(address, m_IpxTable, IpxMap, created);
}

void Environment::ImportTraffic(const Traffic& source, Traffic& target, int createdMode) {
    // The target's conversations will use this model's hosts.
    if (target.GetCount() == 0) target.SetHostReference(&m_HostTable.GetEqualityIndex());
    const bool opened = !m_ImportOpen;
    if (opened) BeginImport();
    try {
        // One tuple per conversation, and most of them with a host of their own.
        const size_t conversations = size_t(source.GetCount());
        for (int map : {TupleMap, HostMap})
            m_Imports[map]->Reserve(m_Imports[map]->Size() + conversations);
        size_t position = 0;
        while (Conversation* conversation = source.GetNextConversation(position)) {
            if (conversation->GetTuple() == nullptr) continue;
            Conversation imported(ImportTuple(*conversation->GetTuple(), createdMode));
            imported.SetTraffic(conversation->GetTraffic());
            bool created = false;
            Conversation* found = target.FindOrAdd(imported, &created);
            if (found != nullptr && !created) found->AddConversation(imported);
        }
    } catch (...) {
        if (opened) EndImport();
        throw;
    }
    if (opened) EndImport();
}

} // namespace vq
