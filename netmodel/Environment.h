#pragma once

#include "netmodel/FlatMap.h"
#include "netmodel/FrameView.h"
#include "netmodel/HostAddress.h"
#include "netmodel/HostTable.h"
#include "netmodel/InterfaceTable.h"
#include "netmodel/IpAddressTable.h"
#include "netmodel/IpxAddressTable.h"
#include "netmodel/MacAddressTable.h"
#include "netmodel/NameRequestTable.h"
#include "netmodel/TuplePool.h"

#include <array>
#include <cstdint>
#include <memory>

namespace vq {

class AdapterList;
class AnnouncementSink;
class InterfaceInfo;
class MacFilter;
class Traffic;
class TupleOfferSink;

// One network model: the addresses, hosts, interfaces and tuples known in one scope. The live model
// learns from captured frames; copies (checkpoints, history replies) import what they need from
// another model and never share its objects.
class Environment : private AddressSource {
public:
    // Where the live model reports to; copies need none.
    struct Services {
        AnnouncementSink* announcements;
        const MacFilter* macFilter;
        TupleOfferSink* offers;
    };

    explicit Environment(uint8_t live, Services services = {nullptr, nullptr, nullptr});
    // A copy holding every tuple of another model's pool, imported at once.
    explicit Environment(const TuplePool& tuples);
    ~Environment();
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    uint8_t GetLive() const { return m_Live; }
    MacAddressTable& GetMacTable() { return m_MacTable; }
    IpAddressTable& GetIpTable() { return m_IpTable; }
    IpxAddressTable& GetIpxTable() { return m_IpxTable; }
    HostTable& GetHostTable() { return m_HostTable; }
    InterfaceTable& GetInterfaceTable() { return m_InterfaceTable; }
    const InterfaceTable& GetInterfaceTable() const { return m_InterfaceTable; }
    TuplePool& GetTuplePool() { return m_TuplePool; }
    const TuplePool& GetTuplePool() const { return m_TuplePool; }

    // Resets the address tables and builds the interfaces; the adapters are kept for rebuilding.
    void SetAdapters(const AdapterList& adapters);
    void Reset() { Clear(true); }
    void Clear(bool rebuild);
    void CopyInterfaces(const InterfaceTable& other) { m_InterfaceTable.CopyFrom(other); }
    void Tick(const Timestamp& now);
    bool OnNameReply(int kind, uint32_t wparam, uint32_t lparam);
    int SetLookup(int mask, bool value);
    bool CheckIntegrity(int kind, bool force);

    // Learns both hosts of the frame and answers the tuple of its stream.
    Tuple* TupleForPacket(const FrameView& frame);

    // Loading stored objects, without import maps.
    void AddTuple(Tuple* tuple, bool withHosts);
    void AddInterface(InterfaceInfo* interface, bool withHost);
    void AddHost(HostAddress* host, bool withAddresses);
    void AddMacAddress(MacAddress* address);
    void AddIpAddress(IpAddress* address);
    void AddIpxAddress(IpxAddress* address);
    MacAddress* FindOrAddMacAddress(const uint8_t* bytes, bool request);
    IpAddress* FindOrAddIpAddress(const uint8_t* bytes, bool request);
    IpxAddress* FindOrAddIpxAddress(const uint8_t* bytes, bool request);

    // Importing from another model. An import into a model that holds no host and no tuple yet is a
    // copy: each source tuple gets a tuple of its own, found again through the import map, so the
    // pool's equality search is skipped. Hosts are still searched: the source may hold equal hosts,
    // and their copies must merge.
    void BeginImport();
    void EndImport();
    bool IsImportOpen() const { return m_ImportOpen; }
    Tuple* ImportTuple(const Tuple& tuple, int matchMode, bool* created = nullptr);
    InterfaceInfo* ImportInterface(const InterfaceInfo& interface, bool* created = nullptr);
    HostAddress* ImportHost(const HostAddress& host, bool* created = nullptr);
    MacAddress* ImportMacAddress(const MacAddress& address, bool* created = nullptr);
    IpAddress* ImportIpAddress(const IpAddress& address, bool* created = nullptr);
    IpxAddress* ImportIpxAddress(const IpxAddress& address, bool* created = nullptr);
    // Adds the source's conversations, keyed by imported tuples, to the target.
    void ImportTraffic(const Traffic& source, Traffic& target, int createdMode);

private:
    // What decides a frame's tuple, given the model and its reference sessions: the interface, the
    // layers' protocol ids, both MACs, the network addresses its EtherType offers (for TCP/UDP over
    // IPv4 with the ports after them), and whether each side is learned lookup-only.
    struct StreamKey {
        std::array<uint8_t, 12> macs{};
        std::array<uint8_t, 20> network{};
        std::array<uint16_t, FrameView::LayerCount> protocols{};
        uint16_t interface = 0;
        uint16_t etherType = 0;
        uint16_t flags = 0;
        bool operator==(const StreamKey& other) const;
    };
    struct StreamKeyHash {
        size_t operator()(const StreamKey& key) const noexcept;
    };
    // The tuple a frame with the key was given, and the stamp just after.
    struct StreamEntry {
        Tuple* tuple = nullptr;
        uint64_t stamp = 0;
    };
    // False for a frame the key cannot stand for (TCP/UDP endpoints other than its IPv4
    // addresses): such frames are always learned.
    bool KeyOf(const FrameView& frame, uint16_t interfaceNumber, StreamKey& key) const;
    // Moves on whenever learning a frame's hosts or finding its tuple could answer otherwise: a host
    // table change, an address no longer filed where it was, a tuple removed or a host change seen
    // by the tuple pool. Every part only grows, so the sum moves whenever any part does.
    uint64_t GetModelStamp() const;
    Tuple* LearnStream(const FrameView& frame, uint16_t interfaceNumber);

    using ImportMap = FlatMap<const void*, void*, PointerHash>;
    enum MapIndex : int { TupleMap = 0, InterfaceMap, HostMap, MacMap, IpMap, IpxMap, MapCount };

    MacAddress* FindOrAddMac(const uint8_t* bytes) override { return FindOrAddMacAddress(bytes, true); }
    IpAddress* FindOrAddIp(const uint8_t* bytes) override { return FindOrAddIpAddress(bytes, true); }
    IpxAddress* FindOrAddIpx(const uint8_t* bytes) override { return FindOrAddIpxAddress(bytes, true); }

    template <typename A, typename Table>
    A* ImportAddress(const A& address, Table& table, int map, bool* created);
    void* Recorded(int map, const void* foreign) const;
    void Record(int map, const void* foreign, void* own);

    uint8_t m_Live;
    MacAddressTable m_MacTable;
    IpAddressTable m_IpTable;
    IpxAddressTable m_IpxTable;
    HostTable m_HostTable;
    InterfaceTable m_InterfaceTable;
    TuplePool m_TuplePool;
    // Known streams: a frame of one costs this look-up instead of learning both hosts, finding
    // their addresses and searching the pool again.
    FlatMap<StreamKey, StreamEntry, StreamKeyHash> m_Streams;
    std::unique_ptr<ImportMap> m_Imports[MapCount];
    bool m_ImportOpen = false;
    bool m_ImportFresh = false;
    const AdapterList* m_Adapters = nullptr;
};

} // namespace vq
