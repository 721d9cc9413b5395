#pragma once

#include <array>
#include <cstdint>

namespace vq {

// A 16-byte identity that no other process or call is expected to share.
struct Guid {
    std::array<std::uint8_t, 16> bytes{};
    bool operator==(const Guid&) const = default;
};

// Random bytes from the kernel; throws Exception when it has none to give.
Guid NewGuid();

} // namespace vq
