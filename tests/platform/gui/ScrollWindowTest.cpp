#include "WindowFixture.h"
#include "platform/gui/Gdi.h"

#include <optional>

namespace vq::test {
namespace {

class ScrollWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        window = Make("Spy", WS_POPUP | WS_VISIBLE, {300, 0, 340, 30});
        OffscreenHarness::RunUntilIdle();
    }

    // White with a red pixel at (5, 15) and a blue one at (25, 15), nothing to paint.
    void Mark() {
        HDC dc = GetDC(window);
        const RECT all{0, 0, 40, 30};
        FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
        SetPixel(dc, 5, 15, RGB(255, 0, 0));
        SetPixel(dc, 25, 15, RGB(0, 0, 255));
        ReleaseDC(window, dc);
        ValidateRect(window, nullptr);
    }

    RECT UpdateRect() const {
        RECT r;
        GetUpdateRect(window, &r, FALSE);
        return r;
    }

    HWND window = 0;
};

TEST_F(ScrollWindowTest, PixelsMoveWithinTheClipAndWhatIsUncoveredIsInvalidated) {
    struct Case {
        const char* name;
        std::int32_t dx, dy;
        std::optional<RECT> scroll, clip;
        RECT uncovered;
        // Where the red pixel went; whether the blue one was left alone.
        std::optional<POINT> red;
        bool blueKept;
    };
    const Case cases[] = {
        {"up", 0, -10, {}, {}, {0, 20, 40, 30}, POINT{5, 5}, false},
        {"part of the area, onto the rest",
         10,
         0,
         RECT{0, 0, 20, 30},
         {},
         {0, 0, 10, 30},
         POINT{15, 15},
         false},
        {"inside a clip", 10, 0, {}, RECT{0, 0, 20, 30}, {0, 0, 10, 30}, POINT{15, 15}, true},
        {"out of sight", 100, 0, {}, {}, {0, 0, 40, 30}, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Mark();
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        RECT bounds;
        EXPECT_EQ(ScrollWindowEx(window, c.dx, c.dy, c.scroll ? &*c.scroll : nullptr,
                                 c.clip ? &*c.clip : nullptr, region, &bounds, SW_INVALIDATE),
                  SIMPLEREGION);
        RECT box;
        GetRgnBox(region, &box);
        DeleteObject(region);
        EXPECT_EQ(box, c.uncovered);
        EXPECT_EQ(bounds, c.uncovered);
        EXPECT_EQ(UpdateRect(), c.uncovered);
        if (c.red) {
            EXPECT_EQ(OffscreenHarness::Pixel(window, c.red->x, c.red->y), RGB(255, 0, 0));
        }
        EXPECT_EQ(OffscreenHarness::Pixel(window, 25, 15) == RGB(0, 0, 255), c.blueKept);
    }
}

TEST_F(ScrollWindowTest, PendingUpdatesMoveWithThePixelsAndChildrenMoveWhenTheWholeAreaScrolls) {
    Mark();
    const RECT strip{0, 15, 40, 16};
    InvalidateRect(window, &strip, FALSE);
    EXPECT_EQ(ScrollWindowEx(window, 0, -10, nullptr, nullptr, nullptr, nullptr, 0), SIMPLEREGION);
    EXPECT_EQ(UpdateRect(), (RECT{0, 5, 40, 6}));

    const HWND child = Make("Spy", WS_CHILD | WS_VISIBLE, {2, 2, 8, 8}, window);
    RECT r;
    EXPECT_TRUE(ScrollWindow(window, 0, 5, nullptr, nullptr));
    GetWindowRect(child, &r);
    EXPECT_EQ(r, (RECT{302, 7, 308, 13}));
    const RECT right{20, 0, 40, 30};
    EXPECT_TRUE(ScrollWindow(window, 0, 5, &right, nullptr));
    GetWindowRect(child, &r);
    EXPECT_EQ(r, (RECT{302, 7, 308, 13}));
}

} // namespace
} // namespace vq::test
