#include "platform/gui/RegisteredMessage.h"

#include <map>
#include <string>

namespace vq {

namespace {

constexpr UINT FirstRegisteredMessage = 0xC000;
constexpr UINT LastRegisteredMessage = 0xFFFF;

} // namespace

// Windows belong to the GUI thread, and so does this table.
UINT RegisterWindowMessage(const char* name) {
    if (!name || !*name) return 0;
    static std::map<std::string, UINT> ids;
    if (const auto found = ids.find(name); found != ids.end()) return found->second;
    const UINT id = FirstRegisteredMessage + UINT(ids.size());
    if (id > LastRegisteredMessage) return 0;
    ids.emplace(name, id);
    return id;
}

} // namespace vq
