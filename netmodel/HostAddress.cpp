#include "netmodel/HostAddress.h"

#include <algorithm>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(HostAddress, Describable)

namespace {

template <typename A> A* OwnedCopy(const A& address, const void* owner) {
    auto* copy = new A(address);
    copy->SetOwner(owner);
    return copy;
}

const HostAddress& Host(const Object& object) {
    return static_cast<const HostAddress&>(object);
}

std::string FormatValid(const Object& object, uint32_t, int) {
    return FormatMember(int(Host(object).GetValidVector()), "%d");
}

// Addresses have no member rows of their own: their text stands for them.
std::string FormatMac(const Object& object, uint32_t, int) {
    return Host(object).GetMac().GetText();
}
std::string FormatIp(const Object& object, uint32_t, int) {
    return Host(object).GetIp().GetText();
}
std::string FormatIpx(const Object& object, uint32_t, int) {
    return Host(object).GetIpx().GetText();
}

template <int (HostAddress::*state)() const> std::string FormatState(const Object& object, uint32_t, int) {
    return HostAddress::StateName((Host(object).*state)());
}

} // namespace

HostAddress::HostAddress(uint8_t live)
    : m_Live(live), m_MAC(&MacAddress::Invalid()), m_IP(&IpAddress::Invalid()),
      m_IPX(&IpxAddress::Invalid()) {}

HostAddress::Seen HostAddress::Resolve(const FrameView& frame, FrameView::Side side, AddressSource& addresses,
                                       bool macOnly) {
    Seen seen;
    seen.mac = addresses.FindOrAddMac(frame.GetMac(side));
    if (macOnly) return seen;
    const uint16_t etherType = frame.GetEtherType();
    if (etherType == 0x0800 || etherType == 0x0806) {
        const uint8_t* bytes = frame.GetIp(side);
        seen.ip = bytes != nullptr ? addresses.FindOrAddIp(bytes) : nullptr;
    } else if (etherType == 0x8137 || etherType == 0x8138) {
        const uint8_t* bytes = frame.GetIpx(side);
        seen.ipx = bytes != nullptr ? addresses.FindOrAddIpx(bytes) : nullptr;
    }
    return seen;
}

HostAddress::HostAddress(const FrameView& frame, FrameView::Side side, AddressSource& addresses, bool macOnly)
    : HostAddress(Resolve(frame, side, addresses, macOnly), side) {}

HostAddress::HostAddress(const Seen& seen, FrameView::Side side) : HostAddress(1) {
    // Set directly rather than through the setters: a candidate is built twice per frame and its
    // times must all be the one creation time.
    m_MAC = seen.mac;
    m_ValidVector = MacValid;
    if (seen.ip != nullptr) {
        m_IP = seen.ip;
        m_ValidVector |= IpValid;
    } else if (seen.ipx != nullptr) {
        m_IPX = seen.ipx;
        m_ValidVector |= IpxValid;
    }
    const int32_t state = side == FrameView::Source ? INITSRC : INITDST;
    m_MacState = m_IpState = m_IpxState = state;
    m_Created = Timestamp::Now();
    m_Changed = m_Created;
}

HostAddress::HostAddress(const HostAddress& other, int copyMode) : HostAddress(other.m_Live) {
    m_Created = other.m_Created;
    Copy(other, copyMode);
    m_PreviousMacState = other.m_PreviousMacState;
    m_PreviousIpState = other.m_PreviousIpState;
    m_PreviousIpxState = other.m_PreviousIpxState;
}

HostAddress::HostAddress(MacAddress& address, int state, bool copy) : HostAddress(0) {
    if (copy)
        SetMacCopy(address, state);
    else
        SetMac(address, state);
    m_Created = m_Changed;
}

HostAddress::HostAddress(IpAddress& address, int state, bool copy) : HostAddress(0) {
    if (copy)
        SetIpCopy(address, state);
    else
        SetIp(address, state);
    m_Created = m_Changed;
}

HostAddress::HostAddress(IpxAddress& address, int state, bool copy) : HostAddress(0) {
    if (copy)
        SetIpxCopy(address, state);
    else
        SetIpx(address, state);
    m_Created = m_Changed;
}

HostAddress::~HostAddress() {
    ReleaseOwned(m_MAC, this);
    ReleaseOwned(m_IP, this);
    ReleaseOwned(m_IPX, this);
}

HostAddress& HostAddress::Invalid() {
    static HostAddress invalid;
    static const bool ready = (invalid.SetObjectState(ObjectConstant), true);
    (void)ready;
    return invalid;
}

template <typename A> void HostAddress::Attach(A*& slot, A& address, uint8_t bit) {
    ReleaseOwned(slot, this);
    slot = &address;
    address.Adopt(this);
    if (address.IsValid())
        m_ValidVector |= bit;
    else
        m_ValidVector &= uint8_t(~bit);
    m_Changed = Timestamp::Now();
    NotifyChanged();
}

template <typename A> void HostAddress::Release(A*& slot, A& invalid, uint8_t bit) {
    if (slot == &invalid) return;
    ReleaseOwned(slot, this);
    slot = &invalid;
    m_ValidVector &= uint8_t(~bit);
    NotifyChanged();
}

void HostAddress::SetMac(MacAddress& address, int state) {
    if (m_MAC == &address) return;
    Attach(m_MAC, address, MacValid);
    SetMacState(state);
}

void HostAddress::SetIp(IpAddress& address, int state) {
    if (m_IP == &address) return;
    Attach(m_IP, address, IpValid);
    SetIpState(state);
}

void HostAddress::SetIpx(IpxAddress& address, int state) {
    if (m_IPX == &address) return;
    Attach(m_IPX, address, IpxValid);
    SetIpxState(state);
}

void HostAddress::SetMacCopy(const MacAddress& address, int state) {
    SetMac(*OwnedCopy(address, this), state);
}

void HostAddress::SetIpCopy(const IpAddress& address, int state) {
    SetIp(*OwnedCopy(address, this), state);
}

void HostAddress::SetIpxCopy(const IpxAddress& address, int state) {
    SetIpx(*OwnedCopy(address, this), state);
}

void HostAddress::SetMacState(int state) {
    m_PreviousMacState = m_MacState;
    m_MacState = state;
}

void HostAddress::SetIpState(int state) {
    m_PreviousIpState = m_IpState;
    m_IpState = state;
}

void HostAddress::SetIpxState(int state) {
    m_PreviousIpxState = m_IpxState;
    m_IpxState = state;
}

void HostAddress::Copy(const HostAddress& other, int copyMode) {
    const bool statesOnly = copyMode == NullCopy;
    const bool deep = copyMode == DeepCopy;
    auto family = [&](auto*& slot, auto& theirs, auto& invalid, uint8_t bit, int state, auto setState) {
        if (statesOnly || (other.m_ValidVector & bit) == 0)
            Release(slot, invalid, bit);
        else if (deep)
            Attach(slot, *OwnedCopy(theirs, this), bit);
        else if (slot != &theirs)
            Attach(slot, theirs, bit);
        (this->*setState)(state);
    };
    family(m_MAC, *other.m_MAC, MacAddress::Invalid(), MacValid, other.m_MacState, &HostAddress::SetMacState);
    family(m_IP, *other.m_IP, IpAddress::Invalid(), IpValid, other.m_IpState, &HostAddress::SetIpState);
    family(m_IPX, *other.m_IPX, IpxAddress::Invalid(), IpxValid, other.m_IpxState, &HostAddress::SetIpxState);
    m_Changed = Timestamp::Now();
}

void HostAddress::Update(const HostAddress& other) {
    if (other.HasMac() && (!HasMac() || m_MAC->GetName(0) != other.m_MAC->GetName(0)))
        SetMacCopy(*other.m_MAC, other.m_MacState);
    if (other.HasIp() && (!HasIp() || m_IP->GetName(0) != other.m_IP->GetName(0)))
        SetIpCopy(*other.m_IP, other.m_IpState);
    if (other.HasIpx() && (!HasIpx() || m_IPX->GetName(0) != other.m_IPX->GetName(0)))
        SetIpxCopy(*other.m_IPX, other.m_IpxState);
    m_Changed = Timestamp::Now();
}

void HostAddress::Merge(const HostAddress& other) {
    if (!HasMac() && other.HasMac()) SetMac(*other.m_MAC, other.m_MacState);
    if (!HasIp() && other.HasIp()) SetIp(*other.m_IP, other.m_IpState);
    if (!HasIpx() && other.HasIpx()) SetIpx(*other.m_IPX, other.m_IpxState);
    m_Changed = other.m_Changed;
}

int HostAddress::Compare(const HostAddress& other) const {
    if (this == &other) return 0;
    if ((m_ValidVector & other.m_ValidVector) == 0) {
        if (m_ValidVector == 0) return other.m_ValidVector == 0 ? 0 : -1;
        return 1;
    }
    const uint8_t common = m_ValidVector & other.m_ValidVector;
    if (common & MacValid)
        if (int result = m_MAC->Compare(*other.m_MAC)) return result;
    if (common & IpValid)
        if (int result = m_IP->Compare(*other.m_IP, true)) return result;
    if (common & IpxValid)
        if (int result = m_IPX->Compare(*other.m_IPX, true)) return result;
    return 0;
}

int HostAddress::GetKind() const {
    const int kinds[] = {HasIp() ? m_IP->GetKind() : 0, HasIpx() ? m_IPX->GetKind() : 0,
                         HasMac() ? m_MAC->GetKind() : 0};
    if (std::find(std::begin(kinds), std::end(kinds), 3) != std::end(kinds)) return 3;
    if (std::find(std::begin(kinds), std::end(kinds), 2) != std::end(kinds)) return 2;
    return 1;
}

std::string HostAddress::GetText(bool names) const {
    std::string text;
    auto part = [&](const char* label, const NameEntry& address, int state) {
        if (!text.empty()) text += ", ";
        text += label;
        text += names ? address.GetName(0) : address.GetText();
        text += " (";
        text += StateName(state);
        text += ")";
    };
    if (HasMac()) part("MAC=", *m_MAC, m_MacState);
    if (HasIp()) part("IP=", *m_IP, m_IpState);
    if (HasIpx()) part("IPX=", *m_IPX, m_IpxState);
    return text;
}

std::string HostAddress::GetPreferredName(bool names, uint32_t families) const {
    for (int i = 0; i < 3; ++i) {
        const uint32_t bit = (families >> (8 * i)) & 0xFF;
        const NameEntry* address = nullptr;
        if (bit == MacValid && HasMac())
            address = m_MAC;
        else if (bit == IpValid && HasIp())
            address = m_IP;
        else if (bit == IpxValid && HasIpx())
            address = m_IPX;
        if (address == nullptr) continue;
        std::string name = names ? address->GetName(0) : address->GetText();
        if (!name.empty()) return name;
    }
    return {};
}

const char* HostAddress::StateName(int state) {
    static constexpr const char* names[] = {"UNKNOWN", "INITDST",   "INITSRC",  "PROV",
                                            "AUTH",    "MISROUTED", "DUPLICATE"};
    if (state < 0 || state > DUPLICATE) return "state?";
    return names[state];
}

void HostAddress::AddObserver(HostObserver* observer) {
    // Shared hosts never change, and several models may hold them.
    if (IsShared()) return;
    if (std::find(m_Observers.begin(), m_Observers.end(), observer) == m_Observers.end())
        m_Observers.push_back(observer);
}

void HostAddress::RemoveObserver(HostObserver* observer) {
    m_Observers.erase(std::remove(m_Observers.begin(), m_Observers.end(), observer), m_Observers.end());
}

void HostAddress::NotifyChanged() {
    for (HostObserver* observer : m_Observers)
        observer->OnHostChanged(*this);
}

MemberTable HostAddress::DescribedMembers() const {
    static constexpr MemberRow rows[] = {
        {"m_ValidVector", "valid", 6, &FormatValid},
        {"m_MAC", "MAC", 18, &FormatMac},
        {"m_IP", "IP", 16, &FormatIp},
        {"m_IPX", "IPX", 22, &FormatIpx},
        {"m_MacState", "MACst", 10, &FormatState<&HostAddress::GetMacState>},
        {"m_IpState", "IPst", 10, &FormatState<&HostAddress::GetIpState>},
        {"m_IpxState", "IPXst", 10, &FormatState<&HostAddress::GetIpxState>},
        {"m_PreviousMacState", "MACprev", 10, &FormatState<&HostAddress::GetPreviousMacState>},
        {"m_PreviousIpState", "IPprev", 10, &FormatState<&HostAddress::GetPreviousIpState>},
        {"m_PreviousIpxState", "IPXprev", 10, &FormatState<&HostAddress::GetPreviousIpxState>},
    };
    return {Class(), rows};
}

} // namespace vq
