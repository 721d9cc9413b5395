#pragma once

// Character helpers shared by the address parsers. They read ASCII only, so no locale and no byte
// above 0x7F ever counts as a digit or a blank.

#include <cstdint>
#include <string>
#include <string_view>

namespace vq::address_text {

inline int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

inline bool IsHex(char c) {
    return HexValue(c) >= 0;
}
inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
inline bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

inline std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

// Reads 2 * count hex digits into count bytes; the caller has checked they are all hex digits.
inline void ReadHexBytes(std::string_view digits, uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(HexValue(digits[2 * i]) << 4 | HexValue(digits[2 * i + 1]));
}

inline void AppendHexBytes(std::string& out, const uint8_t* bytes, size_t count, char separator = 0) {
    static constexpr char digits[] = "0123456789abcdef";
    for (size_t i = 0; i < count; ++i) {
        if (separator != 0 && i > 0) out += separator;
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 0xF];
    }
}

} // namespace vq::address_text
