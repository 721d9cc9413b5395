#include "netmodel/Tuple.h"

#include "platform/core/Format.h"

#include <type_traits>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(Tuple, Describable)

namespace {

bool HostsMatch(const HostAddress* a, const HostAddress* b) {
    return a == nullptr || b == nullptr || a == b || a->Compare(*b) == 0;
}

const Tuple& TupleOf(const Object& object) {
    return static_cast<const Tuple&>(object);
}

std::string FormatKey(const Object& object, uint32_t, int) {
    return Tuple::KeyName(TupleOf(object).GetKey());
}

std::string FormatSource(const Object& object, uint32_t flags, int depth) {
    return FormatMember(TupleOf(object).GetSource(), flags, depth);
}

std::string FormatDestination(const Object& object, uint32_t flags, int depth) {
    return FormatMember(TupleOf(object).GetDestination(), flags, depth);
}

template <int field> std::string FormatField(const Object& object, uint32_t, int) {
    return FormatMember(int(TupleOf(object).GetField(field)), "%d");
}

std::string FormatActions(const Object& object, uint32_t, int) {
    return FormatMember(static_cast<const void*>(TupleOf(object).GetActions()), "$%p");
}

} // namespace

const HostAddress& HostOrInvalid(const HostAddress* host) {
    return host != nullptr ? *host : HostAddress::Invalid();
}

Tuple::Tuple(uint8_t live)
    : m_Live(live), m_Source(&HostAddress::Invalid()), m_Destination(&HostAddress::Invalid()) {
    m_Fields[FieldInterface] = NoInterface;
    ResetCheckMarks();
}

Tuple::Tuple(HostAddress* source, HostAddress* destination, const Fields& fields, uint8_t live)
    : m_Live(live), m_Source(nullptr), m_Destination(nullptr), m_Fields(fields) {
    ResetCheckMarks();
    AttachHost(m_Source, source);
    AttachHost(m_Destination, destination);
}

Tuple::Tuple(const Tuple& other, int copyMode, uint8_t live)
    : m_Key(other.m_Key), m_Live(live), m_Source(nullptr), m_Destination(nullptr), m_Fields(other.m_Fields) {
    ResetCheckMarks();
    if (copyMode == ShallowCopy) {
        AttachHost(m_Source, other.m_Source);
        AttachHost(m_Destination, other.m_Destination);
    } else if (copyMode == DeepCopy) {
        auto copy = [](const HostAddress* host) {
            return host != nullptr ? new HostAddress(*host, DeepCopy) : nullptr;
        };
        AttachHost(m_Source, copy(other.m_Source));
        // One host on both sides stays one host.
        if (other.m_Destination == other.m_Source)
            AttachHost(m_Destination, m_Source);
        else
            AttachHost(m_Destination, copy(other.m_Destination));
    }
}

Tuple::Tuple(HostAddress& host, int side) : Tuple(uint8_t(0)) {
    m_Key = side;
    AttachHost(Side(side), &host);
}

Tuple::Tuple(const HostAddress& host, int side, int copyMode) : Tuple(uint8_t(0)) {
    m_Key = side;
    AttachHost(Side(side), new HostAddress(host, copyMode));
}

Tuple::Tuple(MacAddress& address, int side, bool copy) : Tuple(uint8_t(0)) {
    m_Key = side;
    AttachHost(Side(side), new HostAddress(address, HostAddress::UNKNOWN, copy));
}

Tuple::Tuple(IpAddress& address, int side, bool copy) : Tuple(uint8_t(0)) {
    m_Key = side;
    AttachHost(Side(side), new HostAddress(address, HostAddress::UNKNOWN, copy));
}

Tuple::Tuple(IpxAddress& address, int side, bool copy) : Tuple(uint8_t(0)) {
    m_Key = side;
    AttachHost(Side(side), new HostAddress(address, HostAddress::UNKNOWN, copy));
}

Tuple::Tuple(uint16_t value, int32_t bit) : Tuple(uint8_t(0)) {
    m_Key = bit;
    SetKeyValue(value, bit);
}

std::unique_ptr<Tuple> Tuple::MakeWildcard(int32_t bit) {
    auto tuple = std::make_unique<Tuple>(uint8_t(0));
    tuple->m_Key = bit;
    return tuple;
}

Tuple::~Tuple() {
    ReleaseHosts();
}

Tuple& Tuple::NoneConstant() {
    static Tuple constant(uint8_t(0));
    static const bool ready = (constant.SetObjectState(ObjectConstant), true);
    (void)ready;
    return constant;
}

Tuple& Tuple::InvalidConstant() {
    static Tuple constant(uint8_t(0));
    static const bool ready = (constant.SetObjectState(ObjectConstant), constant.m_Key = KEY_INVALID, true);
    (void)ready;
    return constant;
}

void Tuple::AttachHost(HostAddress*& slot, HostAddress* host) {
    if (slot == host) return;
    HostAddress* old = slot;
    slot = host;
    HostAddress* other = &slot == &m_Source ? m_Destination : m_Source;
    if (old != nullptr && old != other && old->IsOwnedBy(this)) delete old;
    if (host != nullptr) host->Adopt(this);
}

void Tuple::ReleaseHosts() {
    HostAddress* source = m_Source;
    HostAddress* destination = m_Destination;
    m_Source = m_Destination = nullptr;
    if (source != nullptr && source->IsOwnedBy(this)) delete source;
    if (destination != nullptr && destination != source && destination->IsOwnedBy(this)) delete destination;
}

void Tuple::SetSource(HostAddress* host) {
    AttachHost(m_Source, host);
}

void Tuple::SetDestination(HostAddress* host) {
    AttachHost(m_Destination, host);
}

bool Tuple::IsEqual(const TAO& other) const {
    const Tuple* theirs = other.GetTuple();
    return theirs != nullptr && Compare(*theirs) == 0;
}

bool Tuple::IsSimilar(const TAO& other, bool session) const {
    const Tuple* theirs = other.GetTuple();
    if (theirs == nullptr) return false;
    if (HostOrInvalid(m_Source).Compare(HostOrInvalid(theirs->m_Source)) != 0) return false;
    if (HostOrInvalid(m_Destination).Compare(HostOrInvalid(theirs->m_Destination)) != 0) return false;
    for (int field = 0; field < FieldCount; ++field) {
        if (field == FieldSession && !session) continue;
        if (m_Fields[size_t(field)] != theirs->m_Fields[size_t(field)]) return false;
    }
    return true;
}

int32_t Tuple::GetValidKeys() const {
    int32_t keys = 0;
    if (m_Source != nullptr && m_Source->GetValidVector() != 0) keys |= KEY_Source;
    if (m_Destination != nullptr && m_Destination->GetValidVector() != 0) keys |= KEY_Destination;
    if (m_Fields[FieldInterface] != NoInterface) keys |= KEY_Interface;
    for (int field = FieldDataLink; field < FieldCount; ++field)
        if (m_Fields[size_t(field)] != 0) keys |= KEY_Interface << field;
    return keys;
}

HostAddress* Tuple::GetKeyHost(int32_t bit) const {
    if (bit == KEY_Source) return m_Source;
    if (bit == KEY_Destination) return m_Destination;
    return nullptr;
}

uint32_t Tuple::GetKeyValue(int32_t bit) const {
    const int field = FieldOfKey(bit);
    return field < 0 ? 0 : m_Fields[size_t(field)];
}

void Tuple::SetKeyValue(uint16_t value, int32_t bit) {
    const int field = FieldOfKey(bit);
    if (field >= 0) m_Fields[size_t(field)] = value;
}

template <typename A> void Tuple::SetSideAddress(A& address, int side) {
    HostAddress*& host = Side(side);
    auto holds = [&](const HostAddress& h) {
        if constexpr (std::is_same_v<A, MacAddress>)
            return &h.GetMac() == &address;
        else if constexpr (std::is_same_v<A, IpAddress>)
            return &h.GetIp() == &address;
        else
            return &h.GetIpx() == &address;
    };
    if (host != nullptr && holds(*host)) return;
    if (host != nullptr && host->IsOwnedBy(this)) {
        if constexpr (std::is_same_v<A, MacAddress>)
            host->SetMac(address, host->GetMacState());
        else if constexpr (std::is_same_v<A, IpAddress>)
            host->SetIp(address, host->GetIpState());
        else
            host->SetIpx(address, host->GetIpxState());
        return;
    }
    AttachHost(host, new HostAddress(address, HostAddress::UNKNOWN, false));
}

void Tuple::SetSourceOrDestinationMac(MacAddress& address, int side) {
    SetSideAddress(address, side);
}

void Tuple::SetSourceOrDestinationIp(IpAddress& address, int side) {
    SetSideAddress(address, side);
}

void Tuple::SetSourceOrDestinationIpx(IpxAddress& address, int side) {
    SetSideAddress(address, side);
}

bool Tuple::Reverse(bool swapKey) {
    if (swapKey) {
        if (m_Key == KEY_Source)
            m_Key = KEY_Destination;
        else if (m_Key == KEY_Destination)
            m_Key = KEY_Source;
        else
            return false;
    }
    std::swap(m_Source, m_Destination);
    return true;
}

int Tuple::Compare(const Tuple& other) const {
    if (this == &other) return 0;
    if (int result = HostOrInvalid(m_Source).Compare(HostOrInvalid(other.m_Source))) return result;
    if (int result = HostOrInvalid(m_Destination).Compare(HostOrInvalid(other.m_Destination))) return result;
    for (int field = 0; field < FieldCount; ++field) {
        const uint16_t mine = m_Fields[size_t(field)];
        const uint16_t theirs = other.m_Fields[size_t(field)];
        if (mine != theirs) return mine < theirs ? 1 : -1;
    }
    return 0;
}

bool Tuple::Matches(const Tuple& other, int32_t mask) const {
    if (this == &other) return true;
    if ((mask & KEY_Source) && !HostsMatch(m_Source, other.m_Source)) return false;
    if ((mask & KEY_Destination) && !HostsMatch(m_Destination, other.m_Destination)) return false;
    for (int field = 0; field < FieldCount; ++field)
        if ((mask & (KEY_Interface << field)) && m_Fields[size_t(field)] != other.m_Fields[size_t(field)])
            return false;
    return true;
}

std::string Tuple::GetText(bool names) const {
    std::string text = "key=";
    text += KeyName(m_Key);
    auto host = [&](const char* label, const HostAddress* h, int32_t bit) {
        if (h != nullptr && h->GetValidVector() != 0)
            text += Format(" %s=%s", label, h->GetText(names).c_str());
        else if (m_Key == bit)
            text += Format(" %s=*", label);
    };
    host("src", m_Source, KEY_Source);
    host("dst", m_Destination, KEY_Destination);
    if (m_Fields[FieldInterface] != NoInterface)
        text += Format(" if=%d", m_Fields[FieldInterface]);
    else if (m_Key == KEY_Interface)
        text += " if=*";
    static constexpr const char* labels[] = {"data", "netw", "tran", "sess", "pres", "appl"};
    for (int field = FieldDataLink; field <= FieldApplication; ++field) {
        const char* label = labels[field - FieldDataLink];
        if (m_Fields[size_t(field)] != 0)
            text += Format(" %s=%d", label, m_Fields[size_t(field)]);
        else if (m_Key == (KEY_Interface << field))
            text += Format(" %s=*", label);
    }
    if (m_Fields[FieldReferenceSession] != 0)
        text += Format(" ref_sess=%d", m_Fields[FieldReferenceSession]);
    else if (m_Key == KEY_ReferenceSession)
        text += " ref_sess=?";
    return text;
}

const char* Tuple::KeyName(int32_t kind) {
    switch (kind) {
    case KEY_NONE:
        return "KEY_NONE";
    case KEY_Source:
        return "KEY_Source";
    case KEY_Destination:
        return "KEY_Destination";
    case KEY_Interface:
        return "KEY_Interface";
    case KEY_DataLinkProtocol:
        return "KEY_DataLinkProtocol";
    case KEY_NetworkProtocol:
        return "KEY_NetworkProtocol";
    case KEY_TransportProtocol:
        return "KEY_TransportProtocol";
    case KEY_SessionProtocol:
        return "KEY_SessionProtocol";
    case KEY_PresentationProtocol:
        return "KEY_PresentationProtocol";
    case KEY_ApplicationProtocol:
        return "KEY_ApplicationProtocol";
    case KEY_ReferenceSession:
        return "KEY_ReferenceSession";
    case KEY_INVALID:
        return "KEY_INVALID";
    default:
        return "KEY_???";
    }
}

void Tuple::AddPacket(const FrameView& frame, Conversation* target) {
    m_LastTime = frame.GetTimeStamp();
    if (m_Actions) m_Actions->AddPacket(frame, target);
}

MemberTable Tuple::DescribedMembers() const {
    static constexpr MemberRow rows[] = {
        {"m_Key", "Key", 13, &FormatKey},
        {"Source", "Srce", 20, &FormatSource},
        {"Destination", "Dest", 20, &FormatDestination},
        {"Interface", "If", 5, &FormatField<FieldInterface>},
        {"DataLink", "DLnk", 5, &FormatField<FieldDataLink>},
        {"Network", "Netw", 5, &FormatField<FieldNetwork>},
        {"Transport", "Tran", 5, &FormatField<FieldTransport>},
        {"Session", "Sess", 5, &FormatField<FieldSession>},
        {"Presentation", "Pres", 5, &FormatField<FieldPresentation>},
        {"Application", "Appl", 5, &FormatField<FieldApplication>},
        {"RefSession", "RefS", 5, &FormatField<FieldReferenceSession>},
        {"m_Actions", "Actions", 10, &FormatActions},
    };
    return {Class(), rows};
}

} // namespace vq
