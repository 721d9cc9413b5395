#include "platform/sys/MemoryStatus.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <limits>
#include <mutex>
#include <string>

namespace vq {
namespace {

// The value of a "Name:   1234 kB" line in bytes.
std::optional<std::uint64_t> FindKilobytes(std::string_view text, std::string_view name) {
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (line.size() <= name.size() || line.substr(0, name.size()) != name || line[name.size()] != ':')
            continue;
        line.remove_prefix(name.size() + 1);
        line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
        std::uint64_t kb = 0;
        auto [ptr, ec] = std::from_chars(line.data(), line.data() + line.size(), kb);
        if (ec != std::errc() || ptr == line.data()) return std::nullopt;
        if (std::string_view(ptr, line.data() + line.size()) != " kB") return std::nullopt;
        if (kb > std::numeric_limits<std::uint64_t>::max() / 1024) return std::nullopt;
        return kb * 1024;
    }
    return std::nullopt;
}

MemoryStatus ReadProcMemInfo() {
    std::ifstream in("/proc/meminfo");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Without a readable meminfo nothing can be measured; reporting no memory would pause capture
    // for good, so the guard is told there is plenty.
    return ParseMemInfo(text).value_or(MemoryStatus{std::numeric_limits<std::uint64_t>::max()});
}

std::mutex probeMutex;
MemoryProbe installedProbe;

} // namespace

MemoryStatus QueryMemoryStatus() {
    MemoryProbe probe;
    {
        std::lock_guard lock(probeMutex);
        probe = installedProbe;
    }
    return probe ? probe() : ReadProcMemInfo();
}

MemoryProbe SetMemoryProbe(MemoryProbe probe) {
    std::lock_guard lock(probeMutex);
    std::swap(probe, installedProbe);
    return probe;
}

std::optional<MemoryStatus> ParseMemInfo(std::string_view text) {
    auto available = FindKilobytes(text, "MemAvailable");
    auto swapFree = FindKilobytes(text, "SwapFree");
    if (!available || !swapFree) return std::nullopt;
    const std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
    return MemoryStatus{*available > max - *swapFree ? max : *available + *swapFree};
}

} // namespace vq
