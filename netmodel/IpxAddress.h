#pragma once

#include "netmodel/NameEntry.h"

#include <array>
#include <cstdint>
#include <functional>

namespace vq {

// An IPX address: 4-byte network number followed by the 6-byte node.
class IpxAddress : public NameEntry {
public:
    enum Kind : int32_t { Unclassified = 0, Ordinary = 1, BroadcastNode = 2 };
    static constexpr int NetworkLength = 4;
    static constexpr int NodeLength = 6;
    static constexpr int Length = NetworkLength + NodeLength;

    IpxAddress(); // the invalid form
    IpxAddress(const uint8_t* bytes, bool classify);
    IpxAddress(const char* text, bool classify);
    IpxAddress(const IpxAddress& other);
    IpxAddress& operator=(const IpxAddress& other);

    static IpxAddress& Invalid();

    void Reset(int lookupState) override;
    const uint8_t* GetAddressBytes() const override { return bytes_.data(); }
    int GetAddressLength() const override { return Length; }
    std::string FormatText() const override;
    NameKey GetTableKey() const override { return KeyFromBytes(bytes_.data()); }
    // The table key of an address given as raw bytes.
    static NameKey KeyFromBytes(const uint8_t* bytes);

    // No bytes make the address invalid.
    void SetBytes(const uint8_t* bytes, bool classify);
    // "network,node" with exactly 8 and 12 hex digits and any separator, or the 12 node digits alone
    // (network 0); "?" and the empty text give the zero address. On failure the bytes are zero and
    // the lookup state is kept.
    bool SetText(const char* text, bool classify);

    const uint8_t* GetNetwork() const { return bytes_.data(); }
    const uint8_t* GetNode() const { return bytes_.data() + NetworkLength; }
    int GetKind() const { return kind_; }
    void SetKind(int kind) { kind_ = kind; }

    // 1 when this sorts before the other, -1 after, 0 equal. With wildcards an all-zero node matches
    // every node of the same network; that is no ordering.
    int Compare(const IpxAddress& other, bool wildcard = false) const;

    friend bool operator==(const IpxAddress& a, const IpxAddress& b) { return a.bytes_ == b.bytes_; }

private:
    std::array<uint8_t, Length> bytes_{};
    int32_t kind_ = Unclassified;
};

struct IpxAddressLess {
    bool operator()(const IpxAddress& a, const IpxAddress& b) const { return a.Compare(b) == 1; }
};

} // namespace vq

template <> struct std::hash<vq::IpxAddress> {
    size_t operator()(const vq::IpxAddress& address) const noexcept {
        return vq::NameKeyHash{}(address.GetTableKey());
    }
};
