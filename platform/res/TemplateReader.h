#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vq {

// Reads the little-endian fields of a binary menu or dialog template. A read past the end gives
// zeros and marks the template malformed, so a walk checks Ok() once at the points that matter.
class TemplateReader {
public:
    explicit TemplateReader(std::span<const unsigned char> bytes) : bytes_(bytes) {}

    bool Ok() const { return ok_; }
    // Where the next read starts, from the template's first byte.
    std::size_t Position() const { return at_; }
    std::uint16_t Word();
    std::uint32_t Dword();
    std::int16_t Short() { return std::int16_t(Word()); }
    std::uint8_t Byte();
    void Align4() { at_ = std::min(bytes_.size(), (at_ + 3) & ~std::size_t(3)); }
    // A zero-ended UTF-16 string as UTF-8; unpaired surrogates become U+FFFD.
    std::string Text();
    // A class, title or menu: an ordinal (0xFFFF, number), which sets `ordinal`, or a string.
    std::string NameOrOrdinal(int& ordinal);

private:
    std::span<const unsigned char> bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

} // namespace vq
