#pragma once

#include "platform/gui/GdiTypes.h"

#include <cstdint>
#include <vector>

namespace vq {

// The pixels of a bitmap. A device-dependent bitmap is either colour (0x00RRGGBB per pixel, the
// order a 32-bit image of the window system expects, so windows show and save without
// conversion) or monochrome (every bit of a pixel 0 or every bit 1, so raster operations act on
// it bit for bit). A device-independent one keeps its pixels exactly as the DIB layout stores
// them, so whoever holds its bits reads and writes them directly while drawing goes on through
// the same memory; its device values are what a pixel stores: a colour-table index at 8 bits or
// fewer, the 5-5-5 word at 16, 0x00RRGGBB at 24 and 32.
class Bitmap {
public:
    Bitmap(std::int32_t width, std::int32_t height, bool monochrome);
    // A zeroed device-independent bitmap of 1, 4, 8, 16, 24 or 32 bits per pixel; the colour
    // table (blue-green-red entries as COLORREFs) matters at 8 bits or fewer.
    static Bitmap Dib(std::int32_t width, std::int32_t height, int bitsPerPixel, bool bottomUp,
                      std::vector<COLORREF> colourTable);

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    bool IsMonochrome() const { return monochrome_; }
    bool IsDib() const { return dibBits_ != 0; }
    int BitsPerPixel() const { return dibBits_ ? dibBits_ : monochrome_ ? 1 : 32; }
    bool Contains(std::int32_t x, std::int32_t y) const {
        return x >= 0 && y >= 0 && x < width_ && y < height_;
    }

    std::uint32_t Pixel(std::int32_t x, std::int32_t y) const {
        return dibBits_ ? DibPixel(x, y) : pixels_[Index(x, y)];
    }
    void SetPixel(std::int32_t x, std::int32_t y, std::uint32_t value) {
        if (dibBits_)
            SetDibPixel(x, y, value);
        else
            pixels_[Index(x, y)] = value;
    }
    // Rows of device values, top-down: device-dependent bitmaps only; null for a DIB.
    std::uint32_t* Row(std::int32_t y) {
        return dibBits_ ? nullptr : pixels_.data() + std::size_t(y) * std::size_t(width_);
    }
    const std::uint32_t* Row(std::int32_t y) const {
        return dibBits_ ? nullptr : pixels_.data() + std::size_t(y) * std::size_t(width_);
    }
    // All rows of a device-dependent bitmap, top-down.
    std::uint32_t* Data() { return pixels_.data(); }
    const std::uint32_t* Data() const { return pixels_.data(); }

    // A DIB's stored rows: 4-byte aligned, bottom-up unless made top-down.
    std::uint8_t* DibBits() { return reinterpret_cast<std::uint8_t*>(pixels_.data()); }
    const std::uint8_t* DibBits() const { return reinterpret_cast<const std::uint8_t*>(pixels_.data()); }
    std::size_t DibStride() const { return stride_; }
    bool IsBottomUp() const { return bottomUp_; }
    const std::vector<COLORREF>& ColourTable() const { return table_; }

    // Keeps the pixels that still fit; new ones are white. Device-dependent bitmaps only.
    void Resize(std::int32_t width, std::int32_t height);

    // The device value of a colour: its 24 bits reordered, on a monochrome bitmap all ones for a
    // light colour and zero for a dark one, on a DIB what it would store for the colour (the
    // nearest entry of its colour table at 8 bits or fewer).
    std::uint32_t DeviceValue(COLORREF colour) const;
    COLORREF ColourOf(std::uint32_t deviceValue) const;
    // Whether a device value means the same colour on both bitmaps, so it may be copied as it is.
    bool SharesValuesWith(const Bitmap& other) const;

private:
    Bitmap() = default;
    std::size_t Index(std::int32_t x, std::int32_t y) const {
        return std::size_t(y) * std::size_t(width_) + std::size_t(x);
    }
    std::uint8_t* DibRow(std::int32_t y) {
        return DibBits() + std::size_t(bottomUp_ ? height_ - 1 - y : y) * stride_;
    }
    const std::uint8_t* DibRow(std::int32_t y) const {
        return DibBits() + std::size_t(bottomUp_ ? height_ - 1 - y : y) * stride_;
    }
    std::uint32_t DibPixel(std::int32_t x, std::int32_t y) const;
    void SetDibPixel(std::int32_t x, std::int32_t y, std::uint32_t value);
    bool HoldsRgb() const { return !monochrome_ && (dibBits_ == 0 || dibBits_ >= 24); }

    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    bool monochrome_ = false;
    // 0 for a device-dependent bitmap.
    int dibBits_ = 0;
    bool bottomUp_ = false;
    std::size_t stride_ = 0;
    std::vector<COLORREF> table_;
    // Whole words, so a DIB's rows may be read as bytes or, at 32 bits, as words.
    std::vector<std::uint32_t> pixels_;
};

inline constexpr std::uint32_t kDeviceWhite = 0x00FFFFFF;

// The depths a device-independent bitmap may have: 1, 4, 8, 16, 24 or 32 bits per pixel.
bool IsDibDepth(int bitsPerPixel);
// One pixel of a stored DIB row as it is stored: a colour-table index, a 5-5-5 word or 0x00RRGGBB
// (the reserved fourth byte of a 32-bit pixel left out).
std::uint32_t ReadDibPixel(const std::uint8_t* row, int bitsPerPixel, std::int32_t x);
// Writes the bits a pixel of that depth has; a 32-bit pixel's reserved byte becomes 0.
void WriteDibPixel(std::uint8_t* row, int bitsPerPixel, std::int32_t x, std::uint32_t value);
// The colour of a stored 5-5-5 word.
COLORREF ColourOf555(std::uint32_t value);

constexpr std::uint32_t ColourToPixel(COLORREF c) {
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}
constexpr COLORREF PixelToColour(std::uint32_t p) {
    return (p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF);
}

} // namespace vq
