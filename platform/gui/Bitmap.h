#pragma once

#include "platform/gui/GdiTypes.h"

#include <cstdint>
#include <vector>

namespace vq {

// The pixels of a device-dependent bitmap: either colour (0x00RRGGBB per pixel, the order a
// 32-bit image of the window system expects, so windows show and save without conversion) or
// monochrome (every bit of a pixel 0 or every bit 1, so raster operations act on it bit for bit).
class Bitmap {
public:
    Bitmap(std::int32_t width, std::int32_t height, bool monochrome);

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    bool IsMonochrome() const { return monochrome_; }
    int BitsPerPixel() const { return monochrome_ ? 1 : 32; }
    bool Contains(std::int32_t x, std::int32_t y) const {
        return x >= 0 && y >= 0 && x < width_ && y < height_;
    }

    std::uint32_t Pixel(std::int32_t x, std::int32_t y) const { return pixels_[Index(x, y)]; }
    void SetPixel(std::int32_t x, std::int32_t y, std::uint32_t value) { pixels_[Index(x, y)] = value; }
    std::uint32_t* Row(std::int32_t y) { return pixels_.data() + std::size_t(y) * std::size_t(width_); }
    const std::uint32_t* Row(std::int32_t y) const {
        return pixels_.data() + std::size_t(y) * std::size_t(width_);
    }
    std::uint32_t* Data() { return pixels_.data(); }
    const std::uint32_t* Data() const { return pixels_.data(); }

    // Keeps the pixels that still fit; new ones are white.
    void Resize(std::int32_t width, std::int32_t height);

    // The device value of a colour: its 24 bits reordered, or on a monochrome bitmap all ones for
    // a light colour and zero for a dark one.
    std::uint32_t DeviceValue(COLORREF colour) const;
    COLORREF ColourOf(std::uint32_t deviceValue) const;

private:
    std::size_t Index(std::int32_t x, std::int32_t y) const {
        return std::size_t(y) * std::size_t(width_) + std::size_t(x);
    }

    std::int32_t width_;
    std::int32_t height_;
    bool monochrome_;
    std::vector<std::uint32_t> pixels_;
};

inline constexpr std::uint32_t kDeviceWhite = 0x00FFFFFF;

constexpr std::uint32_t ColourToPixel(COLORREF c) {
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}
constexpr COLORREF PixelToColour(std::uint32_t p) {
    return (p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF);
}

} // namespace vq
