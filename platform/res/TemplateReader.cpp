#include "platform/res/TemplateReader.h"

namespace vq {

namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | c >> 6));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | c >> 12));
        out.push_back(char(0x80 | (c >> 6 & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | c >> 18));
        out.push_back(char(0x80 | (c >> 12 & 0x3F)));
        out.push_back(char(0x80 | (c >> 6 & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

} // namespace

std::uint16_t TemplateReader::Word() {
    if (!ok_ || bytes_.size() - at_ < 2) {
        ok_ = false;
        return 0;
    }
    const auto v = std::uint16_t(bytes_[at_] | bytes_[at_ + 1] << 8);
    at_ += 2;
    return v;
}

std::uint32_t TemplateReader::Dword() {
    const std::uint32_t low = Word();
    return low | std::uint32_t(Word()) << 16;
}

std::uint8_t TemplateReader::Byte() {
    if (!ok_ || at_ >= bytes_.size()) {
        ok_ = false;
        return 0;
    }
    return bytes_[at_++];
}

std::string TemplateReader::Text() {
    std::string out;
    while (ok_) {
        char32_t c = Word();
        if (c == 0) break;
        if (c >= 0xD800 && c < 0xDC00) {
            const char32_t low = Word();
            c = low >= 0xDC00 && low < 0xE000 ? 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00) : 0xFFFD;
        } else if (c >= 0xDC00 && c < 0xE000) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::string TemplateReader::NameOrOrdinal(int& ordinal) {
    ordinal = 0;
    if (bytes_.size() - at_ >= 2 && bytes_[at_] == 0xFF && bytes_[at_ + 1] == 0xFF) {
        Word();
        ordinal = Word();
        return {};
    }
    return Text();
}

} // namespace vq
