#include "platform/core/StringTable.h"

#include <mutex>
#include <shared_mutex>
#include <unordered_map>

namespace vq {
namespace {

struct Table {
    std::shared_mutex lock;
    std::unordered_map<std::uint32_t, std::string> texts;
};

// Built on first use so that subsystems may fill it from their own static initialisers.
Table& TheTable() {
    static Table table;
    return table;
}

} // namespace

void StringTable::Add(std::uint32_t id, std::string_view text) {
    Table& table = TheTable();
    std::unique_lock guard(table.lock);
    table.texts.insert_or_assign(id, std::string(text));
}

std::optional<std::string> StringTable::Find(std::uint32_t id) {
    Table& table = TheTable();
    std::shared_lock guard(table.lock);
    auto found = table.texts.find(id);
    if (found == table.texts.end()) return std::nullopt;
    return found->second;
}

std::string StringTable::Get(std::uint32_t id) {
    return Find(id).value_or(std::string());
}

} // namespace vq
