#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vq {

// What a packet asks of the adapter that received it while its layers decode: the medium that
// selects the data-link decoder, whether addresses belong to this or any adapter of the set, and
// the learning of the adapter's own IPv4 address from its outgoing frames.
class PacketAdapter {
public:
    virtual ~PacketAdapter() = default;

    virtual int32_t GetMedium() const = 0;
    // mac: the six address bytes. anyAdapter also asks the other adapters of the set.
    virtual bool IsOwnAddress(std::span<const uint8_t, 6> mac, bool anyAdapter) const = 0;
    // address: the IPv4 address as a number, first octet most significant (10.0.0.1 is 0x0A000001).
    virtual bool IsOwnIpAddress(uint32_t address, bool anyAdapter) const = 0;
    virtual bool HasIpAddress() const = 0;
    virtual void LearnIpAddress(const std::string& text) = 0;
    // The adapter's place in its set; a source outside any set (a file, a tool) counts as the first.
    virtual int GetAdapterNumber() const { return 0; }
};

} // namespace vq
