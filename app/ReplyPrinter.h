#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace vq {

class ThreadMessage;

// Prints the replies of the harness's actions as they arrive: one readable line each, or one JSON
// object each.
class ReplyPrinter {
public:
    explicit ReplyPrinter(bool json) : m_Json(json) {}

    // The name the lines give the action installed under `identifier`.
    void Name(const void* identifier, std::string name) { m_Names[identifier] = std::move(name); }
    // False when the message is no action reply.
    bool Print(uint32_t id, const ThreadMessage& message) const;
    // The monitor answered the start: `capturing` adapters capture.
    void PrintStarted(int capturing) const;

private:
    std::string NameOf(const void* identifier) const;

    bool m_Json;
    std::map<const void*, std::string> m_Names;
};

} // namespace vq
