#pragma once

#include "platform/gui/Gdi.h"

#include <gtest/gtest.h>

namespace vq::test {

// A memory context over a white colour bitmap of its own.
class MemoryCanvas {
public:
    MemoryCanvas(std::int32_t width, std::int32_t height, bool monochrome = false)
        : dc_(CreateCompatibleDC(nullptr)),
          bitmap_(monochrome ? CreateBitmap(width, height, 1, 1, nullptr)
                             : CreateBitmap(width, height, 1, 32, nullptr)) {
        old_ = SelectObject(dc_, bitmap_);
        RECT all{0, 0, width, height};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~MemoryCanvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    HDC Dc() const { return dc_; }
    HBITMAP Bits() const { return bitmap_; }
    COLORREF At(std::int32_t x, std::int32_t y) const { return GetPixel(dc_, x, y); }
    std::vector<std::uint32_t> Pixels() const {
        const Bitmap& b = bitmap_->bits;
        return {b.Data(), b.Data() + std::size_t(b.Width()) * b.Height()};
    }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);

} // namespace vq::test
