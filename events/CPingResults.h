#pragma once

#include "platform/core/ObjectArchive.h"
#include "platform/net/IcmpEcho.h"

#include <cstdint>
#include <string>

// What the reply to one echo said.
class CPingResults : public vq::Serializable {
    VQ_DECLARE_RUNTIME_CLASS(CPingResults)

public:
    CPingResults() = default;
    CPingResults(const CPingResults& other) { CopyFrom(other); }
    CPingResults& operator=(const CPingResults& other);

    virtual void SetFromReply(const vq::net::IcmpEchoReply* reply);
    virtual void FromReply(const vq::net::IcmpEchoReply& reply);
    virtual void Assign(const CPingResults* other);
    virtual void CopyFrom(const CPingResults& other);
    virtual void Clear();

    vq::u32 GetSchema() const override { return 1; }
    void Store(vq::ObjectWriter& archive) const override;
    void Load(vq::ObjectReader& archive, vq::u32 schema) override;

    std::string m_Address;    // "%d.%d.%d.%d"
    uint32_t m_RoundTrip = 0; // milliseconds
    uint8_t m_Ttl = 0;
};
