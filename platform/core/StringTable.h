#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vq {

// The process-wide table of texts by numeric id. Subsystems add their texts at start-up; lookups
// come from any thread afterwards, so every access is locked and lookups hand out copies.
class StringTable {
public:
    // Adds the text, replacing any text the id had.
    static void Add(std::uint32_t id, std::string_view text);
    static std::optional<std::string> Find(std::uint32_t id);
    // The text of the id, or an empty text when the table has none.
    static std::string Get(std::uint32_t id);
};

} // namespace vq
