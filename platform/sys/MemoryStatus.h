#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace vq {

struct MemoryStatus {
    // Bytes that can still be committed: available memory plus free swap.
    std::uint64_t availablePageFile = 0;
};

using MemoryProbe = std::function<MemoryStatus()>;

// The current memory status from the installed probe (by default /proc/meminfo).
MemoryStatus QueryMemoryStatus();
// Installs a probe (an empty one restores the default) and answers the one it replaces.
MemoryProbe SetMemoryProbe(MemoryProbe probe);

// MemAvailable + SwapFree of a /proc/meminfo text in bytes; nothing when either line is missing
// or malformed.
std::optional<MemoryStatus> ParseMemInfo(std::string_view text);

} // namespace vq
