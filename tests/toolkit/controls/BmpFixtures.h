#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vq::test {

// A BMP file made byte by byte, for pictures of every form the reader meets.
struct BmpSpec {
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t depth = 24;
    std::uint32_t headerSize = 40;
    bool topDown = false;
    std::uint32_t usedColours = 0;
    std::uint32_t tableEntries = 0; // written; 0 means the depth's full table up to 8 bits
    std::uint32_t compression = 0;
    std::uint16_t planes = 1;
};

inline void Put(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += char(value >> (8 * i));
}

// The colour of table entry i, and the pixel value at (x, y) counted from the top row.
inline std::uint32_t TableColour(std::uint32_t i) {
    return (i * 37 % 256) << 16 | (i * 91 % 256) << 8 | (i * 53 % 256); // 0xRRGGBB
}
inline std::uint32_t PixelValue(std::int32_t x, std::int32_t y, std::uint16_t depth) {
    const std::uint32_t v = std::uint32_t(x * 7 + y * 13 + 1);
    switch (depth) {
    case 1:
        return v % 2;
    case 4:
        return v % 16;
    case 8:
        return v % 256;
    case 16:
        return (v * 2654435761u) & 0x7FFF;
    default:
        return (v * 2654435761u) & 0xFFFFFF;
    }
}

// The colour a viewer shows at (x, y), as 0xRRGGBB.
inline std::uint32_t ExpectedColour(std::int32_t x, std::int32_t y, std::uint16_t depth) {
    const std::uint32_t v = PixelValue(x, y, depth);
    if (depth <= 8) return TableColour(v);
    if (depth == 16) {
        auto expand = [](std::uint32_t c) { return (c << 3) | (c >> 2); };
        return expand(v >> 10 & 31) << 16 | expand(v >> 5 & 31) << 8 | expand(v & 31);
    }
    return v;
}

inline std::string MakeBmp(const BmpSpec& spec) {
    const std::uint32_t entries = spec.tableEntries ? spec.tableEntries
                                  : spec.depth <= 8 ? 1u << spec.depth
                                                    : 0;
    const std::size_t row = (std::size_t(spec.depth) * spec.width + 31) / 32 * 4;
    const std::uint32_t offset = 14 + spec.headerSize + 4 * entries;
    std::string rows;
    for (std::int32_t r = 0; r < spec.height; ++r) {
        const std::int32_t y = spec.topDown ? r : spec.height - 1 - r; // from the top
        std::string line(row, '\0');
        for (std::int32_t x = 0; x < spec.width; ++x) {
            const std::uint32_t v = PixelValue(x, y, spec.depth);
            if (spec.depth < 8) {
                const int perByte = 8 / spec.depth;
                const int shift = 8 - spec.depth * (x % perByte + 1);
                line[std::size_t(x / perByte)] =
                    char(std::uint8_t(line[std::size_t(x / perByte)]) | v << shift);
            } else {
                for (int b = 0; b < spec.depth / 8; ++b)
                    line[std::size_t(x) * (spec.depth / 8) + std::size_t(b)] = char(b < 3 ? v >> (8 * b) : 0);
            }
        }
        rows += line;
    }
    std::string out = "BM";
    Put(out, offset + rows.size(), 4);
    Put(out, 0, 4);
    Put(out, offset, 4);
    Put(out, spec.headerSize, 4);
    Put(out, std::uint32_t(spec.width), 4);
    Put(out, std::uint32_t(spec.topDown ? -spec.height : spec.height), 4);
    Put(out, spec.planes, 2);
    Put(out, spec.depth, 2);
    Put(out, spec.compression, 4);
    Put(out, 0, 4);
    Put(out, 2835, 4);
    Put(out, 2835, 4);
    Put(out, spec.usedColours, 4);
    Put(out, 0, 4);
    out.append(spec.headerSize - 40, '\0');
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::uint32_t c = TableColour(i);
        Put(out, (c & 0xFF) | (c >> 8 & 0xFF) << 8 | (c >> 16 & 0xFF) << 16, 4);
    }
    return out + rows;
}

} // namespace vq::test
