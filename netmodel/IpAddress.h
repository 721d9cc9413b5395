#pragma once

#include "netmodel/NameEntry.h"

#include <array>
#include <cstdint>
#include <functional>

namespace vq {

class IpAddress : public NameEntry {
public:
    enum Kind : int32_t { Unclassified = 0, Unicast = 1, Broadcast = 2, Multicast = 3 };
    static constexpr int Length = 4;

    IpAddress(); // the invalid form
    // Four bytes in network order.
    IpAddress(const uint8_t* bytes, bool classify);
    // A dotted quad or a host name; see SetText.
    IpAddress(const char* text, bool classify);
    IpAddress(const IpAddress& other);
    IpAddress& operator=(const IpAddress& other);

    // The program-wide invalid address 0.0.0.0: constant, lookup state -1, named "unknown".
    static IpAddress& Invalid();

    void Reset(int lookupState) override;
    const uint8_t* GetAddressBytes() const override { return bytes_.data(); }
    int GetAddressLength() const override { return Length; }
    std::string FormatText() const override;
    NameKey GetTableKey() const override { return KeyFromBytes(bytes_.data()); }
    // The table key of an address given as raw bytes.
    static NameKey KeyFromBytes(const uint8_t* bytes);

    // No bytes, or 0.0.0.0, make the address invalid.
    void SetBytes(const uint8_t* bytes, bool classify);
    void SetHostLong(uint32_t value, bool isNetworkOrder, bool classify);
    uint32_t GetHostLong(bool hostOrder) const;
    // Empty text, no text and "localhost" give 127.0.0.1. A text of digits and dots must be exactly
    // four fields of 0-255; any other text is a host name, resolved with a blocking forward look-up.
    // Only the text up to the first blank counts. True when the result is not 0.0.0.0.
    bool SetText(const char* text, bool classify);
    // A dotted quad only, never a look-up: any other text leaves 0.0.0.0 and gives false.
    bool SetNumericText(const char* text, bool classify);

    int GetKind() const { return kind_; }
    // The kind that classifying four bytes in network order gives, without making an address.
    static int32_t ClassifyBytes(const uint8_t* bytes);
    void SetKind(int kind) { kind_ = kind; }

    // The mask of the address's class and what it gives, as host-order numbers.
    uint32_t GetClassMask() const;
    uint32_t GetNetwork() const { return Value() & GetClassMask(); }
    uint32_t GetBroadcast() const { return Value() | ~GetClassMask(); }
    uint32_t GetHostPart() const { return Value() & ~GetClassMask(); }
    bool IsNetworkAddress() const { return GetHostPart() == 0; }
    bool IsEqual(const IpAddress& other) const { return bytes_ == other.bytes_; }

    // 1 when this sorts before the other, -1 after, 0 equal. With wildcards a network address matches
    // every address it covers (a zero octet ends the comparison as equal); that is no ordering.
    int Compare(const IpAddress& other, bool wildcard = false) const;

    friend bool operator==(const IpAddress& a, const IpAddress& b) { return a.bytes_ == b.bytes_; }

private:
    uint32_t Value() const;
    // Leaves the found address in `bytes` (untouched when not found).
    void ResolveName(std::string_view name, uint8_t* bytes);

    std::array<uint8_t, Length> bytes_{};
    int32_t kind_ = Unclassified;
};

// Orders by the usual sense of the octets, for sorted containers.
struct IpAddressLess {
    bool operator()(const IpAddress& a, const IpAddress& b) const { return a.Compare(b) == 1; }
};

} // namespace vq

template <> struct std::hash<vq::IpAddress> {
    size_t operator()(const vq::IpAddress& address) const noexcept {
        return vq::NameKeyHash{}(address.GetTableKey());
    }
};
