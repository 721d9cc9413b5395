#include "runtime/SystemText.h"

#include "platform/sys/SystemError.h"

#include <cerrno>
#include <new>

namespace vq {
namespace {

constexpr std::size_t kMaxExceptionText = 1024;

void AppendFramed(std::string& out, std::string_view text, std::string_view prefix, std::string_view suffix,
                  bool spaced, bool newline) {
    if (!prefix.empty()) {
        out += prefix;
        if (spaced) out += ' ';
    }
    if (!text.empty()) {
        out += text;
        const std::size_t keep = out.find_last_not_of(" \t\r\n\v\f");
        out.erase(keep == std::string::npos ? 0 : keep + 1);
    }
    if (!suffix.empty()) {
        if (spaced) out += ' ';
        out += suffix;
    }
    if (newline) out += '\n';
}

} // namespace

std::string FrameText(std::string_view text, std::string_view prefix, std::string_view suffix, bool spaced,
                      bool newline) {
    std::string out;
    try {
        AppendFramed(out, text, prefix, suffix, spaced, newline);
    } catch (const std::bad_alloc&) {
    }
    return out;
}

std::string FormatSystemError(int error, std::string_view prefix, std::string_view suffix, bool spaced,
                              bool newline) {
    if (error == 0) error = errno;
    try {
        return FrameText(SystemErrorText(error), prefix, suffix, spaced, newline);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

std::string FormatExceptionText(const std::exception& exception, std::string_view prefix,
                                std::string_view suffix, bool spaced, bool newline) {
    const char* what = exception.what();
    std::string_view message = what != nullptr && *what != '\0' ? what : "exception";
    return FrameText(message.substr(0, kMaxExceptionText), prefix, suffix, spaced, newline);
}

int HexDigitValue(char digit) {
    if (digit >= '0' && digit <= '9') return digit - '0';
    if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
    if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
    return -1;
}

std::uint32_t SwapBytes32(std::uint32_t value) {
    return (value >> 24) | ((value >> 8) & 0x0000FF00u) | ((value << 8) & 0x00FF0000u) | (value << 24);
}

const char* BoolText(std::uint8_t value) {
    return value != 0 ? "true" : "false";
}

} // namespace vq
