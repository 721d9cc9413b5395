#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

// Small texts for reports: framing a message, system and exception messages, and the helpers the
// capture code shares. The texts are built for reports, so running out of memory while building
// one answers what was built so far instead of throwing.
namespace vq {

// The prefix (and a blank when spaced), the text with trailing white space trimmed from all built
// so far, then a blank when spaced and the suffix, and a newline when asked. Empty parts are left out.
std::string FrameText(std::string_view text, std::string_view prefix, std::string_view suffix, bool spaced,
                      bool newline);

// The system's message for the error number (0: the current errno), framed; the text part stays
// empty when the system has no message for the number.
std::string FormatSystemError(int error, std::string_view prefix, std::string_view suffix, bool spaced,
                              bool newline);

// The exception's message (at most 1,024 characters), or "exception" when it has none, framed.
std::string FormatExceptionText(const std::exception& exception, std::string_view prefix,
                                std::string_view suffix, bool spaced, bool newline);

// 0-9 for '0'-'9', 10-15 for 'a'-'f' and 'A'-'F', -1 for anything else.
int HexDigitValue(char digit);

std::uint32_t SwapBytes32(std::uint32_t value);

const char* BoolText(std::uint8_t value);

} // namespace vq
