#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace vq::test {

// Reads the binary templates back, bounds-checked, the way their users walk them.
class TemplateReader {
public:
    explicit TemplateReader(std::span<const unsigned char> bytes) : bytes_(bytes) {}

    std::uint16_t Word() {
        Need(2);
        const auto v = std::uint16_t(bytes_[at_] | bytes_[at_ + 1] << 8);
        at_ += 2;
        return v;
    }
    std::uint32_t Dword() {
        const std::uint32_t low = Word();
        return low | std::uint32_t(Word()) << 16;
    }
    std::uint8_t Byte() {
        Need(1);
        return bytes_[at_++];
    }
    // A zero-ended UTF-16 string, returned as UTF-8.
    std::string Text() {
        std::string out;
        while (std::uint16_t u = Word()) {
            if (u < 0x80) {
                out.push_back(char(u));
            } else if (u < 0x800) {
                out.push_back(char(0xC0 | u >> 6));
                out.push_back(char(0x80 | (u & 0x3F)));
            } else {
                out.push_back(char(0xE0 | u >> 12));
                out.push_back(char(0x80 | (u >> 6 & 0x3F)));
                out.push_back(char(0x80 | (u & 0x3F)));
            }
        }
        return out;
    }
    void Align4() { at_ = (at_ + 3) & ~std::size_t(3); }
    bool AtEnd() const { return at_ >= bytes_.size(); }

private:
    void Need(std::size_t n) const {
        if (at_ + n > bytes_.size()) throw std::out_of_range("template ends early");
    }

    std::span<const unsigned char> bytes_;
    std::size_t at_ = 0;
};

} // namespace vq::test
