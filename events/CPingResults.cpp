#include "events/CPingResults.h"

#include "platform/core/Format.h"

VQ_IMPLEMENT_DYNCREATE(CPingResults, vq::Serializable)

CPingResults& CPingResults::operator=(const CPingResults& other) {
    CopyFrom(other);
    return *this;
}

void CPingResults::SetFromReply(const vq::net::IcmpEchoReply* reply) {
    if (!reply) {
        Clear();
        return;
    }
    try {
        FromReply(*reply);
    } catch (...) {
        Clear();
    }
}

void CPingResults::FromReply(const vq::net::IcmpEchoReply& reply) {
    // The address bytes in the order they lie in memory, which is network order.
    const auto* bytes = reinterpret_cast<const uint8_t*>(&reply.Address);
    m_Address = vq::Format("%d.%d.%d.%d", bytes[0], bytes[1], bytes[2], bytes[3]);
    m_RoundTrip = reply.RoundTripTime;
    m_Ttl = reply.Options.Ttl;
}

void CPingResults::Assign(const CPingResults* other) {
    if (!other) {
        Clear();
        return;
    }
    try {
        CopyFrom(*other);
    } catch (...) {
        Clear();
    }
}

void CPingResults::CopyFrom(const CPingResults& other) {
    if (&other == this) return;
    m_Address = other.m_Address;
    m_RoundTrip = other.m_RoundTrip;
    m_Ttl = other.m_Ttl;
}

void CPingResults::Clear() {
    m_Address.clear();
    m_RoundTrip = 0;
    m_Ttl = 0;
}

void CPingResults::Store(vq::ObjectWriter& archive) const {
    archive.WriteText(m_Address);
    archive.WriteUInt32(m_RoundTrip);
    const vq::u8 ttl = m_Ttl;
    archive.WriteBytes({&ttl, 1});
}

void CPingResults::Load(vq::ObjectReader& archive, vq::u32) {
    std::string address = archive.ReadText();
    uint32_t roundTrip = archive.ReadUInt32();
    uint8_t ttl = archive.ReadBytes(1)[0];
    m_Address = std::move(address);
    m_RoundTrip = roundTrip;
    m_Ttl = ttl;
}
