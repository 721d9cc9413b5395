#include "platform/gui/Bitmap.h"

#include <algorithm>
#include <stdexcept>

namespace vq {

namespace {

std::size_t CheckedArea(std::int32_t width, std::int32_t height) {
    // Larger than any window or image the program makes; keeps the size computation in range.
    constexpr std::int32_t kMaxSide = 1 << 15;
    if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide)
        throw std::length_error("bitmap size out of range");
    return std::size_t(width) * std::size_t(height);
}

} // namespace

Bitmap::Bitmap(std::int32_t width, std::int32_t height, bool monochrome)
    : width_(width), height_(height), monochrome_(monochrome),
      pixels_(CheckedArea(width, height), monochrome ? 0 : kDeviceWhite) {}

void Bitmap::Resize(std::int32_t width, std::int32_t height) {
    std::vector<std::uint32_t> pixels(CheckedArea(width, height), kDeviceWhite);
    const std::int32_t rows = std::min(height, height_);
    const std::int32_t columns = std::min(width, width_);
    for (std::int32_t y = 0; y < rows; ++y)
        std::copy_n(Row(y), columns, pixels.data() + std::size_t(y) * std::size_t(width));
    pixels_ = std::move(pixels);
    width_ = width;
    height_ = height;
}

std::uint32_t Bitmap::DeviceValue(COLORREF colour) const {
    if (!monochrome_) return ColourToPixel(colour);
    const unsigned sum = GetRValue(colour) + GetGValue(colour) + GetBValue(colour);
    return sum >= 3 * 128 ? kDeviceWhite : 0;
}

COLORREF Bitmap::ColourOf(std::uint32_t deviceValue) const {
    if (monochrome_) return deviceValue ? RGB(255, 255, 255) : RGB(0, 0, 0);
    return PixelToColour(deviceValue);
}

} // namespace vq
