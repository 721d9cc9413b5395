#pragma once

#include "netmodel/FrameView.h"
#include "netmodel/HostAddress.h"
#include "netmodel/HostEqualityIndex.h"
#include "netmodel/HostIndex.h"
#include "netmodel/HostIndexElementMAC.h"
#include "netmodel/HostIndexElementNetwork.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace vq {

class AnnouncementSink;
class MacFilter;

// Every host of one network model, learned from both sides of every frame, filed by MAC, IP and
// IPX address. Owns its hosts.
class HostTable {
public:
    HostTable(AddressSource& addresses, AnnouncementSink* announcements, const MacFilter* macFilter);
    ~HostTable();
    HostTable(const HostTable&) = delete;
    HostTable& operator=(const HostTable&) = delete;

    void SetAnnouncementSink(AnnouncementSink* announcements) { m_Announcements = announcements; }
    void SetMacFilter(const MacFilter* macFilter) { m_MacFilter = macFilter; }

    // The stored host that represents that side of the frame.
    HostAddress* LearnSource(const FrameView& frame) { return Learn(frame, FrameView::Source); }
    HostAddress* LearnDestination(const FrameView& frame) { return Learn(frame, FrameView::Destination); }

    // Whether the side is learned lookup-only: MAC-only reporting is on and the side fails the MAC
    // filter.
    bool IsLookupOnly(const FrameView& frame, FrameView::Side side) const;
    // Moves on with every change to the hosts, their states or the indexes; never goes back.
    uint64_t GetGeneration() const { return m_Generation; }

    // Stores an imported host with its own states; the table becomes its owner.
    bool Insert(HostAddress* host);
    // Unfiles and unlists the host without deleting it; false when it is not stored.
    bool Remove(HostAddress* host);
    // Files a stored host again after it gained addresses, keeping its place in the list.
    void Refile(HostAddress* host);
    // The first stored host equal to the given one.
    HostAddress* FindEqual(const HostAddress& host) const { return m_Equal.FindFirstEqual(host); }
    // Every stored host by equality; pools whose tuples use these hosts search through it.
    const HostEqualityIndex& GetEqualityIndex() const { return m_Equal; }
    void Clear();

    int GetCount() const { return int(m_Hosts.size()); }
    const std::vector<HostAddress*>& GetHosts() const { return m_Hosts; }
    // List iteration: the host at `position`, which then moves on; null at the end.
    HostAddress* GetNextHost(size_t& position) const;

    std::string Dump() const;
    // False with IntegrityText() set at the first violation.
    bool CheckIntegrity(bool force);

private:
    friend class HostTableTestAccess;

    // The candidate of one learning step: built on the stack and copied to the heap only when an
    // index list keeps it, so a frame that teaches nothing allocates nothing.
    struct Candidate {
        HostAddress* scratch = nullptr;
        HostAddress* stored = nullptr;
    };

    HostAddress* Learn(const FrameView& frame, FrameView::Side side);
    // Learns what one side of a frame showed, once its addresses are resolved.
    HostAddress* LearnSeen(const HostAddress::Seen& seen, FrameView::Side side, bool lookupOnly,
                           uint8_t network);
    // Every change to the hosts, their states or the indexes moves the generation on.
    void Touch() { ++m_Generation; }
    void MergeInto(HostAddress& stored, const HostAddress& other);
    HostAddress* LearnLookupOnly(Candidate& candidate);
    void PromoteSource(HostAddress& host, const HostAddress& seen);
    void PromoteNetwork(HostAddress& host, bool ipx);
    HostAddress* Store(Candidate* candidate, HostAddress* host);

    HostAddress* OfferMac(Candidate* candidate, HostAddress* host, bool lookupOnly);
    HostAddress* AddToMacElement(HostIndexElementMAC& element, Candidate* candidate, HostAddress* host);
    HostAddress* AddThroughIpMap(HostIndexElementMAC& element, Candidate* candidate, HostAddress*& host,
                                 bool broadcast);
    HostAddress* AddThroughIpxMap(HostIndexElementMAC& element, Candidate* candidate, HostAddress*& host,
                                  bool broadcast);
    HostAddress* MacListFindOrAdd(HostAddressList& list, Candidate* candidate, HostAddress*& host);
    HostAddress* OfferNetwork(bool ipx, HostAddress* host);
    HostAddress* NetworkListFindOrAdd(HostAddressList& list, HostAddress* host, bool& appended);

    void Announce(HostAddress& host, const Timestamp& changeTime);
    void Append(HostAddress* host);
    void Unfile(HostAddress* host);
    void File(HostAddress* host);

    std::string DumpNetworkIndex(const HostIndex<HostIndexElementNetwork>& index, const char* title) const;
    bool CheckNetworkIndex(const HostIndex<HostIndexElementNetwork>& index, bool ipx,
                           const std::unordered_map<const HostAddress*, int>& items);

    AddressSource& m_Addresses;
    AnnouncementSink* m_Announcements;
    const MacFilter* m_MacFilter;
    std::vector<HostAddress*> m_Hosts;
    HostIndex<HostIndexElementMAC> m_MacIndex;
    HostIndex<HostIndexElementNetwork> m_IpIndex;
    HostIndex<HostIndexElementNetwork> m_IpxIndex;
    // Hosts learned lookup-only whose MAC is not indexed, one per MAC; they are listed, not filed.
    std::unordered_map<NameKey, HostAddress*, NameKeyHash> m_LookupOnly;
    HostEqualityIndex m_Equal;
    uint64_t m_NextOrder = 0;
    uint64_t m_Generation = 0;
};

} // namespace vq
