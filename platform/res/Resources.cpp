#include "platform/res/Resources.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

namespace vq {

namespace {

struct Registry {
    std::mutex mutex;
    std::map<std::pair<std::uint16_t, std::uint32_t>, ResourceEntry> entries;
};

// Made on first use, so registrations from any translation unit find it whatever the order.
Registry& Resources() {
    static Registry registry;
    return registry;
}

} // namespace

ResourceRegistration::ResourceRegistration(std::span<const ResourceEntry> entries) {
    auto& r = Resources();
    std::lock_guard lock(r.mutex);
    for (const auto& e : entries)
        r.entries.emplace(std::pair{e.type, e.id}, e);
}

std::span<const unsigned char> FindResource(std::uint16_t type, std::uint32_t id) {
    auto& r = Resources();
    std::lock_guard lock(r.mutex);
    auto it = r.entries.find({type, id});
    if (it == r.entries.end()) return {};
    return {it->second.data, it->second.size};
}

int LoadString(std::uint32_t id, char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    auto text = FindResource(RT_STRING, id);
    if (text.data() == nullptr) {
        buffer[0] = '\0';
        return 0;
    }
    const std::size_t n = std::min(text.size(), std::size_t(size - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return int(n);
}

} // namespace vq
