#pragma once

#include <cstddef>
#include <cstdint>

namespace vq {

// The key under which address tables and host indexes file an address. `value` is the 64-bit key the
// tables have always been ordered by (its bits choose the dump bucket); `extension` carries the address
// bytes that do not fit in it, so two addresses share a key only when all their bytes are equal.
struct NameKey {
    uint64_t value = 0;
    uint64_t extension = 0;

    friend bool operator==(const NameKey&, const NameKey&) = default;
};

// The dump bucket (0-255) of a key: bits 8-11 of the value above bits 24-27.
inline unsigned NameKeyBucket(const NameKey& key) {
    return static_cast<unsigned>((((key.value >> 8) & 0xF) << 4) | ((key.value >> 24) & 0xF));
}

struct NameKeyHash {
    size_t operator()(const NameKey& key) const noexcept {
        // splitmix64 finaliser: keys of one subnet differ only in low bits.
        uint64_t x = key.value ^ (key.extension * 0x9E3779B97F4A7C15ULL);
        x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
        x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
        return static_cast<size_t>(x ^ (x >> 31));
    }
};

} // namespace vq
