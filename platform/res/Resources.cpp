#include "platform/res/Resources.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <tuple>

namespace vq {

namespace {

struct Registry {
    std::mutex mutex;
    std::map<std::pair<std::uint16_t, std::uint32_t>, ResourceEntry> entries;
    // By type name (empty for a numbered type), type number and name, all in capitals.
    std::map<std::tuple<std::string, std::uint16_t, std::string>, ResourceEntry> named;
};

// Made on first use, so registrations from any translation unit find it whatever the order.
Registry& Resources() {
    static Registry registry;
    return registry;
}

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

std::span<const unsigned char> FindNamed(const std::string& typeName, std::uint16_t type,
                                         std::string_view name) {
    auto& r = Resources();
    std::lock_guard lock(r.mutex);
    auto it = r.named.find({typeName, type, UpperCase(name)});
    if (it == r.named.end()) return {};
    return {it->second.data, it->second.size};
}

} // namespace

ResourceRegistration::ResourceRegistration(std::span<const ResourceEntry> entries) {
    auto& r = Resources();
    std::lock_guard lock(r.mutex);
    for (const auto& e : entries) {
        const bool typeNamed = e.typeName && *e.typeName;
        if (e.name)
            r.named.emplace(std::tuple{std::string(typeNamed ? e.typeName : ""),
                                       typeNamed ? std::uint16_t(0) : e.type, std::string(e.name)},
                            e);
        else
            r.entries.emplace(std::pair{e.type, e.id}, e);
    }
}

std::span<const unsigned char> FindResource(std::uint16_t type, std::uint32_t id) {
    auto& r = Resources();
    std::lock_guard lock(r.mutex);
    auto it = r.entries.find({type, id});
    if (it == r.entries.end()) return {};
    return {it->second.data, it->second.size};
}

std::span<const unsigned char> FindResource(std::string_view typeName, std::string_view name) {
    return FindNamed(UpperCase(typeName), 0, name);
}

std::span<const unsigned char> FindResource(std::uint16_t type, std::string_view name) {
    return FindNamed("", type, name);
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
