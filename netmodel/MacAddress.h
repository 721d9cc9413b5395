#pragma once

#include "netmodel/NameEntry.h"

#include <array>
#include <cstdint>
#include <functional>

namespace vq {

class MacAddress : public NameEntry {
public:
    enum Kind : int32_t { Unclassified = 0, Ordinary = 1, Broadcast = 2, WellKnownMulticast = 3 };
    static constexpr int Length = 6;

    MacAddress(); // the invalid form
    MacAddress(const uint8_t* bytes, bool classify);
    MacAddress(const char* text, bool classify);
    MacAddress(const MacAddress& other);
    MacAddress& operator=(const MacAddress& other);

    // The program-wide invalid address: constant, lookup state -1, named "unknown".
    static MacAddress& Invalid();

    void Reset(int lookupState) override;
    const uint8_t* GetAddressBytes() const override { return bytes_.data(); }
    int GetAddressLength() const override { return Length; }
    std::string FormatText() const override;
    NameKey GetTableKey() const override { return KeyFromBytes(bytes_.data()); }
    // The table key of an address given as raw bytes.
    static NameKey KeyFromBytes(const uint8_t* bytes);

    // No bytes make the address invalid.
    void SetBytes(const uint8_t* bytes, bool classify);
    // Accepts 12 hex digits in a row or six groups of one or two digits between any separators. On
    // failure the bytes are zero and the lookup state is kept.
    bool SetText(const char* text, bool classify);

    int GetKind() const { return kind_; }
    // The kind that classifying six bytes gives, without making an address.
    static int32_t ClassifyBytes(const uint8_t* bytes);
    void SetKind(int kind) { kind_ = kind; }
    // 1 when this sorts before the other, -1 after, 0 equal.
    int Compare(const MacAddress& other) const;

    friend bool operator==(const MacAddress& a, const MacAddress& b) { return a.bytes_ == b.bytes_; }

private:
    void Classify();

    std::array<uint8_t, Length> bytes_{};
    int32_t kind_ = Unclassified;
};

// Orders by the usual sense of the bytes, for sorted containers.
struct MacAddressLess {
    bool operator()(const MacAddress& a, const MacAddress& b) const { return a.Compare(b) == 1; }
};

} // namespace vq

template <> struct std::hash<vq::MacAddress> {
    size_t operator()(const vq::MacAddress& address) const noexcept {
        return vq::NameKeyHash{}(address.GetTableKey());
    }
};
