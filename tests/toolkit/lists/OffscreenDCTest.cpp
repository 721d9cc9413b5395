#include "toolkit/lists/OffscreenDC.h"

#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kInk = RGB(200, 0, 0);

class Target {
public:
    Target() : dc_(CreateCompatibleDC(nullptr)), bitmap_(CreateBitmap(120, 60, 1, 32, nullptr)) {
        old_ = SelectObject(dc_, bitmap_);
        const RECT all{0, 0, 120, 60};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Target() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC Dc() const { return dc_; }
    // Device pixels that are not white.
    std::vector<POINT> Inked() const {
        std::vector<POINT> out;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 120; ++x)
                if (bitmap_->bits.ColourOf(bitmap_->bits.Pixel(x, y)) != kWhite) out.push_back({x, y});
        return out;
    }
    COLORREF At(int x, int y) const { return bitmap_->bits.ColourOf(bitmap_->bits.Pixel(x, y)); }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

// Fills far more than the rectangle and marks the logical point.
void DrawInto(HDC dc, POINT at) {
    HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
    const RECT everything{-500, -500, 500, 500};
    FillRect(dc, &everything, grey);
    DeleteObject(grey);
    SetPixel(dc, at.x, at.y, kInk);
}

TEST(OffscreenDC, DrawingAtTheOriginLandsAtTheTargetsOrigin) {
    Target target;
    {
        OffscreenDC offscreen(target.Dc(), 0, 0, 100, 20);
        DrawInto(offscreen, {0, 0});
    }
    EXPECT_EQ(target.At(0, 0), kInk);
    EXPECT_EQ(target.At(99, 19), RGB(128, 128, 128));
    EXPECT_EQ(target.At(100, 0), kWhite);
    EXPECT_EQ(target.At(0, 20), kWhite);
}

TEST(OffscreenDC, RectangleAwayFromTheOriginMapsItsCornerToTheFirstPixel) {
    struct Case {
        POINT viewportOrigin;
        POINT device;
    };
    for (const Case& c : {Case{{0, 0}, {10, 10}}, Case{{5, 7}, {15, 17}}}) {
        SCOPED_TRACE(c.viewportOrigin.x);
        Target target;
        SetViewportOrgEx(target.Dc(), c.viewportOrigin.x, c.viewportOrigin.y, nullptr);
        {
            OffscreenDC offscreen(target.Dc(), 10, 10, 60, 30);
            DrawInto(offscreen, {10, 10});
        }
        EXPECT_EQ(target.At(c.device.x, c.device.y), kInk);
        const RECT inside{c.device.x, c.device.y, c.device.x + 50, c.device.y + 20};
        const auto inked = target.Inked();
        EXPECT_EQ(inked.size(), 50u * 20u);
        for (const POINT& p : inked)
            EXPECT_TRUE(inside.Contains(p.x, p.y)) << p.x << "," << p.y;
    }
}

TEST(OffscreenDC, NullTargetRaisesTheResourceException) {
    EXPECT_THROW(OffscreenDC(nullptr, 0, 0, 10, 10), ResourceException);
}

} // namespace
} // namespace vq
