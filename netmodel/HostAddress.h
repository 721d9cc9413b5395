#pragma once

#include "netmodel/FrameView.h"
#include "netmodel/IpAddress.h"
#include "netmodel/IpxAddress.h"
#include "netmodel/MacAddress.h"
#include "netmodel/SafeObject.h"
#include "runtime/MemberDescription.h"
#include "runtime/Timestamp.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vq {

class HostAddress;

// Told when a host's set of addresses changes, so that indexes keyed by addresses can file it again.
class HostObserver {
public:
    virtual void OnHostChanged(HostAddress& host) = 0;

protected:
    virtual ~HostObserver() = default;
};

// Looks addresses up in (or adds them to) the address tables of a model.
class AddressSource {
public:
    virtual MacAddress* FindOrAddMac(const uint8_t* bytes) = 0;
    // Null for bytes that make no valid address.
    virtual IpAddress* FindOrAddIp(const uint8_t* bytes) = 0;
    virtual IpxAddress* FindOrAddIpx(const uint8_t* bytes) = 0;

protected:
    virtual ~AddressSource() = default;
};

// One station as the monitor believes it to be: at most one address per family, each with a
// learning state.
class HostAddress : public SafeObject, public Describable {
    VQ_DECLARE_RUNTIME_CLASS(HostAddress)

public:
    enum State : int32_t {
        UNKNOWN = 0,
        INITDST = 1,
        INITSRC = 2,
        PROV = 3,
        AUTH = 4,
        MISROUTED = 5,
        DUPLICATE = 6,
    };
    enum Family : uint8_t { MacValid = 1, IpValid = 2, IpxValid = 4 };
    enum Mark : int { MacMark = 0, IpMark, IpxMark };

    // The shared address objects one side of a frame names: the MAC always, at most one network
    // address (by the frame's type), none when only the MAC is wanted.
    struct Seen {
        MacAddress* mac = nullptr;
        IpAddress* ip = nullptr;
        IpxAddress* ipx = nullptr;
    };
    static Seen Resolve(const FrameView& frame, FrameView::Side side, AddressSource& addresses, bool macOnly);

    explicit HostAddress(uint8_t live = 0);
    // A candidate learned from one side of a frame; the network address only unless `macOnly`.
    HostAddress(const FrameView& frame, FrameView::Side side, AddressSource& addresses, bool macOnly);
    HostAddress(const Seen& seen, FrameView::Side side);
    HostAddress(const HostAddress& other, int copyMode);
    // One address with a state; shared, or an owned copy with `copy`.
    HostAddress(MacAddress& address, int state, bool copy);
    HostAddress(IpAddress& address, int state, bool copy);
    HostAddress(IpxAddress& address, int state, bool copy);
    ~HostAddress() override;
    HostAddress(const HostAddress&) = delete;
    HostAddress& operator=(const HostAddress&) = delete;

    // The program-wide host with no address that hosts and tuples point at instead of nothing.
    static HostAddress& Invalid();

    MacAddress& GetMac() const { return *m_MAC; }
    IpAddress& GetIp() const { return *m_IP; }
    IpxAddress& GetIpx() const { return *m_IPX; }
    uint8_t GetValidVector() const { return m_ValidVector; }
    bool HasMac() const { return (m_ValidVector & MacValid) != 0; }
    bool HasIp() const { return (m_ValidVector & IpValid) != 0; }
    bool HasIpx() const { return (m_ValidVector & IpxValid) != 0; }
    uint8_t GetLive() const { return m_Live; }

    // Attach a shared address (same object: nothing). A different one replaces the current.
    void SetMac(MacAddress& address, int state);
    void SetIp(IpAddress& address, int state);
    void SetIpx(IpxAddress& address, int state);
    // Attach an owned copy.
    void SetMacCopy(const MacAddress& address, int state);
    void SetIpCopy(const IpAddress& address, int state);
    void SetIpxCopy(const IpxAddress& address, int state);

    int GetMacState() const { return m_MacState; }
    int GetIpState() const { return m_IpState; }
    int GetIpxState() const { return m_IpxState; }
    int GetPreviousMacState() const { return m_PreviousMacState; }
    int GetPreviousIpState() const { return m_PreviousIpState; }
    int GetPreviousIpxState() const { return m_PreviousIpxState; }
    void SetMacState(int state);
    void SetIpState(int state);
    void SetIpxState(int state);

    void Copy(const HostAddress& other, int copyMode);
    void Update(const HostAddress& other);
    // Takes the families this host lacks from the other, shared, with the other's states.
    void Merge(const HostAddress& other);

    // 1 when this sorts first, -1 after, 0 equal; only the families both hosts hold count, IP and IPX
    // with wildcards. A host with no address equals only another such host.
    int Compare(const HostAddress& other) const;
    friend bool operator==(const HostAddress& a, const HostAddress& b) { return a.Compare(b) == 0; }

    // 3 when an address is multicast, else 2 when one is broadcast, else 1.
    int GetKind() const;
    bool IsIpNetworkAddress() const { return HasIp() && m_IP->IsNetworkAddress(); }
    std::string GetText(bool names) const;
    // `families` lists up to three family bits in the caller's order, lowest byte first.
    std::string GetPreferredName(bool names, uint32_t families) const;
    static const char* StateName(int state);

    const Timestamp& GetCreatedTime() const { return m_Created; }
    const Timestamp& GetChangedTime() const { return m_Changed; }
    const Timestamp& GetAddedTime() const { return m_Added; }
    void SetChangedTime(const Timestamp& time) { m_Changed = time; }
    void SetAddedTime(const Timestamp& time) { m_Added = time; }

    int GetCheckMark(Mark mark) const { return m_CheckMarks[mark]; }
    void SetCheckMark(Mark mark, int value) { m_CheckMarks[mark] = value; }

    // The indexes that file the host by its addresses.
    void AddObserver(HostObserver* observer);
    void RemoveObserver(HostObserver* observer);

protected:
    MemberTable DescribedMembers() const override;

private:
    template <typename A> void Attach(A*& slot, A& address, uint8_t bit);
    template <typename A> void Release(A*& slot, A& invalid, uint8_t bit);
    void NotifyChanged();

    uint8_t m_Live = 0;
    uint8_t m_ValidVector = 0;
    MacAddress* m_MAC;
    int32_t m_MacState = UNKNOWN;
    int32_t m_PreviousMacState = UNKNOWN;
    IpAddress* m_IP;
    int32_t m_IpState = UNKNOWN;
    int32_t m_PreviousIpState = UNKNOWN;
    IpxAddress* m_IPX;
    int32_t m_IpxState = UNKNOWN;
    int32_t m_PreviousIpxState = UNKNOWN;
    Timestamp m_Created;
    Timestamp m_Changed;
    Timestamp m_Added;
    std::array<int32_t, 3> m_CheckMarks{-1, -1, -1};
    std::vector<HostObserver*> m_Observers;
};

} // namespace vq
