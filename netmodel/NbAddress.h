#pragma once

#include "netmodel/NameEntry.h"

#include <array>
#include <cstdint>
#include <functional>

namespace vq {

// A NetBIOS name: 15 name characters and the suffix byte. The name is its own text and primary name.
class NbAddress : public NameEntry {
public:
    static constexpr int Length = 16;
    static constexpr int NameLength = 15;

    NbAddress(); // the invalid form
    NbAddress(const uint8_t* bytes, bool classify);
    NbAddress(const char* text, bool classify);
    NbAddress(const NbAddress& other);
    NbAddress& operator=(const NbAddress& other);

    static NbAddress& Invalid();

    void Reset(int lookupState) override;
    const uint8_t* GetAddressBytes() const override { return bytes_.data(); }
    int GetAddressLength() const override { return Length; }
    std::string FormatText() const override { return {}; }
    NameKey GetTableKey() const override { return KeyFromBytes(bytes_.data()); }
    // The table key of an address given as raw bytes.
    static NameKey KeyFromBytes(const uint8_t* bytes);

    // No bytes make the address invalid.
    void SetBytes(const uint8_t* bytes, bool classify);
    // The name padded with blanks to 15 characters ("?" for an empty text); the suffix byte stays.
    // Names longer than 15 characters are refused and change nothing.
    bool SetText(const char* text, bool classify);

    int GetKind() const { return 0; }

    // Byte order with the usual sign: -1 when this is smaller, 1 when larger.
    int Compare(const NbAddress& other) const;

    friend bool operator==(const NbAddress& a, const NbAddress& b) { return a.bytes_ == b.bytes_; }

private:
    std::array<uint8_t, Length> bytes_{};
};

struct NbAddressLess {
    bool operator()(const NbAddress& a, const NbAddress& b) const { return a.Compare(b) == -1; }
};

} // namespace vq

template <> struct std::hash<vq::NbAddress> {
    size_t operator()(const vq::NbAddress& address) const noexcept {
        return vq::NameKeyHash{}(address.GetTableKey());
    }
};
