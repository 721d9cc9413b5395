#include "platform/gui/Bitmap.h"

#include <algorithm>
#include <stdexcept>

namespace vq {

namespace {

// Larger than any window or image the program makes; keeps the size computation in range.
constexpr std::int32_t kMaxSide = 1 << 15;

std::size_t CheckedArea(std::int32_t width, std::int32_t height) {
    if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide)
        throw std::length_error("bitmap size out of range");
    return std::size_t(width) * std::size_t(height);
}

} // namespace

Bitmap::Bitmap(std::int32_t width, std::int32_t height, bool monochrome)
    : width_(width), height_(height), monochrome_(monochrome), stride_(std::size_t(width) * 4),
      pixels_(CheckedArea(width, height), monochrome ? 0 : kDeviceWhite) {}

Bitmap Bitmap::Dib(std::int32_t width, std::int32_t height, int bitsPerPixel, bool bottomUp,
                   std::vector<COLORREF> colourTable) {
    if (!IsDibDepth(bitsPerPixel)) throw std::invalid_argument("no such DIB depth");
    CheckedArea(width, height);
    Bitmap b;
    b.width_ = width;
    b.height_ = height;
    b.dibBits_ = bitsPerPixel;
    b.bottomUp_ = bottomUp;
    b.stride_ = (std::size_t(width) * std::size_t(bitsPerPixel) + 31) / 32 * 4;
    if (bitsPerPixel <= 8) {
        colourTable.resize(std::min(colourTable.size(), std::size_t(1) << bitsPerPixel));
        b.table_ = std::move(colourTable);
    }
    b.pixels_.assign(b.stride_ / 4 * std::size_t(height), 0);
    return b;
}

void Bitmap::Resize(std::int32_t width, std::int32_t height) {
    if (dibBits_) throw std::logic_error("a DIB keeps its size");
    std::vector<std::uint32_t> pixels(CheckedArea(width, height), kDeviceWhite);
    const std::int32_t rows = std::min(height, height_);
    const std::int32_t columns = std::min(width, width_);
    for (std::int32_t y = 0; y < rows; ++y)
        std::copy_n(Row(y), columns, pixels.data() + std::size_t(y) * std::size_t(width));
    pixels_ = std::move(pixels);
    width_ = width;
    height_ = height;
    stride_ = std::size_t(width) * 4;
}

bool IsDibDepth(int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

std::uint32_t ReadDibPixel(const std::uint8_t* row, int bitsPerPixel, std::int32_t x) {
    switch (bitsPerPixel) {
    case 1:
        return row[x / 8] >> (7 - x % 8) & 1;
    case 4:
        return row[x / 2] >> (x % 2 ? 0 : 4) & 0xF;
    case 8:
        return row[x];
    case 16:
        return (row[2 * x] | row[2 * x + 1] << 8) & 0x7FFF;
    case 24:
        return std::uint32_t(row[3 * x]) | std::uint32_t(row[3 * x + 1]) << 8 |
               std::uint32_t(row[3 * x + 2]) << 16;
    default:
        // Whatever the owner keeps in the fourth byte is not part of the colour.
        return std::uint32_t(row[4 * x]) | std::uint32_t(row[4 * x + 1]) << 8 |
               std::uint32_t(row[4 * x + 2]) << 16;
    }
}

void WriteDibPixel(std::uint8_t* row, int bitsPerPixel, std::int32_t x, std::uint32_t value) {
    switch (bitsPerPixel) {
    case 1: {
        const auto bit = std::uint8_t(0x80 >> (x % 8));
        row[x / 8] = std::uint8_t((row[x / 8] & ~bit) | ((value & 1) ? bit : 0));
        break;
    }
    case 4: {
        const int shift = x % 2 ? 0 : 4;
        row[x / 2] = std::uint8_t((row[x / 2] & ~(0xF << shift)) | (value & 0xF) << shift);
        break;
    }
    case 8:
        row[x] = std::uint8_t(value);
        break;
    case 16:
        row[2 * x] = std::uint8_t(value);
        row[2 * x + 1] = std::uint8_t(value >> 8 & 0x7F);
        break;
    case 24:
        row[3 * x] = std::uint8_t(value);
        row[3 * x + 1] = std::uint8_t(value >> 8);
        row[3 * x + 2] = std::uint8_t(value >> 16);
        break;
    default:
        row[4 * x] = std::uint8_t(value);
        row[4 * x + 1] = std::uint8_t(value >> 8);
        row[4 * x + 2] = std::uint8_t(value >> 16);
        row[4 * x + 3] = 0;
        break;
    }
}

COLORREF ColourOf555(std::uint32_t value) {
    const auto expand = [](unsigned five) { return five << 3 | five >> 2; };
    return RGB(expand(value >> 10 & 0x1F), expand(value >> 5 & 0x1F), expand(value & 0x1F));
}

std::uint32_t Bitmap::DibPixel(std::int32_t x, std::int32_t y) const {
    return ReadDibPixel(DibRow(y), dibBits_, x);
}

void Bitmap::SetDibPixel(std::int32_t x, std::int32_t y, std::uint32_t value) {
    WriteDibPixel(DibRow(y), dibBits_, x, value);
}

std::uint32_t Bitmap::DeviceValue(COLORREF colour) const {
    if (monochrome_) {
        const unsigned sum = GetRValue(colour) + GetGValue(colour) + GetBValue(colour);
        return sum >= 3 * 128 ? kDeviceWhite : 0;
    }
    if (HoldsRgb()) return ColourToPixel(colour);
    if (dibBits_ == 16)
        return (GetRValue(colour) >> 3) << 10 | (GetGValue(colour) >> 3) << 5 | GetBValue(colour) >> 3;
    std::uint32_t best = 0;
    int bestDistance = 0x7FFFFFFF;
    for (std::size_t i = 0; i < table_.size(); ++i) {
        const int dr = int(GetRValue(colour)) - int(GetRValue(table_[i]));
        const int dg = int(GetGValue(colour)) - int(GetGValue(table_[i]));
        const int db = int(GetBValue(colour)) - int(GetBValue(table_[i]));
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = std::uint32_t(i);
            bestDistance = distance;
        }
    }
    return best;
}

COLORREF Bitmap::ColourOf(std::uint32_t deviceValue) const {
    if (monochrome_) return deviceValue ? RGB(255, 255, 255) : RGB(0, 0, 0);
    if (HoldsRgb()) return PixelToColour(deviceValue & kDeviceWhite);
    if (dibBits_ == 16) return ColourOf555(deviceValue);
    return deviceValue < table_.size() ? table_[deviceValue] : RGB(0, 0, 0);
}

bool Bitmap::SharesValuesWith(const Bitmap& other) const {
    if (monochrome_ || other.monochrome_) return monochrome_ == other.monochrome_;
    if (HoldsRgb() || other.HoldsRgb()) return HoldsRgb() == other.HoldsRgb();
    return dibBits_ == other.dibBits_ && table_ == other.table_;
}

} // namespace vq
